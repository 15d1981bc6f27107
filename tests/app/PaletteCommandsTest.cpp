#include "app/PaletteCommands.h"
#include "framework/ScriptedUi.h"

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
    PaletteCommandResult run(Command command, const CellImage* active = nullptr) {
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
    const auto r = run(Command::PaletteDelete);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "5番目の色を削除しますか？");
    EXPECT_EQ(ui.messages[0].caption, "Celdo");
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(r.handled);
    EXPECT_FALSE(r.broadcast);
    EXPECT_EQ(palette.current()[5], rgb(5, 0, 0));

    ui.answerMessage(answer::Yes);
    const auto yes = run(Command::PaletteDelete);
    ASSERT_TRUE(yes.broadcast);
    EXPECT_EQ(yes.broadcast->message, UM_PALETTE_DELETE_REMAP);
    EXPECT_EQ(palette.current()[5], rgb(6, 0, 0));
    EXPECT_TRUE(ui.unscripted.empty());
}

TEST_F(PaletteCommandRun, SetColourStoresTheNewValueOrNothing) {
    ui.answerDialog("SetColor", [](ControlTable& t) {
        t.setValue(362, 128);
        return 1;
    });
    const auto r = run(Command::PaletteEditColour);
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

TEST_F(PaletteCommandRun, SortRemembersTheRangeAndResetsTheMethod) {
    ui.answerDialog("SortColor", [](ControlTable& t) {
        t.setValue(360, 3);
        t.setValue(363, 9);
        t.setValue(242, 1);
        return 1;
    });
    const auto r = run(Command::PaletteSort);
    ASSERT_TRUE(r.broadcast);
    EXPECT_EQ(r.broadcast->message, UM_PALETTE_SORT_REMAP);
    EXPECT_EQ(palette.current()[3], rgb(3, 0, 0)); // darkest of 3 … 9 first
    EXPECT_EQ(palette.current()[9], rgb(9, 0, 0));
    EXPECT_EQ(sortSettings.start, 3);
    EXPECT_EQ(sortSettings.end, 9);

    ui.answerDialog("SortColor", 1);
    const auto second = run(Command::PaletteSort);
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
    EXPECT_FALSE(run(Command::PaletteSort).broadcast);
    ui.answerDialog("SortColor", 2);
    EXPECT_FALSE(run(Command::PaletteSort).broadcast);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(palette.current()[i], rgb(i, 0, 0));
}

TEST_F(PaletteCommandRun, CountOrderWithoutActiveImageIsRefused) {
    ui.answerDialog("SortColor", [](ControlTable& t) {
        t.setValue(243, 1); // disabled, chosen anyway
        return 1;
    });
    EXPECT_FALSE(run(Command::PaletteSort).broadcast);
}

TEST_F(PaletteCommandRun, GroupCommandsSwitchOnlyToAnotherGroup) {
    EXPECT_TRUE(run(commandFromId(1503)).changed);
    EXPECT_EQ(palette.currentGroup(), 3);
    const auto again = run(commandFromId(1503));
    EXPECT_TRUE(again.handled);
    EXPECT_FALSE(again.changed);
    EXPECT_FALSE(run(commandFromId(4242)).handled);
}

} // namespace
} // namespace celdo
