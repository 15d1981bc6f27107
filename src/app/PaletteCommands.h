#pragma once

#include "app/Command.h"
#include "core/CellImage.h"
#include "framework/Ui.h"
#include "palette/ColourSelection.h"
#include "palette/PaletteDialogs.h"
#include "palette/PaletteOperations.h"
#include "palette/PaletteSet.h"

#include <optional>

namespace celdo {

// What the board and the main window hold for the palette commands.
struct PaletteCommandContext {
    Ui& ui;
    PaletteSet& palette;
    ColourSelection& selection;
    SortColorSettings& sortSettings;
    // The active image window's picture, or null (sort by pixel counts).
    const CellImage* activeImage = nullptr;
};

struct PaletteCommandResult {
    // The command is one of the palette commands.
    bool handled = false;
    // The palette, the current group or the selection changed: the boards
    // rebuild their swatches and every image window shows the current group.
    bool changed = false;
    // To forward to every open picture (ApplyPaletteBroadcast).
    std::optional<PaletteBroadcast> broadcast;
};

// Runs one palette command, asking through the context's Ui where the command
// asks (set colour, delete, sort).  A cancelled dialog or a "No" changes
// nothing.
// Colour group commands and the palette board's menu commands; any other
// command is not handled.
PaletteCommandResult RunPaletteCommand(Command command, PaletteCommandContext& context);

} // namespace celdo
