#include "app/AppState.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace celdo;

namespace {

namespace fs = std::filesystem;

struct BoardStartUp : ::testing::Test {
    test::TempDir dir;
    ScriptedUi ui;

    void SetUp() override {
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        // No data files of the user's own may stand in for the missing ones.
        ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        fs::create_directories(dir.file("program"));
    }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    fs::path program() const { return dir.file("program"); }
    void deliver(const char* name) {
        fs::copy_file(fs::path(CELDO_SOURCE_DIR) / "data" / "files" / name, program() / name);
    }
};

} // namespace

TEST_F(BoardStartUp, DeliveredSetsAreLoadedAndTheBrushIndexKeptInside) {
    deliver("CBRUSH.BMP");
    deliver("CTILE.BMP");
    deliver("DEFAULT.KCF");
    AppState app(FrameVariant::MultipleDocument, program());
    app.settings().writeInt("IndexBrush", 1000);
    app.readSettings();
    app.prepareBoards(ui, "Celdo");

    EXPECT_TRUE(ui.messages.empty());
    // 128 × 128 pixels: eight rows of eight 16 × 16 cells.
    EXPECT_EQ(app.brushes.count(), 64);
    EXPECT_EQ(app.indexBrush, 63);
    // The first delivered brush is the single pixel under the pointer.
    const Brush first = app.brushes.brush(0);
    int pixels = 0;
    for (std::uint8_t c : first.cells)
        pixels += c;
    EXPECT_EQ(pixels, 1);
    EXPECT_EQ(first.cell(8, 8), 1);

    // The first tile is a checkerboard of indices 0 and 1, in the palette's
    // current colours.
    ASSERT_EQ(app.tiles.count(), 64);
    const CellImage& tiles = app.tiles.image();
    EXPECT_EQ(tiles.at(0, 0), 0);
    EXPECT_EQ(tiles.at(1, 0), 1);
    EXPECT_EQ(tiles.at(1, 1), 0);
    EXPECT_TRUE(std::equal(app.palette.current(), app.palette.current() + 256, tiles.palette()));
    EXPECT_NE(app.palette.current()[1], 0u);
}

TEST_F(BoardStartUp, MissingSetsAreBlankAfterOneMessageEach) {
    AppState app(FrameVariant::MultipleDocument, program());
    app.settings().writeInt("IndexBrush", -5);
    app.readSettings();
    app.prepareBoards(ui, "Celdo");

    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "筆箱を読込めませんでした");
    EXPECT_EQ(ui.messages[1].text, "タイルを読込めませんでした");
    EXPECT_EQ(ui.messages[0].caption, "Celdo");
    EXPECT_EQ(app.brushes.image().width(), 128);
    EXPECT_EQ(app.tiles.image().height(), 128);
    EXPECT_EQ(app.indexBrush, 0);
    // An empty brush: nothing to paint, the extent of the centre.
    for (std::uint8_t c : app.brush.cells)
        ASSERT_EQ(c, 0);
    EXPECT_EQ(app.brush.firstRow, 8);
    EXPECT_EQ(app.brush.pastLastColumn, 9);
}
