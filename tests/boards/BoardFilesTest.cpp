#include "boards/BoardFiles.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

using namespace celdo;
using namespace celdo::test;

namespace {

std::uint32_t dwordAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

Brush hook() {
    Brush b;
    b.cells[2 * 16 + 3] = 1;
    b.cells[3 * 16 + 3] = 1;
    b.cells[15 * 16 + 15] = 1;
    b.updateExtent();
    return b;
}

std::array<ColourValue, 256> rampOf(unsigned step) {
    std::array<ColourValue, 256> p{};
    for (unsigned i = 0; i < 256; ++i)
        p[i] = rgb(i, (i * step) & 0xFF, 255 - i);
    return p;
}

} // namespace

TEST(BoardFiles, BrushSetRoundTripAsOneBitBitmap) {
    TempDir dir;
    const std::string path = dir.file(BrushSetFileName);
    BrushSet set;
    set.store(9, hook());
    ScriptedUi ui;
    ASSERT_EQ(SaveBrushSetFile(set, path, ui, "Celdos"), status::Ok);
    EXPECT_TRUE(ui.messages.empty());

    // 128 × 128 at 1 bit: rows of 16 bytes, two colour table entries.
    const auto bytes = readFileBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 8u + 16u * 128u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(dwordAt(bytes, 10), 62u);
    EXPECT_EQ(bytes[28], 1);
    EXPECT_EQ(dwordAt(bytes, 54), 0x00FFFFFFu); // entry 0 white
    EXPECT_EQ(dwordAt(bytes, 58), 0u);          // entry 1 black
    // Brush 9 is cell (1, 1); its cell (3, 2) is picture pixel (19, 18), in
    // file row 127 − 18, byte 2, bit 0x10.
    EXPECT_EQ(bytes[62 + (127 - 18) * 16 + 2], 0x10);
    EXPECT_EQ(bytes[62 + (127 - 31) * 16 + 3], 0x01); // cell (15, 15)

    BrushSet loaded;
    ASSERT_TRUE(LoadBrushSetFile(loaded, path, ui, "Celdos"));
    EXPECT_EQ(loaded.count(), 64);
    EXPECT_EQ(loaded.brush(9).cells, hook().cells);
    EXPECT_EQ(loaded.brush(9).pastLastRow, 16);
    EXPECT_EQ(loaded.brush(8).cells, Brush().cells);
}

TEST(BoardFiles, BrushSetOfOtherSizeAndRefusals) {
    TempDir dir;
    ScriptedUi ui;
    // A 200 × 70 one-bit bitmap written by the BMP writer gives 48 brushes.
    CellImagePtr wide = CellImage::Create(200, 70, 1);
    ASSERT_EQ(BoardBitmapWriter(dir.file("wide.bmp"))(*wide), status::Ok);
    BrushSet set;
    ASSERT_TRUE(LoadBrushSetFile(set, dir.file("wide.bmp"), ui, "Celdos"));
    EXPECT_EQ(set.count(), 48);

    // An 8-bit bitmap and a missing file are refused; the set stays.
    CellImagePtr deep = CellImage::Create(64, 64, 8);
    ASSERT_EQ(BoardBitmapWriter(dir.file("deep.bmp"))(*deep), status::Ok);
    EXPECT_FALSE(LoadBrushSetFile(set, dir.file("deep.bmp"), ui, "Celdos"));
    EXPECT_FALSE(LoadBrushSetFile(set, dir.file("none.bmp"), ui, "Celdos"));
    EXPECT_EQ(set.count(), 48);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, BrushSetReadFailedText);
    EXPECT_EQ(ui.messages[1].text, BrushSetReadFailedText);

    // Writing into a missing folder fails with the message.
    EXPECT_NE(SaveBrushSetFile(set, dir.file("no/CBRUSH.BMP"), ui, "Celdos"), status::Ok);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, BrushSetWriteFailedText);
}

TEST(BoardFiles, TileSetRoundTripKeepsIndicesAndTakesThePalette) {
    TempDir dir;
    const std::string path = dir.file(TileSetFileName);
    const auto first = rampOf(3);
    const auto second = rampOf(5);
    ScriptedUi ui;

    // Tile 1 of a blank set, made from a picture captured at (8, 8).
    TileSet set;
    set.applyPalette(first.data());
    CellImagePtr picture = CellImage::Create(16, 16, 8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>(16 * y + x);
    ColourSelection selection;
    ASSERT_TRUE(set.select(1, selection));
    set.capture(*picture, 8, 8, selection);
    ASSERT_EQ(SaveTileSetFile(set, path, ui, "Celdos"), status::Ok);

    const auto bytes = readFileBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 1024u + 128u * 128u);
    EXPECT_EQ(bytes[28], 8);
    // Colour table entry 7 of the first palette: blue, green, red, 0.
    EXPECT_EQ(bytes[54 + 4 * 7], 255 - 7);
    EXPECT_EQ(bytes[54 + 4 * 7 + 1], 21);
    EXPECT_EQ(bytes[54 + 4 * 7 + 2], 7);
    // Tile 1 starts at picture (16, 0), the top row: the last file row.
    EXPECT_EQ(bytes[1078 + 127 * 128 + 16 + 5], 5);
    EXPECT_EQ(bytes[1078 + (127 - 15) * 128 + 16 + 15], 255);

    TileSet loaded;
    ASSERT_TRUE(LoadTileSetFile(loaded, path, second.data(), ui, "Celdos"));
    EXPECT_EQ(loaded.count(), 64);
    EXPECT_EQ(loaded.image().at(16 + 5, 0), 5);
    EXPECT_EQ(loaded.image().at(16 + 15, 15), 255);
    EXPECT_EQ(loaded.image().at(0, 0), 0);
    EXPECT_EQ(loaded.image().paletteEntry(7), second[7]);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(BoardFiles, TileSetRefusesOneBitAndSmallFiles) {
    TempDir dir;
    ScriptedUi ui;
    CellImagePtr mono = CellImage::Create(128, 128, 1);
    ASSERT_EQ(BoardBitmapWriter(dir.file("mono.bmp"))(*mono), status::Ok);
    CellImagePtr small = CellImage::Create(64, 48, 8);
    ASSERT_EQ(BoardBitmapWriter(dir.file("small.bmp"))(*small), status::Ok);
    const auto palette = rampOf(1);
    TileSet set;
    EXPECT_FALSE(LoadTileSetFile(set, dir.file("mono.bmp"), palette.data(), ui, "Celdos"));
    EXPECT_FALSE(LoadTileSetFile(set, dir.file("small.bmp"), palette.data(), ui, "Celdos"));
    writeFileBytes(dir.file("cut.bmp"), {'B', 'M', 1, 2, 3});
    EXPECT_FALSE(LoadTileSetFile(set, dir.file("cut.bmp"), palette.data(), ui, "Celdos"));
    EXPECT_EQ(set.count(), 64);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, TileSetReadFailedText);
}
