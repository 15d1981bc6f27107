#pragma once

#include "core/CellImage.h"

namespace celdo {

// What a canvas paints on: the picture, its mask plane (0 = paintable,
// non-zero = protected) and, in mask edit mode, the mask view (bits 0–6 a
// grey level of the picture, bit 7 the mask).  Every pixel write of the
// painting operations asks this object whether the pixel is protected.
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

    // In image edit mode, with the mask enabled, a non-zero mask byte
    // protects the picture pixel.  Nothing is protected in mask edit mode.
    bool isProtected(int x, int y) const {
        return !maskMode && maskEnabled && mask && mask->at(x, y) != 0;
    }
    // The mask plane that protects pixels now, or null.
    const CellImage* activeMask() const {
        return (!maskMode && maskEnabled) ? mask.get() : nullptr;
    }
};

} // namespace celdo
