#include "canvas/Zoom.h"

namespace celdo {

namespace {

constexpr int magnifyFactors[Zoom::MagnifyCount] = {2, 3, 4, 6, 8, 12, 16};
constexpr int reduceFactors[Zoom::ReduceCount] = {2, 3, 4, 6, 8};

int floorDiv(int a, int b) {
    int q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
int ceilDiv(int a, int b) {
    return -floorDiv(-a, b);
}

} // namespace

int Zoom::FactorOfCode(int code) {
    if (code == 0)
        return 1;
    if (code >= 1 && code <= MagnifyCount)
        return magnifyFactors[code - 1];
    if (code <= -1 && code >= -ReduceCount)
        return reduceFactors[-code - 1];
    return 0;
}

int Zoom::code() const {
    if (m_mode == Magnified) {
        for (int i = 0; i < MagnifyCount; ++i)
            if (magnifyFactors[i] == m_factor)
                return i + 1;
    } else if (m_mode == Reduced) {
        for (int i = 0; i < ReduceCount; ++i)
            if (reduceFactors[i] == m_factor)
                return -(i + 1);
    }
    return 0;
}

bool Zoom::SetZoom(int newCode, int pictureWidth, int pictureHeight) {
    const int f = FactorOfCode(newCode);
    if (f == 0)
        return false;
    const int newMode = newCode == 0 ? Actual : (newCode > 0 ? Magnified : Reduced);
    if (newMode == m_mode && f == m_factor)
        return false;
    m_mode = newMode;
    m_factor = f;
    switch (newMode) {
    case Magnified:
        m_viewWidth = pictureWidth * f;
        m_viewHeight = pictureHeight * f;
        break;
    case Reduced:
        m_viewWidth = pictureWidth / f;
        m_viewHeight = pictureHeight / f;
        break;
    default:
        m_viewWidth = pictureWidth;
        m_viewHeight = pictureHeight;
        break;
    }
    return true;
}

void Zoom::SetFitted(int viewWidth, int viewHeight) {
    m_mode = Fitted;
    m_viewWidth = viewWidth;
    m_viewHeight = viewHeight;
}

void Zoom::Reset(int pictureWidth, int pictureHeight) {
    m_mode = Actual;
    m_factor = 1;
    const bool none = pictureWidth <= 0 || pictureHeight <= 0;
    m_viewWidth = none ? 128 : pictureWidth;
    m_viewHeight = none ? 128 : pictureHeight;
}

int Zoom::toImage(int window) const {
    if (m_mode == Magnified)
        return floorDiv(window, m_factor);
    if (m_mode == Reduced)
        return window * m_factor;
    return window;
}

int Zoom::toWindow(int image) const {
    if (m_mode == Magnified)
        return image * m_factor;
    if (m_mode == Reduced)
        return floorDiv(image, m_factor);
    return image;
}

Rect Zoom::toImage(const Rect& window) const {
    const int left = toImage(window.left);
    const int top = toImage(window.top);
    return {left, top, left + toImage(window.width()), top + toImage(window.height())};
}

Rect Zoom::toWindow(const Rect& image) const {
    if (m_mode == Magnified)
        return {image.left * m_factor, image.top * m_factor, image.right * m_factor,
                image.bottom * m_factor};
    if (m_mode == Reduced)
        return {floorDiv(image.left, m_factor), floorDiv(image.top, m_factor),
                ceilDiv(image.right, m_factor), ceilDiv(image.bottom, m_factor)};
    return image;
}

Zoom::PaintMapping Zoom::MapPaintRect(const Rect& window, int pictureWidth,
                                      int pictureHeight) const {
    const int f = m_factor;
    switch (m_mode) {
    case Magnified: {
        const Rect source{floorDiv(window.left, f), floorDiv(window.top, f),
                          ceilDiv(window.right, f), ceilDiv(window.bottom, f)};
        return {source, {source.left * f, source.top * f, source.right * f, source.bottom * f}};
    }
    case Reduced: {
        const Rect destination{window.left, window.top, window.right + f - 1,
                               window.bottom + f - 1};
        return {{destination.left * f, destination.top * f, destination.right * f,
                 destination.bottom * f},
                destination};
    }
    case Fitted:
        return {{0, 0, pictureWidth, pictureHeight}, {0, 0, m_viewWidth, m_viewHeight}};
    default:
        return {window, window};
    }
}

std::optional<ScrollTarget> ZoomScrollTarget(const Zoom& zoom, Point centre, int pictureWidth,
                                             int pictureHeight, int areaWidth, int areaHeight) {
    if (zoom.mode() == Zoom::Fitted)
        return std::nullopt;
    if (centre.x < 0 || centre.y < 0 || centre.x >= pictureWidth || centre.y >= pictureHeight)
        return std::nullopt;
    const Point c = zoom.toWindow(centre);
    ScrollTarget target;
    if (zoom.viewWidth() > areaWidth)
        target.x = std::max(0, c.x - areaWidth / 2);
    if (zoom.viewHeight() > areaHeight)
        target.y = std::max(0, c.y - areaHeight / 2);
    return target;
}

Point CenterView(const Zoom& zoom, int scrollX, int scrollY, int clientWidth, int clientHeight) {
    return zoom.toImage(Point{scrollX + clientWidth / 2, scrollY + clientHeight / 2});
}

bool PointerOverVisiblePicture(const Zoom& zoom, Point canvasPosition, const Rect& visibleArea,
                               int pictureWidth, int pictureHeight) {
    const Point p = zoom.toImage(canvasPosition);
    if (p.x < 0 || p.y < 0 || p.x >= pictureWidth || p.y >= pictureHeight)
        return false;
    const Rect widened{visibleArea.left - 8, visibleArea.top - 8, visibleArea.right + 8,
                       visibleArea.bottom + 8};
    return widened.contains(canvasPosition.x, canvasPosition.y);
}

} // namespace celdo
