#include "palette/ColourConverterDialogs.h"

#include "framework/ScriptedUi.h"
#include "support/PastedGreys.h"

#include <gtest/gtest.h>

#include <array>

using namespace celdo;
using namespace celdo::colourdialog;

namespace {

// The grey paste with the dialog made on it.
struct Fixture : test::PastedGreys {
    ControlTable dialog(Ui& ui) {
        return makeColourConversionDialog(ui, *converter, palette.data(), [this] { ++repaints; });
    }
};

} // namespace

TEST(ColourConversionDialog, ListsOccurringColoursWithTheirMappings) {
    Fixture f;
    const auto rows = conversionRows(*f.converter);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].sourceColour, 1);
    EXPECT_EQ(rows[0].countText, "   1 (3)");
    EXPECT_EQ(rows[0].mappingText, "  [  1]");
    EXPECT_EQ(rows[1].countText, "   2 (1)");
    EXPECT_EQ(rows[1].mappingText, "  [  1]+[  2]");
    EXPECT_EQ(rows[1].colour, rgb(120, 120, 120));
    EXPECT_EQ(rows[2].countText, "   5 (2)");
    EXPECT_EQ(rows[2].mappingText, "  [  2]");
    // Swatch of the mix: a checkerboard, entry 1 where x + y is odd.
    EXPECT_EQ(mappingSwatchAt(rows[1].mapping, f.palette.data(), 1, 0), rgb(100, 100, 100));
    EXPECT_EQ(mappingSwatchAt(rows[1].mapping, f.palette.data(), 1, 1), rgb(140, 140, 140));
}

TEST(ColourConversionDialog, ControlsShowTheRanges) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    EXPECT_EQ(table.name, "cconv");
    EXPECT_EQ(table.title, "色の変換");
    const Control* start = table.find(SourceStart);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->minimum, 0);
    EXPECT_EQ(start->maximum, 254);
    EXPECT_EQ(start->value, 1);
    EXPECT_EQ(table.find(SourceEnd)->maximum, 255);
    EXPECT_EQ(table.value(SourceEnd), 255);
    EXPECT_EQ(table.text(SourceEndValue), "255");
    EXPECT_EQ(table.find(DestinationStart)->maximum, 254);
    EXPECT_EQ(table.value(DestinationEnd), 2);
    EXPECT_EQ(table.text(DestinationEndValue), "2");
    EXPECT_TRUE(table.enabled(SourceStart));
    EXPECT_EQ(table.text(UseTile), "タイルを使う");
    EXPECT_EQ(table.value(UseTile), 1);
    EXPECT_EQ(table.text(Automatic), "自動設定");
    EXPECT_EQ(table.text(Manual), "手動設定");
    EXPECT_EQ(table.text(Close), "終了");
    EXPECT_EQ(table.find(List)->items.size(), 3u);
    EXPECT_EQ(table.press(Close), 2);
}

TEST(ColourConversionDialog, SourceRangeIsDisabledForTrueColour) {
    ColourConversionSettings settings;
    std::array<ColourValue, 256> palette{};
    ColourConverter converter(CellImage::Create(2, 2, 24), palette.data(), settings);
    ScriptedUi ui;
    ControlTable table = makeColourConversionDialog(ui, converter, palette.data(), {});
    EXPECT_FALSE(table.enabled(SourceStart));
    EXPECT_FALSE(table.enabled(SourceEnd));
    EXPECT_EQ(table.find(SourceEnd)->maximum, LevelColourCount - 1);
}

TEST(ColourConversionDialog, AutomaticStoresTheRangesAndReassigns) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    // A destination range whose start lies above its end: everything maps to 0.
    table.setValue(DestinationStart, 2);
    table.setValue(DestinationEnd, 1);
    table.setValue(UseTile, 0);
    EXPECT_EQ(table.press(Automatic), 0); // the dialog stays open
    EXPECT_EQ(f.settings.convertDes, 2);
    EXPECT_EQ(f.settings.lastDestination, 1);
    EXPECT_FALSE(f.settings.useTile);
    EXPECT_EQ(f.converter->mapping(2), ColourMapping::single(0));
    EXPECT_EQ(f.converter->converted()->at(0, 0), 0);
    EXPECT_EQ(f.repaints, 1);
    EXPECT_EQ(table.find(List)->items[1], "   2 (1)    [  0]");

    // Back to the full range without mixes; a palette changed meanwhile is
    // loaded first.
    f.palette[3] = rgb(120, 120, 120);
    table.setValue(DestinationStart, 1);
    table.setValue(DestinationEnd, 255);
    table.press(Automatic);
    EXPECT_EQ(f.converter->mapping(2), ColourMapping::single(3));
    EXPECT_EQ(f.converter->converted()->paletteEntry(3), rgb(120, 120, 120));
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST(ColourConversionDialog, ManualNeedsASelectedRow) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    table.setValue(UseTile, 0);
    EXPECT_EQ(table.press(Manual), 0);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_FALSE(f.settings.useTile); // stored even so
}

TEST(ColourConversionDialog, ManualAssignmentThroughPalAssign) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    table.setValue(List, 1); // source colour 2, mapped to the half mix of 1 and 2
    ControlTable seen;
    ui.answerDialog("PalAssign", [&seen](ControlTable& t) {
        seen = t;
        t.setValue(List, t.value(List) + 1); // the next best
        return t.press(Assign);
    });
    table.press(Manual);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(seen.title, "色の割付（2）");
    EXPECT_EQ(seen.text(SourceInfo), " 120 120 120  (1)");
    EXPECT_EQ(seen.value(SourceInfo), static_cast<int>(rgb(120, 120, 120)));
    // The present mapping is the best candidate and is selected.
    ASSERT_GE(seen.find(List)->items.size(), 2u);
    EXPECT_EQ(seen.value(List), 0);
    EXPECT_EQ(seen.find(List)->items[0], "  [  1]+[  2]  (100 100 100)  (140 140 140)");
    EXPECT_EQ(seen.text(Assign), "割付");
    EXPECT_EQ(seen.text(Cancel), "中止");

    const auto rows = candidateRows(*f.converter, 2);
    EXPECT_EQ(f.converter->mapping(2), rows[1].mapping);
    EXPECT_EQ(f.repaints, 1);
    EXPECT_EQ(table.find(List)->items[1], "   2 (1)  " + rows[1].mappingText);
}

TEST(ColourConversionDialog, ChoosingThePresentMappingChangesNothing) {
    Fixture f;
    ScriptedUi ui;
    ui.answerDialog("PalAssign", [](ControlTable& t) { return t.press(Assign); });
    EXPECT_FALSE(RunPaletteAssignDialog(ui, *f.converter, 2));
    ui.answerDialog("PalAssign", [](ControlTable& t) {
        t.setValue(List, 1);
        return t.press(Cancel);
    });
    EXPECT_FALSE(RunPaletteAssignDialog(ui, *f.converter, 2));
    EXPECT_EQ(f.converter->mapping(2), ColourMapping::mix(1, 1, 2));
    EXPECT_TRUE(ui.allAnswered());
}

TEST(ColourConversionDialog, PalAssignNeverOffersOutOfReachEntries) {
    Fixture f;
    f.palette[7] = rgb(255, 0, 0);
    f.converter->loadPalette(f.palette.data());
    const auto rows = candidateRows(*f.converter, 1);
    ASSERT_FALSE(rows.empty());
    bool offersZero = false;
    for (const auto& row : rows) {
        EXPECT_NE(row.mapping.first, 7);
        EXPECT_NE(row.mapping.second, 7);
        offersZero = offersZero || row.mapping.first == 0 || row.mapping.second == 0;
        EXPECT_EQ(row.secondText.empty(), row.mapping.kind == 0);
    }
    // Entry 0 (black) is more than 70 away from 100 grey, so not offered
    // either; from a dark colour it would be.
    EXPECT_FALSE(offersZero);
}

TEST(ColourConversionDialog, PalAssignTitleForTrueColour) {
    ColourConversionSettings settings;
    std::array<ColourValue, 256> palette{};
    palette[1] = rgb(255, 255, 255);
    ColourConverter converter(CellImage::Create(2, 2, 24), palette.data(), settings);
    const auto rows = candidateRows(converter, 0);
    ControlTable table = makePaletteAssignDialog(converter, 0, rows);
    EXPECT_EQ(table.title, "色の割付");
    EXPECT_EQ(table.text(SourceInfo), "   0   0   0  (4)");
    // Black is only near entry 0 (the others repeat it or are out of reach).
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mapping, ColourMapping::single(0));
    EXPECT_EQ(rows[0].firstText, "(  0   0   0)");
}

TEST(ColourConversionDialog, RowsAreDrawnAsSwatchesAndTexts) {
    Fixture f;
    const auto rows = conversionRows(*f.converter);
    ASSERT_EQ(rows.size(), 3u);
    // Source colour 2, the half mix of entries 1 (100 grey) and 2 (140 grey).
    const DrawnRow look = conversionRowLook(rows[1], f.palette.data());
    ASSERT_EQ(look.size(), 4u);
    EXPECT_EQ(look[0].kind, RowPart::Kind::Swatch);
    EXPECT_EQ(look[0].left(20), 0);
    EXPECT_EQ(look[0].tileSize, 1);
    EXPECT_EQ(look[0].colourAt(0, 0), 0x787878u);
    EXPECT_EQ(look[1].kind, RowPart::Kind::Text);
    EXPECT_EQ(look[1].left(20), 26); // six pixels after the swatch
    EXPECT_EQ(look[1].text, "   2 (1)");
    EXPECT_EQ(look[2].kind, RowPart::Kind::Swatch);
    EXPECT_EQ(look[2].left(20), 140);
    EXPECT_EQ(look[2].tileSize, 8);
    // The checkerboard: entry 1 where x + y is odd, entry 2 elsewhere.
    EXPECT_EQ(look[2].colourAt(0, 0), 0x8C8C8Cu);
    EXPECT_EQ(look[2].colourAt(1, 0), 0x646464u);
    EXPECT_EQ(look[2].colourAt(0, 1), 0x646464u);
    EXPECT_EQ(look[2].colourAt(7, 7), 0x8C8C8Cu);
    EXPECT_EQ(look[2].colourAt(7, 6), 0x646464u);
    EXPECT_EQ(look[3].kind, RowPart::Kind::Text);
    EXPECT_EQ(look[3].left(20), 180);
    EXPECT_EQ(look[3].text, "  [  1]+[  2]");

    // Source colour 1 maps to entry 1 alone: a solid swatch.
    const DrawnRow single = conversionRowLook(rows[0], f.palette.data());
    EXPECT_EQ(single[2].tileSize, 1);
    EXPECT_EQ(single[2].colourAt(5, 3), 0x646464u);
    EXPECT_EQ(single[2].left(16), 112);
}

TEST(ColourConversionDialog, ThreeQuarterMixSwatchHasOnePixelInFourOfTheSecondEntry) {
    Fixture f;
    const RowPart part = mappingSwatch(ColourMapping::mix(2, 1, 2), f.palette.data(), 0);
    ASSERT_EQ(part.tileSize, 8);
    EXPECT_EQ(part.colourAt(0, 0), 0x646464u);
    EXPECT_EQ(part.colourAt(1, 0), 0x646464u);
    EXPECT_EQ(part.colourAt(1, 1), 0x8C8C8Cu);
    EXPECT_EQ(part.colourAt(3, 5), 0x8C8C8Cu);
    EXPECT_EQ(part.colourAt(3, 4), 0x646464u);
    int second = 0;
    for (unsigned c : part.tile)
        second += c == 0x8C8C8Cu;
    EXPECT_EQ(second, 16);
}

TEST(ColourConversionDialog, DoubleClickOnARowOpensPalAssignNotAutomatic) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    const Control* list = table.find(List);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->activateButton, Manual);
    ASSERT_EQ(list->drawn.size(), 3u);
    EXPECT_EQ(list->drawn[2][0].colourAt(0, 0), 0x8C8C8Cu); // source colour 5
    EXPECT_EQ(list->drawn[2][2].colourAt(0, 0), 0x8C8C8Cu); // mapped to entry 2

    // Without a chosen row nothing happens, and the mappings are not redone.
    EXPECT_EQ(table.activate(List), 0);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(f.repaints, 0);

    std::string title;
    ui.answerDialog("PalAssign", [&title](ControlTable& t) {
        title = t.title;
        return t.press(Cancel);
    });
    table.setValue(List, 2);
    EXPECT_EQ(table.activate(List), 0);
    EXPECT_EQ(ui.dialogs, std::vector<std::string>{"PalAssign"});
    EXPECT_EQ(title, "色の割付（5）");
    EXPECT_EQ(f.repaints, 0);
}

TEST(ColourConversionDialog, AutomaticRedrawsTheSwatchesInTheLoadedPalette) {
    Fixture f;
    ScriptedUi ui;
    ControlTable table = f.dialog(ui);
    table.setValue(DestinationStart, 2);
    table.setValue(DestinationEnd, 1);
    table.press(Automatic);
    const RowPart* swatch = &table.find(List)->drawn[1][2];
    EXPECT_EQ(swatch->tileSize, 1);
    EXPECT_EQ(swatch->colourAt(0, 0), 0u); // entry 0, black
    EXPECT_EQ(table.find(List)->drawn[1][3].text, "  [  0]");

    f.palette[3] = rgb(120, 120, 120);
    table.setValue(DestinationStart, 1);
    table.setValue(DestinationEnd, 255);
    table.setValue(UseTile, 0);
    table.press(Automatic);
    swatch = &table.find(List)->drawn[1][2];
    EXPECT_EQ(swatch->tileSize, 1);
    EXPECT_EQ(swatch->colourAt(0, 0), 0x787878u);
}

TEST(ColourConversionDialog, PalAssignRowsShowSwatchMappingAndEntries) {
    Fixture f;
    const auto rows = candidateRows(*f.converter, 2);
    ControlTable table = makePaletteAssignDialog(*f.converter, 2, rows);

    const Control* info = table.find(SourceInfo);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->drawn.size(), 1u);
    ASSERT_EQ(info->drawn[0].size(), 2u);
    EXPECT_EQ(info->drawn[0][0].kind, RowPart::Kind::Swatch);
    EXPECT_EQ(info->drawn[0][0].colourAt(0, 0), 0x787878u);
    EXPECT_EQ(info->drawn[0][1].left(20), 20);
    EXPECT_EQ(info->drawn[0][1].text, " 120 120 120  (1)");

    const Control* list = table.find(List);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->drawn.size(), rows.size());
    // The best candidate is the half mix of entries 1 and 2.
    const DrawnRow& mix = list->drawn[0];
    ASSERT_EQ(mix.size(), 4u);
    EXPECT_EQ(mix[0].left(20), 0);
    EXPECT_EQ(mix[0].colourAt(0, 0), 0x8C8C8Cu);
    EXPECT_EQ(mix[0].colourAt(1, 0), 0x646464u);
    EXPECT_EQ(mix[1].left(20), 40);
    EXPECT_EQ(mix[1].text, "  [  1]+[  2]");
    EXPECT_EQ(mix[2].left(20), 160);
    EXPECT_EQ(mix[2].text, "(100 100 100)");
    EXPECT_EQ(mix[3].left(20), 280);
    EXPECT_EQ(mix[3].text, "(140 140 140)");

    // A single entry: no second text.
    bool seenSingle = false;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].mapping != ColourMapping::single(2))
            continue;
        seenSingle = true;
        const DrawnRow& single = list->drawn[k];
        ASSERT_EQ(single.size(), 3u);
        EXPECT_EQ(single[0].tileSize, 1);
        EXPECT_EQ(single[0].colourAt(0, 0), 0x8C8C8Cu);
        EXPECT_EQ(single[1].text, "  [  2]");
        EXPECT_EQ(single[2].text, "(140 140 140)");
    }
    EXPECT_TRUE(seenSingle);
}

TEST(ColourConversionDialog, DoubleClickInPalAssignOnlyChoosesTheRow) {
    Fixture f;
    ScriptedUi ui;
    ui.answerDialog("PalAssign", [](ControlTable& t) {
        t.setValue(List, 1);
        EXPECT_EQ(t.find(List)->activateButton, 0);
        const int result = t.activate(List);
        EXPECT_EQ(t.value(List), 1);
        return result;
    });
    EXPECT_FALSE(RunPaletteAssignDialog(ui, *f.converter, 2));
    EXPECT_EQ(f.converter->mapping(2), ColourMapping::mix(1, 1, 2));
}
