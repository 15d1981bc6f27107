#include "canvas/ReplaceIndex.h"

#include "canvas/MaskGate.h"

#include <cstdint>
#include <utility>

namespace celdo {

namespace {

// Mask edit mode keeps the mask in bit 7 of the mask view; the mask plane
// must hold it before anything reads the plane.
bool commitMaskView(PaintSurface& surface) {
    const CellImage* picture = surface.picture.get();
    const CellImage* view = surface.maskView.get();
    if (!surface.maskMode || !picture || !view || !view->pixels() ||
        view->width() != picture->width() || view->height() != picture->height() ||
        view->bitsPerPixel() != 8)
        return true;
    if (!surface.mask || surface.mask->width() != view->width() ||
        surface.mask->height() != view->height() || surface.mask->bitsPerPixel() != 8) {
        auto mask = CellImage::Create(view->width(), view->height(), 8);
        if (!mask || mask->status() != status::Ok)
            return false;
        surface.mask = std::move(mask);
    }
    for (int y = 0; y < view->height(); ++y) {
        const std::uint8_t* in = view->row(y);
        std::uint8_t* out = surface.mask->row(y);
        for (int x = 0; x < view->width(); ++x)
            out[x] = (in[x] & 0x80) ? 0xFF : 0;
    }
    return true;
}

Rect replaceIndexRows(CellImage& picture, MaskGate& gate, int from, int to, bool swap) {
    Rect changed;
    if (picture.bitsPerPixel() != 8 || !picture.pixels())
        return changed;
    const auto a = static_cast<std::uint8_t>(from & 0xFF);
    const auto b = static_cast<std::uint8_t>(to & 0xFF);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        const std::uint8_t* protection = gate.protection(y);
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint8_t v = row[x];
            std::uint8_t result = v;
            if (v == a)
                result = b;
            else if (swap && v == b)
                result = a;
            if (result == v || (protection && protection[x] != 0))
                continue;
            row[x] = result;
            changed = changed.united(Rect{x, y, x + 1, y + 1});
        }
    }
    return changed;
}

} // namespace

Rect ReplaceIndex(CellImage& picture, const CellImage* mask, int from, int to, bool swap) {
    MaskGate gate(mask, picture.width(), picture.height());
    return replaceIndexRows(picture, gate, from, to, swap);
}

Rect ReplaceIndex(PaintSurface& surface, int from, int to, bool swap) {
    if (!surface.picture || !commitMaskView(surface))
        return {};
    MaskGate gate(surface, MaskPolicy::HonourEvenWhenDisabled);
    const Rect changed = replaceIndexRows(*surface.picture, gate, from, to, swap);
    if (!changed.empty())
        surface.modified = true;
    return changed;
}

void ApplyPaletteBroadcast(PaintSurface& surface, const PaletteBroadcast& message,
                           const PaletteSet& palette) {
    if (!surface.picture)
        return;
    CellImage& picture = *surface.picture;
    switch (message.message) {
    case UM_PIXEL_MERGE:
        ReplaceIndex(surface, message.pixelFrom(), message.pixelTo(), false);
        break;
    case UM_PIXEL_SWAP:
        ReplaceIndex(surface, message.pixelFrom(), message.pixelTo(), true);
        break;
    case UM_PALETTE_DELETE_REMAP:
    case UM_PALETTE_SWAP_REMAP:
    case UM_PALETTE_MERGE_REMAP:
    case UM_PALETTE_SORT_REMAP:
        message.remap.apply(picture);
        ApplyCurrentPalette(picture, palette);
        break;
    case UM_PALETTE_APPLY:
        ApplyCurrentPalette(picture, palette);
        break;
    }
    surface.modified = true;
}

void BroadcastPaletteChange(const PaletteBroadcast& message, const PaletteSet& palette,
                            std::span<PaintSurface* const> surfaces) {
    for (PaintSurface* surface : surfaces)
        if (surface)
            ApplyPaletteBroadcast(*surface, message, palette);
}

bool SwitchColourGroup(PaletteSet& palette, int group, std::span<PaintSurface* const> surfaces) {
    if (!SwitchColourGroup(palette, group))
        return false;
    for (PaintSurface* surface : surfaces)
        if (surface && surface->picture)
            ApplyCurrentPalette(*surface->picture, palette);
    return true;
}

} // namespace celdo
