#include "app/CommandTable.h"

#include "canvas/ToolTable.h"

#include <algorithm>

namespace celdo {

namespace {

using A = CommandAvailability;
using C = CommandCheck;

const std::vector<CommandInfo> kCommands = {
    {101, "新規作成(&N)...\tCtrl+N", A::Always, C::None},
    {102, "開く(&O)...\tCtrl+O", A::Always, C::None},
    {1380, "クリップボードの編集", A::WithClipboardImage, C::None},
    {103, "上書保存(&S)\tCtrl+S", A::WithImage, C::None},
    {104, "別名保存(&A)...", A::WithImage, C::None},
    {1900, "オプション...", A::Always, C::None},
    {108, "終了(&X)\tAlt+X", A::Always, C::None},

    {112, "複写(&C)\tCtrl+C", A::WithImage, C::None},
    {1303, "部分複写", A::WithImage, C::Tool},
    {114, "貼り付け(&P)\tCtrl+V", A::WithImageAndClipboard, C::None},
    {1230, "文字の貼付け...", A::WithImage, C::None},
    {1940, "全面フィルター...", A::WithImage, C::None},
    {1300, "部分フィルター...", A::WithImage, C::Tool},
    {1200, "大きさの変更...", A::WithImage, C::None},
    {1021, "画像情報...", A::WithImage, C::None},

    {1210, "表示のみ", A::Always, C::Tool},
    {1400, "手書き", A::Always, C::Tool},
    {1401, "自由曲線", A::Always, C::Tool},
    {1402, "水滴", A::Always, C::Tool},
    {1403, "ぼかし筆", A::Always, C::Tool},
    {1420, "線分", A::Always, C::Tool},
    {1421, "直線", A::Always, C::Tool},
    {1422, "多角形", A::Always, C::Tool},
    {1301, "矩形", A::Always, C::Tool},
    {1321, "楕円", A::Always, C::Tool},
    {1302, "矩形塗り", A::Always, C::Tool},
    {1322, "楕円塗り", A::Always, C::Tool},
    {1721, "左右反転", A::Always, C::Tool},
    {1722, "上下反転", A::Always, C::Tool},
    {1700, "塗潰し", A::Always, C::Tool},
    {1701, "塗潰しのオプション...", A::Always, C::None},
    {1600, "マスク編集", A::WithImage, C::MaskMode},
    {1601, "画像編集", A::WithImage, C::ImageMode},
    {1602, "マスク無効化", A::WithImage, C::MaskOff},
    {1603, "マスク反転", A::WithImage, C::None},
    {1604, "マスク消去", A::WithImage, C::None},

    {130, "重ねて表示", A::WithImage, C::None},
    {131, "垂直に並べる", A::WithImage, C::None},
    {132, "水平に並べる", A::WithImage, C::None},
    {133, "アイコンの整列", A::WithImage, C::None},
    {134, "全て閉じる", A::WithImage, C::None},
    {135, "次の窓", A::WithImage, C::None},

    {1510, "パレット", A::Always, C::None},
    {1530, "筆箱", A::Always, C::None},
    {1520, "タイル", A::Always, C::None},
    {1240, "１倍", A::WithImage, C::Zoom},
    {1241, "２倍", A::WithImage, C::Zoom},
    {1242, "３倍", A::WithImage, C::Zoom},
    {1243, "４倍", A::WithImage, C::Zoom},
    {1244, "６倍", A::WithImage, C::Zoom},
    {1245, "８倍", A::WithImage, C::Zoom},
    {1246, "12倍", A::WithImage, C::Zoom},
    {1247, "16倍", A::WithImage, C::Zoom},
    {1239, "1/2倍", A::WithImage, C::Zoom},
    {1238, "1/3倍", A::WithImage, C::Zoom},
    {1237, "1/4倍", A::WithImage, C::Zoom},
    {1236, "1/6倍", A::WithImage, C::Zoom},
    {1235, "1/8倍", A::WithImage, C::Zoom},
    {1010, "大きさの調整", A::WithImage, C::None},
    {1120, "ツールバー", A::Always, C::ToolBar},
    {1100, "ステータスバー", A::Always, C::StatusBar},
    {1221, "ステータスバーのフォント...", A::Always, C::None},
    {1020, "環境...", A::Always, C::None},

    {1500, "&0", A::Always, C::ColourGroup},
    {1501, "&1", A::Always, C::ColourGroup},
    {1502, "&2", A::Always, C::ColourGroup},
    {1503, "&3", A::Always, C::ColourGroup},
    {1504, "&4", A::Always, C::ColourGroup},
    {1505, "&5", A::Always, C::ColourGroup},
    {1506, "&6", A::Always, C::ColourGroup},
    {1507, "&7", A::Always, C::ColourGroup},
    {1508, "&8", A::Always, C::ColourGroup},
    {1509, "&9", A::Always, C::ColourGroup},

    {1840, "パレットの読込", A::Always, C::None},
    {1850, "パレットの上書保存", A::Always, C::None},
    {1855, "パレットの別名保存", A::Always, C::None},

    {121, "ヘルプ\tF1", A::Always, C::None},
    {120, "バージョン情報(&A)...", A::Always, C::None},
};

MenuEntry cmd(int id) {
    return {MenuEntry::Command, id, {}, {}};
}
MenuEntry sep() {
    return {MenuEntry::Separator, 0, {}, {}};
}
MenuEntry popup(std::string text, std::vector<MenuEntry> entries) {
    return {MenuEntry::Popup, 0, std::move(text), std::move(entries)};
}

} // namespace

const CommandInfo* CommandTable::find(int id) {
    for (const auto& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

const std::vector<CommandInfo>& CommandTable::all() {
    return kCommands;
}

std::vector<MenuEntry> CommandTable::mainMenu(FrameVariant variant) {
    std::vector<MenuEntry> menu;
    // The file history is appended after "終了" each time the popup opens.
    menu.push_back(popup("ファイル(&F)", {cmd(101), cmd(102), cmd(1380), sep(), cmd(103), cmd(104),
                                          sep(), cmd(1900), sep(), cmd(108)}));
    menu.push_back(popup("編集(&E)", {cmd(112), cmd(1303), cmd(114), cmd(1230), sep(), cmd(1940),
                                      cmd(1300), sep(), cmd(1200), cmd(1021)}));
    menu.push_back(popup(
        "道具箱(&T)",
        {cmd(1400), cmd(1401), cmd(1402), cmd(1403), sep(), cmd(1420), cmd(1421), sep(), cmd(1301),
         cmd(1321), cmd(1302), cmd(1322), sep(), cmd(1700), cmd(1701), sep(),
         popup("マスクの操作", {cmd(1600), cmd(1601), sep(), cmd(1602), cmd(1603), cmd(1604)})}));
    if (variant == FrameVariant::MultipleDocument)
        menu.push_back(popup("窓の操作(&W)",
                             {cmd(130), cmd(131), cmd(132), cmd(133), sep(), cmd(134), cmd(135)}));
    menu.push_back(
        popup("表示(&V)", {cmd(1510), cmd(1530), cmd(1520), sep(),
                           popup("拡大", {cmd(1240), cmd(1241), cmd(1242), cmd(1243), cmd(1244),
                                          cmd(1245), cmd(1246), cmd(1247)}),
                           popup("縮小", {cmd(1239), cmd(1238), cmd(1237), cmd(1236), cmd(1235)}),
                           cmd(1010), sep(), cmd(1120), cmd(1100), cmd(1221), sep(), cmd(1020)}));
    menu.push_back(popup("色組(&G)", {cmd(1500), cmd(1501), cmd(1502), cmd(1503), cmd(1504),
                                      cmd(1505), cmd(1506), cmd(1507), cmd(1508), cmd(1509)}));
    // The palette history is appended from position 3 on.
    menu.push_back(popup("パレット(&P)", {cmd(1840), cmd(1850), cmd(1855)}));
    menu.push_back(popup("ヘルプ(&H)", {cmd(121), sep(), cmd(120)}));
    return menu;
}

bool CommandTable::awaitsItsWindow(int command) {
    return command == 114 || command == 1230 || command == 1510 || command == 1520 ||
           command == 1530;
}

int CommandTable::toolForCommand(int command) {
    return ToolOfCommand(command);
}

int CommandTable::zoomCodeForCommand(int command) {
    if (command >= 1235 && command <= 1247)
        return command - 1240;
    return NoZoom;
}

int CommandTable::commandForZoomCode(int code) {
    return (code >= -5 && code <= 7) ? 1240 + code : 0;
}

const std::vector<CommandTable::Accelerator>& CommandTable::accelerators() {
    static const std::vector<Accelerator> keys = {
        {"Ctrl+O", 102}, {"Ctrl+S", 103}, {"Ctrl+C", 112},
        {"Ctrl+V", 114}, {"Alt+X", 108},  {"F1", 121},
    };
    return keys;
}

} // namespace celdo
