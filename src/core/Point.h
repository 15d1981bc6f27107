#pragma once

namespace celdo {

// A position in window or image pixels.
struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

} // namespace celdo
