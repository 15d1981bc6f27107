#include "canvas/qt/PictureRenderer.h"

#include "core/CellImage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace celdo {

namespace {

// Window coordinate -> image coordinate along one axis.
struct Axis {
    ViewScale::Mode mode;
    int factor;
    int imageSize;
    int viewSize; // fitted mode only

    int toImage(int w) const {
        switch (mode) {
        case ViewScale::Magnified:
            return w / factor;
        case ViewScale::Reduced:
            return w * factor;
        case ViewScale::Fitted:
            return viewSize > 0 ? static_cast<int>(static_cast<long long>(w) * imageSize / viewSize)
                                : 0;
        default:
            return w;
        }
    }
};

} // namespace

QImage renderPicture(const CellImage& picture, const ViewScale& scale, const QRect& windowRect) {
    QImage out(windowRect.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::white);
    if (!picture.pixels() || windowRect.isEmpty())
        return out;

    const Axis ax{scale.mode, std::max(1, scale.factor), picture.width(), scale.fittedWidth};
    const Axis ay{scale.mode, std::max(1, scale.factor), picture.height(), scale.fittedHeight};

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
        sourceX[i] = ax.toImage(windowRect.left() + i);

    int lastSourceY = -1;
    const QRgb* lastLine = nullptr;
    for (int row = 0; row < windowRect.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        const int sy = ay.toImage(windowRect.top() + row);
        if (sy < 0 || sy >= picture.height())
            continue;
        if (sy == lastSourceY && lastLine) {
            // Magnified rows repeat: copy the finished line.
            std::memcpy(line, lastLine, sizeof(QRgb) * width);
            continue;
        }
        const std::uint8_t* src = picture.row(sy);
        for (int i = 0; i < width; ++i) {
            const int sx = sourceX[i];
            if (sx < 0 || sx >= picture.width())
                continue;
            if (indexed) {
                line[i] = colours[src[sx]];
            } else if (picture.bitsPerPixel() == 24) {
                const std::uint8_t* px = src + 3 * sx;
                line[i] = qRgb(px[2], px[1], px[0]);
            }
        }
        lastSourceY = sy;
        lastLine = line;
    }
    return out;
}

} // namespace celdo
