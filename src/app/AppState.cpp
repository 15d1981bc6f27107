#include "app/AppState.h"

#include "boards/BoardFiles.h"
#include "formats/KissPaletteFile.h"

#include "app/EnvironmentOptions.h"
#include "app/ToolButtonTable.h"
#include "formats/KissPaletteFile.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace celdo {

namespace fs = std::filesystem;

namespace {

const char* sectionFor(FrameVariant variant) {
    return variant == FrameVariant::MultipleDocument ? "CELDOM" : "CELDOS";
}

fs::path userDataDirectory() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return fs::path(xdg) / "celdo";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "celdo";
}

} // namespace

AppState::AppState(FrameVariant variant, const fs::path& programDirectory)
    : m_variant(variant), m_programDirectory(programDirectory),
      m_settings(
          std::make_unique<Settings>(Settings::Locate(programDirectory), sectionFor(variant))) {}

AppState::~AppState() = default;

fs::path AppState::dataFile(const std::string& name) const {
    std::error_code ec;
    for (const fs::path& dir :
         {m_programDirectory, userDataDirectory(), fs::path(CELDO_DATA_DIR)}) {
        const fs::path candidate = dir / name;
        if (fs::exists(candidate, ec))
            return candidate;
    }
    return m_programDirectory / name;
}

fs::path AppState::writtenDataFile(const std::string& name) const {
    std::error_code ec;
    if (::access(m_programDirectory.c_str(), W_OK) != 0) {
        const fs::path saved = userDataDirectory() / name;
        if (fs::exists(saved, ec))
            return saved;
    }
    return dataFile(name);
}

fs::path AppState::writableDataFile(const std::string& name) const {
    if (::access(m_programDirectory.c_str(), W_OK) == 0)
        return m_programDirectory / name;
    std::error_code ec;
    fs::create_directories(userDataDirectory(), ec);
    return userDataDirectory() / name;
}

void AppState::applyUndoMemory() {
    history.setMemoryLimit(static_cast<std::size_t>(undoMemory) << 20);
}

void AppState::prepareBoards(Ui& ui, const std::string& caption) {
    LoadBrushSetFile(brushes, writtenDataFile(BrushSetFileName).string(), ui, caption);
    indexBrush = brushes.clampIndex(indexBrush);
    brush = brushes.brush(indexBrush);

    KissPaletteFile defaults(dataFile("DEFAULT.KCF").string());
    if (defaults.readHeader() == status::Ok)
        defaults.readGroups(palette);
    // The palette the program starts with is where its undo history starts.
    history.AcceptPalette();

    LoadTileSetFile(tiles, writtenDataFile(TileSetFileName).string(), palette.current(), ui,
                    caption);
}

void AppState::readSettings() {
    Settings& s = *m_settings;
    useToolBar = s.readInt("UseToolBar", 1);
    useStatusBar = s.readInt("UseStatusBar", 1);
    adjustPalette = s.readInt("AdjustPalette", 0);
    mainPlacement = StoredPlacement::Read(s);
    readToolbarList();
    newImageSizes.read(s);
    fileOptions.read(s);
    autoSave = s.readClampedInt("AutoSave", 1, 0, 1);
    undoMemory = s.readClampedInt("UndoMemory", 256, EnvironmentOptions::MinUndoMemory,
                                  EnvironmentOptions::MaxUndoMemory);
    applyUndoMemory();

    fillSettings.searchPlane1 = s.readInt("SearchPlane1", 0);
    fillSettings.searchPlane2 = s.readInt("SearchPlane2", 0);
    fillSettings.useBorder1 = s.readInt("UseBorder1", 0) != 0;
    fillSettings.useBorder2 = s.readInt("UseBorder2", 0) != 0;
    fillSettings.popupPaintOption = s.readInt("PopupPaintOption", 1) != 0;
    fillSettings.maskBorder = s.readInt("MaskBorder", 1);
    // The stored option sets only fill the dialogs: the options in force stay
    // 0/0 until a fill option dialog is confirmed, so a fill never searches
    // the mask unasked.
    editing.fill.searchPlane = 0;
    editing.fill.useBorder = false;
    editing.fill.maskBorder = fillSettings.maskBorder;

    conversion.useTile = s.readInt("UseTile", 1) != 0;
    conversion.useTile2 = s.readInt("UseTile2", 1) != 0;
    conversion.rgbOut = s.readInt("RGBOUT", 70);
    conversion.convertSrc = s.readInt("ConvertSrc", 1);
    conversion.convertDes = s.readInt("ConvertDes", 1);

    colours.drawColor = s.readInt("CurrentColor", 1) & 0xFF;
    colours.borderColor = s.readInt("BorderColor", 3) & 0xFF;
    colours.leftColor = s.readInt("LeftColor", 1) & 0xFF;
    colours.rightColor = s.readInt("RightColor", 9) & 0xFF;
    indexBrush = s.readInt("IndexBrush", 0);
    paletteBoard = ReadBoardState(s, PaletteBoardKeys, PaletteBoardDefaults);
    brushBoard = ReadBoardState(s, BrushBoardKeys, BrushBoardDefaults);
    tileBoard = ReadBoardState(s, TileBoardKeys, TileBoardDefaults);

    imageHistory.read(s);
    paletteHistory.read(s);

    textPaste.maskText = s.readInt("GrpFontForeMask", 0) != 0;
    textPaste.maskBackground = s.readInt("GrpFontBackMask", 0) != 0;
    textPaste.pasteAtOnce = s.readInt("GrpFontPostMsg", 1) != 0;
}

void AppState::writeSettings() {
    Settings& s = *m_settings;
    s.writeInt("GrpFontForeMask", textPaste.maskText ? 1 : 0);
    s.writeInt("GrpFontBackMask", textPaste.maskBackground ? 1 : 0);
    s.writeInt("GrpFontPostMsg", textPaste.pasteAtOnce ? 1 : 0);
    imageHistory.write(s);
    paletteHistory.write(s);
    writeToolbarList();
    s.writeInt("SearchPlane1", fillSettings.searchPlane1);
    s.writeInt("SearchPlane2", fillSettings.searchPlane2);
    s.writeInt("UseBorder1", fillSettings.useBorder1 ? 1 : 0);
    s.writeInt("UseBorder2", fillSettings.useBorder2 ? 1 : 0);
    s.writeInt("PopupPaintOption", fillSettings.popupPaintOption ? 1 : 0);
    s.writeInt("MaskBorder", fillSettings.maskBorder);
    s.writeInt("UseTile", conversion.useTile ? 1 : 0);
    s.writeInt("ConvertSrc", conversion.convertSrc);
    s.writeInt("ConvertDes", conversion.convertDes);
    fileOptions.write(s);
    s.writeInt("AutoSave", autoSave);
    s.writeInt("UndoMemory", undoMemory);
    s.writeInt("CurrentColor", colours.drawColor);
    s.writeInt("BorderColor", colours.borderColor);
    s.writeInt("LeftColor", colours.leftColor);
    s.writeInt("RightColor", colours.rightColor);
    s.writeInt("IndexBrush", indexBrush);
    WriteBoardState(s, BrushBoardKeys, brushBoard);
    WriteBoardState(s, TileBoardKeys, tileBoard);
    WriteBoardState(s, PaletteBoardKeys, paletteBoard);
    if (mainPlacement.width > 0 && mainPlacement.height > 0)
        mainPlacement.Write(s);
    s.flush();
}

void AppState::readToolbarList() {
    Settings& s = *m_settings;
    toolbarList.clear();
    if (s.readInt("ToolButton0", -99) == -99) {
        toolbarList = ToolButtonTable::defaultList();
        return;
    }
    for (int i = 0; i < ToolButtonTable::ListSize - 1; ++i) {
        const int value = s.readInt("ToolButton" + std::to_string(i), -1);
        if (value == ToolButtonTable::End)
            break;
        // Indices outside the table are dropped rather than shown as nothing.
        if (value == ToolButtonTable::Gap || (value >= 0 && value < ToolButtonTable::Count))
            toolbarList.push_back(value);
    }
    toolbarList.push_back(ToolButtonTable::End);
}

void AppState::writeToolbarList() {
    Settings& s = *m_settings;
    int i = 0;
    for (; i < static_cast<int>(toolbarList.size()) && i < ToolButtonTable::ListSize - 1; ++i) {
        s.writeInt("ToolButton" + std::to_string(i), toolbarList[i]);
        if (toolbarList[i] == ToolButtonTable::End)
            return;
    }
    s.writeInt("ToolButton" + std::to_string(i), ToolButtonTable::End);
}

SoftDabSettings AppState::softDabSettings() const {
    SoftDabSettings settings;
    settings.convertDes = conversion.convertDes;
    settings.rgbOut = conversion.rgbOut;
    settings.useTile = conversion.useTile;
    settings.useTile2 = conversion.useTile2;
    return settings;
}

} // namespace celdo
