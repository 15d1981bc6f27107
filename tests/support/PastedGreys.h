#pragma once

#include "palette/ColourConversionSettings.h"
#include "palette/ColourConverter.h"

#include <array>
#include <cstdint>
#include <memory>

namespace celdo::test {

// A 3 × 2 paste of source colours 1 (100 grey, 3 pixels), 2 (120 grey, 1
// pixel) and 5 (140 grey, 2 pixels) converted onto a palette of 100 grey (1)
// and 140 grey (2): colour 2 becomes the checkerboard of entries 1 and 2.
struct PastedGreys {
    ColourConversionSettings settings;
    std::array<ColourValue, 256> palette{};
    std::unique_ptr<ColourConverter> converter;
    int repaints = 0;

    PastedGreys() {
        auto source = CellImage::Create(3, 2, 8);
        const std::uint8_t rows[2][3] = {{1, 2, 5}, {1, 1, 5}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                source->at(x, y) = rows[y][x];
        std::array<ColourValue, 256> own{};
        own[1] = rgb(100, 100, 100);
        own[2] = rgb(120, 120, 120);
        own[5] = rgb(140, 140, 140);
        source->SetPalette(own.data(), 256);
        palette[1] = rgb(100, 100, 100);
        palette[2] = rgb(140, 140, 140);
        converter = std::make_unique<ColourConverter>(std::move(source), palette.data(), settings);
    }
};

} // namespace celdo::test
