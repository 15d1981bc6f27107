#pragma once

#include "core/Point.h"
#include "core/Rect.h"

#include <optional>

namespace celdo {

// The zoom of a canvas: 1:1, magnified or reduced by a whole factor, or
// stretched to a given view size.  Zoom codes: 0 = 1:1, 1 … 7 = magnified by
// 2, 3, 4, 6, 8, 12, 16, −1 … −5 = reduced by 2, 3, 4, 6, 8.
class Zoom {
public:
    enum Mode { Actual = 0, Magnified = 1, Reduced = 2, Fitted = 3 };

    static constexpr int MagnifyCount = 7;
    static constexpr int ReduceCount = 5;

    // Factor of a zoom code, 0 for codes that name no zoom.
    static int FactorOfCode(int code);
    static bool ValidCode(int code) { return FactorOfCode(code) != 0; }

    int mode() const { return m_mode; }
    int factor() const { return m_factor; }
    // The zoom code of the present zoom: index 0 at 1:1 (and when fitted),
    // 1 … 7 magnified, −1 … −5 reduced.
    int code() const;

    // Sets a zoom code for a picture of the given size.  False (and nothing
    // changes) when the code names no zoom or is the present zoom.
    bool SetZoom(int code, int pictureWidth, int pictureHeight);
    // Stretches the picture to a view of the given size.
    void SetFitted(int viewWidth, int viewHeight);
    // Back to 1:1 for a picture of this size; no picture gives 128 × 128.
    void Reset(int pictureWidth, int pictureHeight);

    int viewWidth() const { return m_viewWidth; }
    int viewHeight() const { return m_viewHeight; }

    // Window to image: divided by the factor when magnified (rounding toward
    // minus infinity, so window pixels left of or above the canvas stay
    // outside the picture), multiplied when reduced, unchanged otherwise.
    int toImage(int window) const;
    int toWindow(int image) const;
    Point toImage(Point p) const { return {toImage(p.x), toImage(p.y)}; }
    Point toWindow(Point p) const { return {toWindow(p.x), toWindow(p.y)}; }
    // A window rectangle (for instance a paste window) in image pixels: the
    // top-left corner and the size are converted separately.
    Rect toImage(const Rect& window) const;
    // An image rectangle in window pixels (what to invalidate after a change).
    Rect toWindow(const Rect& image) const;

    // What a paint request for a window rectangle redraws: the image pixels
    // read and the window rectangle they are stretched to.  At 1:1 both are
    // the request; fitted: the whole image onto the whole view.
    struct PaintMapping {
        Rect source;
        Rect destination;
    };
    PaintMapping MapPaintRect(const Rect& window, int pictureWidth, int pictureHeight) const;

private:
    int m_mode = Actual;
    int m_factor = 1;
    int m_viewWidth = 128;
    int m_viewHeight = 128;
};

// Scroll positions that put `centre` (image pixels) in the middle of a client
// area of the given size.  Per direction only when the view is larger than
// the area there, never below 0.  Nothing when the zoom is fitted or the
// centre lies outside the picture.
struct ScrollTarget {
    std::optional<int> x;
    std::optional<int> y;
};
std::optional<ScrollTarget> ZoomScrollTarget(const Zoom& zoom, Point centre, int pictureWidth,
                                             int pictureHeight, int areaWidth, int areaHeight);

// The image position at the middle of the visible client area.
Point CenterView(const Zoom& zoom, int scrollX, int scrollY, int clientWidth, int clientHeight);

// The pointer is over the visible picture when its image position lies inside
// the picture and its canvas position inside the visible area widened by the
// 8-pixel margin.
bool PointerOverVisiblePicture(const Zoom& zoom, Point canvasPosition, const Rect& visibleArea,
                               int pictureWidth, int pictureHeight);

} // namespace celdo
