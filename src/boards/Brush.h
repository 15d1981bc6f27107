#pragma once

#include <array>
#include <cstdint>

namespace celdo {

// The current brush tip: 16 × 16 cells (0 or 1), row-major, row 0 at the
// top, and the extent of its 1 cells.  Cell (8, 8) lies on the pointer.
struct Brush {
    std::array<std::uint8_t, 256> cells{};
    int firstColumn = 8;
    int pastLastColumn = 9;
    int firstRow = 8;
    int pastLastRow = 9;

    std::uint8_t cell(int x, int y) const { return cells[y * 16 + x]; }

    // Recomputes the extent: rows first, then the columns over those rows
    // only; an empty brush gets 8 … 9 both ways.
    void updateExtent() {
        firstRow = 16;
        pastLastRow = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (cell(x, y)) {
                    if (firstRow == 16)
                        firstRow = y;
                    pastLastRow = y + 1;
                }
        if (firstRow == 16) {
            firstRow = firstColumn = 8;
            pastLastRow = pastLastColumn = 9;
            return;
        }
        firstColumn = 16;
        pastLastColumn = 0;
        for (int y = firstRow; y < pastLastRow; ++y)
            for (int x = 0; x < 16; ++x)
                if (cell(x, y)) {
                    if (x < firstColumn)
                        firstColumn = x;
                    if (x + 1 > pastLastColumn)
                        pastLastColumn = x + 1;
                }
    }

    // A single-pixel brush at the centre: what the program paints with
    // before a brush set is loaded.
    static Brush dot() {
        Brush b;
        b.cells[8 * 16 + 8] = 1;
        b.updateExtent();
        return b;
    }
};

} // namespace celdo
