#include "canvas/PasteCompose.h"

#include "canvas/MaskGate.h"

#include <algorithm>

namespace celdo {

namespace {

bool is8BitPlane(const CellImage* image) {
    return image && image->pixels() && image->bitsPerPixel() == 8;
}

bool sameSize(const CellImage& a, const CellImage& b) {
    return a.width() == b.width() && a.height() == b.height();
}

} // namespace

CellImagePtr AcceptPasteMask(const CellImage& source, CellImagePtr mask) {
    if (!is8BitPlane(mask.get()) || !sameSize(source, *mask))
        return nullptr;
    return mask;
}

Status Compose(const PaintSurface& target, const CellImage& converted, const CellImage* pasteMask,
               const PastePlacement& placement, int overlayMode, const ColourValue* group,
               ComposedPaste& out) {
    out = ComposedPaste{};
    const CellImage* picture = target.picture.get();
    if (!is8BitPlane(picture) || !is8BitPlane(&converted))
        return status::BadImage;
    if (pasteMask && (!is8BitPlane(pasteMask) || !sameSize(converted, *pasteMask)))
        return status::BadImage;

    const int w = placement.stretched ? placement.width : converted.width();
    const int h = placement.stretched ? placement.height : converted.height();
    const int x = placement.x;
    const int y = placement.y;
    if (w <= 0 || h <= 0)
        return status::Ok;
    const int targetColumn = std::max(x, 0);
    const int sourceColumn = std::max(-x, 0);
    const long long length =
        std::min<long long>(picture->width(), static_cast<long long>(x) + w) - targetColumn;
    const int firstRow = std::max(-y, 0);
    const long long pastLastRow =
        std::min<long long>(h, static_cast<long long>(picture->height()) - y);
    if (length <= 0 || pastLastRow <= firstRow)
        return status::Ok;

    CellImagePtr composed;
    CellImagePtr resampledMask;
    if (placement.stretched) {
        composed = converted.Resample(w, h);
        if (composed && pasteMask) {
            resampledMask = pasteMask->Resample(w, h);
            if (!resampledMask)
                return status::OutOfMemory;
            pasteMask = resampledMask.get();
        }
    } else {
        composed = converted.Duplicate();
    }
    if (!composed)
        return status::OutOfMemory;
    if (group)
        composed->SetPalette(group, 256);

    MaskGate gate(target, MaskPolicy::HonourWhenEnabled);
    for (int i = firstRow; i < pastLastRow; ++i) {
        const int targetRow = y + i;
        std::uint8_t* pixels = composed->row(i) + sourceColumn;
        const std::uint8_t* below = picture->row(targetRow) + targetColumn;
        const std::uint8_t* protection = gate.protection(targetRow);
        if (protection)
            protection += targetColumn;
        const std::uint8_t* marked = pasteMask ? pasteMask->row(i) + sourceColumn : nullptr;
        for (int k = 0; k < length; ++k) {
            const std::uint8_t s = pixels[k];
            const std::uint8_t t = below[k];
            std::uint8_t r = s;
            if (overlayMode == overlay::Over)
                r = s == 0 ? t : s;
            else if (overlayMode == overlay::Under)
                r = t != 0 ? t : s;
            if ((protection && protection[k]) || (marked && marked[k]))
                r = t;
            pixels[k] = r;
        }
    }
    out.preview = std::move(composed);
    out.originX = x;
    out.originY = y;
    out.sourceColumn = sourceColumn;
    out.targetColumn = targetColumn;
    out.length = static_cast<int>(length);
    out.firstRow = firstRow;
    out.pastLastRow = static_cast<int>(pastLastRow);
    return status::Ok;
}

Rect LayDown(PaintSurface& target, const ComposedPaste& composed) {
    CellImage* picture = target.picture.get();
    const CellImage* preview = composed.preview.get();
    if (!is8BitPlane(picture) || !is8BitPlane(preview) || composed.length <= 0 ||
        composed.firstRow >= composed.pastLastRow)
        return {};
    // The clipped run must lie inside both records; a composition made for
    // another picture size is refused rather than written out of bounds.
    const Rect onPicture{composed.targetColumn, composed.originY + composed.firstRow,
                         composed.targetColumn + composed.length,
                         composed.originY + composed.pastLastRow};
    if (onPicture.left < 0 || onPicture.top < 0 || onPicture.right > picture->width() ||
        onPicture.bottom > picture->height() || composed.sourceColumn < 0 ||
        composed.sourceColumn + composed.length > preview->width() || composed.firstRow < 0 ||
        composed.pastLastRow > preview->height())
        return {};
    // The mask may have been switched on or changed since the composition.
    MaskGate gate(target, MaskPolicy::HonourWhenEnabled);
    for (int i = composed.firstRow; i < composed.pastLastRow; ++i) {
        const int y = composed.originY + i;
        gate.Apply(y, composed.targetColumn, composed.length,
                   preview->row(i) + composed.sourceColumn,
                   picture->row(y) + composed.targetColumn);
    }
    target.modified = true;
    return onPicture;
}

} // namespace celdo
