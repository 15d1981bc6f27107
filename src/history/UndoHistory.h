#pragma once

#include "canvas/PaintSurface.h"
#include "core/Rect.h"
#include "core/Status.h"
#include "history/StepAction.h"
#include "history/SurfaceRecord.h"
#include "palette/PaletteSet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace celdo {

// The undo and redo steps of every open picture and of the palette.
//
// Each picture has a lane of steps, and so has the palette.  A step that
// changed the palette and the pictures it remapped lies on all their lanes
// and is undone and redone in all of them at once; it can be undone only
// while it is the latest step of every lane it lies on.  Steps keep only
// what changed, and all of them together stay within a memory bound by
// dropping the oldest first (one step larger than the bound stays alone).
//
// The history decides each registered picture's modified flag: a picture is
// modified unless its latest step is the one it was saved at.
class UndoHistory {
public:
    using Lane = int;
    static constexpr Lane PaletteLane = -1;
    static constexpr std::size_t DefaultMemoryLimit = std::size_t{256} << 20;

    explicit UndoHistory(PaletteSet& palette);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    void setMemoryLimit(std::size_t bytes);
    std::size_t memoryLimit() const { return m_limit; }
    // Bytes the steps hold (not the copies of the open pictures).
    std::size_t stepBytes() const { return m_stepBytes; }
    std::size_t stepCount() const { return m_steps.size(); }

    // A picture's surface joins: its present state is where its history
    // starts, saved unless it is marked modified.  The surface must outlive
    // its lane (Close it first).  Status 8 when memory for the copy runs
    // out; the picture is then edited without undo until Reset.
    Lane Open(PaintSurface& surface);
    // The window closes: its steps go (a step shared with other lanes stays
    // for them).
    void Close(Lane lane);
    // The surface holds a different picture now (a file loaded into the same
    // window): its history starts again.
    Status Reset(Lane lane);

    // The palette's present entries become where its history starts,
    // without a step (the palette the program starts with).
    void AcceptPalette();

    // A gesture changed these pixels (image pixels, right and bottom
    // exclusive); a step closed with onlyTouched compares them alone.
    void Touched(Lane lane, const Rect& pixels);

    // Closes one step over the palette and the given pictures: whatever
    // changed since the last step becomes one step on each lane that
    // changed.  With `markModified` each given picture counts as changed
    // even where no pixel did (a palette operation marks every picture).
    // With `onlyTouched` only the touched pixels are compared.  A new step
    // drops the redo steps of its lanes.  Status 8 when memory runs out: the
    // change stays and the lanes' histories start again from here.
    Status Commit(std::span<const Lane> lanes, bool onlyTouched = false, bool markModified = false);
    Status Commit(Lane lane, bool onlyTouched = false) {
        return Commit(std::span<const Lane>(&lane, 1), onlyTouched);
    }
    // As Commit, with work outside the pictures that belongs to the step; the
    // step then lies on the palette's lane too, so it is made even when
    // nothing else changed.
    Status CommitWithAction(std::span<const Lane> lanes, std::unique_ptr<StepAction> action,
                            bool markModified);
    // Changes not yet committed on this picture are dropped (a gesture
    // cancelled).
    void Discard(Lane lane);

    enum class Outcome {
        Done,
        Nothing,      // no step to undo or redo
        Blocked,      // the step lies on another lane with later steps
        OutOfMemory,  // a plane could not be brought back; nothing changed
        ActionFailed, // the step's work outside the pictures failed; nothing changed
    };
    struct Result {
        Outcome outcome = Outcome::Nothing;
        // The pictures that changed (their surfaces were written).
        std::vector<Lane> changed;
        bool paletteChanged = false;
        // Blocked: the lane whose later steps stand in the way.
        Lane blockedBy = PaletteLane;
    };
    Result Undo(Lane lane);
    Result Redo(Lane lane);
    bool canUndo(Lane lane) const;
    bool canRedo(Lane lane) const;

    // The picture was written: its present state is the saved one.
    void MarkSaved(Lane lane);
    bool isModified(Lane lane) const;
    bool contains(Lane lane) const { return m_lanes.count(lane) != 0; }
    PaintSurface* surface(Lane lane) const;

private:
    struct Step;
    struct LaneState;
    // A lane's saved position: 0 is the state before its oldest step.
    static constexpr std::uint64_t Unreachable = ~std::uint64_t{0};

    Result move(Lane lane, bool undo);
    Status commit(std::span<const Lane> lanes, bool onlyTouched, bool markModified,
                  std::unique_ptr<StepAction> action);
    void dropUndone(Step* step);
    void dropOldest(Step* keep);
    void forgetStep(Step* step);
    void updateModified(Lane lane);
    void resetLane(LaneState& lane);
    LaneState* find(Lane lane);
    const LaneState* find(Lane lane) const;

    PaletteSet& m_palette;
    std::array<ColourValue, PaletteSet::GroupCount * PaletteSet::GroupSize> m_paletteCopy{};
    std::map<Lane, std::unique_ptr<LaneState>> m_lanes;
    std::unique_ptr<LaneState> m_paletteLane;
    std::map<std::uint64_t, std::unique_ptr<Step>> m_steps;
    std::uint64_t m_nextSerial = 1;
    Lane m_nextLane = 1;
    std::size_t m_limit = DefaultMemoryLimit;
    std::size_t m_stepBytes = 0;
};

} // namespace celdo
