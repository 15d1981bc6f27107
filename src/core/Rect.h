#pragma once

#include <algorithm>

namespace celdo {

// A rectangle of image pixels; right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect fromInclusive(int l, int t, int r, int b) { return {l, t, r + 1, b + 1}; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect intersected(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
    }
    // The smallest rectangle holding both; an empty side is ignored.
    Rect united(const Rect& o) const {
        if (empty())
            return o;
        if (o.empty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    bool operator==(const Rect&) const = default;
};

} // namespace celdo
