#pragma once

#include "boards/Brush.h"

namespace celdo {

// The brush editor's operations on its working copy of a brush.  Each
// leaves the extent recomputed.
void invertBrush(Brush& brush);         // "反転": every cell v becomes 1 − v
void rotateBrush(Brush& brush);         // "回転": a quarter turn counter-clockwise
void flipBrushUpsideDown(Brush& brush); // "上下"
void mirrorBrush(Brush& brush);         // "左右"
// "←" (-1, 0), "→" (1, 0), "↑" (0, -1), "↓" (0, 1): the shape moves one cell;
// what is pushed out re-enters on the opposite side.
void shiftBrush(Brush& brush, int dx, int dy);

// The editor's grid: square cells of s pixels, cell (x, y) at
// (s × (x + 1), s × (y + 1)).
struct BrushEditorGrid {
    int cellSize = 8;

    // s from the client width (W / 18, limited to 8 … 16), and the client
    // size the editor snaps to.
    static BrushEditorGrid forClientWidth(int width);
    int expectedWidth() const { return 18 * cellSize; }
    int expectedHeight() const { return 64 + 17 * cellSize; }

    // The cell under client point (x, y); false outside the grid.
    bool cellAt(int x, int y, int& column, int& row) const;
};

// Pixel painting in the editor: a press inverts the cell under it and makes
// that the paint value; moves with the button held write the paint value.
class BrushCellPainter {
public:
    // Returns whether the point hit a cell (and changed it).
    bool press(Brush& brush, const BrushEditorGrid& grid, int x, int y);
    bool drag(Brush& brush, const BrushEditorGrid& grid, int x, int y) const;

private:
    std::uint8_t m_value = 1;
};

} // namespace celdo
