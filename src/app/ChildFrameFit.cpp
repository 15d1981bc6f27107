#include "app/ChildFrameFit.h"

#include <algorithm>

namespace celdo {

WindowSize ChildFrameFit(const ChildFrameFitInput& input) {
    const int roomWidth = input.available.width - input.decoration.width;
    const int roomHeight = input.available.height - input.decoration.height;
    int width = input.wanted.width;
    int height = input.wanted.height;
    const bool widthFits = width <= roomWidth;
    const bool heightFits = height <= roomHeight;
    // The bar of the direction that does not fit takes room from the other.
    if (!widthFits && heightFits)
        height += input.horizontalBarHeight;
    else if (widthFits && !heightFits)
        width += input.verticalBarWidth;
    WindowSize outer{std::min(width, roomWidth) + input.decoration.width,
                     std::min(height, roomHeight) + input.decoration.height};
    outer.width = std::min(std::max(outer.width, input.minimumWidth), input.available.width);
    // A frame placed beyond the client area's edge still keeps its
    // decoration on screen.
    outer.width = std::max(outer.width, input.decoration.width);
    outer.height = std::max(outer.height, input.decoration.height);
    return outer;
}

} // namespace celdo
