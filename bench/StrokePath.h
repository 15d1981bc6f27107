#pragma once

#include "core/Point.h"

#include <cmath>
#include <vector>

// The 1000 dab positions of the stroke benchmarks: a figure of eight across
// a 1024 × 1024 picture, so that a recorded stroke touches many tiles.
inline std::vector<celdo::Point> FigureEightPath() {
    std::vector<celdo::Point> path;
    for (int i = 0; i < 1000; ++i) {
        const double t = i / 1000.0 * 2.0 * 3.14159265358979;
        path.push_back({512 + static_cast<int>(400 * std::cos(t)),
                        512 + static_cast<int>(300 * std::sin(2 * t))});
    }
    return path;
}
