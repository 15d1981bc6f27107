#include "canvas/ClipboardData.h"

#include "canvas/MaskClipboard.h"
#include "formats/BmpFile.h"

namespace celdo {

ClipboardData ClipboardData::ofSurface(PaintSurface& surface) {
    if (!surface.picture)
        return {};
    return {bitmapOf(*surface.picture), maskClipboardDataFor(surface)};
}

ClipboardData ClipboardData::ofRegion(PaintSurface& surface, const Rect& region) {
    if (!surface.picture)
        return {};
    const Rect r = region.intersected({0, 0, surface.picture->width(), surface.picture->height()});
    if (r.empty())
        return {};
    CellImagePtr part = surface.picture->Crop(r.left, r.top, r.right, r.bottom);
    if (!part)
        return {};
    return {bitmapOf(*part), maskClipboardDataFor(surface, r)};
}

ClipboardData ClipboardData::ofPicture(const CellImage& picture, const CellImage* mask) {
    return {bitmapOf(picture), mask ? writeMaskClipboardData(*mask) : std::vector<std::uint8_t>()};
}

std::vector<std::uint8_t> ClipboardData::bitmapOf(const CellImage& picture) {
    std::vector<std::uint8_t> bytes;
    if (!picture.pixels())
        return bytes;
    BmpFile file({});
    file.setFromImage(picture);
    if (file.saveToMemory(picture, nullptr, bytes) != status::Ok)
        return {};
    return bytes;
}

CellImagePtr ClipboardData::readPicture(std::span<const std::uint8_t> bitmap) {
    BmpFile file({});
    file.readFromMemory(bitmap);
    file.setPacked(bitmap.size() < 2 || bitmap[0] != 'B' || bitmap[1] != 'M');
    if (file.readHeader() != status::Ok)
        return nullptr;
    return file.readImage();
}

CellImagePtr ClipboardData::readMask(std::span<const std::uint8_t> mask, const CellImage& picture) {
    CellImagePtr plane = readMaskClipboardData(mask.data(), mask.size());
    if (!plane || plane->width() != picture.width() || plane->height() != picture.height())
        return nullptr;
    return plane;
}

} // namespace celdo
