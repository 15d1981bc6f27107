#include "history/UndoHistory.h"

#include "palette/PaletteOperations.h"

#include <algorithm>
#include <new>
#include <utility>

namespace celdo {

struct UndoHistory::Step {
    struct Part {
        Lane lane = PaletteLane;
        // Counts for the picture's modified flag: an edit, or a palette
        // operation that marks every picture.  Entering mask edit mode does
        // not count.
        bool content = false;
        SurfaceStep surface;
    };

    std::uint64_t serial = 0;
    bool undone = false;
    // Palette entries that changed, with the value on the other side.
    std::vector<std::uint16_t> paletteIndices;
    std::vector<ColourValue> paletteValues;
    std::vector<Part> parts;
    std::unique_ptr<StepAction> action;
    std::size_t bytes = 0;

    // A step with work outside the pictures lies on the palette's lane, the
    // one lane every window can reach.
    bool onPalette() const { return !paletteIndices.empty() || action; }
    const Part* part(Lane lane) const {
        for (const Part& p : parts)
            if (p.lane == lane)
                return &p;
        return nullptr;
    }
    std::vector<Lane> lanes() const {
        std::vector<Lane> all;
        for (const Part& p : parts)
            all.push_back(p.lane);
        if (onPalette())
            all.push_back(PaletteLane);
        return all;
    }
    std::size_t measure() const {
        std::size_t total = sizeof(Step) + paletteIndices.capacity() * sizeof(std::uint16_t) +
                            paletteValues.capacity() * sizeof(ColourValue);
        for (const Part& p : parts)
            total += sizeof(Part) + p.surface.bytes();
        if (action)
            total += action->bytes();
        return total;
    }
};

struct UndoHistory::LaneState {
    Lane id = PaletteLane;
    PaintSurface* surface = nullptr;
    // Null for the palette, and for a picture whose copy did not fit in
    // memory (it is edited without undo).
    std::unique_ptr<SurfaceRecord> record;
    // Oldest first; the back of `undo` is the latest step, the back of
    // `redo` the next step to redo.
    std::vector<Step*> undo;
    std::vector<Step*> redo;
    std::uint64_t saved = 0;
};

UndoHistory::UndoHistory(PaletteSet& palette)
    : m_palette(palette), m_paletteLane(std::make_unique<LaneState>()) {
    std::copy_n(m_palette.all(), m_paletteCopy.size(), m_paletteCopy.begin());
}

UndoHistory::~UndoHistory() = default;

void UndoHistory::setMemoryLimit(std::size_t bytes) {
    m_limit = bytes;
    dropOldest(nullptr);
}

UndoHistory::LaneState* UndoHistory::find(Lane lane) {
    if (lane == PaletteLane)
        return m_paletteLane.get();
    const auto it = m_lanes.find(lane);
    return it == m_lanes.end() ? nullptr : it->second.get();
}

const UndoHistory::LaneState* UndoHistory::find(Lane lane) const {
    return const_cast<UndoHistory*>(this)->find(lane);
}

PaintSurface* UndoHistory::surface(Lane lane) const {
    const LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    return state ? state->surface : nullptr;
}

UndoHistory::Lane UndoHistory::Open(PaintSurface& surface) {
    auto state = std::make_unique<LaneState>();
    state->id = m_nextLane++;
    state->surface = &surface;
    state->saved = surface.modified ? Unreachable : 0;
    try {
        state->record = std::make_unique<SurfaceRecord>(surface);
    } catch (const std::bad_alloc&) {
        state->record.reset();
    }
    const Lane id = state->id;
    m_lanes.emplace(id, std::move(state));
    return id;
}

void UndoHistory::resetLane(LaneState& lane) {
    // The lane's parts leave its steps; a step left on no lane goes.
    std::vector<Step*> steps = lane.undo;
    steps.insert(steps.end(), lane.redo.begin(), lane.redo.end());
    lane.undo.clear();
    lane.redo.clear();
    for (Step* step : steps) {
        std::erase_if(step->parts, [&](const Step::Part& p) { return p.lane == lane.id; });
        if (step->parts.empty() && !step->onPalette()) {
            forgetStep(step);
        } else {
            const std::size_t before = step->bytes;
            step->bytes = step->measure();
            m_stepBytes = m_stepBytes - before + step->bytes;
        }
    }
}

void UndoHistory::Close(Lane lane) {
    LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    if (!state)
        return;
    resetLane(*state);
    m_lanes.erase(lane);
}

Status UndoHistory::Reset(Lane lane) {
    LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    if (!state)
        return status::Ok;
    resetLane(*state);
    state->saved = state->surface->modified ? Unreachable : 0;
    state->record.reset();
    try {
        state->record = std::make_unique<SurfaceRecord>(*state->surface);
    } catch (const std::bad_alloc&) {
        return status::OutOfMemory;
    }
    return status::Ok;
}

void UndoHistory::AcceptPalette() {
    std::copy_n(m_palette.all(), m_paletteCopy.size(), m_paletteCopy.begin());
}

void UndoHistory::Touched(Lane lane, const Rect& pixels) {
    if (LaneState* state = find(lane); state && state->record)
        state->record->Touched(pixels);
}

void UndoHistory::Discard(Lane lane) {
    if (LaneState* state = find(lane); state && state->record)
        state->record->Discard();
}

Status UndoHistory::Commit(std::span<const Lane> lanes, bool onlyTouched, bool markModified) {
    return commit(lanes, onlyTouched, markModified, nullptr);
}

Status UndoHistory::CommitWithAction(std::span<const Lane> lanes,
                                     std::unique_ptr<StepAction> action, bool markModified) {
    return commit(lanes, false, markModified, std::move(action));
}

Status UndoHistory::commit(std::span<const Lane> lanes, bool onlyTouched, bool markModified,
                           std::unique_ptr<StepAction> action) {
    auto step = std::make_unique<Step>();
    step->action = std::move(action);
    try {
        // A gesture never changes the palette; the pointer's every move
        // closes an empty gesture step, so the comparison is left to
        // commands.
        const ColourValue* now = m_palette.all();
        for (std::size_t i = 0; !onlyTouched && i < m_paletteCopy.size(); ++i) {
            if (now[i] == m_paletteCopy[i])
                continue;
            step->paletteIndices.push_back(static_cast<std::uint16_t>(i));
            step->paletteValues.push_back(m_paletteCopy[i]);
            m_paletteCopy[i] = now[i];
        }
        for (Lane lane : lanes) {
            LaneState* state = lane == PaletteLane ? nullptr : find(lane);
            if (!state || !state->record || step->part(lane))
                continue;
            SurfaceStep change = state->record->Take(onlyTouched);
            const bool content =
                markModified || !change.picture.empty() || !change.mask.empty() ||
                (change.view.kind == PlaneStep::Kind::Tiles && !change.view.tiles.empty());
            if (change.empty() && !markModified)
                continue;
            step->parts.push_back({lane, content, std::move(change)});
        }
    } catch (const std::bad_alloc&) {
        // What was taken cannot be trusted: these lanes start again from
        // the present state.
        step.reset();
        std::copy_n(m_palette.all(), m_paletteCopy.size(), m_paletteCopy.begin());
        for (Lane lane : lanes)
            Reset(lane);
        return status::OutOfMemory;
    }

    if (step->parts.empty() && !step->onPalette()) {
        for (Lane lane : lanes)
            updateModified(lane);
        return status::Ok;
    }

    Step* added = step.get();
    added->serial = m_nextSerial++;
    added->bytes = added->measure();
    // A new change ends the redo steps of every lane it lies on.
    for (Lane lane : added->lanes()) {
        LaneState* state = find(lane);
        while (state && !state->redo.empty())
            dropUndone(state->redo.back());
    }
    for (Lane lane : added->lanes())
        find(lane)->undo.push_back(added);
    m_stepBytes += added->bytes;
    m_steps.emplace(added->serial, std::move(step));
    dropOldest(added);
    for (Lane lane : lanes)
        updateModified(lane);
    return status::Ok;
}

void UndoHistory::forgetStep(Step* step) {
    m_stepBytes -= std::min(m_stepBytes, step->bytes);
    m_steps.erase(step->serial);
}

void UndoHistory::dropUndone(Step* first) {
    // An undone step is the base of every step undone before it on its
    // lanes: those go with it.
    std::vector<Step*> work{first};
    std::vector<Step*> doomed;
    while (!work.empty()) {
        Step* step = work.back();
        work.pop_back();
        if (std::find(doomed.begin(), doomed.end(), step) != doomed.end())
            continue;
        doomed.push_back(step);
        for (Lane lane : step->lanes()) {
            LaneState* state = find(lane);
            if (!state)
                continue;
            const auto at = std::find(state->redo.begin(), state->redo.end(), step);
            work.insert(work.end(), state->redo.begin(), at);
        }
    }
    for (Step* step : doomed) {
        for (Lane lane : step->lanes()) {
            LaneState* state = find(lane);
            if (!state)
                continue;
            std::erase(state->redo, step);
            if (state->saved == step->serial)
                state->saved = Unreachable;
        }
        forgetStep(step);
    }
}

void UndoHistory::dropOldest(Step* keep) {
    while (m_stepBytes > m_limit && m_steps.size() > 1) {
        Step* oldest = m_steps.begin()->second.get();
        if (oldest == keep)
            oldest = std::next(m_steps.begin())->second.get();
        if (oldest->undone) {
            dropUndone(oldest);
            continue;
        }
        // The oldest done step is the first of every lane it lies on.
        for (Lane lane : oldest->lanes()) {
            LaneState* state = find(lane);
            if (!state || state->undo.empty() || state->undo.front() != oldest)
                return;
        }
        for (Lane lane : oldest->lanes()) {
            LaneState* state = find(lane);
            state->undo.erase(state->undo.begin());
            if (state->saved == oldest->serial)
                state->saved = 0;
            else if (state->saved == 0)
                state->saved = Unreachable;
        }
        forgetStep(oldest);
    }
}

bool UndoHistory::canUndo(Lane lane) const {
    const LaneState* state = find(lane);
    return state && !state->undo.empty();
}

bool UndoHistory::canRedo(Lane lane) const {
    const LaneState* state = find(lane);
    return state && !state->redo.empty();
}

UndoHistory::Result UndoHistory::Undo(Lane lane) {
    return move(lane, true);
}

UndoHistory::Result UndoHistory::Redo(Lane lane) {
    return move(lane, false);
}

UndoHistory::Result UndoHistory::move(Lane lane, bool undo) {
    Result result;
    LaneState* state = find(lane);
    if (!state)
        return result;
    std::vector<Step*>& from = undo ? state->undo : state->redo;
    if (from.empty())
        return result;
    Step* step = from.back();
    for (Lane other : step->lanes()) {
        const LaneState* s = find(other);
        const std::vector<Step*>* list = s ? (undo ? &s->undo : &s->redo) : nullptr;
        if (!list || list->empty() || list->back() != step) {
            result.outcome = Outcome::Blocked;
            result.blockedBy = other;
            return result;
        }
    }
    for (std::size_t i = 0; i < step->parts.size(); ++i) {
        Step::Part& part = step->parts[i];
        LaneState* s = find(part.lane);
        if (s->record && s->record->Exchange(part.surface))
            continue;
        // Put back what was already exchanged; nothing else changes.
        for (std::size_t j = i; j-- > 0;) {
            LaneState* done = find(step->parts[j].lane);
            done->record->Exchange(step->parts[j].surface);
        }
        result.outcome = Outcome::OutOfMemory;
        return result;
    }
    if (step->action && !(undo ? step->action->Undo() : step->action->Redo())) {
        for (std::size_t j = step->parts.size(); j-- > 0;)
            find(step->parts[j].lane)->record->Exchange(step->parts[j].surface);
        result.outcome = Outcome::ActionFailed;
        return result;
    }
    ColourValue* entries = m_palette.all();
    for (std::size_t i = 0; i < step->paletteIndices.size(); ++i) {
        const std::uint16_t index = step->paletteIndices[i];
        std::swap(entries[index], step->paletteValues[i]);
        m_paletteCopy[index] = entries[index];
    }
    for (Lane other : step->lanes()) {
        LaneState* s = find(other);
        (undo ? s->undo : s->redo).pop_back();
        (undo ? s->redo : s->undo).push_back(step);
    }
    step->undone = undo;
    // A whole plane kept for the other side may differ in size.
    const std::size_t before = step->bytes;
    step->bytes = step->measure();
    m_stepBytes = m_stepBytes - std::min(m_stepBytes, before) + step->bytes;
    dropOldest(step);

    result.outcome = Outcome::Done;
    result.paletteChanged = !step->paletteIndices.empty();
    for (const Step::Part& part : step->parts)
        result.changed.push_back(part.lane);
    // Every picture shows the current colour group, whatever its pixels
    // were brought back from.
    for (auto& [id, s] : m_lanes) {
        const bool touched = step->part(id) != nullptr;
        if ((touched || result.paletteChanged) && s->surface->picture)
            ApplyCurrentPalette(*s->surface->picture, m_palette);
        if (touched)
            updateModified(id);
    }
    return result;
}

void UndoHistory::MarkSaved(Lane lane) {
    LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    if (!state)
        return;
    state->saved = state->undo.empty() ? 0 : state->undo.back()->serial;
    updateModified(lane);
}

bool UndoHistory::isModified(Lane lane) const {
    const LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    if (!state)
        return false;
    if (state->saved == Unreachable)
        return true;
    const auto counts = [&](const Step* step) {
        const Step::Part* part = step->part(lane);
        return part && part->content;
    };
    // Saved at or below the present state: a counted step above it.
    if (state->saved == 0)
        return std::any_of(state->undo.begin(), state->undo.end(), counts);
    const auto below = std::find_if(state->undo.begin(), state->undo.end(),
                                    [&](const Step* s) { return s->serial == state->saved; });
    if (below != state->undo.end())
        return std::any_of(below + 1, state->undo.end(), counts);
    // Saved above it: a counted step between here and there.
    const auto above = std::find_if(state->redo.begin(), state->redo.end(),
                                    [&](const Step* s) { return s->serial == state->saved; });
    if (above != state->redo.end())
        return std::any_of(above, state->redo.end(), counts);
    return true;
}

void UndoHistory::updateModified(Lane lane) {
    LaneState* state = lane == PaletteLane ? nullptr : find(lane);
    if (state && state->record)
        state->surface->modified = isModified(lane);
}

} // namespace celdo
