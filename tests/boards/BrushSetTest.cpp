#include "boards/BrushSet.h"
#include "boards/BoardGeometry.h"
#include "boards/BrushEditor.h"
#include "framework/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {

// Sets bit (x, y) of a 1-bit record, bits from the most significant.
void setBit(CellImage& image, int x, int y) {
    image.row(y)[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
}

Brush shapeL() {
    Brush b;
    b.cells[2 * 16 + 3] = 1;
    b.cells[3 * 16 + 3] = 1;
    b.cells[3 * 16 + 4] = 1;
    b.cells[10 * 16 + 12] = 1;
    b.updateExtent();
    return b;
}

} // namespace

TEST(BrushSet, BlankSetHasSixtyFourEmptyBrushes) {
    BrushSet set;
    EXPECT_EQ(set.image().width(), 128);
    EXPECT_EQ(set.image().bitsPerPixel(), 1);
    EXPECT_EQ(set.columns(), 8);
    EXPECT_EQ(set.count(), 64);
    EXPECT_EQ(set.image().paletteEntry(0), rgb(255, 255, 255));
    EXPECT_EQ(set.image().paletteEntry(1), rgb(0, 0, 0));
    const Brush b = set.brush(5);
    EXPECT_EQ(b.firstColumn, 8);
    EXPECT_EQ(b.pastLastColumn, 9);
    EXPECT_EQ(b.firstRow, 8);
    EXPECT_EQ(b.pastLastRow, 9);
}

TEST(BrushSet, CellsCountAndClamp) {
    BrushSet set;
    ScriptedUi ui;
    ASSERT_TRUE(set.load(CellImage::Create(200, 70, 1), ui, "Celdos"));
    EXPECT_EQ(set.columns(), 12);
    EXPECT_EQ(set.rows(), 4);
    EXPECT_EQ(set.count(), 48);
    EXPECT_EQ(set.cellRect(13), (Rect{16, 16, 32, 32}));
    EXPECT_EQ(set.cellRect(47), (Rect{176, 48, 192, 64}));
    EXPECT_TRUE(set.cellRect(48).empty());
    EXPECT_EQ(set.clampIndex(500), 47);
    EXPECT_EQ(set.clampIndex(-3), 0);
    EXPECT_EQ(BrushSet().clampIndex(500), 63);
}

TEST(BrushSet, UnpacksBrushNFromItsCell) {
    auto image = CellImage::Create(64, 64, 1);
    // Brush 6 of a 4-column set lies at (32, 16).
    setBit(*image, 32 + 15, 16 + 15);
    setBit(*image, 32 + 0, 16 + 3);
    setBit(*image, 33, 16); // brush 6, cell (1, 0)
    setBit(*image, 31, 16); // brush 5, not 6
    BrushSet set;
    ScriptedUi ui;
    ASSERT_TRUE(set.load(std::move(image), ui, "Celdos"));
    const Brush b = set.brush(6);
    EXPECT_EQ(b.cell(15, 15), 1);
    EXPECT_EQ(b.cell(0, 3), 1);
    EXPECT_EQ(b.cell(1, 0), 1);
    int ones = 0;
    for (auto c : b.cells)
        ones += c;
    EXPECT_EQ(ones, 3);
    EXPECT_EQ(b.firstRow, 0);
    EXPECT_EQ(b.pastLastRow, 16);
    EXPECT_EQ(b.firstColumn, 0);
    EXPECT_EQ(b.pastLastColumn, 16);
    EXPECT_EQ(set.brush(5).cell(15, 0), 1);
}

TEST(BrushSet, BottomRightPixelExtent) {
    auto image = CellImage::Create(64, 64, 1);
    setBit(*image, 15, 15);
    BrushSet set;
    ScriptedUi ui;
    set.load(std::move(image), ui, "Celdos");
    const Brush b = set.brush(0);
    EXPECT_EQ(b.firstColumn, 15);
    EXPECT_EQ(b.pastLastColumn, 16);
    EXPECT_EQ(b.firstRow, 15);
    EXPECT_EQ(b.pastLastRow, 16);
}

TEST(BrushSet, StoreWritesBitsBack) {
    BrushSet set;
    set.store(9, shapeL()); // cell (16, 16)
    const std::uint8_t* row = set.image().row(16 + 2);
    EXPECT_EQ(row[2], 0x10); // column 3
    EXPECT_EQ(set.image().row(16 + 3)[2], 0x18);
    EXPECT_EQ(set.image().row(16 + 10)[3], 0x08); // column 12
    const Brush back = set.brush(9);
    EXPECT_EQ(back.cells, shapeL().cells);
    EXPECT_EQ(back.firstColumn, 3);
    EXPECT_EQ(back.pastLastColumn, 13);
    EXPECT_EQ(set.brush(8).cells, Brush{}.cells);
}

TEST(BrushSet, RefusedLoadKeepsSetAndTells) {
    BrushSet set;
    set.store(0, shapeL());
    ScriptedUi ui;
    EXPECT_FALSE(set.load(CellImage::Create(64, 64, 8), ui, "Celdos"));
    EXPECT_FALSE(set.load(CellImage::Create(63, 64, 1), ui, "Celdos"));
    EXPECT_FALSE(set.load(nullptr, ui, "Celdos"));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "筆箱を読込めませんでした");
    EXPECT_EQ(set.brush(0).cells, shapeL().cells);
    Status seen = status::Ok;
    EXPECT_EQ(set.save([&](const CellImage&) { return seen = status::WriteError; }, ui, "Celdos"),
              status::WriteError);
    EXPECT_EQ(ui.messages.back().text, "筆箱を保存できませんでした");
}

TEST(BrushEditor, OperationsByHand) {
    Brush b;
    b.cells[0 * 16 + 15] = 1; // top right
    rotateBrush(b);           // counter-clockwise: to the top left
    EXPECT_EQ(b.cell(0, 0), 1);
    EXPECT_EQ(b.cell(15, 0), 0);
    flipBrushUpsideDown(b);
    EXPECT_EQ(b.cell(0, 15), 1);
    mirrorBrush(b);
    EXPECT_EQ(b.cell(15, 15), 1);
    shiftBrush(b, 1, 0); // "→" wraps to column 0
    EXPECT_EQ(b.cell(0, 15), 1);
    shiftBrush(b, 0, 1); // "↓" wraps to row 0
    EXPECT_EQ(b.cell(0, 0), 1);
    shiftBrush(b, -1, -1);
    EXPECT_EQ(b.cell(15, 15), 1);
    EXPECT_EQ(b.firstColumn, 15);
    invertBrush(b);
    EXPECT_EQ(b.cell(15, 15), 0);
    EXPECT_EQ(b.cell(3, 4), 1);
    EXPECT_EQ(b.firstRow, 0);
    EXPECT_EQ(b.pastLastRow, 16);
}

TEST(BrushEditor, RepeatsGiveBackTheShape) {
    const Brush start = shapeL();
    Brush b = start;
    for (int i = 0; i < 4; ++i)
        rotateBrush(b);
    EXPECT_EQ(b.cells, start.cells);
    flipBrushUpsideDown(b);
    EXPECT_NE(b.cells, start.cells);
    flipBrushUpsideDown(b);
    mirrorBrush(b);
    mirrorBrush(b);
    for (int i = 0; i < 16; ++i)
        shiftBrush(b, -1, 0);
    EXPECT_EQ(b.cells, start.cells);
    EXPECT_EQ(b.firstRow, start.firstRow);
}

TEST(BrushEditor, GridAndPainting) {
    const auto grid = BrushEditorGrid::forClientWidth(100);
    EXPECT_EQ(grid.cellSize, 8);
    EXPECT_EQ(grid.expectedWidth(), 144);
    EXPECT_EQ(grid.expectedHeight(), 200);
    EXPECT_EQ(BrushEditorGrid::forClientWidth(400).cellSize, 16);
    EXPECT_EQ(BrushEditorGrid::forClientWidth(200).cellSize, 11);
    int c = 0, r = 0;
    EXPECT_FALSE(grid.cellAt(7, 20, c, r));
    EXPECT_FALSE(grid.cellAt(136, 20, c, r));
    ASSERT_TRUE(grid.cellAt(8, 135, c, r));
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 15);

    Brush b;
    b.cells[1] = 1;
    BrushCellPainter painter;
    EXPECT_TRUE(painter.press(b, grid, 16, 8)); // cell (1, 0): 1 → 0
    EXPECT_EQ(b.cell(1, 0), 0);
    b.cells[2] = 1;
    EXPECT_TRUE(painter.drag(b, grid, 24, 8)); // writes 0 over cell (2, 0)
    EXPECT_EQ(b.cell(2, 0), 0);
    EXPECT_TRUE(painter.press(b, grid, 24, 16)); // cell (2, 1): 0 → 1
    EXPECT_TRUE(painter.drag(b, grid, 32, 16));
    EXPECT_EQ(b.cell(3, 1), 1);
}

TEST(BoardGeometry, SnappingAndHits) {
    auto g = BoardGeometry::forClientHeight(4, 4, 60); // (60 - 18) / 18 = 2
    EXPECT_EQ(g.visibleRows, 2);
    EXPECT_EQ(g.expectedWidth(), 88);
    EXPECT_EQ(g.expectedHeight(), 56);
    EXPECT_EQ(g.scrollMaximum(), 2);
    EXPECT_TRUE(g.scrollEnabled());
    g = BoardGeometry::forClientHeight(4, 4, 1000);
    EXPECT_EQ(g.visibleRows, 4);
    EXPECT_FALSE(g.scrollEnabled());
    g = BoardGeometry::forClientHeight(4, 4, 10);
    EXPECT_EQ(g.visibleRows, 2);
    EXPECT_EQ(g.cellAt(2, 2, 0), 0);
    EXPECT_EQ(g.cellAt(2 + 18 * 3 + 5, 2 + 18, 1), 3 + 2 * 4);
    EXPECT_EQ(g.cellAt(2 + 18 * 4, 2, 0), -1);
    EXPECT_EQ(g.cellAt(2, 2 + 18 * 2, 2), -1);
}
