#pragma once

#include <QImage>
#include <QRect>

namespace celdo {

class CellImage;

// How a picture is laid out on its canvas window.
struct ViewScale {
    enum Mode { OneToOne = 0, Magnified = 1, Reduced = 2, Fitted = 3 };
    Mode mode = OneToOne;
    int factor = 1;
    // Fitted mode: the window size the whole picture is stretched to.
    int fittedWidth = 0;
    int fittedHeight = 0;
};

// Renders the part `windowRect` (canvas window pixels) of a picture at the
// given scale into a 32-bit image of that rectangle's size, pixel for pixel
// through the picture's palette: no smoothing, so every image pixel shows as
// a sharp block when magnified.  Only the requested rectangle is touched, so
// a repaint of a small exposed area of a huge magnified picture stays cheap.
QImage renderPicture(const CellImage& picture, const ViewScale& scale, const QRect& windowRect);

} // namespace celdo
