#include "history/SurfaceRecord.h"

#include "canvas/MaskEdit.h"

#include <utility>

namespace celdo {

namespace {

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
    m_covered = {};
    m_pictureMarks.clear();
    m_maskMarks.clear();
    m_viewMarks.clear();
}

void SurfaceRecord::Touched(const Rect& pixels) {
    // A stroke's next dab mostly lies in the tiles of the one before.
    if (pixels.empty() || m_covered.intersected(pixels) == pixels)
        return;
    const auto mark = [&](const std::unique_ptr<PlaneCopy>& copy,
                          std::vector<std::uint8_t>& marks) {
        return copy ? copy->markTiles(marks, pixels.left, pixels.top, pixels.right, pixels.bottom)
                    : Rect{};
    };
    const Rect picture = mark(m_picture, m_pictureMarks);
    const Rect other = mark(m_maskMode ? m_view : m_mask, m_maskMode ? m_viewMarks : m_maskMarks);
    // Mask planes and views are 8-bit planes of the picture's size: with an
    // 8-bit picture their tiles are the picture's.
    m_covered = (m_maskMode ? m_view : m_mask) ? picture.intersected(other) : picture;
}

PlaneStep SurfaceRecord::takePlane(std::unique_ptr<PlaneCopy>& copy, const CellImage* plane,
                                   const CellImage* seen, const std::vector<std::uint8_t>* marks) {
    PlaneStep step;
    if (!copy && !plane)
        return step;
    if (copy && plane && copy->fits(*plane)) {
        step.kind = PlaneStep::Kind::Tiles;
        // Marks count only for the record they were made on.
        if (marks && plane == seen) {
            if (!marks->empty())
                step.tiles = copy->Take(*plane, marks);
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
    const auto marksIf = [&](const std::vector<std::uint8_t>& marks) {
        return onlyTouched && !step.maskModeToggled ? &marks : nullptr;
    };
    step.picture =
        takePlane(m_picture, m_surface.picture.get(), m_seenPicture, marksIf(m_pictureMarks));
    if (maskMode) {
        // The mask view is the state; the mask's copy keeps what the mask was
        // when the mode began.
        step.view = takePlane(m_view, m_surface.maskView.get(), m_seenView, marksIf(m_viewMarks));
    } else {
        if (m_view) {
            step.view.kind = PlaneStep::Kind::Replaced;
            step.view.other = std::move(m_view);
        }
        // Commits made while the view was the state may have changed any
        // part of the mask.
        step.mask = takePlane(m_mask, m_surface.mask.get(), m_seenMask, marksIf(m_maskMarks));
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
