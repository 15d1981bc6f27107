#pragma once

#include "core/CellImage.h"
#include "framework/Ui.h"
#include "palette/ColourSelection.h"
#include "palette/PaletteDialogs.h"
#include "palette/PaletteOperations.h"
#include "palette/PaletteSet.h"

#include <optional>

namespace celdo {

// Command ids of the palette board's menus and of the main menu's colour groups.
namespace palette_command {
inline constexpr int SetColour = 21;    // 編集...
inline constexpr int FirstGroup = 1500; // 色組 &0 … &9: 1500–1509
inline constexpr int LastGroup = 1509;
inline constexpr int Delete = 2215;          // 削除
inline constexpr int Copy = 2216;            // 複写する
inline constexpr int Swap = 2217;            // 交換する
inline constexpr int SwapPaletteOnly = 2218; // 交換する(パレットのみ）
inline constexpr int PixelSwap = 2219;       // 色を交換する
inline constexpr int Merge = 2220;           // 併合する
inline constexpr int PixelMerge = 2222;      // 色を併合する
inline constexpr int Sort = 2230;            // 整列...
inline constexpr int SetLeft = 2292;         // 左に置く
inline constexpr int SetRight = 2294;        // 右に置く
inline constexpr int SetBorder = 2296;       // 境界色にする
} // namespace palette_command

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
PaletteCommandResult RunPaletteCommand(int command, PaletteCommandContext& context);

} // namespace celdo
