#include "app/ChildFrameFit.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {

// Borders 5 + 5 wide, a title bar of 20 plus borders of 5 + 5, scroll bars of
// 16, and `available` from the frame's corner.
ChildFrameFitInput input(int wantedWidth, int wantedHeight, int availableWidth,
                         int availableHeight) {
    ChildFrameFitInput in;
    in.wanted = {wantedWidth, wantedHeight};
    in.decoration = {10, 30};
    in.verticalBarWidth = 16;
    in.horizontalBarHeight = 16;
    in.available = {availableWidth, availableHeight};
    in.minimumWidth = 160;
    return in;
}

void expectSize(const WindowSize& size, int width, int height) {
    EXPECT_EQ(size.width, width);
    EXPECT_EQ(size.height, height);
}

} // namespace

TEST(ChildFrameFit, WhatFitsTakesTheWantedSizeAndTheDecoration) {
    // 170 + 10, 96 + 30.
    expectSize(ChildFrameFit(input(170, 96, 800, 600)), 180, 126);
    // Exactly the room: 790 + 10, 570 + 30.
    expectSize(ChildFrameFit(input(790, 570, 800, 600)), 800, 600);
}

TEST(ChildFrameFit, TooWideGrowsByTheHorizontalBarAndIsCut) {
    // Room 490 × 370: the width is cut to 490, the height 100 + 16.
    expectSize(ChildFrameFit(input(900, 100, 500, 400)), 500, 146);
}

TEST(ChildFrameFit, TooHighGrowsByTheVerticalBarAndIsCut) {
    // Room 490 × 370: the width 200 + 16, the height cut to 370.
    expectSize(ChildFrameFit(input(200, 700, 500, 400)), 226, 400);
}

TEST(ChildFrameFit, TheGrownDimensionIsCutAsWell) {
    // 360 fits 370, but 360 + 16 = 376 does not: cut to 370.
    expectSize(ChildFrameFit(input(900, 360, 500, 400)), 500, 400);
    // 480 fits 490; 480 + 16 = 496 is cut to 490.
    expectSize(ChildFrameFit(input(480, 900, 500, 400)), 500, 400);
}

TEST(ChildFrameFit, NeitherFitsAndBothAreCut) {
    expectSize(ChildFrameFit(input(900, 900, 500, 400)), 500, 400);
}

TEST(ChildFrameFit, TheCaptionKeepsAMinimumWidthWithinTheRoom) {
    // 40 + 10 is widened to 160; 40 + 30 high.
    expectSize(ChildFrameFit(input(40, 40, 800, 600)), 160, 70);
    // Only 120 available: the minimum gives way.
    expectSize(ChildFrameFit(input(40, 40, 120, 600)), 120, 70);
}

TEST(ChildFrameFit, AFramePastTheEdgeKeepsItsDecoration) {
    expectSize(ChildFrameFit(input(100, 100, 4, -20)), 10, 30);
}
