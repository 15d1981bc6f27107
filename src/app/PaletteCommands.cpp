#include "app/PaletteCommands.h"

#include <utility>

namespace celdo {

namespace {

PaletteCommandResult result(std::optional<PaletteBroadcast> broadcast) {
    PaletteCommandResult r;
    r.handled = true;
    r.changed = broadcast.has_value();
    r.broadcast = std::move(broadcast);
    return r;
}

PaletteCommandResult selectionChanged() {
    PaletteCommandResult r;
    r.handled = true;
    r.changed = true;
    return r;
}

} // namespace

PaletteCommandResult RunPaletteCommand(Command command, PaletteCommandContext& context) {
    PaletteSet& palette = context.palette;
    ColourSelection& selection = context.selection;
    const int current = selection.drawColor & 0xFF;

    if (const auto group =
            indexInRun(command, Command::ColourGroupFirst, Command::ColourGroupLast)) {
        PaletteCommandResult r;
        r.handled = true;
        r.changed = SwitchColourGroup(palette, *group);
        return r;
    }
    switch (command) {
    case Command::PaletteEditColour: {
        const int value = RunSetColorDialog(context.ui, current, palette.current()[current]);
        if (value < 0)
            return result(std::nullopt);
        return result(SetEntry(palette, current, static_cast<ColourValue>(value)));
    }
    case Command::PaletteDelete:
        if (!ConfirmDeleteColour(context.ui, current))
            return result(std::nullopt);
        return result(DeleteEntry(palette, selection));
    case Command::PaletteCopy:
        return result(CopyEntry(palette, selection));
    case Command::PaletteSwap:
        return result(SwapEntries(palette, selection, true));
    case Command::PaletteSwapPaletteOnly:
        return result(SwapEntries(palette, selection, false));
    case Command::PaletteMerge:
        return result(MergeEntry(palette, selection));
    case Command::PalettePixelMerge:
        return result(PixelOnlyChange(selection, false));
    case Command::PalettePixelSwap:
        return result(PixelOnlyChange(selection, true));
    case Command::PaletteSort: {
        const auto request =
            RunSortColorDialog(context.ui, context.sortSettings, context.activeImage != nullptr);
        if (!request)
            return result(std::nullopt);
        return result(SortEntries(palette, request->start, request->end, request->method,
                                  context.activeImage));
    }
    case Command::PaletteSetLeft:
        SetLeftColour(selection);
        return selectionChanged();
    case Command::PaletteSetRight:
        SetRightColour(selection);
        return selectionChanged();
    case Command::PaletteSetBorder:
        SetBorderColour(selection);
        return selectionChanged();
    default:
        return {};
    }
}

} // namespace celdo
