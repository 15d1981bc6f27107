#pragma once

#include "core/CellImage.h"

#include <cstdint>
#include <vector>

namespace celdo::test {

// An 8-bit picture whose pixel (x, y) is index x·16 + y, with palette entry i
// = (255 − i, i, i / 2): every pixel and every entry tells where it came from.
inline CellImagePtr positionCodedPicture(int w, int h) {
    auto p = CellImage::Create(w, h, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(255 - i, i, i / 2);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->at(x, y) = static_cast<std::uint8_t>(x * 16 + y);
    return p;
}

} // namespace celdo::test
