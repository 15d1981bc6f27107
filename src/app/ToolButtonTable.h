#pragma once

#include "app/Command.h"

#include <array>
#include <vector>

namespace celdo {

struct ToolButton {
    Command command;
    int picture; // index of the button's picture in the toolbar strip
    const char* text;
};

// The fixed toolbar button table.  The stored toolbar list holds indices into
// it, so its order is part of the settings format.
class ToolButtonTable {
public:
    static constexpr int Count = 59;
    static const std::array<ToolButton, Count>& buttons();

    // The toolbar list: indices, -2 for a gap, ended by -1; slot 99 is -1.
    static constexpr int ListSize = 100;
    static constexpr int Gap = -2;
    static constexpr int End = -1;
    static std::vector<int> defaultList() { return {5, Gap, 0, 2, End}; }

    // 0 normal, 1 disabled, 2 pressed.
    enum State { Normal = 0, Disabled = 1, Pressed = 2 };
    // Paste (114) also needs a picture on the clipboard; undo and redo a
    // step of the active window.
    static State stateFor(Command command, bool hasImage, int currentTool,
                          Command currentZoomCommand, bool clipboardHasPicture = false,
                          bool canUndo = false, bool canRedo = false);
};

} // namespace celdo
