#include "app/ToolButtonTable.h"

#include "app/CommandTable.h"

#include <algorithm>

namespace celdo {

const std::array<ToolButton, ToolButtonTable::Count>& ToolButtonTable::buttons() {
    static const std::array<ToolButton, Count> table = {{
        {102, 1, "開く"},
        {1380, 2, "クリップボードの編集"},
        {101, 3, "新規作成"},
        {103, 4, "上書き保存"},
        {104, 5, "名前を付けて保存"},
        {108, 7, "終了"},
        {1400, 8, "手書き"},
        {1401, 9, "自由曲線"},
        {1402, 10, "水滴"},
        {1403, 11, "ぼかし筆"},
        {1420, 12, "線分"},
        {1421, 13, "直線"},
        {1301, 15, "矩形"},
        {1321, 16, "楕円"},
        {1302, 17, "矩形塗り"},
        {1322, 18, "楕円塗り"},
        {1700, 19, "塗潰し"},
        {1940, 20, "全面フィルター"},
        {1300, 21, "部分フィルター"},
        {112, 24, "複写"},
        {1303, 25, "部分複写"},
        {114, 26, "貼付"},
        {1230, 27, "文字貼付"},
        {1510, 29, "パレット"},
        {1530, 30, "筆箱"},
        {1520, 31, "タイル"},
        {1240, 32, "１倍"},
        {1241, 33, "２倍"},
        {1242, 34, "３倍"},
        {1243, 35, "４倍"},
        {1244, 36, "６倍"},
        {1245, 37, "８倍"},
        {1246, 38, "12倍"},
        {1247, 39, "16倍"},
        {1239, 40, "1/2倍"},
        {1238, 41, "1/3倍"},
        {1237, 42, "1/4倍"},
        {1236, 43, "1/6倍"},
        {1235, 44, "1/8倍"},
        {1010, 45, "大きさの調整"},
        {1021, 46, "画像情報"},
        {1020, 47, "環境表示"},
        {130, 48, "重ねて表示"},
        {131, 49, "左右に並べる"},
        {132, 50, "上下に並べる"},
        {133, 51, "アイコン整列"},
        {134, 52, "CloseAll"},
        {135, 53, "次の窓"},
        {1600, 54, "マスク編集"},
        {1601, 55, "画像編集"},
        {1602, 56, "マスク無効化"},
        {1603, 57, "マスク反転"},
        {1604, 58, "マスク消去"},
        {1900, 61, "オプション"},
        {1701, 59, "塗潰しのオプション"},
        {1200, 60, "大きさの変更"},
        {121, 63, "ヘルプ"},
    }};
    return table;
}

ToolButtonTable::State ToolButtonTable::stateFor(int command, bool hasImage, int currentTool,
                                                 int currentZoomCommand) {
    static const int needImage[] = {103, 104, 112, 1940, 1300, 1303, 114,  1010, 1021, 130,  131,
                                    132, 133, 134, 135,  1600, 1601, 1602, 1603, 1604, 1200, 1230};
    if (CommandTable::awaitsItsWindow(command))
        return Disabled;
    const bool zoom = command >= 1235 && command <= 1247;
    if (!hasImage && (zoom || std::find(std::begin(needImage), std::end(needImage), command) !=
                                  std::end(needImage)))
        return Disabled;
    if (CommandTable::toolForCommand(command) == currentTool)
        return Pressed;
    if (hasImage && command == currentZoomCommand)
        return Pressed;
    return Normal;
}

} // namespace celdo
