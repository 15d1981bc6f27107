#pragma once

#include "canvas/PaintSurface.h"
#include "core/Colour.h"
#include "core/Rect.h"
#include "core/Status.h"

#include <array>

namespace celdo {

// Mask view palette: paintable pixels show in 128 shades of blue, protected
// pixels (bit 7 set) in 128 shades of magenta.
std::array<ColourValue, 256> maskViewPalette();

// The 7-bit grey level a picture colour shows with in the mask view.
int maskGreyLevel(ColourValue colour);

// The mask operations of a canvas.  Each returns the rectangle of pixels it
// changed (empty when nothing changed); the caller repaints it.

// Builds the mask view from the picture and the mask (creating an all-zero
// mask when the picture has none) and switches to mask edit mode.  When
// memory runs out nothing changes: the surface stays in image edit mode and
// `result` is 8.  Nothing happens when already in mask edit mode.
Rect EnterMaskMode(PaintSurface& surface, Status* result = nullptr);

// Commits the mask view into the mask, drops the view and returns to image
// edit mode.
Rect LeaveMaskMode(PaintSurface& surface);

// Mask byte := 0xFF where bit 7 of the mask view is set, else 0.  Run before
// anything reads the mask while mask edit mode is on.
Rect CommitMaskView(PaintSurface& surface);

// Bit 7 of the mask view := mask byte non-zero; the grey bits stay.
Rect RefreshMaskView(PaintSurface& surface);

// Mask edit mode: toggles bit 7 of every mask view pixel.  Image edit mode:
// every mask byte b becomes 255 - b.  A picture without a mask gets an
// all-protected one, the inverse of "nothing protected" (out of memory:
// nothing changes and `result` is 8).  Marks the surface modified.
Rect InvertMask(PaintSurface& surface, Status* result = nullptr);

// Mask edit mode: clears bit 7 of every mask view pixel.  Image edit mode:
// the mask plane is dropped.  Marks the surface modified.
Rect ClearMask(PaintSurface& surface);

// Takes `mask` as the surface's mask when it is an 8-bit plane of exactly
// the picture's width and height; otherwise it is destroyed and the present
// mask stays.  In mask edit mode the view follows the new mask.
bool AttachMask(PaintSurface& surface, CellImagePtr mask);

} // namespace celdo
