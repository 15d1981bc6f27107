#include "boards/PaletteBoardLayout.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {

PaletteBoardLayout atSize(int width, int height) {
    return PaletteBoardLayout{}.snapped(width, height);
}

} // namespace

TEST(PaletteBoardLayout, SnapsToWholeCellsAndRows) {
    struct Case {
        int w, h, cellWidth, cellHeight, rows, width, height;
    };
    // Cells (W − 2)/17 − 2 and (H − 6)/19 − 2, rows (H − cell height − 6)/
    // (cell height + 2), each limited; the size (cw + 2) × 17 by
    // 6 + (ch + 2) × (rows + 3).
    const Case cases[] = {
        {306, 348, 16, 16, 16, 306, 348}, // fits already
        {100, 100, 8, 8, 8, 170, 116},    // 3 and 2 raised to 8; rows 86/10
        {100, 60, 8, 8, 4, 170, 76},      // rows 46/10
        {100, 30, 8, 8, 4, 170, 76},      // rows 1 raised to 4
        {3000, 2000, 16, 16, 16, 306, 348},
        {200, 150, 9, 8, 13, 187, 166}, // 9, 5 raised to 8; rows 136/10
    };
    for (const Case& c : cases) {
        const PaletteBoardLayout l = atSize(c.w, c.h);
        EXPECT_EQ(l.cellWidth, c.cellWidth) << c.w << "x" << c.h;
        EXPECT_EQ(l.cellHeight, c.cellHeight) << c.w << "x" << c.h;
        EXPECT_EQ(l.visibleRows, c.rows) << c.w << "x" << c.h;
        EXPECT_EQ(l.width, c.width) << c.w << "x" << c.h;
        EXPECT_EQ(l.height, c.height) << c.w << "x" << c.h;
    }
    // Worked out afresh, 187 would give (185/17 − 2 = 8)-pixel cells.
    EXPECT_EQ(atSize(200, 150).snapped(187, 166).cellWidth, 9);
}

TEST(PaletteBoardLayout, ASizeSomeLayoutTakesExactlyIsKept) {
    // 170 = 10 × 17; 76 − 6 = 10 × 7: 8-pixel cells, 4 rows (the formula
    // alone would make 6 rows of them).
    PaletteBoardLayout l = atSize(170, 76);
    EXPECT_EQ(l.cellHeight, 8);
    EXPECT_EQ(l.visibleRows, 4);
    EXPECT_EQ(l.height, 76);
    // 180 = 18 × 10 = 10 × 18: the larger cells, 16 pixels and 7 rows.
    l = atSize(306, 186);
    EXPECT_EQ(l.cellHeight, 16);
    EXPECT_EQ(l.visibleRows, 7);
    // A board reopened at its stored size keeps that size: 187 × 166 comes
    // back as 9-pixel columns and 160 = 16 × 10, 14-pixel rows.
    l = atSize(187, 166);
    EXPECT_EQ(l.width, 187);
    EXPECT_EQ(l.height, 166);
    EXPECT_EQ(l.cellWidth, 9);
    EXPECT_EQ(l.cellHeight, 14);
}

TEST(PaletteBoardLayout, WorkedPlaces) {
    const PaletteBoardLayout full = atSize(306, 348);
    EXPECT_EQ(full.scrollBar(), (Rect{290, 2, 306, 290}));
    EXPECT_FALSE(full.scrollEnabled());
    EXPECT_EQ(full.cell(15, 15), (Rect{272, 272, 288, 288}));
    EXPECT_EQ(full.toneCell(5), (Rect{97, 330, 113, 346})); // strip from (306 − 272)/2
    EXPECT_EQ(full.preview(), (Rect{20, 294, 52, 326}));
    EXPECT_EQ(full.borderSwatch(), (Rect{242, 298, 266, 322}));

    const PaletteBoardLayout small = atSize(200, 150); // 9 × 8 cells, 13 rows, 187 × 166
    EXPECT_EQ(small.scrollBar(), (Rect{178, 2, 187, 132}));
    EXPECT_EQ(small.scrollMaximum(), 3);
    EXPECT_TRUE(small.scrollEnabled());
    EXPECT_EQ(small.toneCell(16), (Rect{176, 156, 187, 164})); // tone cells 11 wide
    EXPECT_EQ(small.preview(), (Rect{20, 136, 38, 152}));
    EXPECT_EQ(small.borderSwatch(), (Rect{151, 138, 164, 150}));
}

TEST(PaletteBoardLayout, GridHitsFollowTheScrolling) {
    const PaletteBoardLayout l = atSize(200, 150); // cells 9 × 8, 11 × 10 apart
    EXPECT_EQ(l.colourAt(2, 2, 0), 0);
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
    EXPECT_EQ(l.toneAt(33, 330), 1);
    EXPECT_EQ(l.toneAt(97, 345), 5);
    EXPECT_EQ(l.toneAt(272, 335), 15);
    EXPECT_EQ(l.toneAt(17, 330), -1);  // tone 0
    EXPECT_EQ(l.toneAt(273, 335), -1); // tone 16
    EXPECT_EQ(l.toneAt(97, 346), -1);
    EXPECT_EQ(l.toneAt(97, 329), -1);
    EXPECT_EQ(l.toneAt(16, 335), -1);
}
