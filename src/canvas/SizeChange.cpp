#include "canvas/SizeChange.h"

#include <algorithm>
#include <cstring>

namespace celdo {

CellImagePtr ResizeWithMargins(const CellImage& image, const Margins& m) {
    const int depth = image.bitsPerPixel();
    if ((depth != 8 && depth != 24) || !image.pixels())
        return nullptr;
    const int w = image.width();
    const int h = image.height();
    const long long newWidth = static_cast<long long>(w) + m.left + m.right;
    const long long newHeight = static_cast<long long>(h) + m.top + m.bottom;
    if (newWidth < 1 || newHeight < 1 || newWidth > CellImage::MaxDimension ||
        newHeight > CellImage::MaxDimension)
        return nullptr;
    CellImagePtr out =
        CellImage::Create(static_cast<int>(newWidth), static_cast<int>(newHeight), depth);
    if (!out || out->status() != status::Ok || !out->pixels())
        return nullptr;
    const int bytes = depth / 8;
    if (depth == 8)
        out->SetPalette(image.palette(), image.colorCount());
    else
        std::memset(out->pixels(), 0xFF, out->imageSize());

    const int rows = h + std::min(m.top, 0) + std::min(m.bottom, 0);
    const int columns = w + std::min(m.left, 0) + std::min(m.right, 0);
    if (rows <= 0 || columns <= 0)
        return out;
    const int fromRow = std::max(-m.top, 0);
    const int toRow = std::max(m.top, 0);
    const int fromColumn = std::max(-m.left, 0);
    const int toColumn = std::max(m.left, 0);
    for (int i = 0; i < rows; ++i)
        std::memcpy(out->row(toRow + i) + static_cast<std::size_t>(toColumn) * bytes,
                    image.row(fromRow + i) + static_cast<std::size_t>(fromColumn) * bytes,
                    static_cast<std::size_t>(columns) * bytes);
    return out;
}

SizeChangeResult ApplySizeChange(PaintSurface& surface, const Margins& margins) {
    if (margins.isZero())
        return SizeChangeResult::Unchanged;
    if (!surface.picture || surface.maskMode)
        return SizeChangeResult::Failed;
    const long long newWidth =
        static_cast<long long>(surface.picture->width()) + margins.left + margins.right;
    const long long newHeight =
        static_cast<long long>(surface.picture->height()) + margins.top + margins.bottom;
    if (newWidth < 0 || newHeight < 0)
        return SizeChangeResult::NegativeSize;
    CellImagePtr newMask;
    if (surface.mask) {
        newMask = ResizeWithMargins(*surface.mask, margins);
        if (!newMask)
            return SizeChangeResult::Failed;
    }
    CellImagePtr newPicture = ResizeWithMargins(*surface.picture, margins);
    if (!newPicture)
        return SizeChangeResult::Failed;
    surface.picture = std::move(newPicture);
    surface.mask = std::move(newMask);
    surface.modified = true;
    return SizeChangeResult::Applied;
}

namespace {

bool isBorder(const std::uint8_t* row, int x, int bytes) {
    if (bytes == 1)
        return row[x] == 0;
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3;
    return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;
}

bool isBorderRow(const CellImage& image, int y, int bytes) {
    const std::uint8_t* row = image.row(y);
    for (int x = 0; x < image.width(); ++x)
        if (!isBorder(row, x, bytes))
            return false;
    return true;
}

} // namespace

std::optional<Margins> ProposeMargins(const CellImage& image) {
    const int depth = image.bitsPerPixel();
    if ((depth != 8 && depth != 24) || !image.pixels())
        return std::nullopt;
    const int bytes = depth / 8;
    const int w = image.width();
    const int h = image.height();
    int t = 0;
    while (t < h && isBorderRow(image, t, bytes))
        ++t;
    if (t == h)
        return std::nullopt;
    int b = 0;
    while (isBorderRow(image, h - 1 - b, bytes))
        ++b;
    int l = w;
    int r = 0;
    for (int y = t; y < h - b; ++y) {
        const std::uint8_t* row = image.row(y);
        int lead = 0;
        while (lead < w && isBorder(row, lead, bytes))
            ++lead;
        l = std::min(l, lead);
        for (int x = w - 1; x > r; --x)
            if (!isBorder(row, x, bytes)) {
                r = x;
                break;
            }
    }
    return Margins{-l, -t, r - w + 1, -b};
}

} // namespace celdo
