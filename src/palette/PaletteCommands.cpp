#include "palette/PaletteCommands.h"

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

PaletteCommandResult RunPaletteCommand(int command, PaletteCommandContext& context) {
    namespace pc = palette_command;
    PaletteSet& palette = context.palette;
    ColourSelection& selection = context.selection;
    const int current = selection.drawColor & 0xFF;

    if (command >= pc::FirstGroup && command <= pc::LastGroup) {
        PaletteCommandResult r;
        r.handled = true;
        r.changed = SwitchColourGroup(palette, command - pc::FirstGroup);
        return r;
    }
    switch (command) {
    case pc::SetColour: {
        const int value = RunSetColorDialog(context.ui, current, palette.current()[current]);
        if (value < 0)
            return result(std::nullopt);
        return result(SetEntry(palette, current, static_cast<ColourValue>(value)));
    }
    case pc::Delete:
        if (!ConfirmDeleteColour(context.ui, current))
            return result(std::nullopt);
        return result(DeleteEntry(palette, selection));
    case pc::Copy:
        return result(CopyEntry(palette, selection));
    case pc::Swap:
        return result(SwapEntries(palette, selection, true));
    case pc::SwapPaletteOnly:
        return result(SwapEntries(palette, selection, false));
    case pc::Merge:
        return result(MergeEntry(palette, selection));
    case pc::PixelMerge:
        return result(PixelOnlyChange(selection, false));
    case pc::PixelSwap:
        return result(PixelOnlyChange(selection, true));
    case pc::Sort: {
        const auto request =
            RunSortColorDialog(context.ui, context.sortSettings, context.activeImage != nullptr);
        if (!request)
            return result(std::nullopt);
        return result(SortEntries(palette, request->start, request->end, request->method,
                                  context.activeImage));
    }
    case pc::SetLeft:
        SetLeftColour(selection);
        return selectionChanged();
    case pc::SetRight:
        SetRightColour(selection);
        return selectionChanged();
    case pc::SetBorder:
        SetBorderColour(selection);
        return selectionChanged();
    default:
        return {};
    }
}

} // namespace celdo
