#pragma once

#include "canvas/PaintSurface.h"
#include "core/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace celdo {

// Name of the clipboard format that carries a mask beside a copied picture.
inline constexpr const char* MaskClipboardFormat = "CELDO::MASK";

// The "CELDO::MASK" bytes of an 8-bit mask plane: a 20-byte header (1, 0,
// pixel byte count, width, height, 8, 0, four unused bytes written as 0),
// the stored pixel rows bottom row first, and four trailing zero bytes.
// Empty when every mask byte is 0 (nothing is put on the clipboard then) or
// the plane is not an 8-bit record.
std::vector<std::uint8_t> writeMaskClipboardData(const CellImage& mask);

// A mask plane from "CELDO::MASK" bytes; null for data that is short,
// declares another depth than 8 bits or a pixel byte count that does not
// match its width and height, or when memory runs out.
CellImagePtr readMaskClipboardData(const std::uint8_t* data, std::size_t size);

// The mask bytes a copy of the surface puts beside its picture: the whole
// mask, or the rectangle `region` of it (a tool's inclusive rectangle goes
// through Rect::fromInclusive).  Empty when there is no
// mask, it is disabled, the region does not lie in the picture, or every
// byte is 0.  In mask edit mode the mask view is committed first.
std::vector<std::uint8_t> maskClipboardDataFor(PaintSurface& surface);
std::vector<std::uint8_t> maskClipboardDataFor(PaintSurface& surface, const Rect& region);

} // namespace celdo
