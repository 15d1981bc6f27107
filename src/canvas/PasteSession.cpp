#include "canvas/PasteSession.h"

#include "canvas/MaskEdit.h"
#include "palette/ColourConversionSettings.h"

#include <array>
#include <cstdint>
#include <utility>

namespace celdo {

PasteSession::PasteSession(CellImagePtr source, CellImagePtr mask, const ColourValue* targetPalette,
                           ColourConversionSettings& settings, int targetWidth, int targetHeight,
                           const PasteZoom& canvasZoom, int scrollX, int scrollY)
    : m_targetWidth(targetWidth), m_targetHeight(targetHeight), m_zoom(canvasZoom) {
    if (source) {
        m_sourceWidth = source->width();
        m_sourceHeight = source->height();
        m_pasteMask = AcceptPasteMask(*source, std::move(mask));
    }
    m_converter = std::make_unique<ColourConverter>(std::move(source), targetPalette, settings);
    m_frame = initialPasteFrame(scrollX, scrollY, m_sourceWidth, m_sourceHeight, m_zoom);
}

Status PasteSession::status() const {
    return m_converter->status();
}

const CellImage* PasteSession::shown() const {
    if (m_composed.preview)
        return m_composed.preview.get();
    return m_converter->converted();
}

int PasteSession::press(Point client, Point at) {
    m_zone = pasteZone(client.x, client.y, m_frame.width(), m_frame.height());
    m_pressPoint = at;
    return m_zone;
}

bool PasteSession::dragTo(Point at) {
    if (m_zone < 0)
        return false;
    const PasteDrag drag =
        dragPasteFrame(m_frame, m_zone, at.x - m_pressPoint.x, at.y - m_pressPoint.y, m_zoom,
                       m_targetWidth, m_targetHeight);
    m_pressPoint.x += drag.usedDx;
    m_pressPoint.y += drag.usedDy;
    if (!drag.changed)
        return false;
    setFrame(drag.frame);
    return true;
}

void PasteSession::setFrame(const Rect& frame) {
    m_frame = frame;
    m_stretched =
        isStretchedSize(frame.width(), frame.height(), m_sourceWidth, m_sourceHeight, m_zoom);
}

void PasteSession::canvasZoomChanged(const PasteZoom& zoom) {
    const Rect rescaled =
        rescalePasteFrame(m_frame, m_zoom, zoom, m_stretched, m_sourceWidth, m_sourceHeight);
    m_zoom = zoom;
    setFrame(rescaled);
}

std::string PasteSession::statusText() const {
    return pasteStatusText(m_frame, m_zoom, m_sourceWidth, m_sourceHeight);
}

bool PasteSession::compose(PaintSurface& target, const ColourValue* group) {
    m_composed = ComposedPaste{};
    const CellImage* converted = m_converter->converted();
    if (!converted || !target.picture)
        return false;
    if (target.maskMode)
        CommitMaskView(target);
    const PastePlacement placement =
        placementOf(m_frame, m_zoom, m_stretched, m_sourceWidth, m_sourceHeight);
    ComposedPaste composed;
    if (Compose(target, *converted, m_pasteMask.get(), placement, m_overlayMode, group, composed) !=
            status::Ok ||
        !composed.preview)
        return false;
    m_composed = std::move(composed);
    return true;
}

Rect PasteSession::layDown(PaintSurface& target) {
    const Rect changed = LayDown(target, m_composed);
    CellImage* view = target.maskView.get();
    if (changed.empty() || !target.maskMode || !view || view->width() != target.picture->width() ||
        view->height() != target.picture->height())
        return changed;
    // The mask view shows the picture's grey levels: the laid part shows its
    // new pixels, the mask bit stays.
    std::array<std::uint8_t, 256> grey{};
    for (int k = 0; k < 256; ++k)
        grey[k] = static_cast<std::uint8_t>(maskGreyLevel(target.picture->paletteEntry(k)));
    for (int y = changed.top; y < changed.bottom; ++y) {
        const std::uint8_t* source = target.picture->row(y);
        std::uint8_t* shown = view->row(y);
        for (int x = changed.left; x < changed.right; ++x)
            shown[x] = static_cast<std::uint8_t>((shown[x] & 0x80) | grey[source[x]]);
    }
    return changed;
}

} // namespace celdo
