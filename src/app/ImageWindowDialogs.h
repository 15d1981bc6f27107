#pragma once

#include "canvas/SizeChange.h"
#include "framework/ControlTable.h"

#include <functional>
#include <optional>
#include <string>

namespace celdo {

class CellImage;

// Control ids of the image window's dialogs.
namespace imagedialog {
inline constexpr int InfoSize = 201;
inline constexpr int InfoColour = 202;

inline constexpr int SizeText = 200;
inline constexpr int LeftBar = 360;
inline constexpr int LeftValue = 361;
inline constexpr int TopBar = 362;
inline constexpr int TopValue = 363;
inline constexpr int RightBar = 364;
inline constexpr int RightValue = 365;
inline constexpr int BottomBar = 366;
inline constexpr int BottomValue = 367;
inline constexpr int Apply = 1;
inline constexpr int Close = 2;
inline constexpr int Propose = 2240;
inline constexpr int Update = 2250;
} // namespace imagedialog

// "GraphInfo0" (画像情報): the picture's size and depth.
ControlTable GraphInfoTable(const CellImage& picture);

// What the size change dialog asks of its image window.
struct SizeChangeActions {
    // Applies the margins to the picture (and its mask); returns the new size,
    // or nothing when nothing changed (a message has been shown then).
    std::function<std::optional<std::pair<int, int>>(const Margins&)> apply;
    // 調整: margins that cut the border away, or nothing.
    std::function<std::optional<Margins>()> propose;
};

// "SizeChange" (大きさの変更) for a picture named `name` of the given size.
// "設定" applies and closes (it stays open when the change was refused),
// "更新" applies and stays with the ranges of the new size, "調整" only moves
// the scroll bars, "終了" closes.
ControlTable SizeChangeTable(const std::string& name, int width, int height,
                             SizeChangeActions actions);
// The margins the four scroll bars show.
Margins SizeChangeMargins(const ControlTable& table);

} // namespace celdo
