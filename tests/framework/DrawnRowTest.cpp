#include "framework/DrawnRow.h"
#include "framework/ControlTable.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(DrawnRow, PartsStandAtLineHeightsPlusPixels) {
    const RowPart text = textPart(1, 6, "  12 (3)");
    EXPECT_EQ(text.kind, RowPart::Kind::Text);
    EXPECT_EQ(text.left(18), 24);
    EXPECT_EQ(text.left(20), 26);
    EXPECT_EQ(textPart(9, 0, "x").left(20), 180);
}

TEST(DrawnRow, PatternSwatchRepeatsItsTileFromTheCorner) {
    // A 2 × 2 tile: red, green on top, blue, white below.
    const RowPart part = patternSwatch(7, 0, 2, {0x0000FFu, 0x00FF00u, 0xFF0000u, 0xFFFFFFu});
    EXPECT_EQ(part.kind, RowPart::Kind::Swatch);
    EXPECT_EQ(part.colourAt(0, 0), 0x0000FFu);
    EXPECT_EQ(part.colourAt(1, 0), 0x00FF00u);
    EXPECT_EQ(part.colourAt(0, 1), 0xFF0000u);
    EXPECT_EQ(part.colourAt(3, 3), 0xFFFFFFu);
    EXPECT_EQ(part.colourAt(4, 2), 0x0000FFu);
    EXPECT_EQ(part.colourAt(5, 6), 0x00FF00u);
}

TEST(DrawnRow, SolidSwatchIsOneColourEverywhere) {
    const RowPart part = solidSwatch(0, 0, 0x336699u);
    EXPECT_EQ(part.tileSize, 1);
    EXPECT_EQ(part.colourAt(0, 0), 0x336699u);
    EXPECT_EQ(part.colourAt(13, 7), 0x336699u);
}

TEST(DrawnRow, ShortTileIsPaddedWithBlack) {
    const RowPart part = patternSwatch(0, 0, 2, {0x0000FFu});
    EXPECT_EQ(part.tile.size(), 4u);
    EXPECT_EQ(part.colourAt(1, 1), 0u);
}

TEST(DrawnRow, SwatchWithoutATileIsBlack) {
    RowPart part;
    part.kind = RowPart::Kind::Swatch;
    EXPECT_EQ(part.colourAt(3, 2), 0u);
    part.tileSize = 0;
    EXPECT_EQ(part.colourAt(0, 0), 0u);
}

namespace {

ControlTable activationTable(int activateButton, std::vector<int>& pressed) {
    ControlTable t;
    Control& list = t.add(listBox(340, {"a", "b"}, 1));
    list.activateButton = activateButton;
    t.add(button(1, "自動設定"));
    t.add(button(21, "手動設定"));
    t.add(button(2, "終了"));
    t.onButton = [&pressed](ControlTable&, int id) {
        pressed.push_back(id);
        return id == 2 ? 2 : 0;
    };
    return t;
}

} // namespace

TEST(ListActivation, PressesTheButtonTheListNames) {
    std::vector<int> pressed;
    ControlTable t = activationTable(21, pressed);
    EXPECT_EQ(t.activate(340), 0);
    EXPECT_EQ(pressed, std::vector<int>{21});
}

TEST(ListActivation, ListThatNamesNoButtonPressesNothing) {
    std::vector<int> pressed;
    ControlTable t = activationTable(0, pressed);
    EXPECT_EQ(t.activate(340), 0);
    EXPECT_TRUE(pressed.empty());
}

TEST(ListActivation, ByDefaultPressesButtonOne) {
    std::vector<int> pressed;
    ControlTable t = activationTable(1, pressed);
    EXPECT_EQ(listBox(1, {}, -1).activateButton, 1);
    t.activate(340);
    EXPECT_EQ(pressed, std::vector<int>{1});
}
