#pragma once

#include <optional>

namespace celdo {

// Every command and private message of the program.  The values are the ids
// the menus, the toolbar list in the settings file and further instances
// exchange, so they never change.  Numbered runs (zoom factors, colour
// groups, history entries) are reached with the helpers below.
enum class Command : int {
    None = 0,

    NewImage = 101,
    OpenImage = 102,
    Save = 103,
    SaveAs = 104,
    Exit = 108,
    Undo = 110,
    Redo = 111,
    Copy = 112,
    Paste = 114,
    About = 120,
    Help = 121,

    CascadeWindows = 130,
    TileSideBySide = 131,
    TileStacked = 132,
    ArrangeIcons = 133,
    CloseAllWindows = 134,
    NextWindow = 135,

    // Re-layout after the status bar was created or changed its height.
    StatusBarLayout = 150,
    FitToImage = 1010,
    // Re-layout of the client area.
    ClientAreaLayout = 1015,
    DisplayInfo = 1020,
    ImageInfo = 1021,
    ToggleStatusBar = 1100,
    ToggleToolBar = 1120,
    ChangeSize = 1200,
    // Taken and ignored by the main window.
    IgnoredCommand = 1220,
    StatusBarFont = 1221,
    TextPaste = 1230,

    ZoomEighth = 1235,
    ZoomSixth = 1236,
    ZoomQuarter = 1237,
    ZoomThird = 1238,
    ZoomHalf = 1239,
    ZoomOne = 1240,
    ZoomTwo = 1241,
    ZoomThree = 1242,
    ZoomFour = 1243,
    ZoomSix = 1244,
    ZoomEight = 1245,
    ZoomTwelve = 1246,
    ZoomSixteen = 1247,

    ToolViewOnly = 1210,
    ToolRegionFilter = 1300,
    ToolRectangle = 1301,
    ToolFilledRectangle = 1302,
    ToolRegionCopy = 1303,
    ToolEllipse = 1321,
    ToolFilledEllipse = 1322,
    ToolFreehand = 1400,
    ToolFreeCurve = 1401,
    ToolWaterDrop = 1402,
    ToolBlurBrush = 1403,
    ToolSegment = 1420,
    ToolPolyline = 1421,
    ToolPolygon = 1422,
    ToolFill = 1700,
    ToolFlipLeftRight = 1721,
    ToolFlipUpDown = 1722,

    CopyLastRegion = 1360,
    OpenClipboardImage = 1380,

    ColourGroupFirst = 1500,
    ColourGroupLast = 1509,
    PaletteBoard = 1510,
    TileBoard = 1520,
    TileCapture = 1526, // the tile board's "取得": the tile-capture tool
    BrushBoard = 1530,

    MaskEdit = 1600,
    ImageEdit = 1601,
    MaskDisable = 1602,
    MaskInvert = 1603,
    MaskClear = 1604,

    FillOptions = 1701,
    Eyedropper = 1740,

    FileHistoryFirst = 1800,
    FileHistoryLast = 1819,
    PaletteHistoryFirst = 1820,
    PaletteHistoryLast = 1829,
    OpenPalette = 1840,
    LoadPalette = 1841,
    PaletteChanged = 1845,
    SavePalette = 1850,
    SavePaletteAs = 1855,

    Options = 1900,
    WholePictureFilter = 1940,
    RefreshToolbar = 1960,

    // The palette board's menus.
    PaletteEditColour = 21,
    PaletteDelete = 2215,
    PaletteCopy = 2216,
    PaletteSwap = 2217,
    PaletteSwapPaletteOnly = 2218,
    PalettePixelSwap = 2219,
    PaletteMerge = 2220,
    PalettePixelMerge = 2222,
    PaletteSort = 2230,
    PaletteSetLeft = 2292,
    PaletteSetRight = 2294,
    PaletteSetBorder = 2296,

    // Private messages between the program's windows.  The palette
    // broadcasts 2094–2100 travel to image windows only and keep their names
    // in palette/PaletteMessage.h.
    FitChildFrame = 2025,
    UpdateVerticalScroll = 2034,
    UpdateHorizontalScroll = 2039,
    StartUp = 2044,
    OpenNamedFile = 2049,
    SetPicture = 2054,
    GetActiveImage = 2064,
    GetActiveView = 2065,
    QueryClose = 2084,
    ZoomChanging = 2104,
    ZoomChanged = 2105,
    FindFile = 2114,
    GetTitle = 2115,

    // KiSS sets: opening one, and the set window's own menu.
    OpenSet = 3000,
    SaveSet = 3001,
    SetReports = 3002,
    SetInitialScript = 3003,
    CloseSet = 3004,
    SetPageFirst = 3010,
    SetPageLast = 3019,
};

constexpr int commandId(Command command) {
    return static_cast<int>(command);
}

constexpr Command commandFromId(int id) {
    return static_cast<Command>(id);
}

// The command `index` places after `first` in a numbered run.
constexpr Command commandAt(Command first, int index) {
    return commandFromId(commandId(first) + index);
}

// The place of `command` in the run first … last, or nothing.
constexpr std::optional<int> indexInRun(Command command, Command first, Command last) {
    if (command < first || command > last)
        return std::nullopt;
    return commandId(command) - commandId(first);
}

} // namespace celdo
