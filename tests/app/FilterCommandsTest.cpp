#include "app/FilterCommands.h"
#include "../../cplugin/CpluginDialogs.h"
#include "app/AppState.h"
#include "canvas/MaskEdit.h"
#include "framework/ScriptedUi.h"
#include "palette/PaletteOperations.h"
#include "plugins/FilterDialogs.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginTestSupport.h"
#include "plugins/celdo_plugin.h"
#include "support/PixelRows.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>

using namespace celdo;
using celdo::test::deliveredPlugin;
using celdo::test::fixturePlugin;
using celdo::test::numberedPicture;

namespace {

std::deque<int> g_buttons;

std::int32_t pressButton(const char*, const char*, void*, char*, std::size_t) {
    if (g_buttons.empty())
        return 2;
    const int button = g_buttons.front();
    g_buttons.pop_front();
    return button;
}

using test::Rows;
using test::rows;

// An editor state with the delivered plug-in and the outside fixture
// registered, and a 4 × 3 picture whose pixel (x, y) is x + 10 y.
class FilterCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        ASSERT_TRUE(cplugin.loaded());
        auto set = cplugin.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK);
        ASSERT_NE(set, nullptr);
        set(&pressButton);
        g_buttons.clear();
        // The last library's filters come first: cplugin's Inverse, Rotation,
        // FreeRotation, then the outside filter.
        for (const std::string& path : {fixturePlugin("fixture-kind2"), deliveredPlugin()})
            filters.registry.plugins.push_back(*CheckPlugin(path));
        ASSERT_TRUE(BuildFilterLists(filters.registry.plugins, filters.lists));
        surface.picture = numberedPicture(4, 3);
        surface.mask = CellImage::Create(4, 3, 8);
        surface.mask->at(0, 0) = 1;
        surface.mask->at(3, 2) = 2;
    }
    void TearDown() override {
        if (auto set =
                cplugin.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK))
            set(nullptr);
    }
    // Answers "FilterList" by choosing item `index` (-1: nothing).
    void chooseFromList(int index) {
        ui.answerDialog("FilterList", [index](ControlTable& t) {
            if (index >= 0)
                t.setValue(filterdialog::List, index);
            return 1;
        });
    }

    test::TempDir dir;
    AppState app{FrameVariant::MultipleDocument, dir.path()};
    PluginLibrary cplugin{deliveredPlugin()};
    FilterState filters;
    PaintSurface surface;
    ScriptedUi ui;
};

} // namespace

TEST_F(FilterCommands, WholePictureInPlaceWithTheEnabledMask) {
    // Nothing selected: "実行" runs the first filter, Inverse.
    chooseFromList(-1);
    g_buttons = {261}; // "左右反転"
    const FilterCommandResult done = RunWholePictureFilter(surface, app, filters, ui);
    EXPECT_EQ(done.result, 8u);
    EXPECT_EQ(done.changed, (Rect{0, 0, 4, 3}));
    EXPECT_EQ(done.route, NewImageRoute::None);
    EXPECT_FALSE(done.paletteChanged);
    EXPECT_TRUE(surface.modified);
    EXPECT_EQ(rows(*surface.picture), (Rows{{3, 2, 1, 0}, {13, 12, 11, 10}, {23, 22, 21, 20}}));
    EXPECT_EQ(rows(*surface.mask), (Rows{{0, 0, 0, 1}, {0, 0, 0, 0}, {2, 0, 0, 0}}));
    EXPECT_FALSE(done.newImage.picture);
}

TEST_F(FilterCommands, DisabledMaskIsNotPassed) {
    surface.maskEnabled = false;
    chooseFromList(0);
    g_buttons = {262}; // "上下反転"
    EXPECT_EQ(RunWholePictureFilter(surface, app, filters, ui).result, 8u);
    EXPECT_EQ(rows(*surface.picture), (Rows{{20, 21, 22, 23}, {10, 11, 12, 13}, {0, 1, 2, 3}}));
    EXPECT_EQ(rows(*surface.mask), (Rows{{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 2}}));
}

TEST_F(FilterCommands, CancelChangesNothing) {
    ui.answerDialog("FilterList", 2);
    FilterCommandResult done = RunWholePictureFilter(surface, app, filters, ui);
    EXPECT_EQ(done.result, 0u);
    EXPECT_TRUE(done.changed.empty());
    // The plug-in's own dialog cancelled.
    chooseFromList(0);
    g_buttons = {2};
    done = RunWholePictureFilter(surface, app, filters, ui);
    EXPECT_EQ(done.result, 0u);
    EXPECT_FALSE(surface.modified);
    EXPECT_EQ(surface.picture->at(0, 0), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FilterCommands, MaskEditingRunsOnTheMaskPlaneAndListsNoOutsideFilter) {
    ui.answerDialog("FilterList", 2);
    RunWholePictureFilter(surface, app, filters, ui);
    EXPECT_EQ(ui.tables.back().find(filterdialog::List)->items.back(), "Outside filter");

    ASSERT_TRUE(EnterMaskMode(surface).width() > 0);
    // Painted in the view but not yet in the plane: the run must see it.
    surface.maskView->at(1, 0) |= 0x80;
    const int grey = surface.maskView->at(2, 1) & 0x7F;
    ui.answerDialog("FilterList", [](ControlTable& t) {
        EXPECT_EQ(t.find(filterdialog::List)->items,
                  (std::vector<std::string>{"画像の反転操作（上下、左右、半回転）",
                                            "画像の回転操作（90度回転、鏡映）",
                                            "画像の回転操作（任意角度）"}));
        return 1;
    });
    g_buttons = {261};
    const FilterCommandResult done = RunWholePictureFilter(surface, app, filters, ui);
    EXPECT_EQ(done.result, 8u);
    EXPECT_EQ(done.changed, (Rect{0, 0, 4, 3}));
    // The committed plane holds 0xFF for every protected pixel, flipped.
    EXPECT_EQ(rows(*surface.mask), (Rows{{0, 0, 255, 255}, {0, 0, 0, 0}, {255, 0, 0, 0}}));
    EXPECT_EQ(rows(*surface.picture), rows(*numberedPicture(4, 3)));
    // The view follows the plane; its grey levels stay.
    EXPECT_EQ(surface.maskView->at(0, 0) & 0x80, 0);
    EXPECT_EQ(surface.maskView->at(1, 0) & 0x80, 0);
    EXPECT_EQ(surface.maskView->at(2, 0) & 0x80, 0x80);
    EXPECT_EQ(surface.maskView->at(3, 0) & 0x80, 0x80);
    EXPECT_EQ(surface.maskView->at(2, 1), grey);
    EXPECT_TRUE(surface.modified);
}

TEST_F(FilterCommands, RegionTurnOpensANewImage) {
    ui.answerDialog("FilterRegion", [](ControlTable& t) {
        // Dragged right to left and bottom to top: normalised to columns
        // 1 … 2 and rows 0 … 1.
        EXPECT_EQ(t.value(filterdialog::Left), 1);
        EXPECT_EQ(t.value(filterdialog::Top), 0);
        EXPECT_EQ(t.value(filterdialog::Right), 2);
        EXPECT_EQ(t.value(filterdialog::Bottom), 1);
        EXPECT_EQ(t.text(filterdialog::SizeLabel), "(2  2)");
        t.setValue(filterdialog::List, 1); // Rotation
        return 1;
    });
    g_buttons = {260}; // "右90度"
    const FilterCommandResult done = RunRegionFilter(surface, app, filters, ui, Rect{3, 2, 1, 0});
    EXPECT_EQ(done.result, 13u);
    EXPECT_EQ(done.route, NewImageRoute::OpenFromClipboard);
    EXPECT_TRUE(done.changed.empty());
    EXPECT_EQ(filters.region, (Rect{1, 0, 3, 2}));
    ASSERT_TRUE(done.newImage.picture && done.newImage.mask);
    EXPECT_FALSE(done.newImage.document);
    // Region columns 1, 2 and rows 0, 1 turned clockwise.
    EXPECT_EQ(rows(*done.newImage.picture), (Rows{{11, 1}, {12, 2}}));
    EXPECT_FALSE(surface.modified);
    EXPECT_EQ(rows(*surface.picture), rows(*numberedPicture(4, 3)));
}

TEST_F(FilterCommands, SingleDocumentBuildStartsAClipboardInstance) {
    AppState single(FrameVariant::SingleDocument, dir.path());
    chooseFromList(2); // FreeRotation, the angle left at "30.0"
    g_buttons = {1};
    const FilterCommandResult done = RunWholePictureFilter(surface, single, filters, ui);
    EXPECT_EQ(done.result, 12u);
    EXPECT_EQ(done.route, NewImageRoute::StartClipboardInstance);
    // 4 × 3 turned by 30 degrees: trunc(4c + 3s + 0.5) = trunc(4s + 3c + 0.5) = 5.
    ASSERT_TRUE(done.newImage.picture && done.newImage.mask);
    EXPECT_EQ(done.newImage.picture->width(), 5);
    EXPECT_EQ(done.newImage.picture->height(), 5);
    EXPECT_EQ(done.newImage.mask->width(), 5);
    EXPECT_FALSE(surface.modified);
}

TEST_F(FilterCommands, RegionInPlaceRepaintsTheRegion) {
    ui.answerDialog("FilterRegion", [](ControlTable& t) {
        t.setValue(filterdialog::List, 0); // Inverse
        return 1;
    });
    g_buttons = {261};
    const FilterCommandResult done = RunRegionFilter(surface, app, filters, ui, Rect{1, 1, 4, 3});
    EXPECT_EQ(done.result, 9u);
    EXPECT_EQ(done.changed, (Rect{1, 1, 4, 3}));
    EXPECT_EQ(rows(*surface.picture), (Rows{{0, 1, 2, 3}, {10, 13, 12, 11}, {20, 23, 22, 21}}));
    EXPECT_EQ(rows(*surface.mask), (Rows{{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 2, 0, 0}}));
}

TEST_F(FilterCommands, ColourTableChangeBecomesTheCurrentGroup) {
    filters.registry.plugins = {*CheckPlugin(fixturePlugin("fixture-kind1"))};
    ASSERT_TRUE(BuildFilterLists(filters.registry.plugins, filters.lists));
    app.palette.setCurrentGroup(3);
    const FilterEntry* recolour = nullptr;
    for (const auto& entry : filters.lists.wholeImage)
        if (entry.exportName == "Recolour")
            recolour = &entry;
    ASSERT_NE(recolour, nullptr);
    const ColourValue before = app.palette.group(0)[0];

    // In mask editing the mask plane's table is no palette of the program.
    ASSERT_FALSE(EnterMaskMode(surface).empty());
    FilterCommandResult done = RunChosenFilter(surface, app, filters, *recolour, nullptr);
    EXPECT_EQ(done.result, 10u);
    EXPECT_FALSE(done.paletteChanged);
    EXPECT_EQ(app.palette.group(3)[0], before);
    LeaveMaskMode(surface);

    done = RunChosenFilter(surface, app, filters, *recolour, nullptr);
    EXPECT_EQ(done.result, 10u);
    EXPECT_TRUE(done.paletteChanged);
    EXPECT_EQ(surface.picture->paletteEntry(0), rgb(3, 2, 1));
    EXPECT_EQ(app.palette.group(3)[0], rgb(3, 2, 1));
    EXPECT_EQ(app.palette.group(3)[7], surface.picture->paletteEntry(7));
    EXPECT_EQ(app.palette.group(0)[0], before);
}

TEST(AddinFileDialog, OwnDialogOrTheSystemOne) {
    ScriptedUi ui;
    ui.answerDialog("AddinLoad", [](ControlTable& t) {
        EXPECT_EQ(t.title, "アドインの読込");
        EXPECT_EQ(t.find(FileDialog::TypeList)->items.at(0).rfind("DLL", 0), 0u);
        return 2;
    });
    EXPECT_EQ(ChooseAddinFile(ui, false), "");
    EXPECT_EQ(ui.dialogs, std::vector<std::string>{"AddinLoad"});
}

TEST(AddinOptionPage, UnregisteringEveryLibraryDeletesPlugin0) {
    test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    PluginRegistry registry;
    for (const char* name : {"fixture-kind1", "fixture-kind2"})
        registry.plugins.push_back(*CheckPlugin(fixturePlugin(name)));
    registry.write(settings);
    FilterLists lists;
    ScriptedUi ui;

    AddinOptionPage shrink(registry, ui, nullptr);
    shrink.table().setValue(filterdialog::List, 0);
    shrink.table().press(filterdialog::Unregister);
    shrink.apply(registry, settings, lists);
    {
        Settings disk(dir.file("CELDO.INI"), "CELDOM");
        EXPECT_EQ(disk.readString("Plugin0"), fixturePlugin("fixture-kind2"));
        EXPECT_FALSE(disk.has("Plugin1"));
    }
    EXPECT_EQ(lists.wholeMask.size(), 0u);

    AddinOptionPage empty(registry, ui, nullptr);
    empty.table().setValue(filterdialog::List, 0);
    empty.table().press(filterdialog::Unregister);
    EXPECT_TRUE(empty.changed());
    empty.apply(registry, settings, lists);
    EXPECT_TRUE(registry.plugins.empty());
    EXPECT_TRUE(lists.wholeImage.empty());
    Settings disk(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_FALSE(disk.has("Plugin0"));
    // At the next start the default library is registered again.
    EXPECT_EQ(PluginRegistry::ReadPaths(disk, dir.path()),
              std::vector<std::string>{PluginRegistry::DefaultPlugin(dir.path()).string()});
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FilterState, RegisterPluginsKeepsOnlyPlugins) {
    test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOS");
    settings.writeString("Plugin0", fixturePlugin("fixture-kind1"));
    settings.writeString("Plugin1", fixturePlugin("fixture-none"));
    settings.writeString("Plugin2", fixturePlugin("fixture-kind2"));
    ScriptedUi ui;
    FilterState state;
    state.registerPlugins(settings, dir.path(), ui);
    ASSERT_EQ(state.registry.plugins.size(), 2u);
    EXPECT_EQ(state.registry.plugins[1].description, "Outside filter");
    // The outside filter first (last library), then the fixture's seven in
    // reverse; of these only Scribble and NewPicture take regions in mask
    // editing.
    ASSERT_FALSE(state.lists.wholeImage.empty());
    EXPECT_EQ(state.lists.wholeImage.front().description, "Outside filter");
    EXPECT_EQ(state.lists.regionMask.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FilterCommands, AFilterRunIsOneStepWithItsColourTable) {
    app.history.AcceptPalette();
    const UndoHistory::Lane lane = app.history.Open(surface);
    const Rows picture = rows(*surface.picture);
    const Rows mask = rows(*surface.mask);

    // A flip moves the mask with the pixels: both come back.
    chooseFromList(0);
    g_buttons = {261};
    ASSERT_EQ(RunWholePictureFilter(surface, app, filters, ui).result, 8u);
    ASSERT_EQ(app.history.Commit(lane), status::Ok);
    ASSERT_EQ(app.history.Undo(lane).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(rows(*surface.picture), picture);
    EXPECT_EQ(rows(*surface.mask), mask);
    EXPECT_FALSE(surface.modified);
    ASSERT_EQ(app.history.Redo(lane).outcome, UndoHistory::Outcome::Done);
    EXPECT_EQ(rows(*surface.picture), (Rows{{3, 2, 1, 0}, {13, 12, 11, 10}, {23, 22, 21, 20}}));
    EXPECT_TRUE(surface.modified);

    // A plug-in that rewrote the colour table: the group and the picture's
    // colours come back with the undo, from the picture's lane or the
    // palette's.
    filters.registry.plugins = {*CheckPlugin(fixturePlugin("fixture-kind1"))};
    ASSERT_TRUE(BuildFilterLists(filters.registry.plugins, filters.lists));
    const FilterEntry* recolour = nullptr;
    for (const auto& entry : filters.lists.wholeImage)
        if (entry.exportName == "Recolour")
            recolour = &entry;
    ASSERT_NE(recolour, nullptr);
    ApplyCurrentPalette(*surface.picture, app.palette);
    const ColourValue before = app.palette.current()[0];
    ASSERT_TRUE(RunChosenFilter(surface, app, filters, *recolour, nullptr).paletteChanged);
    ASSERT_EQ(app.history.Commit(lane), status::Ok);
    EXPECT_EQ(app.palette.current()[0], rgb(3, 2, 1));
    EXPECT_TRUE(app.history.canUndo(UndoHistory::PaletteLane));
    const UndoHistory::Result undone = app.history.Undo(UndoHistory::PaletteLane);
    ASSERT_EQ(undone.outcome, UndoHistory::Outcome::Done);
    EXPECT_TRUE(undone.paletteChanged);
    EXPECT_EQ(app.palette.current()[0], before);
    EXPECT_EQ(surface.picture->paletteEntry(0), before);
    app.history.Close(lane);
}
