#include "app/NewImage.h"
#include "app/Settings.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace celdo;
using celdo::test::TempDir;

namespace {

std::vector<ImageSize> builtIn() {
    return {{320, 240}, {640, 480}, {1024, 768}};
}

} // namespace

TEST(NewImageSizes, NoValidPairGivesTheBuiltInList) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    settings.writeInt("sizex1", 0);
    settings.writeInt("sizey1", 50);
    NewImageSizes sizes;
    sizes.read(settings);
    EXPECT_EQ(sizes.sizes(), builtIn());
    EXPECT_EQ(sizes.defaultSize(), (ImageSize{320, 240}));
}

TEST(NewImageSizes, ReadingStopsAtFirstInvalidPair) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    settings.writeInt("NewSizeX", 64);
    settings.writeInt("NewSizeY", 32);
    settings.writeInt("sizex1", 10);
    settings.writeInt("sizey1", 20);
    settings.writeInt("sizex2", 4097);
    settings.writeInt("sizey2", 20);
    settings.writeInt("sizex3", 30);
    settings.writeInt("sizey3", 40);
    NewImageSizes sizes;
    sizes.read(settings);
    EXPECT_EQ(sizes.sizes(), (std::vector<ImageSize>{{10, 20}}));
    EXPECT_EQ(sizes.defaultSize(), (ImageSize{64, 32}));
}

TEST(NewImageSizes, TenAreWrittenButNineReadBack) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    NewImageSizes sizes;
    sizes.read(settings);
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(sizes.add({i, i}, settings));
    ASSERT_EQ(sizes.sizes().size(), 10u);
    EXPECT_EQ(sizes.sizes().front(), (ImageSize{7, 7}));
    EXPECT_EQ(sizes.sizes().back(), (ImageSize{1024, 768}));
    EXPECT_TRUE(sizes.add({9, 9}, settings));
    EXPECT_EQ(sizes.sizes().size(), 10u);
    EXPECT_EQ(sizes.sizes().back(), (ImageSize{640, 480}));

    Settings disk(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(disk.readInt("sizex10", 0), 640);
    EXPECT_EQ(disk.readInt("sizey10", 0), 480);
    EXPECT_EQ(disk.readInt("sizex11", 0), -1);
    NewImageSizes back;
    back.read(disk);
    EXPECT_EQ(back.sizes().size(), 9u);
    EXPECT_EQ(back.sizes().front(), (ImageSize{9, 9}));
}

TEST(NewImageSizes, AddingAListedSizeChangesNothing) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    NewImageSizes sizes;
    sizes.read(settings);
    EXPECT_FALSE(sizes.add({640, 480}, settings));
    EXPECT_EQ(sizes.sizes(), builtIn());
    EXPECT_FALSE(std::filesystem::exists(dir.file("CELDO.INI")));
}

TEST(NewGraph, ControlsAndLinks) {
    NewImageSizes sizes;
    ControlTable t = NewGraphDialog(sizes, true);
    EXPECT_EQ(t.name, "NewGraph");
    EXPECT_EQ(t.title, "新規画像の作成");
    ASSERT_TRUE(t.has(320));
    const auto& items = t.find(320)->items;
    EXPECT_EQ(items, (std::vector<std::string>{"（その他）"}));
    EXPECT_EQ(t.text(361), "320");
    EXPECT_EQ(t.text(364), "240");
    EXPECT_EQ(t.find(360)->pageStep, 20);
    EXPECT_EQ(t.find(363)->maximum, 4096);
    EXPECT_EQ(t.find(361)->maxChars, 4);
    EXPECT_EQ(t.text(280), "このサイズをリストに加える");
    EXPECT_EQ(t.text(281), "次回からこの設定を使う");
    EXPECT_EQ(t.text(282), "カレントカラーを使う");
    EXPECT_EQ(t.value(280), 0);
    EXPECT_EQ(t.value(282), 1);
    EXPECT_EQ(t.text(1), "作成");
    EXPECT_EQ(t.text(2), "取消");
}

TEST(NewGraph, ComboSelectsTheDefaultAndSetsTheBars) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    NewImageSizes sizes;
    sizes.read(settings);
    ControlTable t = NewGraphDialog(sizes, false);
    EXPECT_EQ(t.find(320)->items,
              (std::vector<std::string>{"（その他）", "320x240", "640x480", "1024x768"}));
    EXPECT_EQ(t.value(320), 1);
    t.setValue(320, 3);
    EXPECT_EQ(t.value(360), 1024);
    EXPECT_EQ(t.text(361), "1024");
    EXPECT_EQ(t.value(363), 768);
    t.setValue(320, 0);
    EXPECT_EQ(t.text(364), "240");
    t.setValue(360, 77);
    EXPECT_EQ(t.text(361), "77");
}

TEST(NewGraph, EditsTakeDigitsAndCreateNeedsValidSizes) {
    NewImageSizes sizes;
    ControlTable t = NewGraphDialog(sizes, false);
    t.setText(361, "12a3");
    EXPECT_EQ(t.text(361), "123");
    EXPECT_EQ(t.value(360), 123);
    t.setText(364, "0");
    EXPECT_EQ(t.value(363), 240);
    EXPECT_EQ(t.press(1), 0);
    t.setText(364, "5000");
    EXPECT_EQ(t.text(364), "5000");
    EXPECT_EQ(t.press(1), 0);
    t.setText(364, "4096");
    EXPECT_EQ(t.press(1), 1);
    EXPECT_EQ(t.press(2), 2);
}

TEST(NewGraph, RunCreatesRemembersAndFills) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    NewImageSizes sizes;
    sizes.read(settings);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, 255 - i, 7);
    bool useColour = false;
    ScriptedUi ui;
    ui.answerDialog("NewGraph", [](ControlTable& t) {
        t.setText(361, "33");
        t.setText(364, "5");
        t.setValue(280, 1);
        t.setValue(281, 1);
        t.setValue(282, 1);
        return t.press(1);
    });
    auto image = RunNewImage(ui, sizes, settings, useColour, palette.data(), 0x105);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 33);
    EXPECT_EQ(image->height(), 5);
    EXPECT_EQ(image->bitsPerPixel(), 8);
    EXPECT_EQ(image->paletteEntry(9), rgb(9, 246, 7));
    EXPECT_EQ(image->at(32, 4), 5);
    EXPECT_EQ(image->at(0, 0), 5);
    EXPECT_TRUE(useColour);
    EXPECT_EQ(sizes.defaultSize(), (ImageSize{33, 5}));
    EXPECT_EQ(sizes.sizes().front(), (ImageSize{33, 5}));
    Settings disk(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(disk.readInt("NewSizeX", 0), 33);
    EXPECT_EQ(disk.readInt("sizey1", 0), 5);
    EXPECT_EQ(disk.readInt("sizex5", 0), -1);

    // The next opening starts with 282 as left and 280/281 cleared; the
    // default size is selected in the combo.
    ui.answerDialog("NewGraph", [](ControlTable& t) {
        EXPECT_EQ(t.value(280), 0);
        EXPECT_EQ(t.value(282), 1);
        EXPECT_EQ(t.value(320), 1);
        t.setValue(282, 0);
        return t.press(1);
    });
    image = RunNewImage(ui, sizes, settings, useColour, palette.data(), 5);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->at(3, 3), 0);
    EXPECT_FALSE(useColour);

    ui.answerDialog("NewGraph", 2);
    EXPECT_EQ(RunNewImage(ui, sizes, settings, useColour, palette.data(), 5), nullptr);
}
