#pragma once

#include "canvas/PaintSurface.h"
#include "core/CellImage.h"
#include "core/Rect.h"

namespace celdo {

// The clipboard formats of a copied picture: the exact bitmap file (palette
// and indices survive), an ordinary image for other programs, and the mask.
// Their bytes are made and read by ClipboardData; this is only the glue to
// QClipboard and its MIME types.
inline constexpr const char* BitmapMimeType = "image/bmp";
inline constexpr const char* MaskMimeType = "application/x-celdo-mask";

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
