#pragma once

#include "canvas/PaintSurface.h"
#include "core/Rect.h"
#include "plugins/FilterHost.h"
#include "plugins/PluginRegistry.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace celdo {

class AppState;
class Settings;
class Ui;

// The plug-ins of one run of the editor: the registry, the four filter lists
// built from it and the filter region of the last partial-filter drag.  The
// main window owns one from start-up to shutdown.
struct FilterState {
    PluginRegistry registry;
    FilterLists lists;
    Rect region;

    // Start-up: reads Plugin0 … (the default plug-in when Plugin0 is empty),
    // keeps the libraries that pass the registration check and builds the
    // lists ("メモリー不足" when a library cannot be loaded for that).
    void registerPlugins(const Settings& settings, const std::filesystem::path& programDirectory,
                         Ui& ui);
};

// Where a new picture made by a filter goes.  In both cases the picture and
// mask wait in `AppState::loaded`; the caller puts them on the clipboard (the
// picture as a bitmap, the mask, when there is one, as "CELDO::MASK"),
// replacing its content, and empties `loaded`.  Then:
enum class NewImageRoute {
    None,
    // celdom: post command 1380 to the main window, which opens the
    // clipboard picture in a new image window.
    OpenFromClipboard,
    // celdos: start a new instance of the program with the command line
    // "<program path> /CB".
    StartClipboardInstance,
};

// What one filter command did, for the image window to act on.
struct FilterCommandResult {
    // The filter's result bits (0: cancelled, failed or no filter chosen;
    // nothing changed and nothing is to be shown).
    std::uint32_t result = 0;
    // Pixels of the paint plane to repaint (the picture, or the mask view in
    // mask edit mode); empty when none changed.  The surface is then marked
    // modified.
    Rect changed;
    // The picture's colour table changed and was copied into the current
    // colour group: send CM_PALETTE_CHANGED to the palette board only.
    bool paletteChanged = false;
    NewImageRoute route = NewImageRoute::None;
};

// Command 1940 ("全面フィルター..."): the "FilterList" dialog for the surface's
// mode, then the run over the whole picture.  `window` is handed to the
// plug-in as the owner of its dialogs.
FilterCommandResult RunWholePictureFilter(PaintSurface& surface, AppState& app,
                                          FilterState& filters, Ui& ui, void* window = nullptr);

// Tool 512 (command 1300) on release of the drag: `dragged` (any corner
// order, image pixels) is normalised and the "FilterRegion" dialog opens; on
// "実行" its rectangle becomes the filter region and the chosen filter runs
// over it.
FilterCommandResult RunRegionFilter(PaintSurface& surface, AppState& app, FilterState& filters,
                                    Ui& ui, const Rect& dragged, void* window = nullptr);

// The run of an already chosen filter (both commands end here).  In mask
// edit mode the mask view is committed, the filter works on the mask plane
// as an 8-bit grey picture without a mask, and the view is refreshed from
// the plane afterwards; in image edit mode it works on the picture with the
// mask plane when the mask is enabled.  Results: a new picture goes to
// `app.loaded` (route as above, the surface unchanged); an in-place change
// marks the surface modified and reports the whole picture as changed, or
// only the region when the filter says it worked on the region; a changed
// colour table of the picture becomes the current colour group.  The colour
// table of a mask plane is no palette of the program, so a filter changing
// it in mask edit mode leaves the colour group alone.
FilterCommandResult RunChosenFilter(PaintSurface& surface, AppState& app, FilterState& filters,
                                    const FilterEntry& entry, const Rect* region,
                                    void* window = nullptr);

// The file dialog of "追加登録" on the "アドイン" page: the system's dialog
// titled "アドインの読込" when UseCommonDialog is set, else the program's own
// dialog "AddinLoad"; types "DLL" (the platform's libraries, *.so) and "全て"
// (*.*).  The chosen path, or "".
std::string ChooseAddinFile(Ui& ui, bool useCommonDialog, const std::string& directory = {});

} // namespace celdo
