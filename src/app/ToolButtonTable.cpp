#include "app/ToolButtonTable.h"

#include "app/CommandTable.h"

#include <algorithm>

namespace celdo {

const std::array<ToolButton, ToolButtonTable::Count>& ToolButtonTable::buttons() {
    static const std::array<ToolButton, Count> table = {{
        {Command::OpenImage, 1, "開く"},
        {Command::OpenClipboardImage, 2, "クリップボードの編集"},
        {Command::NewImage, 3, "新規作成"},
        {Command::Save, 4, "上書き保存"},
        {Command::SaveAs, 5, "名前を付けて保存"},
        {Command::Exit, 7, "終了"},
        {Command::ToolFreehand, 8, "手書き"},
        {Command::ToolFreeCurve, 9, "自由曲線"},
        {Command::ToolWaterDrop, 10, "水滴"},
        {Command::ToolBlurBrush, 11, "ぼかし筆"},
        {Command::ToolSegment, 12, "線分"},
        {Command::ToolPolyline, 13, "直線"},
        {Command::ToolRectangle, 15, "矩形"},
        {Command::ToolEllipse, 16, "楕円"},
        {Command::ToolFilledRectangle, 17, "矩形塗り"},
        {Command::ToolFilledEllipse, 18, "楕円塗り"},
        {Command::ToolFill, 19, "塗潰し"},
        {Command::WholePictureFilter, 20, "全面フィルター"},
        {Command::ToolRegionFilter, 21, "部分フィルター"},
        {Command::Copy, 24, "複写"},
        {Command::ToolRegionCopy, 25, "部分複写"},
        {Command::Paste, 26, "貼付"},
        {Command::TextPaste, 27, "文字貼付"},
        {Command::PaletteBoard, 29, "パレット"},
        {Command::BrushBoard, 30, "筆箱"},
        {Command::TileBoard, 31, "タイル"},
        {Command::ZoomOne, 32, "１倍"},
        {Command::ZoomTwo, 33, "２倍"},
        {Command::ZoomThree, 34, "３倍"},
        {Command::ZoomFour, 35, "４倍"},
        {Command::ZoomSix, 36, "６倍"},
        {Command::ZoomEight, 37, "８倍"},
        {Command::ZoomTwelve, 38, "12倍"},
        {Command::ZoomSixteen, 39, "16倍"},
        {Command::ZoomHalf, 40, "1/2倍"},
        {Command::ZoomThird, 41, "1/3倍"},
        {Command::ZoomQuarter, 42, "1/4倍"},
        {Command::ZoomSixth, 43, "1/6倍"},
        {Command::ZoomEighth, 44, "1/8倍"},
        {Command::FitToImage, 45, "大きさの調整"},
        {Command::ImageInfo, 46, "画像情報"},
        {Command::DisplayInfo, 47, "環境表示"},
        {Command::CascadeWindows, 48, "重ねて表示"},
        {Command::TileSideBySide, 49, "左右に並べる"},
        {Command::TileStacked, 50, "上下に並べる"},
        {Command::ArrangeIcons, 51, "アイコン整列"},
        {Command::CloseAllWindows, 52, "CloseAll"},
        {Command::NextWindow, 53, "次の窓"},
        {Command::MaskEdit, 54, "マスク編集"},
        {Command::ImageEdit, 55, "画像編集"},
        {Command::MaskDisable, 56, "マスク無効化"},
        {Command::MaskInvert, 57, "マスク反転"},
        {Command::MaskClear, 58, "マスク消去"},
        {Command::Options, 61, "オプション"},
        {Command::FillOptions, 59, "塗潰しのオプション"},
        {Command::ChangeSize, 60, "大きさの変更"},
        {Command::Help, 63, "ヘルプ"},
        // Added after the table above was fixed: stored lists keep their
        // meaning.
        {Command::Undo, 64, "元に戻す"},
        {Command::Redo, 65, "やり直し"},
    }};
    return table;
}

ToolButtonTable::State ToolButtonTable::stateFor(Command command, bool hasImage, int currentTool,
                                                 Command currentZoomCommand,
                                                 bool clipboardHasPicture, bool canUndo,
                                                 bool canRedo) {
    static const Command needImage[] = {Command::Save,
                                        Command::SaveAs,
                                        Command::Copy,
                                        Command::WholePictureFilter,
                                        Command::ToolRegionFilter,
                                        Command::ToolRegionCopy,
                                        Command::Paste,
                                        Command::FitToImage,
                                        Command::ImageInfo,
                                        Command::CascadeWindows,
                                        Command::TileSideBySide,
                                        Command::TileStacked,
                                        Command::ArrangeIcons,
                                        Command::CloseAllWindows,
                                        Command::NextWindow,
                                        Command::MaskEdit,
                                        Command::ImageEdit,
                                        Command::MaskDisable,
                                        Command::MaskInvert,
                                        Command::MaskClear,
                                        Command::ChangeSize,
                                        Command::TextPaste};
    if (command == Command::Paste && !clipboardHasPicture)
        return Disabled;
    if ((command == Command::Undo && !canUndo) || (command == Command::Redo && !canRedo))
        return Disabled;
    const bool zoom = CommandTable::zoomCodeForCommand(command) != CommandTable::NoZoom;
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
