#include "canvas/PasteGeometry.h"

#include <algorithm>
#include <cstdio>

namespace celdo {

namespace {

constexpr int MinimumClient = 16;
constexpr int KeptInside = 16;

int floorDiv(int v, int f) {
    return v >= 0 ? v / f : -((-v + f - 1) / f);
}
int floorMultiple(int v, int f) {
    return floorDiv(v, f) * f;
}
int ceilMultiple(int v, int f) {
    return -floorMultiple(-v, f);
}

// The grid position nearest `value` on the side of `previous`, so that a
// snapped edge never passes the pointer; `previous` when there is none.
int snapTowards(int value, int previous, int f) {
    if (f <= 1 || value == previous)
        return value;
    if (value > previous) {
        const int s = floorMultiple(value, f);
        return s > previous ? s : previous;
    }
    const int s = ceilMultiple(value, f);
    return s < previous ? s : previous;
}

// The range of positions along one axis that keeps `keep` window pixels of
// a window of `size` over a picture of `extent` window pixels.
int limitMove(int position, int size, int extent, const PasteZoom& zoom) {
    const int keep = std::max(0, std::min({KeptInside, size, extent}));
    int lowest = keep - size;
    int highest = extent - keep;
    if (zoom.magnified()) {
        const int snappedLow = ceilMultiple(lowest, zoom.factor);
        const int snappedHigh = floorMultiple(highest, zoom.factor);
        if (snappedLow <= snappedHigh) {
            lowest = snappedLow;
            highest = snappedHigh;
        }
    }
    return std::clamp(position, lowest, highest);
}

} // namespace

int windowToImage(int v, const PasteZoom& zoom) {
    if (zoom.magnified())
        return floorDiv(v, zoom.factor);
    if (zoom.reduced())
        return v * zoom.factor;
    return v;
}

int imageToWindow(int v, const PasteZoom& zoom) {
    if (zoom.magnified())
        return v * zoom.factor;
    if (zoom.reduced())
        return floorDiv(v, zoom.factor);
    return v;
}

int naturalWindowSize(int imageSize, const PasteZoom& zoom) {
    if (zoom.magnified())
        return imageSize * zoom.factor;
    if (zoom.reduced())
        return imageSize / zoom.factor;
    return imageSize;
}

int pasteZone(int x, int y, int width, int height) {
    const int bx = std::min(8, width / 3);
    const int by = std::min(8, height / 3);
    const int column = x < bx ? 0 : (x < width - bx ? 1 : 2);
    const int row = y < by ? 0 : (y < height - by ? 1 : 2);
    return column + 3 * row;
}

PasteCursor pasteZoneCursor(int zone) {
    switch (zone) {
    case 0:
    case 8:
        return PasteCursor::DiagonalDown;
    case 2:
    case 6:
        return PasteCursor::DiagonalUp;
    case 1:
    case 7:
        return PasteCursor::Vertical;
    case 3:
    case 5:
        return PasteCursor::Horizontal;
    default:
        return PasteCursor::FourWay;
    }
}

Rect initialPasteFrame(int scrollX, int scrollY, int sourceWidth, int sourceHeight,
                       const PasteZoom& zoom) {
    int left = scrollX + 4;
    int top = scrollY + 4;
    // Magnified, the frame starts on a pixel boundary: shown between two
    // image pixels it would be laid down half a pixel from where it shows.
    if (zoom.magnified()) {
        left = ceilMultiple(left, zoom.factor);
        top = ceilMultiple(top, zoom.factor);
    }
    return {left, top, left + naturalWindowSize(sourceWidth, zoom),
            top + naturalWindowSize(sourceHeight, zoom)};
}

PasteDrag dragPasteFrame(const Rect& frame, int zone, int dx, int dy, const PasteZoom& zoom,
                         int targetWidth, int targetHeight) {
    PasteDrag drag;
    drag.frame = frame;
    if (zone < 0 || zone > 8)
        return drag;
    const int f = zoom.magnified() ? zoom.factor : 1;
    Rect moved = frame;
    if (zone == 4) {
        int left = snapTowards(frame.left + dx, frame.left, f);
        int top = snapTowards(frame.top + dy, frame.top, f);
        left = limitMove(left, frame.width(), naturalWindowSize(targetWidth, zoom), zoom);
        top = limitMove(top, frame.height(), naturalWindowSize(targetHeight, zoom), zoom);
        moved = {left, top, left + frame.width(), top + frame.height()};
        drag.usedDx = left - frame.left;
        drag.usedDy = top - frame.top;
    } else {
        const int column = zone % 3;
        const int row = zone / 3;
        if (column == 0)
            moved.left = snapTowards(frame.left + dx, frame.left, f);
        if (column == 2)
            moved.right = snapTowards(frame.right + dx, frame.right, f);
        if (row == 0)
            moved.top = snapTowards(frame.top + dy, frame.top, f);
        if (row == 2)
            moved.bottom = snapTowards(frame.bottom + dy, frame.bottom, f);
        if (moved.width() < MinimumClient || moved.height() < MinimumClient)
            return drag;
        drag.usedDx =
            column == 0 ? moved.left - frame.left : (column == 2 ? moved.right - frame.right : 0);
        drag.usedDy =
            row == 0 ? moved.top - frame.top : (row == 2 ? moved.bottom - frame.bottom : 0);
    }
    drag.frame = moved;
    drag.changed = !(moved == frame);
    return drag;
}

bool isStretchedSize(int clientWidth, int clientHeight, int sourceWidth, int sourceHeight,
                     const PasteZoom& zoom) {
    return clientWidth != naturalWindowSize(sourceWidth, zoom) ||
           clientHeight != naturalWindowSize(sourceHeight, zoom);
}

PastePlacement placementOf(const Rect& frame, const PasteZoom& zoom, bool stretched,
                           int sourceWidth, int sourceHeight) {
    PastePlacement placement;
    placement.x = windowToImage(frame.left, zoom);
    placement.y = windowToImage(frame.top, zoom);
    placement.stretched = stretched;
    if (stretched) {
        placement.width = windowToImage(frame.right, zoom) - placement.x;
        placement.height = windowToImage(frame.bottom, zoom) - placement.y;
    } else {
        placement.width = sourceWidth;
        placement.height = sourceHeight;
    }
    return placement;
}

Rect rescalePasteFrame(const Rect& frame, const PasteZoom& from, const PasteZoom& to,
                       bool stretched, int sourceWidth, int sourceHeight) {
    const int left = imageToWindow(windowToImage(frame.left, from), to);
    const int top = imageToWindow(windowToImage(frame.top, from), to);
    if (stretched)
        return {left, top, imageToWindow(windowToImage(frame.right, from), to),
                imageToWindow(windowToImage(frame.bottom, from), to)};
    return {left, top, left + naturalWindowSize(sourceWidth, to),
            top + naturalWindowSize(sourceHeight, to)};
}

int pasteArrowStep(const PasteZoom& zoom) {
    return zoom.magnified() ? zoom.factor : 1;
}

std::string pasteStatusText(const Rect& frame, const PasteZoom& zoom, int sourceWidth,
                            int sourceHeight) {
    const int left = windowToImage(frame.left, zoom);
    const int top = windowToImage(frame.top, zoom);
    const int right = windowToImage(frame.right, zoom);
    const int bottom = windowToImage(frame.bottom, zoom);
    const int width = right - left;
    const int height = bottom - top;
    const double xRatio = sourceWidth > 0 ? static_cast<double>(width) / sourceWidth : 0.0;
    const double yRatio = sourceHeight > 0 ? static_cast<double>(height) / sourceHeight : 0.0;
    char text[128];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)  (%d,%d) (%.3f,%.3f)", left, top, right,
                  bottom, width, height, xRatio, yRatio);
    return text;
}

} // namespace celdo
