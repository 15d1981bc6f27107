// "CELDO::MASK" clipboard blocks.  A plane read must be the block's header
// and pixel bytes; written again it must give the block a copy puts on the
// clipboard, which reads back to the same plane.
#include "FuzzSupport.h"

#include "canvas/ClipboardData.h"
#include "canvas/MaskClipboard.h"

#include <algorithm>
#include <cstring>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

unsigned wordAt(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}

std::uint32_t dwordAt(const std::uint8_t* p) {
    return wordAt(p) | static_cast<std::uint32_t>(wordAt(p + 2)) << 16;
}

bool anyProtected(const CellImage& plane) {
    for (int y = 0; y < plane.height(); ++y)
        for (int x = 0; x < plane.width(); ++x)
            if (pixelAt(plane, x, y) != 0)
                return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CellImagePtr plane = readMaskClipboardData(data, size);
    if (!plane)
        return 0;
    TouchPixels(*plane);
    // Header: 1, 0, pixel byte count, width, height, 8; rows padded to 4.
    Require(size >= 20, "a plane from a block shorter than its header");
    const unsigned width = wordAt(data + 8);
    const unsigned height = wordAt(data + 10);
    const std::uint32_t rowBytes = (width + 3) & ~3u;
    Require(plane->bitsPerPixel() == 8 && wordAt(data + 12) == 8, "mask block depth");
    Require(static_cast<unsigned>(plane->width()) == width &&
                static_cast<unsigned>(plane->height()) == height,
            "mask block size");
    Require(dwordAt(data + 4) == rowBytes * height && plane->imageSize() == rowBytes * height,
            "mask block byte count");
    Require(size - 20 >= plane->imageSize(), "a plane longer than its block");
    Require(std::memcmp(plane->pixels(), data + 20, plane->imageSize()) == 0, "mask block pixels");

    const Bytes written = writeMaskClipboardData(*plane);
    if (!anyProtected(*plane)) {
        Require(written.empty(), "an all-zero mask goes on the clipboard");
        return 0;
    }
    Require(written.size() == 20 + plane->imageSize() + 4, "written mask block length");
    Require(
        wordAt(&written[0]) == 1 && wordAt(&written[2]) == 0 &&
            dwordAt(&written[4]) == plane->imageSize() && wordAt(&written[8]) == width &&
            wordAt(&written[10]) == height && wordAt(&written[12]) == 8 &&
            std::all_of(written.begin() + 14, written.begin() + 20,
                        [](std::uint8_t b) { return b == 0; }) &&
            std::all_of(written.end() - 4, written.end(), [](std::uint8_t b) { return b == 0; }),
        "written mask block header");

    CellImagePtr again = readMaskClipboardData(written.data(), written.size());
    Require(again != nullptr, "reading a written mask block");
    Require(again->imageSize() == plane->imageSize() &&
                std::memcmp(again->pixels(), plane->pixels(), plane->imageSize()) == 0,
            "mask block after a round trip");

    // Pasting takes the mask only beside a picture of its size.
    const CellImagePtr same = CellImage::Create(plane->width(), plane->height(), 8, false);
    Require(ClipboardData::readMask(written, *same) != nullptr, "mask refused beside its picture");
    if (plane->width() < CellImage::MaxDimension) {
        const CellImagePtr wider = CellImage::Create(plane->width() + 1, plane->height(), 8, false);
        Require(ClipboardData::readMask(written, *wider) == nullptr,
                "mask taken beside a picture of another size");
    }
    return 0;
}
