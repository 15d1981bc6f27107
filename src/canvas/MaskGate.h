#pragma once

#include "canvas/PaintSurface.h"

#include <cstdint>
#include <vector>

namespace celdo {

// Which mask a write to the picture honours.
enum class MaskPolicy {
    // The mask protects while it is enabled: the painting tools and paste.
    HonourWhenEnabled,
    // The mask protects whether or not it is enabled: a palette-wide index
    // replacement must never reach pixels the user has protected.
    HonourEvenWhenDisabled,
    // Nothing is protected: the flood fill, flips, and filters that were
    // handed the mask and move it along with the pixels.
    Ignore,
};

// The one place that decides which pixels of a plane the mask protects
// (mask byte non-zero).  Writers ask for the protection of a whole row, so
// their inner loops stay plain walks over two arrays.
//
// A mask must be an 8-bit plane of the plane's size.  Attaching refuses any
// other, but a writer does not trust that: a mask of another size protects
// the pixels it covers and nothing beyond, and a mask that cannot be read as
// 8-bit bytes protects every pixel.
class MaskGate {
public:
    // Protects nothing.
    MaskGate() = default;
    // Guards a plane of width × height with `mask` (null: nothing protected).
    MaskGate(const CellImage* mask, int width, int height);
    // Guards writes to the surface's picture under `policy`.  Writes to the
    // mask view in mask edit mode are never protected and need no gate.
    MaskGate(const PaintSurface& surface, MaskPolicy policy);

    // False when no pixel can be protected.
    bool guards() const { return m_guards; }

    // The protection bytes of columns 0 … width − 1 of row y (non-zero =
    // protected), or null when nothing in the row is protected.  The bytes
    // stay valid until the next call.
    const std::uint8_t* protection(int y) {
        if (m_direct)
            return m_mask->row(y);
        return m_guards ? coveredRow(y) : nullptr;
    }
    bool isProtected(int x, int y) {
        const std::uint8_t* row = protection(y);
        return row && row[x];
    }

    // Copies `count` pixels of `fresh` onto `target`, which holds columns
    // x0 … x0 + count − 1 of row y, leaving protected pixels alone.  Pixels
    // are `bytesPerPixel` bytes wide in both.
    void Apply(int y, int x0, int count, const std::uint8_t* fresh, std::uint8_t* target,
               int bytesPerPixel = 1);

private:
    void guard(const CellImage* mask, int width, int height);
    const std::uint8_t* coveredRow(int y);

    const CellImage* m_mask = nullptr;
    bool m_guards = false;
    bool m_direct = false; // m_mask is an 8-bit plane of the guarded size
    bool m_allProtected = false;
    int m_width = 0;
    std::vector<std::uint8_t> m_row; // protection of one row when not direct
};

} // namespace celdo
