#include "app/WindowLayout.h"

#include <gtest/gtest.h>

#include <vector>

using namespace celdo;

TEST(WindowLayout, TileSideBySideCutsTheWidth) {
    // 300 × 200: columns at 300·i/n.
    EXPECT_EQ(TileSideBySide(1, 300, 200), (std::vector<Rect>{{0, 0, 300, 200}}));
    EXPECT_EQ(TileSideBySide(2, 300, 200),
              (std::vector<Rect>{{0, 0, 150, 200}, {150, 0, 300, 200}}));
    EXPECT_EQ(TileSideBySide(3, 300, 200),
              (std::vector<Rect>{{0, 0, 100, 200}, {100, 0, 200, 200}, {200, 0, 300, 200}}));
    EXPECT_EQ(TileSideBySide(4, 300, 200),
              (std::vector<Rect>{
                  {0, 0, 75, 200}, {75, 0, 150, 200}, {150, 0, 225, 200}, {225, 0, 300, 200}}));
    EXPECT_EQ(TileSideBySide(5, 300, 200), (std::vector<Rect>{{0, 0, 60, 200},
                                                              {60, 0, 120, 200},
                                                              {120, 0, 180, 200},
                                                              {180, 0, 240, 200},
                                                              {240, 0, 300, 200}}));
    EXPECT_TRUE(TileSideBySide(0, 300, 200).empty());
}

TEST(WindowLayout, TileStackedCutsTheHeight) {
    // 300 × 200: rows at 200·i/n, rounded down.
    EXPECT_EQ(TileStacked(1, 300, 200), (std::vector<Rect>{{0, 0, 300, 200}}));
    EXPECT_EQ(TileStacked(2, 300, 200), (std::vector<Rect>{{0, 0, 300, 100}, {0, 100, 300, 200}}));
    EXPECT_EQ(TileStacked(3, 300, 200),
              (std::vector<Rect>{{0, 0, 300, 66}, {0, 66, 300, 133}, {0, 133, 300, 200}}));
    EXPECT_EQ(TileStacked(4, 300, 200),
              (std::vector<Rect>{
                  {0, 0, 300, 50}, {0, 50, 300, 100}, {0, 100, 300, 150}, {0, 150, 300, 200}}));
    EXPECT_EQ(TileStacked(5, 300, 200), (std::vector<Rect>{{0, 0, 300, 40},
                                                           {0, 40, 300, 80},
                                                           {0, 80, 300, 120},
                                                           {0, 120, 300, 160},
                                                           {0, 160, 300, 200}}));
}

TEST(WindowLayout, CascadeStepsRightAndDownKeepingEachSize) {
    // 400 × 300, step 20: (300 − 50) / 20 = 12 rows, so one column.
    const std::vector<WindowSize> sizes = {{100, 80}, {120, 60}, {90, 90}};
    EXPECT_EQ(Cascade(sizes, 400, 300, 20),
              (std::vector<Rect>{{0, 0, 100, 80}, {10, 20, 130, 80}, {20, 40, 110, 130}}));
    EXPECT_EQ(Cascade({{50, 40}}, 400, 300, 20), (std::vector<Rect>{{0, 0, 50, 40}}));
    EXPECT_TRUE(Cascade({}, 400, 300, 20).empty());
}

TEST(WindowLayout, CascadeStartsColumnsWhenTheRowsRunOut) {
    // 400 × 110, step 20: (110 − 50) / 20 = 3 rows; five children need two
    // columns of (400 − 100) / 2 = 150, filled row by row.
    const std::vector<WindowSize> sizes(5, WindowSize{100, 50});
    EXPECT_EQ(Cascade(sizes, 400, 110, 20), (std::vector<Rect>{{0, 0, 100, 50},
                                                               {150, 0, 250, 50},
                                                               {10, 20, 110, 70},
                                                               {160, 20, 260, 70},
                                                               {20, 40, 120, 90}}));
    // Too low for a row: still one row, all side by side in columns.
    EXPECT_EQ(Cascade({{10, 10}, {10, 10}}, 300, 40, 20),
              (std::vector<Rect>{{0, 0, 10, 10}, {100, 0, 110, 10}}));
}

TEST(WindowLayout, IconsLineUpAlongTheBottom) {
    // 400 × 300, icons 160 × 30: the third does not fit beside the second.
    const std::vector<WindowSize> sizes(3, WindowSize{160, 30});
    EXPECT_EQ(ArrangeIcons(sizes, 400, 300), (std::vector<Point>{{0, 270}, {160, 270}, {0, 270}}));
    // A wide first icon still starts at the left.
    EXPECT_EQ(ArrangeIcons({{500, 20}, {100, 25}}, 400, 300),
              (std::vector<Point>{{0, 280}, {0, 275}}));
}
