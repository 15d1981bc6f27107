#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace celdo {

// One piece of an owner-drawn line of a dialog (a list item or a static): a
// colour swatch or a text.  Its left edge counts in line heights plus pixels,
// because the renderer takes the line height from its font and the engine
// does not know the font.
struct RowPart {
    enum class Kind { Swatch, Text };
    Kind kind = Kind::Text;
    int atHeights = 0; // left edge: this many line heights ...
    int atPixels = 0;  // ... plus this many pixels
    std::string text;
    // Swatches are one line height square, filled with a square tile of
    // tileSize × tileSize colours (0x00BBGGRR, row by row) repeated from the
    // swatch's top-left corner, one colour a pixel.
    int tileSize = 1;
    std::vector<unsigned> tile;

    int left(int lineHeight) const { return atHeights * lineHeight + atPixels; }
    // The swatch's colour at (x, y) from its top-left corner; black where a
    // part built by hand has no tile.
    unsigned colourAt(int x, int y) const {
        if (tileSize <= 0)
            return 0u;
        const auto cell = static_cast<std::size_t>((y % tileSize) * tileSize + x % tileSize);
        return cell < tile.size() ? tile[cell] : 0u;
    }
    friend bool operator==(const RowPart&, const RowPart&) = default;
};

// The parts of one line, drawn from the left in order.
using DrawnRow = std::vector<RowPart>;

RowPart textPart(int atHeights, int atPixels, std::string text);
RowPart solidSwatch(int atHeights, int atPixels, unsigned colour);
// `tile` holds tileSize × tileSize colours.
RowPart patternSwatch(int atHeights, int atPixels, int tileSize, std::vector<unsigned> tile);

} // namespace celdo
