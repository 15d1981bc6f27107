#include "palette/PaletteDialogs.h"
#include "framework/ScriptedUi.h"
#include "palette/PaletteCommands.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

class PaletteCommandRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 256; ++i)
            palette.current()[i] = rgb(i, 0, 0);
        selection.drawColor = 5;
    }
    PaletteCommandResult run(int command, const CellImage* active = nullptr) {
        PaletteCommandContext context{ui, palette, selection, sortSettings, active};
        return RunPaletteCommand(command, context);
    }

    ScriptedUi ui;
    PaletteSet palette;
    ColourSelection selection;
    SortColorSettings sortSettings;
};

TEST_F(PaletteCommandRun, DeleteAsksAndNoChangesNothing) {
    ui.answerMessage(answer::No);
    const auto r = run(palette_command::Delete);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "5番目の色を削除しますか？");
    EXPECT_EQ(ui.messages[0].caption, "Celdo");
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(r.handled);
    EXPECT_FALSE(r.broadcast);
    EXPECT_EQ(palette.current()[5], rgb(5, 0, 0));

    ui.answerMessage(answer::Yes);
    const auto yes = run(palette_command::Delete);
    ASSERT_TRUE(yes.broadcast);
    EXPECT_EQ(yes.broadcast->message, UM_PALETTE_DELETE_REMAP);
    EXPECT_EQ(palette.current()[5], rgb(6, 0, 0));
    EXPECT_TRUE(ui.unscripted.empty());
}

TEST(SetColorDialog, TableHasTheIdsRangesAndTexts) {
    ControlTable t = BuildSetColorDialog(7, rgb(10, 20, 30));
    EXPECT_EQ(t.name, "SetColor");
    EXPECT_EQ(t.title, "色の設定(No.7)");
    const int bars[3] = {360, 362, 364};
    const int values[3] = {10, 20, 30};
    for (int i = 0; i < 3; ++i) {
        const Control* bar = t.find(bars[i]);
        ASSERT_TRUE(bar);
        EXPECT_EQ(bar->kind, ControlKind::ScrollBar);
        EXPECT_EQ(bar->minimum, 0);
        EXPECT_EQ(bar->maximum, 255);
        EXPECT_EQ(bar->pageStep, 10);
        EXPECT_EQ(bar->lineStep, 1);
        EXPECT_EQ(bar->value, values[i]);
        EXPECT_EQ(bar->labelId, bars[i] + 1);
        EXPECT_EQ(t.text(bars[i] + 1), std::to_string(values[i]));
    }
    EXPECT_EQ(t.value(200), static_cast<int>(rgb(10, 20, 30)));
    EXPECT_EQ(t.text(1), "設定");
    EXPECT_EQ(t.text(2), "中止");
}

TEST(SetColorDialog, EveryScrollRefillsTheSwatch) {
    ControlTable t = BuildSetColorDialog(1, rgb(10, 20, 30));
    t.setValue(360, 255);
    EXPECT_EQ(t.value(200), static_cast<int>(rgb(255, 20, 30)));
    EXPECT_EQ(t.text(361), "255");
    t.setValue(364, 300); // clamped to the range
    EXPECT_EQ(t.value(200), static_cast<int>(rgb(255, 20, 255)));
}

TEST_F(PaletteCommandRun, SetColourStoresTheNewValueOrNothing) {
    ui.answerDialog("SetColor", [](ControlTable& t) {
        t.setValue(362, 128);
        return 1;
    });
    const auto r = run(palette_command::SetColour);
    EXPECT_EQ(ui.tables.at(0).title, "色の設定(No.5)");
    EXPECT_EQ(palette.current()[5], rgb(5, 128, 0));
    ASSERT_TRUE(r.broadcast);
    EXPECT_EQ(r.broadcast->message, UM_PALETTE_APPLY);

    ui.answerDialog("SetColor", [](ControlTable& t) {
        t.setValue(360, 1);
        return 2;
    });
    EXPECT_EQ(RunSetColorDialog(ui, 5, rgb(5, 128, 0)), -1);
    EXPECT_EQ(palette.current()[5], rgb(5, 128, 0));
}

TEST(SortColorDialog, TableAndDisabledCountOrders) {
    ControlTable t = BuildSortColorDialog(SortColorSettings{}, false);
    EXPECT_EQ(t.name, "SortColor");
    EXPECT_EQ(t.title, "色の整列");
    EXPECT_EQ(t.value(360), 1);
    EXPECT_EQ(t.value(363), 255);
    EXPECT_EQ(t.find(360)->labelId, 361);
    EXPECT_EQ(t.find(363)->labelId, 364);
    EXPECT_EQ(t.find(363)->pageStep, 10);
    EXPECT_EQ(t.find(363)->maximum, 255);
    EXPECT_EQ(t.text(241), "明るい順");
    EXPECT_EQ(t.text(242), "暗い順");
    EXPECT_EQ(t.text(243), "多い順");
    EXPECT_EQ(t.text(244), "少ない順");
    EXPECT_EQ(t.checkedRadio(241, 244), 241);
    EXPECT_FALSE(t.enabled(243));
    EXPECT_FALSE(t.enabled(244));
    EXPECT_TRUE(t.enabled(242));
    EXPECT_EQ(t.text(1), "整列");
    EXPECT_EQ(t.text(2), "取消");
    EXPECT_TRUE(BuildSortColorDialog(SortColorSettings{}, true).enabled(243));
}

TEST_F(PaletteCommandRun, SortRemembersTheRangeAndResetsTheMethod) {
    ui.answerDialog("SortColor", [](ControlTable& t) {
        t.setValue(360, 3);
        t.setValue(363, 9);
        t.setValue(242, 1);
        return 1;
    });
    const auto r = run(palette_command::Sort);
    ASSERT_TRUE(r.broadcast);
    EXPECT_EQ(r.broadcast->message, UM_PALETTE_SORT_REMAP);
    EXPECT_EQ(palette.current()[3], rgb(3, 0, 0)); // darkest of 3 … 9 first
    EXPECT_EQ(palette.current()[9], rgb(9, 0, 0));
    EXPECT_EQ(sortSettings.start, 3);
    EXPECT_EQ(sortSettings.end, 9);

    ui.answerDialog("SortColor", 1);
    const auto second = run(palette_command::Sort);
    const ControlTable& shown = ui.tables.at(1);
    EXPECT_EQ(shown.value(360), 3);
    EXPECT_EQ(shown.value(363), 9);
    EXPECT_EQ(shown.checkedRadio(241, 244), 241);
    EXPECT_EQ(palette.current()[3], rgb(9, 0, 0)); // brightest first now
    EXPECT_TRUE(second.broadcast);
}

TEST_F(PaletteCommandRun, SortWithStartNotBelowEndOrCancelledChangesNothing) {
    ui.answerDialog("SortColor", [](ControlTable& t) {
        t.setValue(360, 50);
        t.setValue(363, 50);
        return 1;
    });
    EXPECT_FALSE(run(palette_command::Sort).broadcast);
    ui.answerDialog("SortColor", 2);
    EXPECT_FALSE(run(palette_command::Sort).broadcast);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(palette.current()[i], rgb(i, 0, 0));
}

TEST_F(PaletteCommandRun, CountOrderWithoutActiveImageIsRefused) {
    ui.answerDialog("SortColor", [](ControlTable& t) {
        t.setValue(243, 1); // disabled, chosen anyway
        return 1;
    });
    EXPECT_FALSE(run(palette_command::Sort).broadcast);
}

TEST_F(PaletteCommandRun, GroupCommandsSwitchOnlyToAnotherGroup) {
    EXPECT_TRUE(run(1503).changed);
    EXPECT_EQ(palette.currentGroup(), 3);
    const auto again = run(1503);
    EXPECT_TRUE(again.handled);
    EXPECT_FALSE(again.changed);
    EXPECT_FALSE(run(4242).handled);
}

} // namespace
} // namespace celdo
