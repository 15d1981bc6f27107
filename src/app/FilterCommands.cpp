#include "app/FilterCommands.h"

#include "app/AppState.h"
#include "canvas/MaskEdit.h"
#include "framework/FileDialog.h"
#include "framework/Ui.h"
#include "plugins/FilterDialogs.h"
#include "plugins/celdo_plugin.h"

namespace celdo {

void FilterState::registerPlugins(const Settings& settings,
                                  const std::filesystem::path& programDirectory, Ui& ui) {
    registry.read(settings, programDirectory);
    RebuildFilterLists(registry.plugins, lists, ui);
}

FilterCommandResult RunChosenFilter(PaintSurface& surface, AppState& app, FilterState& filters,
                                    const FilterEntry& entry, const Rect* region, void* window) {
    FilterCommandResult out;
    if (entry.plugin < 0 || entry.plugin >= static_cast<int>(filters.registry.plugins.size()) ||
        !surface.picture)
        return out;
    const RegisteredPlugin& plugin =
        filters.registry.plugins[static_cast<std::size_t>(entry.plugin)];

    const bool maskEditing = surface.maskMode;
    CellImage* image = surface.picture.get();
    CellImage* mask = nullptr;
    if (maskEditing) {
        if (!surface.mask || !surface.maskView)
            return out;
        // The plane must hold what the view shows before the filter reads it.
        CommitMaskView(surface);
        image = surface.mask.get();
        image->SetGreyPalette();
    } else if (surface.maskEnabled) {
        mask = surface.mask.get();
    }

    FilterOutcome outcome = RunFilter(entry, plugin, *image, mask, region, app.colours, window);
    if (maskEditing)
        RefreshMaskView(surface);
    out.result = outcome.result;
    if (out.result == 0)
        return out;

    if (out.result & CELDO_RESULT_NEW_IMAGE) {
        app.loaded.clear();
        app.loaded.picture = std::move(outcome.newImage);
        app.loaded.mask = std::move(outcome.newMask);
        out.route = app.variant() == FrameVariant::MultipleDocument
                        ? NewImageRoute::OpenFromClipboard
                        : NewImageRoute::StartClipboardInstance;
        return out;
    }

    const Rect whole{0, 0, image->width(), image->height()};
    out.changed =
        (region && (out.result & CELDO_RESULT_REGION)) ? region->intersected(whole) : whole;
    surface.modified = true;
    if ((out.result & CELDO_RESULT_PALETTE_CHANGED) && !maskEditing) {
        // RunFilter already made the picture's palette follow its table.
        ColourValue* group = app.palette.current();
        for (int i = 0; i < PaletteSet::GroupSize; ++i)
            group[i] = image->paletteEntry(i);
        out.paletteChanged = true;
    }
    return out;
}

FilterCommandResult RunWholePictureFilter(PaintSurface& surface, AppState& app,
                                          FilterState& filters, Ui& ui, void* window) {
    if (!surface.picture)
        return {};
    const FilterEntry* entry = ChooseWholeImageFilter(ui, filters.lists, surface.maskMode);
    if (!entry)
        return {};
    const FilterEntry chosen = *entry;
    return RunChosenFilter(surface, app, filters, chosen, nullptr, window);
}

FilterCommandResult RunRegionFilter(PaintSurface& surface, AppState& app, FilterState& filters,
                                    Ui& ui, const Rect& dragged, void* window) {
    if (!surface.picture)
        return {};
    Rect region = dragged;
    const FilterEntry* entry =
        ChooseRegionFilter(ui, filters.lists, surface.maskMode, surface.picture->width(),
                           surface.picture->height(), region);
    if (!entry)
        return {};
    filters.region = region;
    const FilterEntry chosen = *entry;
    return RunChosenFilter(surface, app, filters, chosen, &filters.region, window);
}

std::string ChooseAddinFile(Ui& ui, bool useCommonDialog, const std::string& directory) {
    FileDialog::Request request;
    request.mode = FileDialog::Load;
    request.title = "アドインの読込";
    request.types = {{"DLL", "*.so"}, {"全て", "*.*"}};
    request.directory = directory;
    FileDialog::Result result;
    if (useCommonDialog) {
        result = ui.systemFileDialog(request);
    } else {
        FileDialog dialog(request);
        dialog.table().name = "AddinLoad";
        result = dialog.result(ui.runDialog(dialog.table()));
    }
    return result.confirmed ? result.path : std::string();
}

} // namespace celdo
