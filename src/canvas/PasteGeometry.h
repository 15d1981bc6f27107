#pragma once

#include "canvas/PasteCompose.h"
#include "core/Rect.h"

#include <string>

namespace celdo {

// A canvas zoom: mode 0 = 1:1, 1 = magnified by factor, 2 = reduced by
// factor, 3 = fitted (positions convert as at 1:1).
struct PasteZoom {
    int mode = 0;
    int factor = 1;
    bool magnified() const { return mode == 1 && factor > 1; }
    bool reduced() const { return mode == 2 && factor > 1; }
};

// Window pixels to image pixels and back at a zoom.  Window positions left
// of or above the picture convert to negative image positions, rounded
// towards minus infinity.
int windowToImage(int v, const PasteZoom& zoom);
int imageToWindow(int v, const PasteZoom& zoom);

// Size in window pixels of `imageSize` image pixels at a zoom.
int naturalWindowSize(int imageSize, const PasteZoom& zoom);

// The grab zone of client point (x, y) in a paste window of the given
// client size: column + 3 × row, 4 being the interior.
int pasteZone(int x, int y, int width, int height);

// The sizing cursor a grab zone shows: the corners diagonally (0 and 8 down
// to the right, 2 and 6 up to the right), the edges across or along, the
// interior four ways.
enum class PasteCursor { DiagonalDown, DiagonalUp, Vertical, Horizontal, FourWay };
PasteCursor pasteZoneCursor(int zone);

// Where a new paste window goes in the canvas: 4 window pixels into the
// visible area (the next pixel boundary when magnified), the source's size
// at the canvas zoom.
Rect initialPasteFrame(int scrollX, int scrollY, int sourceWidth, int sourceHeight,
                       const PasteZoom& zoom);

// One step of a drag in zone `zone` by (dx, dy) window pixels.  The frame is
// the window's rectangle in canvas window pixels.  usedDx and usedDy are the
// part of the delta applied (the press point moves by them); a refused or
// snapped-away step uses nothing, so the delta keeps growing with the drag.
struct PasteDrag {
    Rect frame;
    int usedDx = 0;
    int usedDy = 0;
    bool changed = false;
};
// Edge drags are refused when the client would become narrower or lower
// than 16 window pixels; moves keep at least 16 window pixels (or the whole
// window when it is smaller) over the target picture.  When the canvas is
// magnified, positions snap to multiples of the zoom factor.
PasteDrag dragPasteFrame(const Rect& frame, int zone, int dx, int dy, const PasteZoom& zoom,
                         int targetWidth, int targetHeight);

// True when a client size is not the source's natural size at the canvas
// zoom: the paste is then stretched.
bool isStretchedSize(int clientWidth, int clientHeight, int sourceWidth, int sourceHeight,
                     const PasteZoom& zoom);

// The placement a frame gives the composition: its top-left in image
// pixels, and its client size in image pixels when stretched.
PastePlacement placementOf(const Rect& frame, const PasteZoom& zoom, bool stretched,
                           int sourceWidth, int sourceHeight);

// The frame after the canvas zoom changed: the same place in image pixels;
// a stretched paste is rescaled, an unstretched one takes the natural size.
Rect rescalePasteFrame(const Rect& frame, const PasteZoom& from, const PasteZoom& to,
                       bool stretched, int sourceWidth, int sourceHeight);

// How far an arrow key moves the pointer: the zoom factor when magnified.
int pasteArrowStep(const PasteZoom& zoom);

// Status bar text of a paste frame: image left, top, right, bottom, width,
// height, and width and height over the source's.
std::string pasteStatusText(const Rect& frame, const PasteZoom& zoom, int sourceWidth,
                            int sourceHeight);

} // namespace celdo
