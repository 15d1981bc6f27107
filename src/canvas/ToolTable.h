#pragma once

#include <span>

namespace celdo {

// Tool codes: the high byte is the class that receives the mouse, the low
// byte the tool within the class.
namespace tool {
inline constexpr int ViewOnly = 0;
inline constexpr int Freehand = 257;  // 手書き
inline constexpr int FreeCurve = 258; // 自由曲線
inline constexpr int WaterDrop = 259; // 水滴
inline constexpr int BlurBrush = 260; // ぼかし筆
inline constexpr int RegionFilter = 512;
inline constexpr int RectOutline = 513;
inline constexpr int RectFill = 514;
inline constexpr int PartialCopy = 515;
inline constexpr int FlipLeftRight = 516;
inline constexpr int FlipUpDown = 517;
inline constexpr int EllipseOutline = 769;
inline constexpr int EllipseFill = 770;
inline constexpr int Segment = 1029;  // 線分
inline constexpr int Polyline = 1030; // 直線
inline constexpr int Polygon = 1031;  // 多角形: named, without drawing behaviour
inline constexpr int TilePick = 1280;
inline constexpr int Fill = 1536;

enum Class {
    ViewClass = 0,
    BrushClass = 1,
    RectClass = 2,
    EllipseClass = 3,
    LineClass = 4,
    TilePickClass = 5,
    FillClass = 6
};
constexpr int ClassOf(int code) {
    return (code >> 8) & 0xFF;
}
} // namespace tool

inline constexpr const char* ArrowCursor = "arrow";

struct ToolInfo {
    int code;
    const char* name;   // shown in status pane 0
    const char* cursor; // cursor resource name
};

std::span<const ToolInfo> ToolTable();
// The table entry of a code, or null.
const ToolInfo* FindTool(int code);
// The name text of a code; "???" for codes outside the table.
const char* ToolName(int code);
// The cursor of a code; the arrow for codes outside the table.
const char* ToolCursor(int code);

} // namespace celdo
