#include "boards/BrushEditor.h"

#include <algorithm>

namespace celdo {

namespace {

// Rebuilds every cell from its source position in the old shape.
template <typename Source> void remap(Brush& brush, Source source) {
    const Brush old = brush;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int sx = 0;
            int sy = 0;
            source(x, y, sx, sy);
            brush.cells[y * 16 + x] = old.cell(sx, sy);
        }
    brush.updateExtent();
}

} // namespace

void invertBrush(Brush& brush) {
    for (auto& cell : brush.cells)
        cell = cell ? 0 : 1;
    brush.updateExtent();
}

void rotateBrush(Brush& brush) {
    remap(brush, [](int x, int y, int& sx, int& sy) {
        sx = 15 - y;
        sy = x;
    });
}

void flipBrushUpsideDown(Brush& brush) {
    remap(brush, [](int x, int y, int& sx, int& sy) {
        sx = x;
        sy = 15 - y;
    });
}

void mirrorBrush(Brush& brush) {
    remap(brush, [](int x, int y, int& sx, int& sy) {
        sx = 15 - x;
        sy = y;
    });
}

void shiftBrush(Brush& brush, int dx, int dy) {
    remap(brush, [dx, dy](int x, int y, int& sx, int& sy) {
        sx = ((x - dx) % 16 + 16) % 16;
        sy = ((y - dy) % 16 + 16) % 16;
    });
}

BrushEditorGrid BrushEditorGrid::forClientWidth(int width) {
    return BrushEditorGrid{std::clamp(width / 18, 8, 16)};
}

bool BrushEditorGrid::cellAt(int x, int y, int& column, int& row) const {
    if (x < cellSize || y < cellSize)
        return false;
    column = x / cellSize - 1;
    row = y / cellSize - 1;
    return column < 16 && row < 16;
}

bool BrushCellPainter::press(Brush& brush, const BrushEditorGrid& grid, int x, int y) {
    int column = 0;
    int row = 0;
    if (!grid.cellAt(x, y, column, row))
        return false;
    m_value = brush.cell(column, row) ? 0 : 1;
    brush.cells[row * 16 + column] = m_value;
    return true;
}

bool BrushCellPainter::drag(Brush& brush, const BrushEditorGrid& grid, int x, int y) const {
    int column = 0;
    int row = 0;
    if (!grid.cellAt(x, y, column, row))
        return false;
    brush.cells[row * 16 + column] = m_value;
    return true;
}

} // namespace celdo
