#pragma once

#include "core/Point.h"
#include "core/Rect.h"

#include <cstddef>
#include <cstdint>

namespace celdo {

class KissSet;

// The largest playfield drawn whole (256 MiB of pixels): a larger size line
// is no screen of a set, and drawing it would only exhaust memory.
inline constexpr long long MaxPagePixels = 8192LL * 8192LL;

struct SetPageView {
    int page = 0;
    // Apply the `unmap`s of the script's `initialize` event.
    bool initialScript = false;
};

// Draws `area` of the page's playfield into `pixels` (0xFFRRGGBB, top row
// first, `stride` pixels a row; pixels[0] is the area's top-left).  The
// playfield takes the border colour, then the page's cells are drawn from the
// last cell line to the first; index 0 is transparent, `%t` and the alpha of
// 32-bit cells blend.  Parts of `area` outside the playfield are left alone.
void RenderSetPage(const KissSet& set, const SetPageView& view, Rect area, std::uint32_t* pixels,
                   std::size_t stride);

// The cell line under playfield point `at`: the first cell line shown on the
// page, covering the point, whose pixel there is not index 0 (nor fully
// transparent); -1 when none.  `cellPixel` gets the point in the cell.
int cellUnderPoint(const KissSet& set, const SetPageView& view, Point at, Point* cellPixel);

} // namespace celdo
