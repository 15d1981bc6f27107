#pragma once

#include "core/Rect.h"

namespace celdo {

// Layout of the palette board for a client size: the 16 × 16 colour grid of
// which some rows show, the scroll bar on its right, the current-colour
// preview and the border swatch below it, and the tone strip at the bottom.
// Cell width, cell height and shown rows follow the size the user drags to.
struct PaletteBoardLayout {
    static constexpr int Columns = 16;
    static constexpr int Rows = 16;
    static constexpr int Gap = 2;
    static constexpr int Origin = 2;
    static constexpr int MinCell = 8;
    static constexpr int MaxCell = 16;
    static constexpr int MinRows = 4;
    static constexpr int ToneCount = 17;
    // Tone strip cells take presses this far below the strip's top, whatever
    // the cell height.
    static constexpr int ToneHitHeight = 16;

    int cellWidth = MaxCell;
    int cellHeight = MaxCell;
    int visibleRows = Rows;
    // The client size the layout was placed in.
    int width = 0;
    int height = 0;

    // The client size these cells and rows take.
    int expectedWidth() const { return (Gap + cellWidth) * (Columns + 1); }
    int expectedHeight() const { return 6 + (cellHeight + Gap) * (visibleRows + 3); }
    // The layout after a resize to width × height: unchanged when the size is
    // already this layout's, else cells and rows taken from the new size.
    // Its width and height are the size it asks for.
    PaletteBoardLayout snapped(int newWidth, int newHeight) const;

    // Scroll bar range 0 … scrollMaximum(); used only when some rows hide.
    int scrollMaximum() const { return Rows - visibleRows; }
    bool scrollEnabled() const { return visibleRows < Rows; }
    Rect scrollBar() const;

    // Shown row r (0 … visibleRows − 1), column c.
    Rect cell(int column, int shownRow) const;
    // The colour under (x, y) with `firstRow` the first shown row; -1 when
    // the point lies on no shown cell (gaps included).
    int colourAt(int x, int y, int firstRow) const;

    // Tone cells are a little wider than colour cells, at most a pattern wide.
    int toneCellWidth() const;
    int toneLeft() const { return (width - toneCellWidth() * ToneCount) / 2; }
    int toneTop() const { return height - 2 - cellHeight; }
    Rect toneCell(int tone) const;
    // The tone a press at (x, y) chooses: 1 … 15, or -1.  Tones 0 and 16 are
    // shown for comparison and cannot be chosen.
    int toneAt(int x, int y) const;

    Rect preview() const;
    Rect borderSwatch() const;
};

} // namespace celdo
