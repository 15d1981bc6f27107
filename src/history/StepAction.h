#pragma once

#include <cstddef>

namespace celdo {

// Work outside the open pictures and the palette that belongs to one step,
// such as cell files a set-wide palette operation rewrote on disk: undone and
// redone together with the step.
class StepAction {
public:
    virtual ~StepAction() = default;
    // False when the work could not be undone (or redone); whatever it did
    // is then put back, and the step stays where it was.
    virtual bool Undo() = 0;
    virtual bool Redo() = 0;
    // Memory the action holds, counted against the history's bound.
    virtual std::size_t bytes() const = 0;
};

} // namespace celdo
