#include "framework/DrawnRow.h"

#include <utility>

namespace celdo {

RowPart textPart(int atHeights, int atPixels, std::string text) {
    RowPart part;
    part.kind = RowPart::Kind::Text;
    part.atHeights = atHeights;
    part.atPixels = atPixels;
    part.text = std::move(text);
    return part;
}

RowPart solidSwatch(int atHeights, int atPixels, unsigned colour) {
    return patternSwatch(atHeights, atPixels, 1, {colour});
}

RowPart patternSwatch(int atHeights, int atPixels, int tileSize, std::vector<unsigned> tile) {
    RowPart part;
    part.kind = RowPart::Kind::Swatch;
    part.atHeights = atHeights;
    part.atPixels = atPixels;
    part.tileSize = tileSize > 0 ? tileSize : 1;
    part.tile = std::move(tile);
    // A short tile would be read past its end; the missing cells are black.
    part.tile.resize(static_cast<std::size_t>(part.tileSize * part.tileSize), 0u);
    return part;
}

} // namespace celdo
