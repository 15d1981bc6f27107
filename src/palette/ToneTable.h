#pragma once

#include "core/CellImage.h"

#include <array>
#include <cstdint>

namespace celdo {

struct ColourSelection;

// The 17 tone patterns of the palette board, numbered 0–16.  Pattern k has a
// one at (x, y) when k is below the 4 × 4 threshold at (x mod 4, y mod 4), so
// pattern 0 is all ones, pattern 16 all zeros and pattern k has 16 − k ones in
// every 4 × 4 cell.  A one shows the left colour, a zero the right colour.
class ToneTable {
public:
    static constexpr int PatternCount = 17;
    static constexpr int PatternSize = 16;
    static constexpr int StripWidth = PatternCount * PatternSize;

    // The threshold at (x mod 4, y mod 4).
    static int threshold(int x, int y);
    // Whether pattern k (clamped to 0–16) has a one at (x, y); any x and y.
    static bool isSet(int k, int x, int y);

    // The strip of 272 × 16 one-bit pixels, pattern k at x = 16k.  Its colour
    // table is entry 0 = `right`, entry 1 = `left`.  Null when memory runs out.
    static CellImagePtr CreateStrip(ColourValue left, ColourValue right);
};

// Fills `tilePattern` from the selection's tone index: the left colour where
// the tone pattern has a one, the right colour elsewhere.
void BuildTilePattern(ColourSelection& selection);

} // namespace celdo
