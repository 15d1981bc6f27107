#include "canvas/qt/PictureRenderer.h"

#include "canvas/Zoom.h"
#include "core/CellImage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace celdo {

namespace {

// The image pixel shown at window position `w` when the image pixels
// [sourceFrom, sourceTo) are stretched over the window pixels [from, to): the
// blit the zoom's paint mapping describes.  Whole factors give whole blocks.
struct Stretch {
    long long sourceFrom, sourceSize, from, size;

    Stretch(int sFrom, int sTo, int dFrom, int dTo)
        : sourceFrom(sFrom), sourceSize(sTo - sFrom), from(dFrom), size(dTo - dFrom) {}
    int operator()(int w) const {
        if (size <= 0)
            return -1;
        const long long offset = w - from;
        const long long scaled = offset * sourceSize;
        // Rounds toward minus infinity so positions before the mapping stay out.
        const long long step = scaled >= 0 ? scaled / size : -((-scaled + size - 1) / size);
        return static_cast<int>(sourceFrom + step);
    }
};

} // namespace

QImage renderPicture(const CellImage& picture, const Zoom& zoom, const QRect& windowRect) {
    QImage out(windowRect.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::white);
    if (!picture.pixels() || windowRect.isEmpty())
        return out;

    const Rect window{windowRect.left(), windowRect.top(), windowRect.right() + 1,
                      windowRect.bottom() + 1};
    const Zoom::PaintMapping mapping = zoom.MapPaintRect(window, picture.width(), picture.height());
    const Stretch ax(mapping.source.left, mapping.source.right, mapping.destination.left,
                     mapping.destination.right);
    const Stretch ay(mapping.source.top, mapping.source.bottom, mapping.destination.top,
                     mapping.destination.bottom);

    // The palette as display colours, once per repaint.
    std::array<QRgb, 256> colours{};
    const bool indexed = picture.bitsPerPixel() == 8;
    if (indexed)
        for (int i = 0; i < 256; ++i) {
            const ColourValue c = picture.paletteEntry(i);
            colours[i] = qRgb(redOf(c), greenOf(c), blueOf(c));
        }

    const int width = windowRect.width();
    std::vector<int> sourceX(width);
    for (int i = 0; i < width; ++i)
        sourceX[i] = ax(windowRect.left() + i);
    // Source columns never decrease, so the columns over the picture are one
    // run [first, last).
    const auto first = std::lower_bound(sourceX.begin(), sourceX.end(), 0) - sourceX.begin();
    const auto last =
        std::lower_bound(sourceX.begin(), sourceX.end(), picture.width()) - sourceX.begin();
    // At 1:1 across, a row is read straight through.
    const bool straight = ax.sourceSize == ax.size;

    int lastSourceY = -1;
    const QRgb* lastLine = nullptr;
    for (int row = 0; row < windowRect.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        const int sy = ay(windowRect.top() + row);
        if (sy < 0 || sy >= picture.height())
            continue;
        if (sy == lastSourceY && lastLine) {
            // Magnified rows repeat: copy the finished line.
            std::memcpy(line, lastLine, sizeof(QRgb) * width);
            continue;
        }
        const std::uint8_t* src = picture.row(sy);
        if (indexed && straight) {
            const std::uint8_t* from = src + (first < last ? sourceX[first] : 0);
            for (auto i = first; i < last; ++i)
                line[i] = colours[*from++];
        } else if (indexed) {
            for (auto i = first; i < last; ++i)
                line[i] = colours[src[sourceX[i]]];
        } else if (picture.bitsPerPixel() == 24) {
            for (auto i = first; i < last; ++i) {
                const std::uint8_t* px = src + 3 * sourceX[i];
                line[i] = qRgb(px[2], px[1], px[0]);
            }
        }
        lastSourceY = sy;
        lastLine = line;
    }
    return out;
}

} // namespace celdo
