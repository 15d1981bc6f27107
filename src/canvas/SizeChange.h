#pragma once

#include "canvas/PaintSurface.h"
#include "core/CellImage.h"

#include <optional>

namespace celdo {

// Margins of a size change: columns or rows added (negative: removed) at
// each side.
struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool isZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const Margins&) const = default;
};

inline constexpr const char* NegativeSizeMessage = "変更後の大きさが負になります";
inline constexpr const char* SizeChangeFailedMessage = "大きさの変更に失敗しました";

enum class SizeChangeResult {
    Applied,
    Unchanged,    // all four margins 0
    NegativeSize, // tell NegativeSizeMessage
    Failed,       // tell SizeChangeFailedMessage; nothing changed
};

// A copy of an 8- or 24-bit image with the margins added or cut away.  New
// pixels are index 0 (8-bit) or white (24-bit); the palette is kept.  Null
// when the new size is not 1 … 32767 each way, the depth is another one or
// memory runs out.
CellImagePtr ResizeWithMargins(const CellImage& image, const Margins& margins);

// Resizes the mask plane (when there is one) first, then the picture; either
// failing leaves the surface as it was.  The mask view is not resized: the
// size change is offered in image edit mode only, and in mask edit mode the
// result is Failed.
SizeChangeResult ApplySizeChange(PaintSurface& surface, const Margins& margins);

// 調整: margins that cut away the border (index 0 for 8-bit, white for 24-bit
// pictures) around the picture; nothing when every row is border.
std::optional<Margins> ProposeMargins(const CellImage& image);

} // namespace celdo
