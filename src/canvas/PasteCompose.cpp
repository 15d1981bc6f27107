#include "canvas/PasteCompose.h"

#include "canvas/MaskGate.h"

#include <algorithm>
#include <cstdint>

namespace celdo {

namespace {

bool is8BitPlane(const CellImage* image) {
    return image && image->pixels() && image->bitsPerPixel() == 8;
}

bool sameSize(const CellImage& a, const CellImage& b) {
    return a.width() == b.width() && a.height() == b.height();
}

// One row of a composition, written without branches so that the compiler
// can work on many pixels at once: each overlay mode and each combination of
// masks has its own loop.
template <int Mode, bool Protected, bool Marked>
__attribute__((optimize("O3"), target_clones("avx2", "default"))) void
composeRun(std::uint8_t* __restrict pixels, const std::uint8_t* __restrict below,
           const std::uint8_t* __restrict protection, const std::uint8_t* __restrict marked,
           int length) {
    for (int k = 0; k < length; ++k) {
        const std::uint8_t s = pixels[k];
        const std::uint8_t t = below[k];
        std::uint8_t r = s;
        if constexpr (Mode == overlay::Over)
            r = s == 0 ? t : s;
        else if constexpr (Mode == overlay::Under)
            r = t != 0 ? t : s;
        if constexpr (Protected)
            r = protection[k] != 0 ? t : r;
        if constexpr (Marked)
            r = marked[k] != 0 ? t : r;
        pixels[k] = r;
    }
}

template <int Mode>
void composeRunOf(std::uint8_t* pixels, const std::uint8_t* below, const std::uint8_t* protection,
                  const std::uint8_t* marked, int length) {
    if (protection && marked)
        composeRun<Mode, true, true>(pixels, below, protection, marked, length);
    else if (protection)
        composeRun<Mode, true, false>(pixels, below, protection, marked, length);
    else if (marked)
        composeRun<Mode, false, true>(pixels, below, protection, marked, length);
    else
        composeRun<Mode, false, false>(pixels, below, protection, marked, length);
}

// Modes other than 1 and 2 replace the picture, as mode 0 does.
void composeRow(int overlayMode, std::uint8_t* pixels, const std::uint8_t* below,
                const std::uint8_t* protection, const std::uint8_t* marked, int length) {
    if (overlayMode == overlay::Over)
        composeRunOf<overlay::Over>(pixels, below, protection, marked, length);
    else if (overlayMode == overlay::Under)
        composeRunOf<overlay::Under>(pixels, below, protection, marked, length);
    else
        composeRunOf<overlay::Plain>(pixels, below, protection, marked, length);
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
        const std::uint8_t* protection = gate.protection(targetRow);
        composeRow(
            overlayMode, composed->row(i) + sourceColumn, picture->row(targetRow) + targetColumn,
            protection ? protection + targetColumn : nullptr,
            pasteMask ? pasteMask->row(i) + sourceColumn : nullptr, static_cast<int>(length));
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
