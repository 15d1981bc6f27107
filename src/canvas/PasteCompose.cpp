#include "canvas/PasteCompose.h"

#include "canvas/MaskGate.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace celdo {

namespace {

bool is8BitPlane(const CellImage* image) {
    return image && image->pixels() && image->bitsPerPixel() == 8;
}

bool sameSize(const CellImage& a, const CellImage& b) {
    return a.width() == b.width() && a.height() == b.height();
}

// GCC builds the row loops vectorised whatever the build's optimisation
// level, with a wider variant for processors that have it; clang cannot clone
// templates and vectorises them at its own optimisation level.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define CELDO_ROW_LOOP __attribute__((optimize("O3"), target_clones("avx2", "default")))
#else
#define CELDO_ROW_LOOP
#endif

// One row of a composition, written without branches so that the compiler
// can work on many pixels at once: each overlay mode and each combination of
// masks has its own loop.
template <int Mode, bool Protected, bool Marked>
CELDO_ROW_LOOP void composeRun(std::uint8_t* __restrict out, const std::uint8_t* __restrict paste,
                               const std::uint8_t* __restrict below,
                               const std::uint8_t* __restrict protection,
                               const std::uint8_t* __restrict marked, int length) {
    for (int k = 0; k < length; ++k) {
        const std::uint8_t s = paste[k];
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
        out[k] = r;
    }
}

struct RowSources {
    std::uint8_t* out;
    const std::uint8_t* paste;
    const std::uint8_t* below;
    const std::uint8_t* protection;
    const std::uint8_t* marked;
};

template <int Mode> void composeRunOf(const RowSources& r, int length) {
    if (r.protection && r.marked)
        composeRun<Mode, true, true>(r.out, r.paste, r.below, r.protection, r.marked, length);
    else if (r.protection)
        composeRun<Mode, true, false>(r.out, r.paste, r.below, r.protection, r.marked, length);
    else if (r.marked)
        composeRun<Mode, false, true>(r.out, r.paste, r.below, r.protection, r.marked, length);
    else
        composeRun<Mode, false, false>(r.out, r.paste, r.below, r.protection, r.marked, length);
}

// Modes other than 1 and 2 replace the picture, as mode 0 does.
void composeRow(int overlayMode, const RowSources& r, int length) {
    if (overlayMode == overlay::Over)
        composeRunOf<overlay::Over>(r, length);
    else if (overlayMode == overlay::Under)
        composeRunOf<overlay::Under>(r, length);
    else
        composeRunOf<overlay::Plain>(r, length);
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
    // A composed copy of the right size is written again rather than
    // allocated anew: a tentative paste composes over and over.
    CellImagePtr reuse = std::move(out.preview);
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

    // The composed copy is written from the paste's rows directly: rows and
    // columns off the picture keep the paste, the clipped run is combined.
    const CellImage* paste = &converted;
    CellImagePtr resampled;
    CellImagePtr resampledMask;
    if (placement.stretched) {
        resampled = converted.Resample(w, h);
        if (!resampled)
            return status::OutOfMemory;
        paste = resampled.get();
        if (pasteMask) {
            resampledMask = pasteMask->Resample(w, h);
            if (!resampledMask)
                return status::OutOfMemory;
            pasteMask = resampledMask.get();
        }
    }
    CellImagePtr composed;
    if (reuse && reuse->width() == w && reuse->height() == h && is8BitPlane(reuse.get()))
        composed = std::move(reuse);
    else
        composed = CellImage::Create(w, h, 8);
    if (!composed || composed->status() != status::Ok || !composed->pixels())
        return status::OutOfMemory;
    composed->SetPalette(group ? group : paste->palette(), 256);

    const auto run = static_cast<std::size_t>(length);
    const auto before = static_cast<std::size_t>(sourceColumn);
    const std::size_t after = static_cast<std::size_t>(w) - before - run;
    MaskGate gate(target, MaskPolicy::HonourWhenEnabled);
    // Rows are stored bottom-up: the last row first keeps every pass in
    // memory order.
    for (int i = h - 1; i >= 0; --i) {
        std::uint8_t* row = composed->row(i);
        const std::uint8_t* from = paste->row(i);
        if (i < firstRow || i >= pastLastRow) {
            std::memcpy(row, from, static_cast<std::size_t>(w));
            continue;
        }
        const int targetRow = y + i;
        const std::uint8_t* protection = gate.protection(targetRow);
        std::memcpy(row, from, before);
        std::memcpy(row + before + run, from + before + run, after);
        const RowSources sources{row + before, from + before,
                                 picture->row(targetRow) + targetColumn,
                                 protection ? protection + targetColumn : nullptr,
                                 pasteMask ? pasteMask->row(i) + sourceColumn : nullptr};
        composeRow(overlayMode, sources, static_cast<int>(length));
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
    for (int i = composed.pastLastRow - 1; i >= composed.firstRow; --i) {
        const int y = composed.originY + i;
        gate.Apply(y, composed.targetColumn, composed.length,
                   preview->row(i) + composed.sourceColumn,
                   picture->row(y) + composed.targetColumn);
    }
    target.modified = true;
    return onPicture;
}

} // namespace celdo
