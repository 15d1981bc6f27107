#pragma once

#include "canvas/PaintSurface.h"
#include "core/CellImage.h"
#include "core/Rect.h"

#include <cstdint>
#include <span>
#include <vector>

namespace celdo {

// What a copied picture puts on the clipboard, as bytes: the picture as a
// bitmap file written by BmpFile (palette and indices survive) and, when the
// copy carries one, its mask as "CELDO::MASK" bytes.  The clipboard glue only
// moves these bytes between the formats it offers.
struct ClipboardData {
    // The bitmap file: file header, 40-byte information header, the colour
    // table of a 1-, 4- or 8-bit record and the rows bottom row first.
    std::vector<std::uint8_t> bitmap;
    // Empty when no mask goes along.
    std::vector<std::uint8_t> mask;

    bool empty() const { return bitmap.empty(); }

    // Copy (112): the whole picture and, when it is enabled and not all zero,
    // its mask (the mask view is committed first in mask edit mode).  Empty
    // when there is no picture.
    static ClipboardData ofSurface(PaintSurface& surface);
    // 部分複写 and command 1360: the rectangle of the picture (cut to the
    // picture) and of its mask.  Empty when nothing of it lies in the picture.
    static ClipboardData ofRegion(PaintSurface& surface, const Rect& region);
    // A picture made elsewhere and its mask, which goes along only when it
    // has a non-zero byte.  Empty for a record without pixels.
    static ClipboardData ofPicture(const CellImage& picture, const CellImage* mask);

    // The bitmap bytes of `picture`; empty for a record without pixels.
    static std::vector<std::uint8_t> bitmapOf(const CellImage& picture);
    // The picture in bitmap bytes, with or without the 14-byte file header
    // (other programs put bare bitmaps on the clipboard).  Null for anything
    // the bitmap reader refuses: truncated, inconsistent or too large data.
    static CellImagePtr readPicture(std::span<const std::uint8_t> bitmap);
    // The mask in "CELDO::MASK" bytes when it is an 8-bit plane of the
    // picture's size, else null.
    static CellImagePtr readMask(std::span<const std::uint8_t> mask, const CellImage& picture);
};

} // namespace celdo
