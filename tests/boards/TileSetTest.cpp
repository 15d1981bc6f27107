#include "boards/TileSet.h"
#include "framework/ScriptedUi.h"

#include <gtest/gtest.h>

#include <array>

using namespace celdo;

namespace {

// A 64 × 64 set whose tile n is filled with index n + 1.
CellImagePtr numberedTiles() {
    auto image = CellImage::Create(64, 64, 8);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x / 16 + 4 * (y / 16) + 1);
    return image;
}

} // namespace

TEST(TileSet, BlankAndLoadedSets) {
    TileSet tiles;
    EXPECT_EQ(tiles.count(), 64);
    EXPECT_EQ(tiles.image().bitsPerPixel(), 8);
    EXPECT_EQ(tiles.image().at(100, 100), 0);
    ScriptedUi ui;
    std::array<ColourValue, 256> palette{};
    palette[3] = rgb(9, 8, 7);
    ASSERT_TRUE(tiles.load(numberedTiles(), palette.data(), ui, "Celdos"));
    EXPECT_EQ(tiles.count(), 16);
    EXPECT_EQ(tiles.rows(), 4);
    EXPECT_EQ(tiles.image().paletteEntry(3), rgb(9, 8, 7));
    palette[3] = rgb(1, 1, 1);
    tiles.applyPalette(palette.data());
    EXPECT_EQ(tiles.image().paletteEntry(3), rgb(1, 1, 1));
    EXPECT_EQ(tiles.image().at(0, 0), 1);
}

TEST(TileSet, RefusedLoadKeepsSet) {
    TileSet tiles;
    ScriptedUi ui;
    std::array<ColourValue, 256> palette{};
    EXPECT_FALSE(tiles.load(CellImage::Create(64, 64, 1), palette.data(), ui, "Celdos"));
    EXPECT_FALSE(tiles.load(CellImage::Create(64, 48, 8), palette.data(), ui, "Celdos"));
    EXPECT_EQ(tiles.count(), 64);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "タイルを読込めませんでした");
    tiles.save([](const CellImage&) { return status::CannotWrite; }, ui, "Celdos");
    EXPECT_EQ(ui.messages.back().text, "タイルを保存できませんでした");
}

TEST(TileSet, SelectingCopiesTileIntoPattern) {
    TileSet tiles;
    ScriptedUi ui;
    std::array<ColourValue, 256> palette{};
    auto image = numberedTiles();
    image->at(16 + 3, 16 + 2) = 77; // tile 5, position (3, 2)
    tiles.load(std::move(image), palette.data(), ui, "Celdos");
    ColourSelection selection;
    ASSERT_TRUE(tiles.select(5, selection));
    EXPECT_EQ(tiles.current(), 5);
    EXPECT_EQ(selection.paintKind, ColourSelection::Tile);
    EXPECT_EQ(selection.tilePattern[0], 6);
    EXPECT_EQ(selection.tilePattern[2 * 16 + 3], 77);
    EXPECT_EQ(selection.tilePattern[255], 6);
    ASSERT_TRUE(tiles.select(0, selection));
    for (auto v : selection.tilePattern)
        EXPECT_EQ(v, 1);
    EXPECT_FALSE(tiles.select(16, selection));
    EXPECT_EQ(tiles.current(), 0);
}

TEST(TileSet, CaptureNearTheCornerKeepsTheRest) {
    TileSet tiles;
    ScriptedUi ui;
    std::array<ColourValue, 256> palette{};
    tiles.load(numberedTiles(), palette.data(), ui, "Celdos");
    ColourSelection selection;
    tiles.select(1, selection); // pattern and tile 1 hold 2 everywhere; cell at (16, 0)
    selection.paintKind = ColourSelection::PlainColour;
    auto picture = CellImage::Create(20, 20, 8);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>(100 + x + y);
    EXPECT_EQ(tiles.capture(*picture, 3, 3, selection), (Rect{16 + 5, 5, 32, 16}));
    EXPECT_EQ(selection.paintKind, ColourSelection::PlainColour);
    for (int ty = 0; ty < 16; ++ty)
        for (int tx = 0; tx < 16; ++tx) {
            const int expected = (tx >= 5 && ty >= 5) ? 100 + (tx - 5) + (ty - 5) : 2;
            EXPECT_EQ(selection.tilePattern[ty * 16 + tx], expected) << tx << "," << ty;
            EXPECT_EQ(tiles.image().at(16 + tx, ty), expected) << tx << "," << ty;
        }
    EXPECT_EQ(tiles.image().at(0, 0), 1); // another tile untouched
}

TEST(TileSet, CaptureAtTheFarCorner) {
    TileSet tiles;
    ColourSelection selection;
    auto picture = CellImage::Create(10, 10, 8);
    picture->at(9, 9) = 42;
    // Image 1 … 9 both ways lands on tile 0 … 8.
    EXPECT_EQ(tiles.capture(*picture, 9, 9, selection), (Rect{0, 0, 9, 9}));
    EXPECT_EQ(selection.tilePattern[8 * 16 + 8], 42);
    EXPECT_TRUE(tiles.capture(*picture, 30, 30, selection).empty());
}
