#include "canvas/PixelWriter.h"

#include <cstring>

namespace celdo {

PixelWriter::PixelWriter(PaintSurface& surface, const EditingState& state, Target target,
                         MaskPolicy policy) {
    if (target == Target::PaintPlane)
        target = surface.maskMode ? Target::MaskView : Target::Picture;
    CellImage* plane = target == Target::MaskView ? surface.maskView.get() : surface.picture.get();
    if (!plane || !plane->pixels() || plane->bitsPerPixel() != 8)
        return;
    m_toMaskView = target == Target::MaskView;
    m_width = plane->width();
    m_height = plane->height();
    if (!m_toMaskView)
        m_gate = MaskGate(surface, policy);
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
    if (m_toMaskView) {
        for (int x = x0; x < x1; ++x) {
            if (cells && !cells[x - x0])
                continue;
            row[x] = m_setBit ? (row[x] | 0x80) : (row[x] & 0x7F);
        }
        return;
    }
    const std::uint8_t* maskRow = m_gate.protection(y);
    const std::uint8_t* tileRow = m_tile + (y & 15) * 16;
    if (!cells && !maskRow && !m_tiled) {
        std::memset(row + x0, m_colour, static_cast<std::size_t>(x1 - x0));
        return;
    }
    for (int x = x0; x < x1; ++x) {
        if (cells && !cells[x - x0])
            continue;
        if (maskRow && maskRow[x])
            continue;
        row[x] = m_tiled ? tileRow[x & 15] : m_colour;
    }
}

} // namespace celdo
