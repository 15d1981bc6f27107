#pragma once

#include "canvas/PasteCompose.h"
#include "canvas/PasteGeometry.h"
#include "core/CellImage.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "core/Status.h"
#include "palette/ColourConverter.h"

#include <memory>
#include <string>

namespace celdo {

struct ColourConversionSettings;

// One floating paste: the clipboard picture converted into the target's
// palette, where it lies over the canvas (in canvas window pixels), how it
// combines with the picture below, and the tentative composition.  The paste
// window only forwards its events here and draws shown() into frame().
class PasteSession {
public:
    // `source` is the clipboard picture as read; `mask` the clipboard mask
    // (kept only when it is an 8-bit plane of the source's size).  The frame
    // starts 4 window pixels into the visible area at (scrollX, scrollY).
    PasteSession(CellImagePtr source, CellImagePtr mask, const ColourValue* targetPalette,
                 ColourConversionSettings& settings, int targetWidth, int targetHeight,
                 const PasteZoom& canvasZoom, int scrollX, int scrollY);

    // 8 when the conversion ran out of memory (the paste then shows index 0).
    Status status() const;
    ColourConverter& converter() { return *m_converter; }
    // The clipboard picture as read (owned by the converter); null only
    // when the session was made without one.
    const CellImage* source() const { return m_converter->source(); }
    const CellImage* pasteMask() const { return m_pasteMask.get(); }

    // What the window shows: the tentative composition while there is one,
    // else the converted picture; drawn stretched over the whole frame.
    const CellImage* shown() const;
    bool hasPreview() const { return m_composed.preview != nullptr; }

    const Rect& frame() const { return m_frame; }
    const PasteZoom& canvasZoom() const { return m_zoom; }
    // The client size differs from the source's natural size at the zoom.
    bool stretched() const { return m_stretched; }
    int overlayMode() const { return m_overlayMode; }
    void setOverlayMode(int mode) { m_overlayMode = mode; }

    // Left press at a client point (canvas point `at`): remembers the zone.
    int press(Point client, Point at);
    // The pointer at canvas point `at` during a press: moves or stretches the
    // frame.  True when the frame changed.
    bool dragTo(Point at);
    void release() { m_zone = -1; }
    int grabZone() const { return m_zone; }
    // The frame takes another rectangle (a size change from outside).
    void setFrame(const Rect& frame);
    // The canvas zoom changed: same place and size in image pixels.
    void canvasZoomChanged(const PasteZoom& zoom);

    // "(l,t)-(r,b)  (w,h) (x,y)" of the frame.
    std::string statusText() const;
    // How far an arrow key moves the pointer.
    int arrowStep() const { return pasteArrowStep(m_zoom); }

    // Composes with the target picture into the preview.  In mask edit mode
    // the mask view is committed first, so strokes not yet committed protect
    // too.  False (and no preview) when the paste lies wholly outside the
    // picture or memory ran out.
    bool compose(PaintSurface& target, const ColourValue* group);
    // Writes the preview into the target picture; the changed rectangle.
    // The mask view of mask edit mode is brought up to date.
    Rect layDown(PaintSurface& target);
    // Back to showing the converted picture in the frame.
    void dropPreview() { m_composed = ComposedPaste{}; }

private:
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    CellImagePtr m_pasteMask;
    std::unique_ptr<ColourConverter> m_converter;
    ComposedPaste m_composed;
    int m_targetWidth;
    int m_targetHeight;
    PasteZoom m_zoom;
    Rect m_frame;
    bool m_stretched = false;
    int m_overlayMode = overlay::Plain;
    int m_zone = -1;
    Point m_pressPoint;
};

} // namespace celdo
