#pragma once

#include "core/Rect.h"

#include <optional>
#include <vector>

namespace celdo {

class Settings;

// The main window's outer position and size as the last run left them
// (`MainXpos`, `MainYpos`, `MainWidth`, `MainHeight`); a width or height of 0
// means nothing was stored.
struct StoredPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    static StoredPlacement Read(const Settings& settings);
    void Write(Settings& settings) const;
    bool operator==(const StoredPlacement&) const = default;
};

// How much of the window must lie on one screen for the stored place to
// count: enough to grab and move it.
inline constexpr int MinimumVisible = 32;

// Where the main window opens: the stored rectangle when something was
// stored and it overlaps the available area of one of `screens` by at least
// MinimumVisible pixels in each direction; nothing (the default placement)
// otherwise.
std::optional<Rect> MainWindowPlacement(const StoredPlacement& stored,
                                        const std::vector<Rect>& screens);

} // namespace celdo
