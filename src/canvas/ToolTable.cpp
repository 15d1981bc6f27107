#include "canvas/ToolTable.h"

#include <array>

namespace celdo {

namespace {

constexpr std::array<ToolInfo, 20> tools{{
    {tool::ViewOnly, "表示のみ", ArrowCursor},  {tool::Freehand, "手書き", "BrushCur"},
    {tool::FreeCurve, "自由曲線", "BrushCur"},  {tool::WaterDrop, "水滴", "tearCur"},
    {tool::BlurBrush, "ぼかし筆", "tearCur"},   {tool::RegionFilter, "フィルター", "RectCur"},
    {tool::RectOutline, "矩形", "RectCur"},     {tool::RectFill, "矩形塗り", "RectCur"},
    {tool::PartialCopy, "部分複写", "RectCur"}, {tool::FlipLeftRight, "左右反転", "RectCur"},
    {tool::FlipUpDown, "上下反転", "RectCur"},  {tool::EllipseOutline, "楕円", "ovalCur"},
    {tool::EllipseFill, "楕円塗り", "ovalCur"}, {tool::Segment, "線分", "BrushCur"},
    {tool::Polyline, "直線", "BrushCur"},       {tool::Polygon, "多角形", "BrushCur"},
    {tool::TilePick, "タイル取得", "SpoitCur"}, {tool::Fill, "塗潰し", "MoldCur"},
    {tool::Fill + 1, "塗潰し", "MoldCur"},      {tool::Fill + 2, "塗潰し", "MoldCur"},
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

} // namespace celdo
