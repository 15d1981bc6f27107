#include "app/CommandTable.h"
#include "app/Command.h"
#include "app/ToolButtonTable.h"
#include "canvas/ToolTable.h"
#include "canvas/Zoom.h"
#include "palette/PaletteMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace celdo;

namespace {

void collectCommands(const std::vector<MenuEntry>& entries, std::vector<int>& out) {
    for (const auto& e : entries) {
        if (e.kind == MenuEntry::Command)
            out.push_back(commandId(e.command));
        else if (e.kind == MenuEntry::Popup)
            collectCommands(e.entries, out);
    }
}

} // namespace

TEST(CommandTable, EveryMenuCommandIsInTheTableOnce) {
    std::vector<int> commands;
    collectCommands(CommandTable::mainMenu(FrameVariant::MultipleDocument), commands);
    std::set<int> seen;
    for (int id : commands) {
        EXPECT_TRUE(CommandTable::find(commandFromId(id))) << id;
        EXPECT_TRUE(seen.insert(id).second) << "twice in the menu: " << id;
    }
    EXPECT_EQ(std::string(CommandTable::find(Command::PaletteBoard)->text), "パレット");
}

TEST(CommandTable, PalettePopupPositionDependsOnTheBuild) {
    const auto multiple = CommandTable::mainMenu(FrameVariant::MultipleDocument);
    const auto single = CommandTable::mainMenu(FrameVariant::SingleDocument);
    EXPECT_EQ(multiple[0].text, "ファイル(&F)");
    EXPECT_EQ(multiple[3].text, "窓の操作(&W)");
    EXPECT_EQ(multiple[6].text, "パレット(&P)");
    EXPECT_EQ(single[5].text, "パレット(&P)");
    std::vector<int> commands;
    collectCommands(single, commands);
    for (int id : commands)
        EXPECT_FALSE(id >= 130 && id <= 135) << id;
    // The file history goes after "終了", which ends the file popup.
    EXPECT_EQ(commandId(multiple[0].entries.back().command), 108);
}

TEST(CommandTable, TextPasteIsEditingAndTheStatusBarFontATool) {
    for (FrameVariant variant : {FrameVariant::MultipleDocument, FrameVariant::SingleDocument}) {
        const auto menu = CommandTable::mainMenu(variant);
        std::vector<int> edit;
        std::vector<int> tools;
        collectCommands(menu[1].entries, edit);
        collectCommands(menu[2].entries, tools);
        EXPECT_EQ(menu[2].text, "道具箱(&T)");
        EXPECT_NE(std::find(edit.begin(), edit.end(), 1230), edit.end());
        EXPECT_EQ(tools.back(), 1221);
    }
    EXPECT_EQ(CommandTable::find(commandFromId(1230))->availability,
              CommandAvailability::WithImage);
}

TEST(CommandTable, ToolAndZoomCommands) {
    // Every tool command of the menus: 1210, 1400–1403, 1300–1303, 1321–1322,
    // 1420–1422, 1700 and the flips 1721–1722.
    const std::pair<int, int> toolCommands[] = {
        {1210, 0},   {1400, 257},  {1401, 258},  {1402, 259},  {1403, 260},  {1300, 512},
        {1301, 513}, {1302, 514},  {1303, 515},  {1721, 516},  {1722, 517},  {1321, 769},
        {1322, 770}, {1420, 1029}, {1421, 1030}, {1422, 1031}, {1700, 1536},
    };
    for (const auto& [command, tool] : toolCommands)
        EXPECT_EQ(CommandTable::toolForCommand(commandFromId(command)), tool) << command;
    EXPECT_EQ(CommandTable::toolForCommand(commandFromId(0)), -1);
    EXPECT_EQ(CommandTable::toolForCommand(commandFromId(1400)), 257);
    EXPECT_EQ(CommandTable::toolForCommand(commandFromId(1700)), 1536);
    EXPECT_EQ(CommandTable::toolForCommand(commandFromId(1210)), 0);
    EXPECT_EQ(CommandTable::toolForCommand(commandFromId(102)), -1);
    EXPECT_EQ(CommandTable::zoomCodeForCommand(commandFromId(1247)), 7);
    EXPECT_EQ(CommandTable::zoomCodeForCommand(commandFromId(1235)), -5);
    EXPECT_EQ(CommandTable::zoomCodeForCommand(commandFromId(1248)), CommandTable::NoZoom);
    EXPECT_EQ(commandId(CommandTable::commandForZoomCode(8)), 0);
    EXPECT_EQ(commandId(CommandTable::commandForZoomCode(-1)), 1239);
}

TEST(ToolButtonTable, FixedOrderAndDefaults) {
    const auto& buttons = ToolButtonTable::buttons();
    EXPECT_EQ(commandId(buttons[0].command), 102);
    EXPECT_EQ(commandId(buttons[5].command), 108);
    EXPECT_EQ(commandId(buttons[46].command), 134);
    EXPECT_EQ(std::string(buttons[46].text), "CloseAll");
    EXPECT_EQ(commandId(buttons[56].command), 121);
    EXPECT_EQ(buttons[56].picture, 63);
    EXPECT_EQ(ToolButtonTable::defaultList(), (std::vector<int>{5, -2, 0, 2, -1}));
    for (const auto& b : buttons)
        EXPECT_TRUE(CommandTable::find(b.command)) << commandId(b.command);
}

TEST(ToolButtonTable, States) {
    using T = ToolButtonTable;
    // No image: image commands and zooms are disabled, others stay normal.
    EXPECT_EQ(T::stateFor(commandFromId(103), false, 258, commandFromId(0)), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(1243), false, 258, commandFromId(0)), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(1230), false, 258, commandFromId(0)), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(102), false, 258, commandFromId(0)), T::Normal);
    // The current tool's button is pressed, with or without an image.
    EXPECT_EQ(T::stateFor(commandFromId(1401), false, 258, commandFromId(0)), T::Pressed);
    EXPECT_EQ(T::stateFor(commandFromId(1400), true, 258, commandFromId(1240)), T::Normal);
    // The active zoom's button is pressed.
    EXPECT_EQ(T::stateFor(commandFromId(1243), true, 258, commandFromId(1243)), T::Pressed);
    EXPECT_EQ(T::stateFor(commandFromId(1240), true, 258, commandFromId(1243)), T::Normal);
    // Text paste follows the picture; paste needs a picture and a picture on
    // the clipboard.  The boards open with or without one.
    EXPECT_EQ(T::stateFor(commandFromId(1230), true, 258, commandFromId(1240)), T::Normal);
    EXPECT_EQ(T::stateFor(commandFromId(1230), false, 258, commandFromId(0)), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(114), true, 258, commandFromId(1240), false), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(114), false, 258, commandFromId(0), true), T::Disabled);
    EXPECT_EQ(T::stateFor(commandFromId(114), true, 258, commandFromId(1240), true), T::Normal);
    for (int command : {1510, 1520, 1530})
        EXPECT_EQ(T::stateFor(commandFromId(command), false, 258, commandFromId(0)), T::Normal)
            << command;
    EXPECT_EQ(T::stateFor(commandFromId(112), true, 258, commandFromId(1240)), T::Normal);
    // Undo and redo follow the active window's steps, whatever else holds.
    EXPECT_EQ(T::stateFor(Command::Undo, true, 258, commandFromId(1240)), T::Disabled);
    EXPECT_EQ(T::stateFor(Command::Undo, false, 258, commandFromId(0), false, true), T::Normal);
    EXPECT_EQ(T::stateFor(Command::Redo, true, 258, commandFromId(0), false, true), T::Disabled);
    EXPECT_EQ(T::stateFor(Command::Redo, true, 258, commandFromId(0), false, false, true),
              T::Normal);
}

TEST(ToolButtonTable, UndoAndRedoComeAfterTheFixedButtons) {
    const auto& buttons = ToolButtonTable::buttons();
    ASSERT_EQ(buttons.size(), 59u);
    EXPECT_EQ(buttons[57].command, Command::Undo);
    EXPECT_EQ(buttons[58].command, Command::Redo);
    EXPECT_EQ(commandId(Command::Undo), 110);
    EXPECT_EQ(commandId(Command::Redo), 111);
    // Pictures of their own, after the last picture of the fixed table.
    EXPECT_EQ(buttons[57].picture, 64);
    EXPECT_EQ(buttons[58].picture, 65);
    const auto& keys = CommandTable::accelerators();
    const auto command = [&](const std::string& key) {
        for (const auto& k : keys)
            if (key == k.key)
                return k.command;
        return Command::None;
    };
    EXPECT_EQ(command("Ctrl+Z"), Command::Undo);
    EXPECT_EQ(command("Ctrl+Y"), Command::Redo);
    EXPECT_EQ(command("Ctrl+Shift+Z"), Command::Redo);
}

TEST(CommandTable, PlusAndMinusStepTheZoomAndTheCheckedItemFollowsIt) {
    // "+" and "−" choose the zoom command one code away; none beyond 16× and 1/8.
    const auto checked = [](const Zoom& z) {
        return commandId(CommandTable::commandForZoomCode(z.code()));
    };
    const auto step = [](const Zoom& z, int by) {
        return commandId(CommandTable::commandForZoomCode(z.code() + by));
    };
    Zoom z;
    z.Reset(10, 10);
    EXPECT_EQ(checked(z), 1240);
    EXPECT_EQ(step(z, +1), 1241);
    EXPECT_EQ(step(z, -1), 1239);
    z.SetZoom(7, 10, 10);
    EXPECT_EQ(checked(z), 1247);
    EXPECT_EQ(step(z, +1), 0);
    EXPECT_EQ(step(z, -1), 1246);
    z.SetZoom(-5, 10, 10);
    EXPECT_EQ(checked(z), 1235);
    EXPECT_EQ(step(z, -1), 0);
    EXPECT_EQ(step(z, +1), 1236);
    z.SetZoom(2, 10, 10);
    EXPECT_EQ(checked(z), 1242);
    z.SetZoom(-1, 10, 10);
    EXPECT_EQ(step(z, +1), 1240);
}

TEST(CommandTable, EveryToolCommandChoosesItsTool) {
    EXPECT_EQ(CommandTable::toolForCommand(Command::ToolFill), 1536);
    EXPECT_EQ(CommandTable::toolForCommand(Command::ToolRegionCopy), 515);
    EXPECT_EQ(CommandTable::toolForCommand(Command::ToolFlipUpDown), 517);
    EXPECT_EQ(CommandTable::toolForCommand(Command::ToolViewOnly), 0);
    EXPECT_EQ(CommandTable::toolForCommand(Command::OpenImage), -1);
    // Every tool named by a command has a name and a cursor in the tool table.
    for (const auto& [command, tool] : CommandTable::toolCommands())
        EXPECT_TRUE(FindTool(tool)) << commandId(command);
}
