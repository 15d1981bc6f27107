#include "app/SaveColourCheck.h"

#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/MagFile.h"
#include "framework/Ui.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace celdo {

int pixelsBeyondDepth(const CellImage& image, int bits, int columns, int rows, int sparedFrom) {
    const int depth = image.bitsPerPixel();
    if (bits >= 8 || bits >= depth || depth > 8 || !image.pixels())
        return 0;
    const int width = std::min(columns, image.width());
    const int height = std::min(rows, image.height());
    const int limit = 1 << bits;
    // Rows of 1 and 4 bits are unpacked to one byte a pixel first.
    std::vector<std::uint8_t> unpacked(depth < 8 ? 8 * static_cast<std::size_t>(image.stride())
                                                 : 0);
    int count = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.row(y);
        if (depth == 4) {
            image.UnpackRow4(unpacked.data(), row);
            row = unpacked.data();
        } else if (depth == 1) {
            image.UnpackRow1(unpacked.data(), row);
            row = unpacked.data();
        }
        for (int x = 0; x < width; ++x)
            if (row[x] >= limit && row[x] < sparedFrom)
                ++count;
    }
    return count;
}

int pixelsBeyondDepth(const CellImage& image, int bits) {
    return pixelsBeyondDepth(image, bits, image.width(), image.height());
}

int savedIndexBits(const GraphicFile& file) {
    if (const auto* bmp = dynamic_cast<const BmpFile*>(&file))
        return bmp->saveBits() == 1 || bmp->saveBits() == 4 ? bmp->saveBits() : 8;
    if (const auto* mag = dynamic_cast<const MagFile*>(&file))
        return mag->saveBits() == 4 ? 4 : 8;
    if (const auto* icon = dynamic_cast<const IconFile*>(&file))
        return icon->colours() == 2 ? 1 : icon->colours() == 256 ? 8 : 4;
    if (const auto* cell = dynamic_cast<const KissCellFile*>(&file))
        return cell->kind() == 2 ? 8 : 4;
    return 8;
}

int pixelsChangingColour(const GraphicFile& file, const CellImage& image) {
    const int bits = savedIndexBits(file);
    if (const auto* icon = dynamic_cast<const IconFile*>(&file)) {
        const bool cursor = icon->variant() == IconFile::CursorVariant;
        return pixelsBeyondDepth(image, bits, cursor ? 32 : icon->width(),
                                 cursor ? 32 : icon->height(), IconFile::Inverted);
    }
    return pixelsBeyondDepth(image, bits);
}

std::string colourChangeQuestion(int pixels) {
    char text[128];
    std::snprintf(text, sizeof text, "%d個の点の色が変わります。保存しますか？", pixels);
    return text;
}

bool ConfirmColourChange(Ui& ui, int pixels) {
    if (pixels <= 0)
        return true;
    return ui.messageBox(colourChangeQuestion(pixels), "Celdos", MessageIcon::Question,
                         MessageButtons::YesNo) == answer::Yes;
}

} // namespace celdo
