#pragma once

#include <QImage>
#include <QRect>

namespace celdo {

class CellImage;
class Zoom;

// Renders the part `windowRect` (canvas window pixels) of a picture at the
// given zoom into a 32-bit image of that rectangle's size, pixel for pixel
// through the picture's palette: no smoothing, so every image pixel shows as
// a sharp block when magnified.  Only the requested rectangle is touched, so
// a repaint of a small exposed area of a huge magnified picture stays cheap.
QImage renderPicture(const CellImage& picture, const Zoom& zoom, const QRect& windowRect);

} // namespace celdo
