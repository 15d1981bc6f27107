#include "boards/PaletteBoardLayout.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {

PaletteBoardLayout atSize(int width, int height) {
    return PaletteBoardLayout{}.snapped(width, height);
}

// 200 × 150 from the first layout: cells (198/17 − 2 = 9) × (144/19 − 2 = 5,
// raised to 8), rows (150 − 8 − 6)/10 = 13, so 11 × 17 by 6 + 10 × 16.
PaletteBoardLayout small() {
    return atSize(200, 150);
}

} // namespace

TEST(PaletteBoardLayout, FullSizeStays) {
    const PaletteBoardLayout l = atSize(306, 348);
    EXPECT_EQ(l.cellWidth, 16);
    EXPECT_EQ(l.cellHeight, 16);
    EXPECT_EQ(l.visibleRows, 16);
    EXPECT_EQ(l.width, 306);
    EXPECT_EQ(l.height, 348);
}

TEST(PaletteBoardLayout, SmallSizesTakeTheSmallestCells) {
    // Cells 98/17 − 2 = 3 and 94/19 − 2 = 2, both raised to 8; rows 86/10.
    const PaletteBoardLayout square = atSize(100, 100);
    EXPECT_EQ(square.cellWidth, 8);
    EXPECT_EQ(square.cellHeight, 8);
    EXPECT_EQ(square.visibleRows, 8);
    EXPECT_EQ(square.width, 170);
    EXPECT_EQ(square.height, 116);

    // Rows (60 − 14)/10 = 4.
    const PaletteBoardLayout low = atSize(100, 60);
    EXPECT_EQ(low.visibleRows, 4);
    EXPECT_EQ(low.width, 170);
    EXPECT_EQ(low.height, 76);

    // Rows (30 − 14)/10 = 1, raised to 4.
    EXPECT_EQ(atSize(100, 30).visibleRows, 4);
}

TEST(PaletteBoardLayout, HugeSizesClampToSixteen) {
    const PaletteBoardLayout l = atSize(3000, 2000);
    EXPECT_EQ(l.cellWidth, 16);
    EXPECT_EQ(l.cellHeight, 16);
    EXPECT_EQ(l.visibleRows, 16);
    EXPECT_EQ(l.width, 306);
    EXPECT_EQ(l.height, 348);
}

TEST(PaletteBoardLayout, InBetweenSizeAndAFittingSizeKeepsItsCells) {
    const PaletteBoardLayout l = small();
    EXPECT_EQ(l.cellWidth, 9);
    EXPECT_EQ(l.cellHeight, 8);
    EXPECT_EQ(l.visibleRows, 13);
    EXPECT_EQ(l.width, 187);
    EXPECT_EQ(l.height, 166);
    // Worked out afresh, 187 would give (185/17 − 2 = 8)-pixel cells.
    const PaletteBoardLayout again = l.snapped(187, 166);
    EXPECT_EQ(again.cellWidth, 9);
    EXPECT_EQ(again.visibleRows, 13);
}

TEST(PaletteBoardLayout, ScrollBarBesideTheGrid) {
    const PaletteBoardLayout l = small();
    EXPECT_EQ(l.scrollBar(), (Rect{178, 2, 187, 132}));
    EXPECT_EQ(l.scrollMaximum(), 3);
    EXPECT_TRUE(l.scrollEnabled());
    const PaletteBoardLayout full = atSize(306, 348);
    EXPECT_EQ(full.scrollBar(), (Rect{290, 2, 306, 290}));
    EXPECT_EQ(full.scrollMaximum(), 0);
    EXPECT_FALSE(full.scrollEnabled());
}

TEST(PaletteBoardLayout, GridHitsFollowTheScrolling) {
    const PaletteBoardLayout l = small(); // cells 9 × 8, 11 × 10 apart
    EXPECT_EQ(l.colourAt(2, 2, 0), 0);
    EXPECT_EQ(l.colourAt(2, 2, 2), 32);
    EXPECT_EQ(l.colourAt(10, 9, 2), 32);
    EXPECT_EQ(l.colourAt(35, 12, 2), 51);
    EXPECT_EQ(l.colourAt(175, 122, 3), 255);
    EXPECT_EQ(l.colourAt(11, 2, 0), -1);  // gap right of cell 0
    EXPECT_EQ(l.colourAt(2, 10, 0), -1);  // gap below it
    EXPECT_EQ(l.colourAt(1, 5, 0), -1);   // left margin
    EXPECT_EQ(l.colourAt(178, 5, 0), -1); // the scroll bar
    EXPECT_EQ(l.colourAt(5, 132, 0), -1); // below the thirteenth row
}

TEST(PaletteBoardLayout, ToneHitsRefuseTheEnds) {
    const PaletteBoardLayout l = atSize(306, 348); // strip at x 17, y 330, cells 16
    EXPECT_EQ(l.toneAt(17, 330), -1);              // tone 0
    EXPECT_EQ(l.toneAt(33, 330), 1);
    EXPECT_EQ(l.toneAt(97, 345), 5);
    EXPECT_EQ(l.toneAt(272, 335), 15);
    EXPECT_EQ(l.toneAt(273, 335), -1); // tone 16
    EXPECT_EQ(l.toneAt(97, 346), -1);
    EXPECT_EQ(l.toneAt(97, 329), -1);
    EXPECT_EQ(l.toneAt(16, 335), -1);
}

TEST(PaletteBoardLayout, WorkedPlacesAtFullSize) {
    const PaletteBoardLayout l = atSize(306, 348);
    EXPECT_EQ(l.toneCellWidth(), 16);
    EXPECT_EQ(l.toneLeft(), 17);
    EXPECT_EQ(l.toneTop(), 330);
    EXPECT_EQ(l.toneCell(5), (Rect{97, 330, 113, 346}));
    EXPECT_EQ(l.preview(), (Rect{20, 294, 52, 326}));
    EXPECT_EQ(l.borderSwatch(), (Rect{242, 298, 266, 322}));
    EXPECT_EQ(l.cell(15, 15), (Rect{272, 272, 288, 288}));
}

TEST(PaletteBoardLayout, WorkedPlacesAtSmallSize) {
    const PaletteBoardLayout l = small();
    EXPECT_EQ(l.toneCellWidth(), 11);
    EXPECT_EQ(l.toneLeft(), 0);
    EXPECT_EQ(l.toneTop(), 156);
    EXPECT_EQ(l.toneCell(16), (Rect{176, 156, 187, 164}));
    EXPECT_EQ(l.preview(), (Rect{20, 136, 38, 152}));
    EXPECT_EQ(l.borderSwatch(), (Rect{151, 138, 164, 150}));
}
