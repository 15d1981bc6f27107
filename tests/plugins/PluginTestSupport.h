#pragma once

#include "core/CellImage.h"

#include <string>

namespace celdo::test {

// Libraries built beside the tests.
inline std::string binaryDir() {
    return std::string(CELDO_BINARY_DIR) + "/bin";
}
inline std::string fixturePlugin(const std::string& name) {
    return binaryDir() + "/test-plugins/" + name + ".so";
}
inline std::string deliveredPlugin() {
    return binaryDir() + "/cplugin.so";
}

// An 8-bit picture whose pixel (x, y) is x + 10 * y, with palette entry i =
// (i, 255 - i, 7).
inline CellImagePtr numberedPicture(int width, int height) {
    auto image = CellImage::Create(width, height, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x + 10 * y);
    ColourValue palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(static_cast<unsigned>(i), static_cast<unsigned>(255 - i), 7);
    image->SetPalette(palette, 256);
    return image;
}

} // namespace celdo::test
