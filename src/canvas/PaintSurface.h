#pragma once

#include "core/CellImage.h"

namespace celdo {

// What a canvas paints on: the picture, its mask plane (0 = paintable,
// non-zero = protected) and, in mask edit mode, the mask view (bits 0–6 a
// grey level of the picture, bit 7 the mask).  Which picture pixels the mask
// protects is decided by MaskGate alone; mask view writes are never blocked.
struct PaintSurface {
    CellImagePtr picture;
    CellImagePtr mask;
    CellImagePtr maskView;
    bool maskMode = false;
    bool maskEnabled = true;
    bool modified = false;

    // The plane the tools paint: the mask view in mask edit mode.
    CellImage* paintPlane() { return maskMode ? maskView.get() : picture.get(); }
    const CellImage* paintPlane() const { return maskMode ? maskView.get() : picture.get(); }
};

} // namespace celdo
