#pragma once

#include "canvas/EditingState.h"
#include "canvas/MaskGate.h"
#include "canvas/PaintSurface.h"

#include <cstdint>

namespace celdo {

// The one path through which the painting operations write pixels.  On the
// picture it lays down the current colour (or the tone/tile pattern, read at
// (x mod 16, y mod 16)) and leaves the pixels its mask gate protects alone;
// on the mask view it sets bit 7 when maskPaintValue is non-zero and clears
// it otherwise, keeping bits 0–6.
class PixelWriter {
public:
    enum class Target {
        PaintPlane, // the mask view in mask edit mode, else the picture
        Picture,
        MaskView,
    };

    // `policy` decides which picture pixels the mask protects; the flood fill
    // paints every pixel it reaches (MaskPolicy::Ignore).
    PixelWriter(PaintSurface& surface, const EditingState& state, Target target,
                MaskPolicy policy = MaskPolicy::HonourWhenEnabled);

    // False when there is nothing to paint on (no picture, no mask view in
    // mask edit mode, a picture that is not 8-bit).
    bool valid() const { return m_plane != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool writesMaskView() const { return m_toMaskView; }

    // Paints columns x0 … x1 − 1 of row y; the caller has clipped them to the
    // plane.  With `cells`, only columns whose cells[x − x0] is non-zero.
    void PaintRun(int y, int x0, int x1, const std::uint8_t* cells = nullptr);

private:
    MaskGate m_gate;
    CellImage* m_plane = nullptr;
    bool m_toMaskView = false;
    bool m_setBit = false;
    bool m_tiled = false;
    std::uint8_t m_colour = 0;
    const std::uint8_t* m_tile = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace celdo
