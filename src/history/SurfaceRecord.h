#pragma once

#include "canvas/PaintSurface.h"
#include "core/Rect.h"
#include "history/PlaneCopy.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace celdo {

// What one step did to one plane of a picture: nothing, some tiles, or the
// whole plane (a new size, a plane made or dropped), kept as the copy of the
// other side (null: no plane there).
struct PlaneStep {
    enum class Kind { None, Tiles, Replaced };
    Kind kind = Kind::None;
    TileChanges tiles;
    std::unique_ptr<PlaneCopy> other;

    bool empty() const { return kind == Kind::None || (kind == Kind::Tiles && tiles.empty()); }
    std::size_t bytes() const;
};

// What one step did to one picture's surface.
struct SurfaceStep {
    PlaneStep picture;
    PlaneStep mask;
    PlaneStep view;
    bool maskModeToggled = false;

    bool empty() const {
        return picture.empty() && mask.empty() && view.empty() && !maskModeToggled;
    }
    std::size_t bytes() const { return picture.bytes() + mask.bytes() + view.bytes(); }
};

// The copies of one surface's planes as they were when its last step
// closed, and the work of finding and reversing steps on it.
//
// In image edit mode the picture and the mask plane are the state; in mask
// edit mode the picture and the mask view are, and the mask plane is only
// what the view was last committed as.  The mask's copy stays as it was
// when mask edit mode began until the mode is left again.
class SurfaceRecord {
public:
    // Copies the surface's planes.  Throws std::bad_alloc.
    explicit SurfaceRecord(PaintSurface& surface);

    PaintSurface& surface() { return m_surface; }
    // Heap bytes of the copies.
    std::size_t bytes() const;

    // A gesture changed these pixels; a step closed with onlyTouched looks
    // at them alone.
    void Touched(const Rect& pixels);
    // Compares the surface with the copies, brings the copies up to date and
    // returns what changed.  Throws std::bad_alloc, after which the record
    // must be rebuilt.
    SurfaceStep Take(bool onlyTouched);
    // Undo and redo: the surface and the copies take the side `step` holds,
    // and `step` takes theirs.  False, with nothing changed, when memory for
    // a plane brought back runs out.
    bool Exchange(SurfaceStep& step);
    // Drops changes not yet taken: the surface returns to the copies.
    void Discard();

private:
    PlaneStep takePlane(std::unique_ptr<PlaneCopy>& copy, const CellImage* plane,
                        const CellImage* seen, const std::vector<std::uint8_t>* marks);
    void remember();

    PaintSurface& m_surface;
    std::unique_ptr<PlaneCopy> m_picture;
    std::unique_ptr<PlaneCopy> m_mask;
    std::unique_ptr<PlaneCopy> m_view;
    bool m_maskMode = false;
    // The records the copies were taken from: a plane replaced since is
    // compared whole even when only touched pixels were asked for.
    const CellImage* m_seenPicture = nullptr;
    const CellImage* m_seenMask = nullptr;
    const CellImage* m_seenView = nullptr;
    // The tiles a gesture touched, marked as it goes, for each copy.
    std::vector<std::uint8_t> m_pictureMarks;
    std::vector<std::uint8_t> m_maskMarks;
    std::vector<std::uint8_t> m_viewMarks;
    // Pixels whose tiles the last touch marked in every plane it marks.
    Rect m_covered;
};

} // namespace celdo
