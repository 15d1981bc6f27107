#pragma once

#include "core/Point.h"
#include "core/Rect.h"

#include <vector>

namespace celdo {

// The size of one child window.
struct WindowSize {
    int width = 0;
    int height = 0;
};

// Where the window commands put the children of a client area `width` ×
// `height`.  The children are given in the order they are placed.

// Side by side: child i of n takes the columns width·i/n … width·(i+1)/n and
// the full height.
std::vector<Rect> TileSideBySide(int count, int width, int height);
// One above the other: child i of n takes the rows height·i/n …
// height·(i+1)/n and the full width.
std::vector<Rect> TileStacked(int count, int width, int height);

// Cascade: each child keeps its own size and moves `CascadeStepX` right and
// `stepY` (a title bar) down from the one before.  The rows end 50 pixels
// above the bottom; when more children come than rows fit, further cascades
// start in columns side by side, over the width less 100 pixels, filled row
// by row.
inline constexpr int CascadeStepX = 10;
std::vector<Rect> Cascade(const std::vector<WindowSize>& sizes, int width, int height, int stepY);

// Minimised children along the bottom edge from the left, each beside the
// one before; one that does not fit the width starts at the left again.
std::vector<Point> ArrangeIcons(const std::vector<WindowSize>& sizes, int width, int height);

} // namespace celdo
