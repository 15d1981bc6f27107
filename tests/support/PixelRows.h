#pragma once

#include "core/CellImage.h"

#include <cstddef>
#include <vector>

namespace celdo::test {

// Pixel rows of an 8-bit picture, top row first, for comparing with rows
// written out by hand.
using Rows = std::vector<std::vector<int>>;

inline Rows rows(const CellImage& image) {
    Rows out(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out[static_cast<std::size_t>(y)].push_back(image.at(x, y));
    return out;
}

} // namespace celdo::test
