#include "canvas/MaskClipboard.h"

#include "canvas/MaskEdit.h"

#include <algorithm>
#include <cstring>

namespace celdo {

namespace {

constexpr std::size_t HeaderSize = 20;
constexpr std::size_t TrailerSize = 4;

void putWord(std::uint8_t* p, unsigned v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void putDword(std::uint8_t* p, std::uint32_t v) {
    putWord(p, v & 0xFFFF);
    putWord(p + 2, v >> 16);
}
unsigned word(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t dword(const std::uint8_t* p) {
    return word(p) | (static_cast<std::uint32_t>(word(p + 2)) << 16);
}

bool anyProtected(const CellImage& mask) {
    for (int y = 0; y < mask.height(); ++y) {
        const std::uint8_t* row = mask.row(y);
        if (std::any_of(row, row + mask.width(), [](std::uint8_t v) { return v != 0; }))
            return true;
    }
    return false;
}

} // namespace

std::vector<std::uint8_t> writeMaskClipboardData(const CellImage& mask) {
    if (mask.bitsPerPixel() != 8 || !mask.pixels() || !anyProtected(mask))
        return {};
    const std::uint32_t size = mask.imageSize();
    std::vector<std::uint8_t> data(HeaderSize + size + TrailerSize, 0);
    putWord(&data[0], 1);
    putDword(&data[4], size);
    putWord(&data[8], static_cast<unsigned>(mask.width()));
    putWord(&data[10], static_cast<unsigned>(mask.height()));
    putWord(&data[12], 8);
    std::memcpy(&data[HeaderSize], mask.pixels(), size);
    return data;
}

CellImagePtr readMaskClipboardData(const std::uint8_t* data, std::size_t size) {
    if (!data || size < HeaderSize)
        return nullptr;
    const std::uint32_t declared = dword(data + 4);
    const int width = static_cast<int>(word(data + 8));
    const int height = static_cast<int>(word(data + 10));
    const int bits = static_cast<int>(word(data + 12));
    if (bits != 8 || width <= 0 || height <= 0 || width > CellImage::MaxDimension ||
        height > CellImage::MaxDimension)
        return nullptr;
    // Sizes are checked against the data before anything is allocated.
    const std::uint64_t expected =
        static_cast<std::uint64_t>(CellImage::strideFor(width, 8)) * static_cast<unsigned>(height);
    if (declared != expected || size - HeaderSize < expected)
        return nullptr;
    auto mask = CellImage::Create(width, height, 8);
    if (mask->status() != status::Ok)
        return nullptr;
    std::memcpy(mask->pixels(), data + HeaderSize, declared);
    return mask;
}

std::vector<std::uint8_t> maskClipboardDataFor(PaintSurface& surface) {
    if (!surface.mask || !surface.maskEnabled)
        return {};
    CommitMaskView(surface);
    return writeMaskClipboardData(*surface.mask);
}

std::vector<std::uint8_t> maskClipboardDataFor(PaintSurface& surface, const Rect& region) {
    if (!surface.mask || !surface.maskEnabled)
        return {};
    CommitMaskView(surface);
    auto part = surface.mask->Crop(region.left, region.top, region.right, region.bottom);
    if (!part)
        return {};
    return writeMaskClipboardData(*part);
}

} // namespace celdo
