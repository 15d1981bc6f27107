#include "palette/PaletteDialogs.h"
#include "framework/ScriptedUi.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

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

} // namespace
} // namespace celdo
