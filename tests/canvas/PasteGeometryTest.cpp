#include "canvas/PasteGeometry.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {
const PasteZoom oneToOne{0, 1};
const PasteZoom times3{1, 3};
const PasteZoom half{2, 2};
} // namespace

TEST(PasteGeometry, ZonesOfWideAndNarrowWindows) {
    // 40 × 40: border 8.
    EXPECT_EQ(pasteZone(0, 0, 40, 40), 0);
    EXPECT_EQ(pasteZone(7, 20, 40, 40), 3);
    EXPECT_EQ(pasteZone(8, 8, 40, 40), 4);
    EXPECT_EQ(pasteZone(31, 31, 40, 40), 4);
    EXPECT_EQ(pasteZone(32, 20, 40, 40), 5);
    EXPECT_EQ(pasteZone(39, 0, 40, 40), 2);
    EXPECT_EQ(pasteZone(20, 39, 40, 40), 7);
    EXPECT_EQ(pasteZone(0, 39, 40, 40), 6);
    EXPECT_EQ(pasteZone(39, 39, 40, 40), 8);
    // 12 × 20: border 4 across, 6 down.
    EXPECT_EQ(pasteZone(3, 10, 12, 20), 3);
    EXPECT_EQ(pasteZone(4, 6, 12, 20), 4);
    EXPECT_EQ(pasteZone(8, 13, 12, 20), 5);
    EXPECT_EQ(pasteZone(7, 14, 12, 20), 7);
}

TEST(PasteGeometry, InitialFrameAtZoom) {
    EXPECT_EQ(initialPasteFrame(10, 20, 30, 40, oneToOne), (Rect{14, 24, 44, 64}));
    // At 3× the 4-pixel offset goes on to the next boundary, 6.
    EXPECT_EQ(initialPasteFrame(0, 0, 30, 40, times3), (Rect{6, 6, 96, 126}));
    EXPECT_EQ(initialPasteFrame(24, 8, 2, 3, PasteZoom{1, 8}), (Rect{32, 16, 48, 40}));
    EXPECT_EQ(initialPasteFrame(0, 0, 31, 40, half), (Rect{4, 4, 19, 24}));
}

TEST(PasteGeometry, MoveKeepsSixteenPixelsOverThePicture) {
    const Rect frame{10, 10, 60, 60};
    // 100 × 80 picture at 1:1: left at most 84, at least -34.
    auto drag = dragPasteFrame(frame, 4, 500, -500, oneToOne, 100, 80);
    EXPECT_EQ(drag.frame, (Rect{84, -34, 134, 16}));
    EXPECT_EQ(drag.usedDx, 74);
    EXPECT_EQ(drag.usedDy, -44);
    drag = dragPasteFrame(frame, 4, 5, 6, oneToOne, 100, 80);
    EXPECT_EQ(drag.frame, (Rect{15, 16, 65, 66}));
    EXPECT_TRUE(drag.changed);
    // A window smaller than 16 pixels stays wholly over the picture.
    drag = dragPasteFrame({0, 0, 4, 4}, 4, -10, 200, oneToOne, 100, 80);
    EXPECT_EQ(drag.frame, (Rect{0, 76, 4, 80}));
}

TEST(PasteGeometry, MagnifiedMovesSnapWithoutPassingThePointer) {
    const Rect frame{4, 4, 94, 94}; // not yet on the 3-pixel grid
    auto drag = dragPasteFrame(frame, 4, 1, 1, times3, 100, 100);
    EXPECT_FALSE(drag.changed);
    EXPECT_EQ(drag.usedDx, 0);
    drag = dragPasteFrame(frame, 4, 2, -2, times3, 100, 100);
    EXPECT_EQ(drag.frame.left, 6);
    EXPECT_EQ(drag.frame.top, 3);
    EXPECT_EQ(drag.usedDx, 2);
    EXPECT_EQ(drag.usedDy, -1);
    // The limit is on the grid too: the picture is 300 window pixels wide.
    drag = dragPasteFrame({0, 0, 90, 90}, 4, 1000, 0, times3, 100, 100);
    EXPECT_EQ(drag.frame.left, 282);
}

TEST(PasteGeometry, EdgeDragsAndMinimumSize) {
    const Rect frame{10, 10, 60, 60};
    auto drag = dragPasteFrame(frame, 8, 10, 20, oneToOne, 100, 100);
    EXPECT_EQ(drag.frame, (Rect{10, 10, 70, 80}));
    drag = dragPasteFrame(frame, 0, -5, 3, oneToOne, 100, 100);
    EXPECT_EQ(drag.frame, (Rect{5, 13, 60, 60}));
    drag = dragPasteFrame(frame, 1, 50, 7, oneToOne, 100, 100); // top edge only
    EXPECT_EQ(drag.frame, (Rect{10, 17, 60, 60}));
    EXPECT_EQ(drag.usedDx, 0);
    drag = dragPasteFrame(frame, 5, -35, 0, oneToOne, 100, 100); // width 15: refused
    EXPECT_EQ(drag.frame, frame);
    EXPECT_FALSE(drag.changed);
    drag = dragPasteFrame(frame, 5, -34, 0, oneToOne, 100, 100); // width 16
    EXPECT_EQ(drag.frame.right, 26);
    drag = dragPasteFrame({0, 0, 30, 30}, 2, 4, -4, times3, 100, 100);
    EXPECT_EQ(drag.frame, (Rect{0, -3, 33, 30}));
}

TEST(PasteGeometry, StretchPlacementAndRescale) {
    EXPECT_FALSE(isStretchedSize(90, 60, 30, 20, times3));
    EXPECT_TRUE(isStretchedSize(93, 60, 30, 20, times3));
    EXPECT_FALSE(isStretchedSize(15, 10, 30, 20, half));

    auto p = placementOf({6, 9, 66, 69}, times3, true, 10, 10);
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.y, 3);
    EXPECT_EQ(p.width, 20);
    EXPECT_EQ(p.height, 20);
    p = placementOf({-6, 4, 10, 20}, half, false, 7, 9);
    EXPECT_EQ(p.x, -12);
    EXPECT_EQ(p.y, 8);
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.height, 9);
    EXPECT_EQ(placementOf({-4, -1, 0, 0}, times3, false, 1, 1).x, -2);

    EXPECT_EQ(rescalePasteFrame({6, 9, 66, 69}, times3, oneToOne, true, 10, 10),
              (Rect{2, 3, 22, 23}));
    EXPECT_EQ(rescalePasteFrame({6, 9, 36, 39}, times3, oneToOne, false, 10, 10),
              (Rect{2, 3, 12, 13}));
    EXPECT_EQ(rescalePasteFrame({2, 3, 12, 13}, oneToOne, half, false, 10, 10), (Rect{1, 1, 6, 6}));
}

TEST(PasteGeometry, ArrowStepAndStatusText) {
    EXPECT_EQ(pasteArrowStep(times3), 3);
    EXPECT_EQ(pasteArrowStep(half), 1);
    EXPECT_EQ(pasteStatusText({6, 9, 66, 39}, times3, 10, 8),
              "(2,3)-(22,13)  (20,10) (2.000,1.250)");
}
