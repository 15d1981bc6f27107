#include "history/SurfaceRecord.h"

#include "canvas/MaskEdit.h"

#include <utility>

namespace celdo {

namespace {

// A long stroke is compared whole instead of rectangle by rectangle.
constexpr std::size_t MaxTouched = 4096;

std::unique_ptr<PlaneCopy> copyOf(const CellImage* plane) {
    return plane ? std::make_unique<PlaneCopy>(*plane) : nullptr;
}

} // namespace

std::size_t PlaneStep::bytes() const {
    std::size_t total = sizeof(PlaneStep) + PlaneCopy::bytesOf(tiles);
    if (other)
        total += other->bytes();
    return total;
}

SurfaceRecord::SurfaceRecord(PaintSurface& surface)
    : m_surface(surface), m_picture(copyOf(surface.picture.get())),
      m_mask(copyOf(surface.mask.get())),
      m_view(surface.maskMode ? copyOf(surface.maskView.get()) : nullptr),
      m_maskMode(surface.maskMode) {
    remember();
}

std::size_t SurfaceRecord::bytes() const {
    std::size_t total = 0;
    for (const auto* copy : {m_picture.get(), m_mask.get(), m_view.get()})
        if (copy)
            total += copy->bytes();
    return total;
}

void SurfaceRecord::remember() {
    m_seenPicture = m_surface.picture.get();
    m_seenMask = m_surface.mask.get();
    m_seenView = m_surface.maskView.get();
    m_touched.clear();
    m_touchedOverflow = false;
}

void SurfaceRecord::Touched(const Rect& pixels) {
    if (pixels.empty() || m_touchedOverflow)
        return;
    if (!m_touched.empty()) {
        const Rect& last = m_touched.back();
        if (last.intersected(pixels) == pixels)
            return;
    }
    if (m_touched.size() >= MaxTouched) {
        m_touchedOverflow = true;
        m_touched.clear();
        return;
    }
    m_touched.push_back(pixels);
}

PlaneStep SurfaceRecord::takePlane(std::unique_ptr<PlaneCopy>& copy, const CellImage* plane,
                                   const CellImage* seen, bool onlyTouched) {
    PlaneStep step;
    if (!copy && !plane)
        return step;
    if (copy && plane && copy->fits(*plane)) {
        step.kind = PlaneStep::Kind::Tiles;
        if (onlyTouched && plane == seen && !m_touchedOverflow) {
            std::vector<std::uint8_t> marks;
            for (const Rect& r : m_touched)
                copy->markTiles(marks, r.left, r.top, r.right, r.bottom);
            if (!marks.empty())
                step.tiles = copy->Take(*plane, &marks);
        } else {
            step.tiles = copy->Take(*plane, nullptr);
        }
        return step;
    }
    // Made before the old copy is given up, so that running out of memory
    // leaves the record as it was.
    std::unique_ptr<PlaneCopy> fresh = copyOf(plane);
    step.kind = PlaneStep::Kind::Replaced;
    step.other = std::exchange(copy, std::move(fresh));
    return step;
}

SurfaceStep SurfaceRecord::Take(bool onlyTouched) {
    SurfaceStep step;
    const bool maskMode = m_surface.maskMode;
    step.maskModeToggled = maskMode != m_maskMode;
    step.picture = takePlane(m_picture, m_surface.picture.get(), m_seenPicture, onlyTouched);
    if (maskMode) {
        // The mask view is the state; the mask's copy keeps what the mask was
        // when the mode began.
        step.view =
            takePlane(m_view, m_surface.maskView.get(), step.maskModeToggled ? nullptr : m_seenView,
                      onlyTouched && !step.maskModeToggled);
    } else {
        if (m_view) {
            step.view.kind = PlaneStep::Kind::Replaced;
            step.view.other = std::move(m_view);
        }
        // Commits made while the view was the state may have changed any
        // part of the mask.
        step.mask = takePlane(m_mask, m_surface.mask.get(), m_seenMask,
                              onlyTouched && !step.maskModeToggled);
    }
    m_maskMode = maskMode;
    remember();
    return step;
}

bool SurfaceRecord::Exchange(SurfaceStep& step) {
    PaintSurface& s = m_surface;
    // Every record that has to be made is made first: running out of memory
    // then changes nothing.
    auto rebuilt = [](const PlaneStep& plane, CellImagePtr& made) {
        if (plane.kind != PlaneStep::Kind::Replaced || !plane.other)
            return true;
        made = plane.other->Rebuild();
        return made != nullptr;
    };
    CellImagePtr picture, mask, view, freshMask;
    if (!rebuilt(step.picture, picture) || !rebuilt(step.mask, mask) || !rebuilt(step.view, view))
        return false;
    const bool maskMode = step.maskModeToggled ? !s.maskMode : s.maskMode;
    const CellImage* pictureAfter =
        step.picture.kind == PlaneStep::Kind::Replaced ? picture.get() : s.picture.get();
    if (maskMode && !s.mask && step.mask.kind != PlaneStep::Kind::Replaced && pictureAfter) {
        // Mask edit mode keeps a mask plane for the view to be committed to.
        freshMask = CellImage::Create(pictureAfter->width(), pictureAfter->height(), 8);
        if (!freshMask || freshMask->status() != status::Ok)
            return false;
    }

    auto exchange = [](PlaneStep& plane, std::unique_ptr<PlaneCopy>& copy, CellImagePtr& target,
                       CellImagePtr& made) {
        if (plane.kind == PlaneStep::Kind::Tiles && copy && target)
            copy->Exchange(*target, plane.tiles);
        else if (plane.kind == PlaneStep::Kind::Replaced) {
            std::swap(copy, plane.other);
            target = std::move(made);
        }
    };
    exchange(step.picture, m_picture, s.picture, picture);
    exchange(step.view, m_view, s.maskView, view);
    exchange(step.mask, m_mask, s.mask, mask);
    s.maskMode = maskMode;
    m_maskMode = maskMode;
    if (maskMode) {
        if (freshMask) {
            s.mask = std::move(freshMask);
            CommitMaskView(s);
        }
    } else {
        s.maskView.reset();
        if (!m_mask)
            s.mask.reset();
        else if (s.mask && m_mask->fits(*s.mask))
            m_mask->RestoreInto(*s.mask);
    }
    remember();
    return true;
}

void SurfaceRecord::Discard() {
    PaintSurface& s = m_surface;
    auto restore = [](const std::unique_ptr<PlaneCopy>& copy, CellImagePtr& plane) {
        if (!copy) {
            plane.reset();
            return;
        }
        if (plane && copy->fits(*plane)) {
            copy->RestoreInto(*plane);
            return;
        }
        if (CellImagePtr made = copy->Rebuild())
            plane = std::move(made);
    };
    restore(m_picture, s.picture);
    if (m_maskMode && s.maskMode) {
        restore(m_view, s.maskView);
    } else if (!m_maskMode && !s.maskMode) {
        restore(m_mask, s.mask);
    }
    remember();
}

} // namespace celdo
