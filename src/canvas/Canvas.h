#pragma once

#include "canvas/EditingState.h"
#include "canvas/PaintSurface.h"
#include "canvas/SizeChange.h"
#include "canvas/Zoom.h"
#include "core/Rect.h"
#include "core/Status.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

namespace celdo {

// The gesture of the tool classes on one canvas: anchor and current point,
// which rubber band is shown, and the stored points of a polyline (window
// pixels) with one slot more for the rubber end point.
struct GestureState {
    static constexpr int MaxPoints = 50;

    Point anchor;
    Point current;
    bool rubberEllipse = false;
    bool rubberRect = false;
    bool rubberPolyline = false;
    std::array<Point, MaxPoints + 1> points{};
    int pointCount = 0;

    void clearRubber() { rubberEllipse = rubberRect = rubberPolyline = false; }
};

// Calls f(x, y) for every point of the digital line from (x0, y0) to
// (x1, y1), both ends included.  The line runs from the end with the smaller
// coordinate along its longer direction; an accumulator steps the other
// coordinate when it reaches the run length.
template <typename F> void ForEachLinePoint(int x0, int y0, int x1, int y1, F&& f) {
    const int nx = std::abs(x1 - x0) + 1;
    const int ny = std::abs(y1 - y0) + 1;
    if (ny < nx) {
        if (x1 < x0) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const int step = y1 > y0 ? 1 : -1;
        int y = y0;
        int accumulator = 0;
        for (int i = 0; i < nx; ++i) {
            f(x0 + i, y);
            accumulator += ny;
            if (accumulator >= nx) {
                y += step;
                accumulator -= nx;
            }
        }
    } else {
        if (y1 < y0) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const int step = x1 > x0 ? 1 : -1;
        int x = x0;
        int accumulator = 0;
        for (int i = 0; i < ny; ++i) {
            f(x, y0 + i);
            accumulator += nx;
            if (accumulator >= ny) {
                x += step;
                accumulator -= ny;
            }
        }
    }
}

// The canvas of an image window without its window: the picture, mask plane
// and mask view, the zoom and the gesture state, and the painting operations.
// Every painting operation returns the rectangle of image pixels it may have
// changed (empty when it touched nothing) and marks the canvas modified when
// that rectangle is not empty.
class Canvas {
public:
    explicit Canvas(EditingState& state) : m_state(state) {}

    EditingState& state() { return m_state; }
    const EditingState& state() const { return m_state; }
    PaintSurface& surface() { return m_surface; }
    const PaintSurface& surface() const { return m_surface; }
    CellImage* picture() { return m_surface.picture.get(); }
    const CellImage* picture() const { return m_surface.picture.get(); }
    int width() const { return picture() ? picture()->width() : 0; }
    int height() const { return picture() ? picture()->height() : 0; }
    bool contains(int x, int y) const { return picture() && picture()->contains(x, y); }

    Zoom& zoom() { return m_zoom; }
    const Zoom& zoom() const { return m_zoom; }
    bool SetZoom(int code) { return m_zoom.SetZoom(code, width(), height()); }
    GestureState& gesture() { return m_gesture; }
    const GestureState& gesture() const { return m_gesture; }

    // Takes a picture: the previous picture, mask and mask view go, the canvas
    // returns to image edit mode, the rubber bands are cleared and the zoom
    // returns to 1:1 with the view at the picture's size.
    void SetPicture(CellImagePtr picture);
    // Accepts a mask only when it is 8-bit and of the picture's size; any
    // other mask is dropped and the present one kept.  In mask edit mode the
    // view follows the new mask.  Returns whether it was attached.
    bool AttachMask(CellImagePtr mask);

    // The brush once, matrix cell (8, 8) on (x, y), clipped to the picture.
    Rect Dab(int x, int y);
    // Dabs along the digital line from (x0, y0) to (x1, y1).
    Rect DabLine(int x0, int y0, int x1, int y1);
    // Right and bottom exclusive.  FillRect: FillRectMask in mask edit mode,
    // else FillRectImage.
    Rect FillRect(const Rect& r);
    Rect FillRectImage(const Rect& r);
    Rect FillRectMask(const Rect& r);
    // Corners inclusive: lines of dabs around the rectangle.
    Rect DrawRectOutline(int left, int top, int right, int bottom);
    // Outline of dabs around (cx, cy) with half-axes e + ½ and f + ½.
    Rect DrawEllipseOutline(int cx, int cy, int e, int f);
    // Filled ellipse in the box (corners inclusive) around (cx, cy).
    Rect FillEllipse(int left, int top, int right, int bottom, int cx, int cy);
    // Mirror a rectangle (corners inclusive) of the picture, in both modes and
    // whatever the mask: a flip moves pixels, it paints none.
    Rect FlipHorizontal(int left, int top, int right, int bottom);
    Rect FlipVertical(int left, int top, int right, int bottom);
    // Flood fill from (x, y) with the fill options in force.  Status 8 when
    // the working memory could not be had (nothing changes).
    Status FloodFill(int x, int y, Rect* changed = nullptr);

    // スポイト: the value under (x, y) becomes the paint; nothing outside the
    // picture.  Returns the value taken: bit 7 of the mask view (0 or 1) in
    // mask edit mode, else the picture index.
    std::optional<int> Eyedropper(int x, int y);

    // 大きさの変更 by margins, on the mask plane and the picture; the canvas
    // takes the new picture (zoom back to 1:1) and is marked modified.
    SizeChangeResult ChangeSize(const Margins& margins);

private:
    Rect noteChange(const Rect& r) {
        if (!r.empty())
            m_surface.modified = true;
        return r;
    }

    EditingState& m_state;
    PaintSurface m_surface;
    Zoom m_zoom;
    GestureState m_gesture;
};

} // namespace celdo
