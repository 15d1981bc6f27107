// Pictures a filter plug-in hands back: an information block (40-byte
// header and colour table) and a pixel block, both from std::malloc and
// sized exactly as the plug-in made them.  Input: the information block's
// length (2 bytes), the block, then the pixels.  The host must take exactly
// the blocks that describe a picture they can hold, and the picture it
// takes must be those bytes; written as a bitmap and read back, it must not
// change.
#include "FuzzSupport.h"

#include "formats/BmpFile.h"
#include "plugins/FilterHost.h"

#include <algorithm>
#include <cstring>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

std::uint32_t dwordAt(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

unsigned wordAt(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}

// Whether the blocks describe a picture, decided from the bytes alone.
bool describesPicture(const Bytes& info, std::size_t pixelBytes) {
    if (info.size() < 40)
        return false;
    const std::uint32_t headerSize = dwordAt(&info[0]);
    const auto width = static_cast<std::int32_t>(dwordAt(&info[4]));
    const auto height = static_cast<std::int32_t>(dwordAt(&info[8]));
    const std::uint64_t depth = std::uint64_t{wordAt(&info[12])} * wordAt(&info[14]);
    const std::uint32_t compression = dwordAt(&info[16]);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return false;
    if (width < 1 || width > 32767 || height < 1 || height > 32767 || compression != 0)
        return false;
    if (headerSize < 40 || headerSize > info.size())
        return false;
    const std::uint64_t colours = depth <= 8 ? std::uint64_t{1} << depth : 0;
    if (info.size() - headerSize < 4 * colours)
        return false;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
    return pixelBytes >= stride * static_cast<std::uint64_t>(height);
}

void* mallocCopy(const std::uint8_t* bytes, std::size_t count) {
    void* block = std::malloc(count);
    if (block && count > 0)
        std::memcpy(block, bytes, count);
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::size_t infoLength = std::min<std::size_t>(wordAt(data), size - 2);
    const Bytes info(data + 2, data + 2 + infoLength);
    const Bytes pixels(data + 2 + infoLength, data + size);
    const bool expected = describesPicture(info, pixels.size());

    CellImagePtr picture = AdoptReturnedPicture(mallocCopy(info.data(), info.size()),
                                                mallocCopy(pixels.data(), pixels.size()));
    Require((picture != nullptr) == expected, "returned blocks taken or refused wrongly");
    if (!picture)
        return 0;
    TouchPixels(*picture);
    const int depth = static_cast<int>(wordAt(&info[12]) * wordAt(&info[14]));
    Require(picture->bitsPerPixel() == depth, "returned picture depth");
    Require(picture->width() == static_cast<std::int32_t>(dwordAt(&info[4])) &&
                picture->height() == static_cast<std::int32_t>(dwordAt(&info[8])),
            "returned picture size");
    Require(std::memcmp(picture->pixels(), pixels.data(), picture->imageSize()) == 0,
            "returned pixels");
    const std::uint8_t* table = info.data() + dwordAt(&info[0]);
    for (int i = 0; i < CellImage::fullColourCount(depth); ++i) {
        const std::uint8_t* e = table + 4 * i;
        Require(picture->paletteEntry(i) == rgb(e[2], e[1], e[0]), "returned colour table");
    }

    BmpFile out("fuzz.bmp");
    out.setFromImage(*picture);
    Bytes written;
    Require(out.saveToMemory(*picture, nullptr, written) == status::Ok, "writing a filter result");
    BmpFile back("fuzz.bmp");
    CellImagePtr again = LoadFromMemory(back, written);
    Require(again != nullptr, "reading a written filter result");
    Require(samePixels(*picture, *again), "filter result pixels after a round trip");
    Require(sameFullPalette(*picture, *again), "filter result colours after a round trip");
    return 0;
}
