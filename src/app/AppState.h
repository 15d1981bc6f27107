#pragma once

#include "app/BoardPlacement.h"
#include "app/CommandTable.h"
#include "app/FileHistory.h"
#include "app/FileOptions.h"
#include "app/MainWindowPlacement.h"
#include "app/NewImage.h"
#include "app/Settings.h"
#include "boards/Brush.h"
#include "boards/BrushSet.h"
#include "boards/TextPaste.h"
#include "boards/TileSet.h"
#include "canvas/EditingState.h"
#include "canvas/FloodFill.h"
#include "canvas/SoftDab.h"
#include "core/CellImage.h"
#include "formats/GraphicFile.h"
#include "history/UndoHistory.h"
#include "palette/ColourConversionSettings.h"
#include "palette/ColourSelection.h"
#include "palette/PaletteDialogs.h"
#include "palette/PaletteSet.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace celdo {

class KissPaletteFile;

// Everything that lives for the whole run of the editor, shared by both
// builds and every window: the settings, the palette and colour selection,
// the tool state, the boards' data, the file histories and options.  No
// window code: the Qt frame owns one of these.
class AppState {
public:
    // `section` is "CELDOM" or "CELDOS"; the settings file is located as the
    // platform rules say (CELDO_INI overrides).
    AppState(FrameVariant variant, const std::filesystem::path& programDirectory);
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    FrameVariant variant() const { return m_variant; }
    const std::filesystem::path& programDirectory() const { return m_programDirectory; }
    Settings& settings() { return *m_settings; }

    // Start-up: every setting into its owner, in the program's order.
    void readSettings();
    // Shutdown: the text-paste flags, the file histories, the toolbar list,
    // the option keys, the file options, the colour selection; then a flush.
    void writeSettings();

    // Start-up of the boards' data, in the boards' order: the brushes from
    // CBRUSH.BMP (a blank set and a message when it cannot be read) with the
    // stored brush index kept within the set, the default palette from
    // DEFAULT.KCF (a missing or unreadable file is passed over quietly), and
    // the tiles from CTILE.BMP (as the brushes) in the current colours.
    // `caption` is the program's title, for the messages.
    void prepareBoards(Ui& ui, const std::string& caption);

    // A data file beside the program (DEFAULT.KCF, CBRUSH.BMP …): the
    // program directory, then the user's data directory, then the installed
    // data directory; the first that exists, or the program directory's
    // path when none does.
    std::filesystem::path dataFile(const std::string& name) const;
    // A data file the program also writes (CBRUSH.BMP, CTILE.BMP): read
    // from where it is written first, so a set the user saved wins over the
    // delivered one; then as dataFile.
    std::filesystem::path writtenDataFile(const std::string& name) const;
    // Where a data file the program writes goes: the program directory when
    // writable, else the user's data directory (created on demand).
    std::filesystem::path writableDataFile(const std::string& name) const;

    PaletteSet palette;
    ColourSelection colours;
    Brush brush = Brush::dot();
    EditingState editing{colours, brush};
    BrushSet brushes;
    TileSet tiles;
    int indexBrush = 0;
    // The boards' places, sizes and open state, read at start-up and
    // written at exit.
    BoardState paletteBoard = PaletteBoardDefaults;
    BoardState brushBoard = BrushBoardDefaults;
    BoardState tileBoard = TileBoardDefaults;
    // The main window's place, read at start-up and written at exit.
    StoredPlacement mainPlacement;

    FileOptions fileOptions;
    // 1: modified pictures are written for recovery every minute.
    int autoSave = 1;
    // The undo steps of all windows together, in MiB.
    int undoMemory = 256;
    // The undo and redo steps of every open picture and of the palette.
    UndoHistory history{palette};
    // Hands undoMemory to the history.
    void applyUndoMemory();
    FileHistory imageHistory{"gfile"};
    FileHistory paletteHistory{"pfile"};
    NewImageSizes newImageSizes;
    bool newImageUsesCurrentColour = false;
    ColourConversionSettings conversion;
    SortColorSettings sortColor;

    // The stored toolbar list (indices into the button table, -2 gaps, -1
    // end) and the bar flags.
    std::vector<int> toolbarList;
    int useToolBar = 1;
    int useStatusBar = 1;
    int adjustPalette = 0;
    FillSettings fillSettings;
    // "文字の貼付け": its font, text and angle live for the run; the three
    // flags are read at start-up and written at exit.
    TextPasteSettings textPaste;

    SoftDabSettings softDabSettings() const;

    std::unique_ptr<KissPaletteFile> currentPaletteFile;
    // Index of the palette dialogs' type list for this run.
    int paletteFileType = 0;
    // The folder the file dialogs show first: where the last file was chosen.
    std::string lastDirectory;

private:
    void readToolbarList();
    void writeToolbarList();

    FrameVariant m_variant;
    std::filesystem::path m_programDirectory;
    std::unique_ptr<Settings> m_settings;
};

} // namespace celdo
