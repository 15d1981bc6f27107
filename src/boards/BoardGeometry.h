#pragma once

namespace celdo {

// Layout of the brush and tile boards: cells 18 pixels apart, cell (c, r)
// of the visible grid drawn 16 × 16 at (2 + 18c, 2 + 18r), a scroll bar on
// the right and a row of 18-pixel buttons at the bottom.
struct BoardGeometry {
    int columns = 0;
    int rows = 0;
    int visibleRows = 2;

    // The layout for a client height: visible rows (H − 18) / 18 limited to
    // 2 … rows.
    static BoardGeometry forClientHeight(int columns, int rows, int height);
    int expectedWidth() const { return 18 * columns + 16; }
    int expectedHeight() const { return 18 + 18 * visibleRows + 2; }
    // Scroll bar range 0 … rows − visible rows; used only when some rows hide.
    int scrollMaximum() const { return rows > visibleRows ? rows - visibleRows : 0; }
    bool scrollEnabled() const { return rows > visibleRows; }

    // The cell index under client point (x, y) with `firstRow` the first
    // visible row; -1 outside the cells.
    int cellAt(int x, int y, int firstRow) const;
};

} // namespace celdo
