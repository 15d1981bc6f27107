#pragma once

#include "app/WindowLayout.h"

namespace celdo {

// What fitting a child frame to its image window ("大きさの調整") needs to
// know, in window pixels.
struct ChildFrameFitInput {
    // The client size that shows the whole canvas with its margins.
    WindowSize wanted;
    // The frame's borders and title bar around its client, both sides added.
    WindowSize decoration;
    int verticalBarWidth = 0;
    int horizontalBarHeight = 0;
    // From the frame's top-left corner to the right and bottom edges of the
    // client area it lives in.
    WindowSize available;
    // Narrowest outer width, so that the caption shows.
    int minimumWidth = 0;
};

// The outer size of the fitted frame.  When only the width does not fit, the
// height grows by the horizontal scroll bar; when only the height does not
// fit, the width grows by the vertical one; each dimension is then cut to
// the available space.
WindowSize ChildFrameFit(const ChildFrameFitInput& input);

} // namespace celdo
