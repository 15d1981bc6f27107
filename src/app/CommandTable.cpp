#include "app/CommandTable.h"

#include "canvas/ToolTable.h"

#include <algorithm>

namespace celdo {

namespace {

using A = CommandAvailability;
using C = CommandCheck;

const std::vector<CommandInfo> kCommands = {
    {Command::NewImage, "新規作成(&N)...\tCtrl+N", A::Always, C::None},
    {Command::OpenImage, "開く(&O)...\tCtrl+O", A::Always, C::None},
    {Command::OpenClipboardImage, "クリップボードの編集", A::WithClipboardImage, C::None},
    {Command::OpenSet, "セットを開く(&K)...", A::Always, C::None},
    {Command::SaveSet, "セットの保存(&S)\tCtrl+S", A::Always, C::None},
    {Command::SetReports, "読み込みの報告(&R)...", A::Always, C::None},
    {Command::SetInitialScript, "FKiSS の初期化を反映(&I)", A::Always, C::None},
    {Command::CloseSet, "閉じる(&C)\tCtrl+W", A::Always, C::None},
    {Command::Save, "上書保存(&S)\tCtrl+S", A::WithImage, C::None},
    {Command::SaveAs, "別名保存(&A)...", A::WithImage, C::None},
    {Command::Options, "オプション...", A::Always, C::None},
    {Command::Exit, "終了(&X)\tAlt+X", A::Always, C::None},

    {Command::Undo, "元に戻す(&U)\tCtrl+Z", A::WithUndo, C::None},
    {Command::Redo, "やり直し(&R)\tCtrl+Y", A::WithRedo, C::None},
    {Command::Copy, "複写(&C)\tCtrl+C", A::WithImage, C::None},
    {Command::ToolRegionCopy, "部分複写", A::WithImage, C::Tool},
    {Command::Paste, "貼り付け(&P)\tCtrl+V", A::WithImageAndClipboard, C::None},
    {Command::TextPaste, "文字の貼付け...", A::WithImage, C::None},
    {Command::WholePictureFilter, "全面フィルター...", A::WithImage, C::None},
    {Command::ToolRegionFilter, "部分フィルター...", A::WithImage, C::Tool},
    {Command::ChangeSize, "大きさの変更...", A::WithImage, C::None},
    {Command::ImageInfo, "画像情報...", A::WithImage, C::None},

    {Command::ToolViewOnly, "表示のみ", A::Always, C::Tool},
    {Command::ToolFreehand, "手書き", A::Always, C::Tool},
    {Command::ToolFreeCurve, "自由曲線", A::Always, C::Tool},
    {Command::ToolWaterDrop, "水滴", A::Always, C::Tool},
    {Command::ToolBlurBrush, "ぼかし筆", A::Always, C::Tool},
    {Command::ToolSegment, "線分", A::Always, C::Tool},
    {Command::ToolPolyline, "直線", A::Always, C::Tool},
    {Command::ToolPolygon, "多角形", A::Always, C::Tool},
    {Command::ToolRectangle, "矩形", A::Always, C::Tool},
    {Command::ToolEllipse, "楕円", A::Always, C::Tool},
    {Command::ToolFilledRectangle, "矩形塗り", A::Always, C::Tool},
    {Command::ToolFilledEllipse, "楕円塗り", A::Always, C::Tool},
    {Command::ToolFlipLeftRight, "左右反転", A::Always, C::Tool},
    {Command::ToolFlipUpDown, "上下反転", A::Always, C::Tool},
    {Command::ToolFill, "塗潰し", A::Always, C::Tool},
    {Command::FillOptions, "塗潰しのオプション...", A::Always, C::None},
    {Command::MaskEdit, "マスク編集", A::WithImage, C::MaskMode},
    {Command::ImageEdit, "画像編集", A::WithImage, C::ImageMode},
    {Command::MaskDisable, "マスク無効化", A::WithImage, C::MaskOff},
    {Command::MaskInvert, "マスク反転", A::WithImage, C::None},
    {Command::MaskClear, "マスク消去", A::WithImage, C::None},

    {Command::CascadeWindows, "重ねて表示", A::WithImage, C::None},
    {Command::TileSideBySide, "垂直に並べる", A::WithImage, C::None},
    {Command::TileStacked, "水平に並べる", A::WithImage, C::None},
    {Command::ArrangeIcons, "アイコンの整列", A::WithImage, C::None},
    {Command::CloseAllWindows, "全て閉じる", A::WithImage, C::None},
    {Command::NextWindow, "次の窓", A::WithImage, C::None},

    {Command::PaletteBoard, "パレット", A::Always, C::None},
    {Command::BrushBoard, "筆箱", A::Always, C::None},
    {Command::TileBoard, "タイル", A::Always, C::None},
    {Command::ZoomOne, "１倍", A::WithImage, C::Zoom},
    {Command::ZoomTwo, "２倍", A::WithImage, C::Zoom},
    {Command::ZoomThree, "３倍", A::WithImage, C::Zoom},
    {Command::ZoomFour, "４倍", A::WithImage, C::Zoom},
    {Command::ZoomSix, "６倍", A::WithImage, C::Zoom},
    {Command::ZoomEight, "８倍", A::WithImage, C::Zoom},
    {Command::ZoomTwelve, "12倍", A::WithImage, C::Zoom},
    {Command::ZoomSixteen, "16倍", A::WithImage, C::Zoom},
    {Command::ZoomHalf, "1/2倍", A::WithImage, C::Zoom},
    {Command::ZoomThird, "1/3倍", A::WithImage, C::Zoom},
    {Command::ZoomQuarter, "1/4倍", A::WithImage, C::Zoom},
    {Command::ZoomSixth, "1/6倍", A::WithImage, C::Zoom},
    {Command::ZoomEighth, "1/8倍", A::WithImage, C::Zoom},
    {Command::FitToImage, "大きさの調整", A::WithImage, C::None},
    {Command::ToggleToolBar, "ツールバー", A::Always, C::ToolBar},
    {Command::ToggleStatusBar, "ステータスバー", A::Always, C::StatusBar},
    {Command::StatusBarFont, "ステータスバーのフォント...", A::Always, C::None},
    {Command::DisplayInfo, "環境...", A::Always, C::None},

    {commandAt(Command::ColourGroupFirst, 0), "&0", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 1), "&1", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 2), "&2", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 3), "&3", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 4), "&4", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 5), "&5", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 6), "&6", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 7), "&7", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 8), "&8", A::Always, C::ColourGroup},
    {commandAt(Command::ColourGroupFirst, 9), "&9", A::Always, C::ColourGroup},

    {Command::OpenPalette, "パレットの読込", A::Always, C::None},
    {Command::SavePalette, "パレットの上書保存", A::Always, C::None},
    {Command::SavePaletteAs, "パレットの別名保存", A::Always, C::None},

    {Command::Help, "ヘルプ\tF1", A::Always, C::None},
    {Command::About, "バージョン情報(&A)...", A::Always, C::None},
};

MenuEntry cmd(Command id) {
    return {MenuEntry::Command, id, {}, {}};
}
MenuEntry sep() {
    return {MenuEntry::Separator, Command::None, {}, {}};
}
MenuEntry popup(std::string text, std::vector<MenuEntry> entries) {
    return {MenuEntry::Popup, Command::None, std::move(text), std::move(entries)};
}

} // namespace

const CommandInfo* CommandTable::find(Command id) {
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
    menu.push_back(popup("ファイル(&F)", {cmd(Command::NewImage), cmd(Command::OpenImage),
                                          cmd(Command::OpenClipboardImage), cmd(Command::OpenSet),
                                          sep(), cmd(Command::Save), cmd(Command::SaveAs), sep(),
                                          cmd(Command::Options), sep(), cmd(Command::Exit)}));
    menu.push_back(popup(
        "編集(&E)", {cmd(Command::Undo), cmd(Command::Redo), sep(), cmd(Command::Copy),
                     cmd(Command::ToolRegionCopy), cmd(Command::Paste), cmd(Command::TextPaste),
                     sep(), cmd(Command::WholePictureFilter), cmd(Command::ToolRegionFilter), sep(),
                     cmd(Command::ChangeSize), cmd(Command::ImageInfo)}));
    menu.push_back(popup(
        "道具箱(&T)",
        {cmd(Command::ToolFreehand), cmd(Command::ToolFreeCurve), cmd(Command::ToolWaterDrop),
         cmd(Command::ToolBlurBrush), sep(), cmd(Command::ToolSegment), cmd(Command::ToolPolyline),
         sep(), cmd(Command::ToolRectangle), cmd(Command::ToolEllipse),
         cmd(Command::ToolFilledRectangle), cmd(Command::ToolFilledEllipse), sep(),
         cmd(Command::ToolFill), cmd(Command::FillOptions), sep(),
         popup("マスクの操作",
               {cmd(Command::MaskEdit), cmd(Command::ImageEdit), sep(), cmd(Command::MaskDisable),
                cmd(Command::MaskInvert), cmd(Command::MaskClear)}),
         sep(), cmd(Command::StatusBarFont)}));
    if (variant == FrameVariant::MultipleDocument)
        menu.push_back(
            popup("窓の操作(&W)", {cmd(Command::CascadeWindows), cmd(Command::TileSideBySide),
                                   cmd(Command::TileStacked), cmd(Command::ArrangeIcons), sep(),
                                   cmd(Command::CloseAllWindows), cmd(Command::NextWindow)}));
    menu.push_back(popup(
        "表示(&V)",
        {cmd(Command::PaletteBoard), cmd(Command::BrushBoard), cmd(Command::TileBoard), sep(),
         popup("拡大", {cmd(Command::ZoomOne), cmd(Command::ZoomTwo), cmd(Command::ZoomThree),
                        cmd(Command::ZoomFour), cmd(Command::ZoomSix), cmd(Command::ZoomEight),
                        cmd(Command::ZoomTwelve), cmd(Command::ZoomSixteen)}),
         popup("縮小", {cmd(Command::ZoomHalf), cmd(Command::ZoomThird), cmd(Command::ZoomQuarter),
                        cmd(Command::ZoomSixth), cmd(Command::ZoomEighth)}),
         cmd(Command::FitToImage), sep(), cmd(Command::ToggleToolBar),
         cmd(Command::ToggleStatusBar), sep(), cmd(Command::DisplayInfo)}));
    menu.push_back(popup(
        "色組(&G)",
        {cmd(commandAt(Command::ColourGroupFirst, 0)), cmd(commandAt(Command::ColourGroupFirst, 1)),
         cmd(commandAt(Command::ColourGroupFirst, 2)), cmd(commandAt(Command::ColourGroupFirst, 3)),
         cmd(commandAt(Command::ColourGroupFirst, 4)), cmd(commandAt(Command::ColourGroupFirst, 5)),
         cmd(commandAt(Command::ColourGroupFirst, 6)), cmd(commandAt(Command::ColourGroupFirst, 7)),
         cmd(commandAt(Command::ColourGroupFirst, 8)),
         cmd(commandAt(Command::ColourGroupFirst, 9))}));
    // The palette history is appended from position 3 on.
    menu.push_back(popup("パレット(&P)", {cmd(Command::OpenPalette), cmd(Command::SavePalette),
                                          cmd(Command::SavePaletteAs)}));
    menu.push_back(popup("ヘルプ(&H)", {cmd(Command::Help), sep(), cmd(Command::About)}));
    return menu;
}

std::span<const CommandTable::ToolCommand> CommandTable::toolCommands() {
    static constexpr ToolCommand pairs[] = {
        {Command::ToolViewOnly, tool::ViewOnly},
        {Command::ToolFreehand, tool::Freehand},
        {Command::ToolFreeCurve, tool::FreeCurve},
        {Command::ToolWaterDrop, tool::WaterDrop},
        {Command::ToolBlurBrush, tool::BlurBrush},
        {Command::ToolRegionFilter, tool::RegionFilter},
        {Command::ToolRectangle, tool::RectOutline},
        {Command::ToolFilledRectangle, tool::RectFill},
        {Command::ToolRegionCopy, tool::PartialCopy},
        {Command::ToolFlipLeftRight, tool::FlipLeftRight},
        {Command::ToolFlipUpDown, tool::FlipUpDown},
        {Command::ToolEllipse, tool::EllipseOutline},
        {Command::ToolFilledEllipse, tool::EllipseFill},
        {Command::ToolSegment, tool::Segment},
        {Command::ToolPolyline, tool::Polyline},
        {Command::ToolPolygon, tool::Polygon},
        {Command::ToolFill, tool::Fill},
    };
    return pairs;
}

int CommandTable::toolForCommand(Command command) {
    for (const ToolCommand& pair : toolCommands())
        if (pair.command == command)
            return pair.tool;
    return -1;
}

int CommandTable::zoomCodeForCommand(Command command) {
    if (command >= Command::ZoomEighth && command <= Command::ZoomSixteen)
        return commandId(command) - commandId(Command::ZoomOne);
    return NoZoom;
}

Command CommandTable::commandForZoomCode(int code) {
    const Command command = commandAt(Command::ZoomOne, code);
    return (command >= Command::ZoomEighth && command <= Command::ZoomSixteen) ? command
                                                                               : Command::None;
}

const std::vector<CommandTable::Accelerator>& CommandTable::accelerators() {
    static const std::vector<Accelerator> keys = {
        {"Ctrl+O", Command::OpenImage}, {"Ctrl+S", Command::Save}, {"Ctrl+C", Command::Copy},
        {"Ctrl+V", Command::Paste},     {"Alt+X", Command::Exit},  {"F1", Command::Help},
        {"Ctrl+Z", Command::Undo},      {"Ctrl+Y", Command::Redo}, {"Ctrl+Shift+Z", Command::Redo},
    };
    return keys;
}

} // namespace celdo
