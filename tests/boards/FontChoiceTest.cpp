#include "boards/FontChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace celdo;
namespace fd = celdo::fontdialog;

namespace {

std::vector<FontFamily> installed() {
    return {
        {"Latin Sans", 0, true, {}},
        {"Gothic Mono", LogicalFont::ShiftJisCharSet, true, {}},
        {"@Gothic Mono", LogicalFont::ShiftJisCharSet, true, {}},
        {"Fixed Bitmap", 0, false, {16, 12, 13, 16}},
        {"Mincho", LogicalFont::ShiftJisCharSet, true, {}},
    };
}

TextPasteSettings startingSettings() {
    TextPasteSettings settings;
    settings.font.faceName = "Gothic Mono";
    return settings;
}

int rowOf(const ControlTable& table, int list, const std::string& item) {
    const auto& items = table.find(list)->items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int>(i);
    return -1;
}

} // namespace

TEST(FontChoice, TextPasteDialogStartsFromTheSettings) {
    TextPasteSettings settings = startingSettings();
    settings.angle = 30;
    settings.text = "文字";
    settings.pasteAtOnce = true;
    FontChoice choice(installed(), settings);
    const ControlTable& t = choice.table();
    EXPECT_EQ(t.name, "GFontDialog");
    EXPECT_EQ(t.title, "文字の貼付け");
    EXPECT_EQ(t.text(fd::FaceName), "Gothic Mono");
    // Height 24 is shown as size 18.
    EXPECT_EQ(t.text(fd::Size), "18");
    EXPECT_EQ(t.text(fd::Weight), "400");
    EXPECT_EQ(t.value(fd::Angle), 30);
    EXPECT_EQ(t.text(fd::AngleValue), "30");
    EXPECT_EQ(t.text(fd::Text), "文字");
    EXPECT_EQ(t.value(fd::PasteAtOnce), 1);
    EXPECT_EQ(t.text(fd::Sample), "abAB123漢字ef");
    // Every family but the at-sign ones, the chosen one selected.
    EXPECT_EQ(choice.listed(),
              (std::vector<std::string>{"Fixed Bitmap", "Gothic Mono", "Latin Sans", "Mincho"}));
    EXPECT_EQ(t.value(fd::FontList), 1);
    EXPECT_EQ(t.find(fd::WeightList)->items.size(), 11u);
    EXPECT_EQ(t.find(fd::SizeList)->items.front(), "8");
    EXPECT_EQ(t.find(fd::SizeList)->items.back(), "72");
}

TEST(FontChoice, ChoosingSizeEighteenGivesHeightTwentyFour) {
    TextPasteSettings settings = startingSettings();
    settings.font.height = 13;
    FontChoice choice(installed(), settings);
    ControlTable& t = choice.table();
    t.setValue(fd::SizeList, rowOf(t, fd::SizeList, "18"));
    EXPECT_EQ(t.text(fd::Size), "18");
    EXPECT_EQ(choice.font().height, 24);
    EXPECT_EQ(choice.font().width, 0);
    t.setText(fd::Size, "36");
    EXPECT_EQ(choice.font().height, 48);
}

TEST(FontChoice, ChoosingAFamilyRebuildsTheDescriptionAndSample) {
    FontChoice choice(installed(), startingSettings());
    ControlTable& t = choice.table();
    t.setValue(fd::FontList, rowOf(t, fd::FontList, "Latin Sans"));
    EXPECT_EQ(t.text(fd::FaceName), "Latin Sans");
    EXPECT_EQ(choice.font().faceName, "Latin Sans");
    EXPECT_EQ(choice.font().charSet, 0);
    EXPECT_EQ(t.text(fd::Sample), "aAbBcCdDeEfF");
    t.setValue(fd::WeightList, rowOf(t, fd::WeightList, "700"));
    t.setValue(fd::Italic, 1);
    t.setValue(fd::StrikeOut, 1);
    EXPECT_EQ(choice.font().weight, 700);
    EXPECT_TRUE(choice.font().italic);
    EXPECT_FALSE(choice.font().underline);
    EXPECT_TRUE(choice.font().strikeOut);
}

TEST(FontChoice, BitmapFamilyOffersItsOwnSizes) {
    FontChoice choice(installed(), startingSettings());
    ControlTable& t = choice.table();
    t.setValue(fd::FontList, rowOf(t, fd::FontList, "Fixed Bitmap"));
    // Heights 12, 13 and 16 as size numbers, each once.
    EXPECT_EQ(t.find(fd::SizeList)->items, (std::vector<std::string>{"9", "10", "12"}));
}

TEST(FontChoice, UnknownFaceNameKeepsTheFaceInForce) {
    FontChoice choice(installed(), startingSettings());
    ControlTable& t = choice.table();
    t.assignText(fd::FaceName, "Nowhere");
    t.setValue(fd::Underline, 1);
    EXPECT_EQ(choice.font().faceName, "Gothic Mono");
    EXPECT_TRUE(choice.font().underline);
}

TEST(FontChoice, VerticalWritingListsOnlyJapaneseFamilies) {
    FontChoice choice(installed(), startingSettings());
    ControlTable& t = choice.table();
    t.setValue(fd::Vertical, 1);
    EXPECT_EQ(choice.listed(), (std::vector<std::string>{"Gothic Mono", "Mincho"}));
    EXPECT_EQ(t.find(fd::FontList)->items, choice.listed());
    EXPECT_EQ(t.value(fd::FontList), 0);
    t.setValue(fd::Vertical, 0);
    EXPECT_EQ(choice.listed().size(), 4u);
}

TEST(FontChoice, MaskTextAndMaskBackgroundExcludeEachOther) {
    FontChoice choice(installed(), startingSettings());
    ControlTable& t = choice.table();
    t.setValue(fd::MaskBackground, 1);
    EXPECT_EQ(t.value(fd::MaskBackground), 1);
    t.setValue(fd::MaskText, 1);
    EXPECT_EQ(t.value(fd::MaskText), 1);
    EXPECT_EQ(t.value(fd::MaskBackground), 0);
    t.setValue(fd::MaskBackground, 1);
    EXPECT_EQ(t.value(fd::MaskText), 0);
}

TEST(FontChoice, SettingsHoldingBothMasksShowMaskText) {
    TextPasteSettings settings = startingSettings();
    settings.maskBackground = true;
    settings.maskText = true;
    FontChoice choice(installed(), settings);
    EXPECT_EQ(choice.table().value(fd::MaskText), 1);
    EXPECT_EQ(choice.table().value(fd::MaskBackground), 0);
}

TEST(FontChoice, ConfirmationStoresAngleFlagsFontAndText) {
    TextPasteSettings settings = startingSettings();
    FontChoice choice(installed(), settings);
    ControlTable& t = choice.table();
    t.setValue(fd::Angle, 90);
    t.setValue(fd::Vertical, 1);
    t.setValue(fd::MaskText, 1);
    t.setValue(fd::PasteAtOnce, 0);
    t.setValue(fd::FontList, rowOf(t, fd::FontList, "Mincho"));
    t.setText(fd::Text, "縦書き");
    choice.applyTo(settings);
    EXPECT_EQ(settings.angle, 90);
    EXPECT_TRUE(settings.vertical);
    EXPECT_TRUE(settings.maskText);
    EXPECT_FALSE(settings.maskBackground);
    EXPECT_FALSE(settings.pasteAtOnce);
    EXPECT_EQ(settings.font.faceName, "Mincho");
    EXPECT_EQ(settings.text, "縦書き");
}

TEST(FontChoice, TextIsKeptWithinItsShiftJisBytes) {
    TextPasteSettings settings = startingSettings();
    FontChoice choice(installed(), settings);
    std::string long_text;
    for (int i = 0; i < 100; ++i)
        long_text += "漢";
    choice.table().setText(fd::Text, long_text);
    choice.applyTo(settings);
    // Two bytes a character: 63 whole characters fit in 127 bytes.
    std::string expected;
    for (int i = 0; i < 63; ++i)
        expected += "漢";
    EXPECT_EQ(settings.text, expected);
}

TEST(FontChoice, StatusBarDialogListsJapaneseFamiliesWithoutText) {
    LogicalFont font;
    font.faceName = "Mincho";
    font.height = -16;
    font.weight = 0;
    FontChoice choice(installed(), font);
    const ControlTable& t = choice.table();
    EXPECT_EQ(t.name, "FontDialog");
    EXPECT_EQ(t.title, "ステータスバーのフォント");
    EXPECT_EQ(choice.listed(), (std::vector<std::string>{"Gothic Mono", "Mincho"}));
    EXPECT_EQ(t.text(fd::Size), "12");
    EXPECT_FALSE(t.has(fd::Text));
    EXPECT_FALSE(t.has(fd::Vertical));
    EXPECT_FALSE(t.has(fd::Angle));
    EXPECT_FALSE(t.has(fd::PasteAtOnce));
    EXPECT_TRUE(t.has(fd::Sample));
}
