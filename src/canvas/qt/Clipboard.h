#pragma once

#include "canvas/PaintSurface.h"
#include "core/CellImage.h"
#include "core/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace celdo {

// The clipboard formats of a copied picture: the exact bitmap file (palette
// and indices survive), an ordinary image for other programs, and the mask.
inline constexpr const char* BitmapMimeType = "image/bmp";
inline constexpr const char* MaskMimeType = "application/x-celdo-mask";

// The bytes of a bitmap file holding `image` as it is stored: file header,
// 40-byte information header, the colour table of a 1-, 4- or 8-bit record
// (2, 16 or 256 entries) and the rows bottom row first.  Empty for a record
// without pixels.
std::vector<std::uint8_t> bitmapFileBytes(const CellImage& image);

// A record from a bitmap, with or without its 14-byte file header:
// uncompressed 1-, 4-, 8- and 24-bit pictures keep their depth and palette,
// run-length encoded ones are decoded, 16- and 32-bit ones become 24-bit
// records.  Null for anything truncated, inconsistent or too large; every
// declared size is checked against the data before anything is allocated.
CellImagePtr readBitmapBytes(const std::uint8_t* data, std::size_t size);

// Copy (112): the whole picture, and its mask when there is one, it is
// enabled and not all zero (the mask view is committed first in mask edit
// mode).  False when there is no picture.
bool CopyPictureToClipboard(PaintSurface& surface);
// 部分複写 and command 1360: the rectangle of the picture (cut to the
// picture) and of its mask.  False when nothing of it lies in the picture.
bool CopyRegionToClipboard(PaintSurface& surface, const Rect& region);

// A picture made elsewhere (a filter's new picture) and its mask, when it has
// one with a non-zero byte, replacing the clipboard's content.
void PutPictureOnClipboard(const CellImage& picture, const CellImage* mask);

// A picture read from the clipboard and the mask that came with it.
struct ClipboardPicture {
    CellImagePtr picture;
    CellImagePtr mask;
};
// Command 1380 and pasting: the clipboard's bitmap, preferring our own bitmap
// bytes, then any image another program offers (palette images keep their
// indices, everything else becomes a 24-bit record).  The mask comes along
// only when it is an 8-bit plane of the picture's size.  No picture when the
// clipboard holds none.
ClipboardPicture ReadClipboardPicture();
bool ClipboardHasPicture();

} // namespace celdo
