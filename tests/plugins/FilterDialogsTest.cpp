#include "plugins/FilterDialogs.h"
#include "app/Settings.h"
#include "framework/ScriptedUi.h"
#include "plugins/PluginTestSupport.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace celdo;
using celdo::test::fixturePlugin;

namespace {

FilterLists sampleLists() {
    FilterLists lists;
    for (const char* name : {"C", "B", "A"}) {
        FilterEntry entry;
        entry.exportName = name;
        entry.description = std::string("desc ") + name;
        lists.wholeImage.push_back(entry);
        lists.regionImage.push_back(entry);
    }
    lists.wholeMask.push_back(lists.wholeImage[2]);
    return lists;
}

} // namespace

TEST(FilterListDialog, SelectedOrFirstEntry) {
    const FilterLists lists = sampleLists();
    ScriptedUi ui;
    ui.answerDialog("FilterList", [](ControlTable& t) {
        EXPECT_EQ(t.title, "フィルターの選択");
        EXPECT_EQ(t.find(340)->items, (std::vector<std::string>{"desc C", "desc B", "desc A"}));
        EXPECT_EQ(t.text(1), "実行");
        EXPECT_EQ(t.text(2), "取消");
        t.setValue(340, 1);
        return t.press(1);
    });
    const FilterEntry* chosen = ChooseWholeImageFilter(ui, lists, false);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->exportName, "B");

    ui.answerDialog("FilterList", 1);
    chosen = ChooseWholeImageFilter(ui, lists, false);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->exportName, "C");

    ui.answerDialog("FilterList", [](ControlTable& t) {
        EXPECT_EQ(t.find(340)->items, (std::vector<std::string>{"desc A"}));
        return 1;
    });
    EXPECT_EQ(ChooseWholeImageFilter(ui, lists, true)->exportName, "A");

    ui.answerDialog("FilterList", 2);
    EXPECT_EQ(ChooseWholeImageFilter(ui, lists, false), nullptr);
    ui.answerDialog("FilterList", 1);
    EXPECT_EQ(ChooseWholeImageFilter(ui, FilterLists{}, false), nullptr);
}

TEST(FilterRegionDialog, RangesFollowEachOther) {
    const FilterLists lists = sampleLists();
    // Columns 10 … 29 and rows 20 … 39 of a 100 × 80 picture.
    ControlTable t = FilterRegionDialog(lists.regionImage, {10, 20, 30, 40}, 100, 80);
    EXPECT_EQ(t.title, "フィルターの範囲指定");
    EXPECT_EQ(t.find(360)->maximum, 29);
    EXPECT_EQ(t.find(362)->maximum, 39);
    EXPECT_EQ(t.find(364)->minimum, 10);
    EXPECT_EQ(t.find(364)->maximum, 99);
    EXPECT_EQ(t.find(366)->minimum, 20);
    EXPECT_EQ(t.find(366)->maximum, 79);
    EXPECT_EQ(t.text(361), "10");
    EXPECT_EQ(t.text(363), "20");
    EXPECT_EQ(t.text(365), "29");
    EXPECT_EQ(t.text(367), "39");
    EXPECT_EQ(t.text(200), "(20  20)");
    EXPECT_FALSE(t.enabled(1));

    t.setValue(360, 25);
    EXPECT_EQ(t.find(364)->minimum, 25);
    EXPECT_EQ(t.find(364)->maximum, 99);
    EXPECT_EQ(t.text(200), "(5  20)");
    t.setValue(364, 27);
    EXPECT_EQ(t.find(360)->maximum, 27);
    t.setValue(366, 22);
    EXPECT_EQ(t.find(362)->maximum, 22);
    EXPECT_EQ(t.text(200), "(3  3)");
    t.setValue(362, 5);
    EXPECT_EQ(t.find(366)->minimum, 5);
    EXPECT_EQ(t.text(365), "27");
    EXPECT_EQ(t.text(200), "(3  18)");
    // One pixel each way is a region too.
    t.setValue(360, 27);
    t.setValue(362, 22);
    EXPECT_EQ(t.text(200), "(1  1)");

    t.setValue(340, 2);
    EXPECT_TRUE(t.enabled(1));
    EXPECT_EQ(t.press(1), 1);
}

TEST(FilterRegionDialog, ShowsTheLastColumnAndRowOfTheDrag) {
    const FilterLists lists = sampleLists();
    // A drag over columns 2 … 5 and row 7 alone.
    ControlTable t = FilterRegionDialog(lists.regionImage, {2, 7, 6, 8}, 16, 16);
    EXPECT_EQ(t.value(360), 2);
    EXPECT_EQ(t.value(364), 5);
    EXPECT_EQ(t.value(362), 7);
    EXPECT_EQ(t.value(366), 7);
    EXPECT_EQ(t.text(365), "5");
    EXPECT_EQ(t.text(367), "7");
    EXPECT_EQ(t.text(200), "(4  1)");
    // The whole picture: right and bottom at its last pixel.
    ControlTable whole = FilterRegionDialog(lists.regionImage, {0, 0, 16, 12}, 16, 12);
    EXPECT_EQ(whole.value(364), 15);
    EXPECT_EQ(whole.value(366), 11);
    EXPECT_EQ(whole.text(200), "(16  12)");
}

TEST(FilterRegionDialog, ChooseNormalisesAndStoresTheRegion) {
    const FilterLists lists = sampleLists();
    ScriptedUi ui;
    ui.answerDialog("FilterRegion", [](ControlTable& t) {
        // Columns 2 … 8, rows 1 … 3.
        EXPECT_EQ(t.value(360), 2);
        EXPECT_EQ(t.value(364), 8);
        EXPECT_EQ(t.value(362), 1);
        EXPECT_EQ(t.value(366), 3);
        EXPECT_EQ(t.text(200), "(7  3)");
        EXPECT_EQ(t.press(1), 0); // disabled until a filter is chosen
        t.setValue(340, 0);
        t.setValue(364, 7);
        return t.press(1);
    });
    Rect region{9, 4, 2, 1}; // dragged right to left and bottom to top
    const FilterEntry* chosen = ChooseRegionFilter(ui, lists, false, 16, 16, region);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->exportName, "C");
    // Columns 2 … 7 and rows 1 … 3.
    EXPECT_EQ(region, (Rect{2, 1, 8, 4}));

    ui.answerDialog("FilterRegion", 2);
    EXPECT_EQ(ChooseRegionFilter(ui, lists, false, 16, 16, region), nullptr);
    EXPECT_EQ(region, (Rect{2, 1, 8, 4}));

    // Confirmed as shown, the dragged pixels go to the filter unchanged.
    ui.answerDialog("FilterRegion", [](ControlTable& t) {
        t.setValue(340, 0);
        return t.press(1);
    });
    region = {3, 5, 4, 6};
    ASSERT_NE(ChooseRegionFilter(ui, lists, false, 16, 16, region), nullptr);
    EXPECT_EQ(region, (Rect{3, 5, 4, 6}));
}

TEST(AddinOptionPage, RegisterUnregisterAndApply) {
    celdo::test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    PluginRegistry registry;
    registry.plugins.push_back(*CheckPlugin(fixturePlugin("fixture-kind2")));
    FilterLists lists;
    ScriptedUi ui;
    std::string nextFile;
    AddinOptionPage page(registry, ui, [&] { return nextFile; });
    ControlTable& t = page.table();
    EXPECT_EQ(t.name, "AddinOption");
    EXPECT_EQ(t.title, "アドイン");
    EXPECT_EQ(t.text(2210), "追加登録");
    EXPECT_EQ(t.text(2215), "登録解除");
    EXPECT_EQ(t.find(340)->items, std::vector<std::string>{fixturePlugin("fixture-kind2")});
    EXPECT_EQ(t.text(200), "");
    t.setValue(340, 0);
    EXPECT_EQ(t.text(200), "Outside filter");

    nextFile = fixturePlugin("fixture-none");
    EXPECT_EQ(t.press(2210), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "これはアドインではありません");
    EXPECT_FALSE(page.changed());

    nextFile = fixturePlugin("fixture-kind1");
    t.press(2210);
    EXPECT_TRUE(page.changed());
    EXPECT_EQ(t.find(340)->items.size(), 2u);
    EXPECT_EQ(t.value(340), 1);
    EXPECT_EQ(t.text(200), "Fixture one");
    EXPECT_EQ(registry.plugins.size(), 1u); // only the copy changed so far

    t.setValue(340, 0);
    t.press(2215);
    EXPECT_EQ(t.find(340)->items, std::vector<std::string>{fixturePlugin("fixture-kind1")});
    EXPECT_EQ(t.text(200), "");
    t.press(2215); // nothing selected: nothing happens
    EXPECT_EQ(page.plugins().size(), 1u);

    page.apply(registry, settings, lists);
    ASSERT_EQ(registry.plugins.size(), 1u);
    EXPECT_EQ(registry.plugins[0].kind, 1);
    EXPECT_EQ(lists.wholeImage.size(), 6u);
    Settings disk(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(disk.readString("Plugin0"), fixturePlugin("fixture-kind1"));
    EXPECT_FALSE(disk.has("Plugin1"));
}
