#pragma once

#include "boards/LogicalFont.h"
#include "core/CellImage.h"
#include "core/Colour.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace celdo {

// What "文字の貼付け" keeps for the run.  The three flags are also kept in
// the settings file (GrpFontBackMask, GrpFontForeMask, GrpFontPostMsg).
struct TextPasteSettings {
    // Longest text kept, in Shift-JIS bytes.
    static constexpr std::size_t MaxTextBytes = 127;

    LogicalFont font;
    std::string text; // UTF-8
    int angle = 0;    // 0–359 degrees
    bool vertical = false;
    bool maskBackground = false;
    bool maskText = false;
    bool pasteAtOnce = true;
};

// The font's escapement for an angle: angle × 10, or with vertical writing
// (angle × 10 + 2700) mod 3600, so a vertical line runs downwards.
int textEscapement(int angle, bool vertical);

// Where a line of text of unrotated width w and height h lies when turned by
// an escapement: the picture that holds it and the point its top-left
// corner is drawn from.
struct TextPlacement {
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
};
TextPlacement placeText(int escapement, int textWidth, int textHeight);

// The platform's font engine as text paste needs it.
class TextRenderer {
public:
    struct Extent {
        int width = 0;
        int height = 0;
    };
    virtual ~TextRenderer() = default;
    // The unrotated size of the line in `font` (its escapement is ignored);
    // with `vertical` the characters are laid out as a vertical line would
    // lay them, still measured along the line.
    virtual Extent measure(const LogicalFont& font, const std::string& text, bool vertical) = 0;
    // The line drawn in black on white into a width × height picture, from
    // the origin along the font's escapement: one byte a pixel, top row
    // first, 0 for text and 255 for everything else.
    virtual std::vector<std::uint8_t> render(const LogicalFont& font, const std::string& text,
                                             bool vertical, const TextPlacement& placement) = 0;
};

// The rendered line: width × height bytes, 0 text, 255 background.
struct TextRendering {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Measures, places and renders the settings' text with their font, angle and
// writing direction.  Nothing when there is nothing to draw (no text, or a
// font that gives it no size).
std::optional<TextRendering> RenderText(const TextPasteSettings& settings, TextRenderer& renderer);

// The 8-bit picture of a rendering in `palette` (256 entries): `drawColour`
// where the text is, `borderColour` everywhere else.  Null when memory runs
// out.
CellImagePtr MakeTextPicture(const TextRendering& rendering, const ColourValue* palette,
                             int drawColour, int borderColour);

// The mask that goes with the picture: with `maskText` the text is masked
// (255) and the background open (0); else with `maskBackground` the
// background is masked; with neither there is none.
CellImagePtr MakeTextMask(const TextRendering& rendering, bool maskBackground, bool maskText);

} // namespace celdo
