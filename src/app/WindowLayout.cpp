#include "app/WindowLayout.h"

#include <algorithm>

namespace celdo {

namespace {

// Band i of n over `extent`, cut where extent·i/n falls.
std::pair<int, int> band(int extent, int i, int n) {
    return {extent * i / n, extent * (i + 1) / n};
}

} // namespace

std::vector<Rect> TileSideBySide(int count, int width, int height) {
    std::vector<Rect> placed;
    for (int i = 0; i < count; ++i) {
        const auto [left, right] = band(width, i, count);
        placed.push_back({left, 0, right, height});
    }
    return placed;
}

std::vector<Rect> TileStacked(int count, int width, int height) {
    std::vector<Rect> placed;
    for (int i = 0; i < count; ++i) {
        const auto [top, bottom] = band(height, i, count);
        placed.push_back({0, top, width, bottom});
    }
    return placed;
}

std::vector<Rect> Cascade(const std::vector<WindowSize>& sizes, int width, int height, int stepY) {
    constexpr int BottomMargin = 50;
    constexpr int RightMargin = 100;
    std::vector<Rect> placed;
    const int n = static_cast<int>(sizes.size());
    if (n == 0)
        return placed;
    stepY = std::max(stepY, 1);
    const int rows = std::max((height - BottomMargin) / stepY, 1);
    const int columns = std::max(n / rows + (n % rows ? 1 : 0), 1);
    const int columnWidth = (width - RightMargin) / columns;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const int i = static_cast<int>(placed.size());
            if (i == n)
                return placed;
            const int x = row * CascadeStepX + column * columnWidth;
            const int y = row * stepY;
            placed.push_back({x, y, x + sizes[i].width, y + sizes[i].height});
        }
    return placed;
}

std::vector<Point> ArrangeIcons(const std::vector<WindowSize>& sizes, int width, int height) {
    std::vector<Point> placed;
    int x = 0;
    for (const WindowSize& s : sizes) {
        if (x > 0 && x + s.width > width)
            x = 0;
        placed.push_back({x, height - s.height});
        x += s.width;
    }
    return placed;
}

} // namespace celdo
