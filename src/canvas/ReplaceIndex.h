#pragma once

#include "canvas/PaintSurface.h"
#include "core/Rect.h"
#include "palette/PaletteOperations.h"

#include <span>

namespace celdo {

// Every pixel of an 8-bit picture equal to `from` becomes `to`; with `swap`,
// every pixel equal to `to` also becomes `from`.  Pixels the mask protects
// are left alone, as MaskGate decides (a mask plane of another size protects
// only the pixels it covers).  Returns the rectangle of the changed pixels,
// empty when nothing changed.
Rect ReplaceIndex(CellImage& picture, const CellImage* mask, int from, int to, bool swap);

// The same on a paint surface.  In mask edit mode the mask view is committed
// to the mask plane first.  The mask protects pixels whether or not it is
// enabled: a palette-wide replacement must never reach pixels the user has
// protected.  Marks the surface modified when a pixel changed.
Rect ReplaceIndex(PaintSurface& surface, int from, int to, bool swap);

// What an image window does with a palette operation's message: rewrites its
// picture's pixels and palette as the message says and marks itself
// modified.  The palette has already been changed.
void ApplyPaletteBroadcast(PaintSurface& surface, const PaletteBroadcast& message,
                           const PaletteSet& palette);

// Forwards a palette operation's message to every open picture, in order.
void BroadcastPaletteChange(const PaletteBroadcast& message, const PaletteSet& palette,
                            std::span<PaintSurface* const> surfaces);

// Colour group commands 1500–1509: makes the group current and shows it in
// every picture (palette only; pixels and the modified marks stay).  False
// and nothing changes when the group already was current.
bool SwitchColourGroup(PaletteSet& palette, int group, std::span<PaintSurface* const> surfaces);

} // namespace celdo
