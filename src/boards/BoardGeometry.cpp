#include "boards/BoardGeometry.h"

#include <algorithm>

namespace celdo {

BoardGeometry BoardGeometry::forClientHeight(int columns, int rows, int height) {
    BoardGeometry g;
    g.columns = columns;
    g.rows = rows;
    g.visibleRows = std::max(2, std::min((height - 18) / 18, rows));
    return g;
}

int BoardGeometry::cellAt(int x, int y, int firstRow) const {
    if (x < 2 || y < 2)
        return -1;
    const int column = (x - 2) / 18;
    const int row = (y - 2) / 18 + firstRow;
    if (column >= columns || row < 0 || row >= rows)
        return -1;
    return column + row * columns;
}

} // namespace celdo
