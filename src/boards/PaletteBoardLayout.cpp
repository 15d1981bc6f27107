#include "boards/PaletteBoardLayout.h"

#include <algorithm>

namespace celdo {

PaletteBoardLayout PaletteBoardLayout::snapped(int newWidth, int newHeight) const {
    PaletteBoardLayout next = *this;
    // Taking cells back from a size they fit exactly would lose a pixel to
    // the rounding, so a fitting size is left alone.
    if (newWidth != expectedWidth() || newHeight != expectedHeight()) {
        // A size some layout takes exactly (a stored board size, say) keeps
        // that layout, the largest cells first, so the board reopens as it
        // was instead of growing by the rows the rounding adds.
        if (newWidth % (Columns + 1) == 0) {
            const int width = newWidth / (Columns + 1) - Gap;
            for (int height = MaxCell; width >= MinCell && width <= MaxCell && height >= MinCell;
                 --height) {
                const int span = newHeight - 6;
                if (span % (height + Gap) != 0)
                    continue;
                const int rows = span / (height + Gap) - 3;
                if (rows >= MinRows && rows <= Rows) {
                    next.cellWidth = width;
                    next.cellHeight = height;
                    next.visibleRows = rows;
                    next.width = newWidth;
                    next.height = newHeight;
                    return next;
                }
            }
        }
        next.cellWidth = std::clamp((newWidth - 2) / 17 - 2, MinCell, MaxCell);
        next.cellHeight = std::clamp((newHeight - 6) / 19 - 2, MinCell, MaxCell);
        next.visibleRows =
            std::clamp((newHeight - next.cellHeight - 6) / (next.cellHeight + Gap), MinRows, Rows);
    }
    next.width = next.expectedWidth();
    next.height = next.expectedHeight();
    return next;
}

Rect PaletteBoardLayout::scrollBar() const {
    const int left = width - cellWidth;
    return {left, Origin, left + cellWidth, Origin + visibleRows * (cellHeight + Gap)};
}

Rect PaletteBoardLayout::cell(int column, int shownRow) const {
    const int left = Origin + column * (cellWidth + Gap);
    const int top = Origin + shownRow * (cellHeight + Gap);
    return {left, top, left + cellWidth, top + cellHeight};
}

int PaletteBoardLayout::colourAt(int x, int y, int firstRow) const {
    if (x < Origin || y < Origin)
        return -1;
    const int column = (x - Origin) / (cellWidth + Gap);
    const int shownRow = (y - Origin) / (cellHeight + Gap);
    if (column >= Columns || shownRow >= visibleRows || firstRow + shownRow >= Rows)
        return -1;
    if (!cell(column, shownRow).contains(x, y))
        return -1;
    return (firstRow + shownRow) * Columns + column;
}

int PaletteBoardLayout::toneCellWidth() const {
    return std::min(Gap + cellWidth, 16);
}

Rect PaletteBoardLayout::toneCell(int tone) const {
    const int left = toneLeft() + tone * toneCellWidth();
    return {left, toneTop(), left + toneCellWidth(), toneTop() + cellHeight};
}

int PaletteBoardLayout::toneAt(int x, int y) const {
    if (y < toneTop() || y >= toneTop() + ToneHitHeight)
        return -1;
    if (x < toneLeft() || x >= toneLeft() + toneCellWidth() * ToneCount)
        return -1;
    const int tone = (x - toneLeft()) / toneCellWidth();
    return tone >= 1 && tone <= ToneCount - 2 ? tone : -1;
}

Rect PaletteBoardLayout::preview() const {
    const int top = height - 2 - 3 * cellHeight - 4;
    return {20, top, 20 + 2 * cellWidth, top + 2 * cellHeight};
}

Rect PaletteBoardLayout::borderSwatch() const {
    const int left = width - 4 * cellWidth;
    const int top = preview().top + cellHeight / 4;
    return {left, top, left + cellWidth + cellWidth / 2, top + cellHeight + cellHeight / 2};
}

} // namespace celdo
