#include "canvas/PixelWriter.h"

#include <cstring>

namespace celdo {

namespace {

PixelWriter::Target resolved(const PaintSurface& surface, PixelWriter::Target target) {
    if (target != PixelWriter::Target::PaintPlane)
        return target;
    return surface.maskMode ? PixelWriter::Target::MaskView : PixelWriter::Target::Picture;
}

// Writes to the mask view are never protected.  Built in place: a writer
// is made for every dab of a stroke.
MaskGate gateFor(const PaintSurface& surface, PixelWriter::Target target, MaskPolicy policy) {
    if (target == PixelWriter::Target::MaskView)
        return MaskGate();
    return MaskGate(surface, policy);
}

} // namespace

PixelWriter::PixelWriter(PaintSurface& surface, const EditingState& state, Target target,
                         MaskPolicy policy)
    : m_gate(gateFor(surface, resolved(surface, target), policy)) {
    target = resolved(surface, target);
    CellImage* plane = target == Target::MaskView ? surface.maskView.get() : surface.picture.get();
    if (!plane || !plane->pixels() || plane->bitsPerPixel() != 8)
        return;
    m_toMaskView = target == Target::MaskView;
    m_width = plane->width();
    m_height = plane->height();
    m_setBit = state.maskPaintValue != 0;
    m_tiled = state.selection.paintKind != ColourSelection::PlainColour;
    m_colour = static_cast<std::uint8_t>(state.selection.drawColor);
    m_tile = state.selection.tilePattern.data();
    m_plane = plane;
}

void PixelWriter::PaintRun(int y, int x0, int x1, const std::uint8_t* cells) {
    if (!m_plane || x0 >= x1)
        return;
    std::uint8_t* row = m_plane->row(y);
    // The settings are read into locals: every byte written to the row could
    // otherwise alias them and force a reload per pixel.
    if (m_toMaskView) {
        const bool setBit = m_setBit;
        for (int x = x0; x < x1; ++x) {
            if (cells && !cells[x - x0])
                continue;
            row[x] = setBit ? (row[x] | 0x80) : (row[x] & 0x7F);
        }
        return;
    }
    const std::uint8_t* maskRow = m_gate.protection(y);
    const bool tiled = m_tiled;
    const std::uint8_t colour = m_colour;
    if (!cells && !maskRow && !tiled) {
        std::memset(row + x0, colour, static_cast<std::size_t>(x1 - x0));
        return;
    }
    const std::uint8_t* tileRow = m_tile + (y & 15) * 16;
    for (int x = x0; x < x1; ++x) {
        if (cells && !cells[x - x0])
            continue;
        if (maskRow && maskRow[x])
            continue;
        row[x] = tiled ? tileRow[x & 15] : colour;
    }
}

} // namespace celdo
