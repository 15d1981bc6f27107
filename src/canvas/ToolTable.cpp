#include "canvas/ToolTable.h"

#include <array>

namespace celdo {

namespace {

constexpr std::array<ToolInfo, 20> tools{{
    {tool::ViewOnly, "表示のみ", 1210, ArrowCursor},
    {tool::Freehand, "手書き", 1400, "BrushCur"},
    {tool::FreeCurve, "自由曲線", 1401, "BrushCur"},
    {tool::WaterDrop, "水滴", 1402, "tearCur"},
    {tool::BlurBrush, "ぼかし筆", 1403, "tearCur"},
    {tool::RegionFilter, "フィルター", 1300, "RectCur"},
    {tool::RectOutline, "矩形", 1301, "RectCur"},
    {tool::RectFill, "矩形塗り", 1302, "RectCur"},
    {tool::PartialCopy, "部分複写", 1303, "RectCur"},
    {tool::FlipLeftRight, "左右反転", 1721, "RectCur"},
    {tool::FlipUpDown, "上下反転", 1722, "RectCur"},
    {tool::EllipseOutline, "楕円", 1321, "ovalCur"},
    {tool::EllipseFill, "楕円塗り", 1322, "ovalCur"},
    {tool::Segment, "線分", 1420, "BrushCur"},
    {tool::Polyline, "直線", 1421, "BrushCur"},
    {tool::Polygon, "多角形", 1422, "BrushCur"},
    {tool::TilePick, "タイル取得", 0, "SpoitCur"},
    {tool::Fill, "塗潰し", 1700, "MoldCur"},
    {tool::Fill + 1, "塗潰し", 0, "MoldCur"},
    {tool::Fill + 2, "塗潰し", 0, "MoldCur"},
}};

} // namespace

std::span<const ToolInfo> ToolTable() {
    return tools;
}

const ToolInfo* FindTool(int code) {
    for (const ToolInfo& info : tools)
        if (info.code == code)
            return &info;
    return nullptr;
}

const char* ToolName(int code) {
    const ToolInfo* info = FindTool(code);
    return info ? info->name : "???";
}

const char* ToolCursor(int code) {
    const ToolInfo* info = FindTool(code);
    return info ? info->cursor : ArrowCursor;
}

int ToolOfCommand(int command) {
    if (command == 0)
        return -1;
    for (const ToolInfo& info : tools)
        if (info.command == command)
            return info.code;
    return -1;
}

} // namespace celdo
