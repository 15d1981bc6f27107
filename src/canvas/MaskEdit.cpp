#include "canvas/MaskEdit.h"

namespace celdo {

namespace {

constexpr std::uint8_t ProtectBit = 0x80;

Rect wholeOf(const CellImage* image) {
    return image ? Rect{0, 0, image->width(), image->height()} : Rect{};
}

bool samePlaneSize(const CellImage* a, const CellImage* b) {
    return a && b && a->pixels() && b->pixels() && a->width() == b->width() &&
           a->height() == b->height() && a->bitsPerPixel() == 8 && b->bitsPerPixel() == 8;
}

void setResult(Status* result, Status value) {
    if (result)
        *result = value;
}

// Applies `change` to every pixel of an 8-bit plane, row by row.
template <typename Change> void forEachPixel(CellImage& plane, Change change) {
    for (int y = 0; y < plane.height(); ++y) {
        std::uint8_t* row = plane.row(y);
        for (int x = 0; x < plane.width(); ++x)
            row[x] = change(row[x]);
    }
}

CellImagePtr newPlane(const CellImage& picture, std::uint8_t fill) {
    auto plane = CellImage::Create(picture.width(), picture.height(), 8);
    if (plane->status() != status::Ok)
        return nullptr;
    if (fill)
        forEachPixel(*plane, [fill](std::uint8_t) { return fill; });
    return plane;
}

} // namespace

std::array<ColourValue, 256> maskViewPalette() {
    std::array<ColourValue, 256> palette{};
    for (unsigned i = 0; i < 128; ++i) {
        palette[i] = rgb(0, 0, 2 * i);
        palette[128 + i] = rgb(2 * i, 0, 2 * i);
    }
    return palette;
}

int maskGreyLevel(ColourValue colour) {
    return static_cast<int>((77 * redOf(colour) + 150 * greenOf(colour) + 29 * blueOf(colour)) >>
                            9) &
           0x7F;
}

Rect EnterMaskMode(PaintSurface& surface, Status* result) {
    setResult(result, status::Ok);
    CellImage* picture = surface.picture.get();
    if (surface.maskMode || !picture || !picture->pixels() || picture->bitsPerPixel() != 8)
        return {};
    // Both new records are made before anything is changed, so running out of
    // memory leaves the surface exactly as it was.
    auto view = picture->Duplicate();
    CellImagePtr createdMask;
    if (!surface.mask) {
        createdMask = newPlane(*picture, 0);
        if (!createdMask) {
            setResult(result, status::OutOfMemory);
            return {};
        }
    }
    if (!view) {
        setResult(result, status::OutOfMemory);
        return {};
    }
    const CellImage* mask = surface.mask ? surface.mask.get() : createdMask.get();
    if (!samePlaneSize(picture, mask)) {
        setResult(result, status::BadImage);
        return {};
    }
    const auto palette = maskViewPalette();
    view->SetPalette(palette.data(), 256);
    std::array<std::uint8_t, 256> grey{};
    for (int k = 0; k < 256; ++k)
        grey[k] = static_cast<std::uint8_t>(maskGreyLevel(picture->paletteEntry(k)));
    for (int y = 0; y < picture->height(); ++y) {
        const std::uint8_t* source = picture->row(y);
        const std::uint8_t* protection = mask->row(y);
        std::uint8_t* target = view->row(y);
        for (int x = 0; x < picture->width(); ++x)
            target[x] = grey[source[x]] | (protection[x] ? ProtectBit : 0);
    }
    if (createdMask)
        surface.mask = std::move(createdMask);
    surface.maskView = std::move(view);
    surface.maskMode = true;
    return wholeOf(picture);
}

Rect LeaveMaskMode(PaintSurface& surface) {
    if (!surface.maskMode)
        return {};
    CommitMaskView(surface);
    surface.maskView.reset();
    surface.maskMode = false;
    return wholeOf(surface.picture.get());
}

Rect CommitMaskView(PaintSurface& surface) {
    if (!surface.maskMode || !samePlaneSize(surface.maskView.get(), surface.mask.get()))
        return {};
    const CellImage& view = *surface.maskView;
    CellImage& mask = *surface.mask;
    for (int y = 0; y < view.height(); ++y) {
        const std::uint8_t* source = view.row(y);
        std::uint8_t* target = mask.row(y);
        for (int x = 0; x < view.width(); ++x)
            target[x] = (source[x] & ProtectBit) ? 0xFF : 0;
    }
    return wholeOf(&mask);
}

Rect RefreshMaskView(PaintSurface& surface) {
    if (!surface.maskMode || !samePlaneSize(surface.maskView.get(), surface.mask.get()))
        return {};
    CellImage& view = *surface.maskView;
    const CellImage& mask = *surface.mask;
    for (int y = 0; y < view.height(); ++y) {
        const std::uint8_t* source = mask.row(y);
        std::uint8_t* target = view.row(y);
        for (int x = 0; x < view.width(); ++x)
            target[x] =
                static_cast<std::uint8_t>((target[x] & 0x7F) | (source[x] ? ProtectBit : 0));
    }
    return wholeOf(&view);
}

Rect InvertMask(PaintSurface& surface, Status* result) {
    setResult(result, status::Ok);
    if (surface.maskMode) {
        if (!surface.maskView || !surface.maskView->pixels())
            return {};
        forEachPixel(*surface.maskView,
                     [](std::uint8_t v) { return static_cast<std::uint8_t>(v ^ ProtectBit); });
        surface.modified = true;
        return wholeOf(surface.maskView.get());
    }
    if (!surface.picture || !surface.picture->pixels())
        return {};
    if (!surface.mask) {
        auto full = newPlane(*surface.picture, 0xFF);
        if (!full) {
            setResult(result, status::OutOfMemory);
            return {};
        }
        surface.mask = std::move(full);
    } else if (surface.mask->pixels()) {
        forEachPixel(*surface.mask,
                     [](std::uint8_t v) { return static_cast<std::uint8_t>(255 - v); });
    }
    surface.modified = true;
    return wholeOf(surface.mask.get());
}

Rect ClearMask(PaintSurface& surface) {
    surface.modified = true;
    if (surface.maskMode) {
        if (!surface.maskView || !surface.maskView->pixels())
            return {};
        forEachPixel(*surface.maskView,
                     [](std::uint8_t v) { return static_cast<std::uint8_t>(v & 0x7F); });
        return wholeOf(surface.maskView.get());
    }
    const Rect changed = wholeOf(surface.mask.get());
    surface.mask.reset();
    return changed;
}

bool AttachMask(PaintSurface& surface, CellImagePtr mask) {
    if (!samePlaneSize(surface.picture.get(), mask.get()))
        return false;
    surface.mask = std::move(mask);
    RefreshMaskView(surface);
    return true;
}

} // namespace celdo
