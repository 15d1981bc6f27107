#pragma once

#include "boards/LogicalFont.h"
#include "boards/TextPaste.h"
#include "framework/ControlTable.h"

#include <string>
#include <vector>

namespace celdo {

// An installed font family as the font dialogs list it.
struct FontFamily {
    std::string name;
    int charSet = 0;          // LogicalFont::ShiftJisCharSet for Japanese families
    bool scalable = true;     // outline fonts come in every size
    std::vector<int> heights; // a bitmap family's pixel heights
};

// Control ids of the font dialogs.
namespace fontdialog {
inline constexpr int Sample = 200;
inline constexpr int FaceName = 201;
inline constexpr int Text = 220;
inline constexpr int Size = 221;
inline constexpr int Weight = 222;
inline constexpr int Italic = 280;
inline constexpr int Underline = 281;
inline constexpr int StrikeOut = 282;
inline constexpr int Vertical = 283;
inline constexpr int MaskBackground = 284;
inline constexpr int MaskText = 285;
inline constexpr int PasteAtOnce = 286;
inline constexpr int FontList = 340;
inline constexpr int SizeList = 341;
inline constexpr int WeightList = 342;
inline constexpr int Angle = 360;
inline constexpr int AngleValue = 361;
} // namespace fontdialog

// The sizes offered for every outline font, and the weights.
const std::vector<int>& standardFontSizes();
const std::vector<int>& fontWeights();

// The font-choosing dialogs: "GFontDialog" (文字の貼付け) for text paste and
// "FontDialog" (ステータスバーのフォント) for the status bar.  The table's
// handlers keep the font description in step with the controls, so the
// description follows the same rules on the screen and under a test
// responder; a window shows font() in the sample control.
class FontChoice {
public:
    // The text-paste dialog, filled from the settings of the run.
    FontChoice(std::vector<FontFamily> families, const TextPasteSettings& settings);
    // The status-bar dialog: Japanese families only.
    FontChoice(std::vector<FontFamily> families, const LogicalFont& font);
    // The table's handlers refer to this object.
    FontChoice(const FontChoice&) = delete;
    FontChoice& operator=(const FontChoice&) = delete;

    ControlTable& table() { return m_table; }
    const ControlTable& table() const { return m_table; }
    bool forTextPaste() const { return m_textPaste; }

    // The description the controls make, shown by the sample.
    const LogicalFont& font() const { return m_font; }
    // "abAB123漢字ef" for a double-byte character set, else
    // "aAbBcCdDeEfF".
    std::string sampleText() const;
    // The families the font list shows, in its order.
    const std::vector<std::string>& listed() const { return m_listed; }

    // On "OK" of the text-paste dialog: angle, flags, description and text
    // (cut to what the settings keep).
    void applyTo(TextPasteSettings& settings) const;

private:
    void build(const TextPasteSettings* settings);
    void changed(int id);
    // The font list for the writing direction: vertical writing needs a
    // Japanese family, as does the status bar.
    void fillFontList();
    void fillSizeList();
    // The list row showing `text`, selected without a change notice.
    void selectMatching(int listId, const std::string& text);
    void rebuild();
    const FontFamily* family(const std::string& name) const;

    std::vector<FontFamily> m_families;
    bool m_textPaste;
    LogicalFont m_font;
    std::vector<std::string> m_listed;
    ControlTable m_table;
};

} // namespace celdo
