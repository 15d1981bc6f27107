#include "canvas/SoftDab.h"

#include "canvas/MaskGate.h"

#include <algorithm>

namespace celdo {

namespace {

constexpr std::uint8_t ProtectBit = 0x80;

// The brush cells and image rectangle a dab at (x, y) covers.
struct DabPlacement {
    int firstColumn, pastLastColumn, firstRow, pastLastRow; // brush cells
    int originX, originY;                                   // image position of cell (0, 0)
    bool empty() const { return firstColumn >= pastLastColumn || firstRow >= pastLastRow; }
    Rect imageRect() const {
        return {originX + firstColumn, originY + firstRow, originX + pastLastColumn,
                originY + pastLastRow};
    }
};

DabPlacement placeDab(const Brush& brush, int x, int y, int width, int height) {
    DabPlacement p{};
    p.originX = x - 8;
    p.originY = y - 8;
    p.firstColumn = std::max(brush.firstColumn, -p.originX);
    p.pastLastColumn = std::min(brush.pastLastColumn, width - p.originX);
    p.firstRow = std::max(brush.firstRow, -p.originY);
    p.pastLastRow = std::min(brush.pastLastRow, height - p.originY);
    return p;
}

// Protection pattern of density d (0-255) at image position (x, y).
bool protectedAtDensity(int d, int x, int y) {
    const bool bothOdd = (x & 1) && (y & 1);
    if (d < 32)
        return false;
    if (d < 96)
        return bothOdd;
    if (d < 160)
        return ((x + y) & 1) == 0;
    if (d < 224)
        return !bothOdd;
    return true;
}

Rect softDabMask(PaintSurface& surface, const DabPlacement& p, const Brush& brush) {
    CellImage& view = *surface.maskView;
    int n = 0;
    int protectedCount = 0;
    for (int by = p.firstRow; by < p.pastLastRow; ++by)
        for (int bx = p.firstColumn; bx < p.pastLastColumn; ++bx)
            if (brush.cell(bx, by)) {
                ++n;
                if (view.at(p.originX + bx, p.originY + by) & ProtectBit)
                    ++protectedCount;
            }
    if (n == 0)
        return {};
    const int density = protectedCount * 255 / n;
    for (int by = p.firstRow; by < p.pastLastRow; ++by)
        for (int bx = p.firstColumn; bx < p.pastLastColumn; ++bx)
            if (brush.cell(bx, by)) {
                const int ix = p.originX + bx;
                const int iy = p.originY + by;
                std::uint8_t& pixel = view.at(ix, iy);
                pixel = static_cast<std::uint8_t>(
                    (pixel & 0x7F) | (protectedAtDensity(density, ix, iy) ? ProtectBit : 0));
            }
    surface.modified = true;
    return p.imageRect();
}

Rect softDabPicture(PaintSurface& surface, const DabPlacement& p, const Brush& brush,
                    const ColourValue* group, const SoftDabSettings& settings) {
    CellImage& picture = *surface.picture;
    // The average is taken over the pixels that will be repainted: counting
    // protected pixels in the divisor would only darken the result.
    MaskGate gate(surface, MaskPolicy::HonourWhenEnabled);
    int counted = 0;
    unsigned long long red = 0, green = 0, blue = 0;
    for (int by = p.firstRow; by < p.pastLastRow; ++by) {
        const int iy = p.originY + by;
        const std::uint8_t* protection = gate.protection(iy);
        const std::uint8_t* row = picture.row(iy);
        for (int bx = p.firstColumn; bx < p.pastLastColumn; ++bx) {
            const int ix = p.originX + bx;
            if (!brush.cell(bx, by) || (protection && protection[ix]))
                continue;
            const ColourValue c = group[row[ix]];
            red += redOf(c);
            green += greenOf(c);
            blue += blueOf(c);
            ++counted;
        }
    }
    if (counted == 0)
        return {};
    const ColourValue average =
        rgb(static_cast<unsigned>(red / counted), static_cast<unsigned>(green / counted),
            static_cast<unsigned>(blue / counted));
    const SoftDabMatch match = matchSoftDabColour(average, group, settings);
    for (int by = p.firstRow; by < p.pastLastRow; ++by) {
        const int iy = p.originY + by;
        const std::uint8_t* protection = gate.protection(iy);
        std::uint8_t* row = picture.row(iy);
        for (int bx = p.firstColumn; bx < p.pastLastColumn; ++bx) {
            const int ix = p.originX + bx;
            if (brush.cell(bx, by) && !(protection && protection[ix]))
                row[ix] = static_cast<std::uint8_t>(softDabIndexAt(match, ix, iy));
        }
    }
    surface.modified = true;
    return p.imageRect();
}

} // namespace

SoftDabMatch matchSoftDabColour(ColourValue colour, const ColourValue* group,
                                const SoftDabSettings& settings) {
    const ColourMatchOptions options{settings.useTile, settings.useTile2, settings.rgbOut};
    return matchAverageColour(tripleOf(colour), group, std::clamp(settings.convertDes, 0, 255),
                              options);
}

Rect SoftDab(PaintSurface& surface, int x, int y, const Brush& brush, const ColourValue* group,
             const SoftDabSettings& settings) {
    const CellImage* plane = surface.paintPlane();
    if (!plane || !plane->pixels() || plane->bitsPerPixel() != 8)
        return {};
    const DabPlacement placement = placeDab(brush, x, y, plane->width(), plane->height());
    if (placement.empty())
        return {};
    if (surface.maskMode)
        return softDabMask(surface, placement, brush);
    if (!group)
        return {};
    return softDabPicture(surface, placement, brush, group, settings);
}

} // namespace celdo
