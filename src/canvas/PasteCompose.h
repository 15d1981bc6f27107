#pragma once

#include "canvas/PaintSurface.h"
#include "core/Colour.h"
#include "core/Rect.h"
#include "core/Status.h"

namespace celdo {

// How a paste combines with the picture below.
namespace overlay {
inline constexpr int Plain = 0; // "そのまま重ねる": the paste replaces the picture
inline constexpr int Over = 1;  // "上から重ねる": index 0 of the paste is transparent
inline constexpr int Under = 2; // "下から重ねる": the paste shows through index 0 only
} // namespace overlay

// Where a paste lies on the target picture, in image pixels.  A stretched
// paste is width × height; an unstretched one keeps the source's size.
struct PastePlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool stretched = false;
};

// The composed copy of a paste and the part of it that lies on the picture:
// rows firstRow … pastLastRow − 1 of `preview`, columns sourceColumn …
// sourceColumn + length − 1, go to picture row originY + row, column
// targetColumn onwards.
struct ComposedPaste {
    CellImagePtr preview;
    int originX = 0;
    int originY = 0;
    int sourceColumn = 0;
    int targetColumn = 0;
    int length = 0;
    int firstRow = 0;
    int pastLastRow = 0;
};

// Keeps a clipboard mask for a paste only when it is an 8-bit plane of the
// source's width and height; anything else is destroyed (null result).
CellImagePtr AcceptPasteMask(const CellImage& source, CellImagePtr mask);

// Composes `converted` (8-bit, in the target palette) with the target
// picture: the paste is clipped at every edge of the picture, combined by
// `overlayMode`, and pixels protected by the target's enabled mask or marked
// in `pasteMask` keep the picture's value.  The composed copy has the
// palette `group` (256 entries).  A paste wholly outside the picture leaves
// `out.preview` null with status 0; running out of memory gives 8.
Status Compose(const PaintSurface& target, const CellImage& converted, const CellImage* pasteMask,
               const PastePlacement& placement, int overlayMode, const ColourValue* group,
               ComposedPaste& out);

// Copies the clipped part of a composed paste into the target picture and
// marks it modified; returns the changed rectangle.
Rect LayDown(PaintSurface& target, const ComposedPaste& composed);

} // namespace celdo
