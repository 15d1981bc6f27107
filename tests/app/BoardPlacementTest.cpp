#include "app/BoardPlacement.h"
#include "app/Settings.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace celdo;

namespace {

// A 1600 × 1170 work area (a panel takes 30 rows of 1200).
const Rect Screen{0, 0, 1600, 1170};

} // namespace

TEST(BoardPlacement, OpensAtTheOffsetFromTheMainWindowWithItsStoredSize) {
    // Main window at (300, 200): the palette board's default offset 20, 20.
    EXPECT_EQ(PlaceBoard(PaletteBoardDefaults, {300, 200}, Screen), (Rect{320, 220, 640, 540}));
    // Negative offsets put the brush board up and left of the main window.
    EXPECT_EQ(PlaceBoard(BrushBoardDefaults, {300, 200}, Screen), (Rect{280, 180, 600, 420}));
}

TEST(BoardPlacement, NeverOpensOffTheScreen) {
    // Past the right and bottom edges: moved left and up to end at them.
    EXPECT_EQ(PlaceBoard({1500, 1000, 306, 348}, {0, 0}, Screen), (Rect{1294, 822, 1600, 1170}));
    // Before the left and top edges (a main window at the corner and a
    // negative offset): moved to the edge.
    EXPECT_EQ(PlaceBoard(TileBoardDefaults, {0, 0}, Screen), (Rect{0, 0, 320, 320}));
    // On a second screen to the right, the bounds are that screen's.
    const Rect second{1600, 0, 2880, 1024};
    EXPECT_EQ(PlaceBoard({-100, 5000, 200, 200}, {1650, 0}, second), (Rect{1600, 824, 1800, 1024}));
}

TEST(BoardPlacement, AbsurdSizesAreCutToTheScreenAndTheSmallestBoard) {
    EXPECT_EQ(PlaceBoard({0, 0, 5, -40}, {10, 10}, Screen), (Rect{10, 10, 42, 42}));
    EXPECT_EQ(PlaceBoard({0, 0, 99999, 2147483647}, {10, 10}, Screen), (Rect{0, 0, 1600, 1170}));
    // Offsets near the integer limits do not wrap round.
    EXPECT_EQ(PlaceBoard({2147483647, -2147483647 - 1, 100, 100}, {100, 100}, Screen),
              (Rect{1500, 0, 1600, 100}));
}

TEST(BoardPlacement, RecordingGivesBackTheOffsetAndSize) {
    const BoardState stored = RecordBoard({320, 220, 626, 568}, {300, 200}, true);
    EXPECT_EQ(stored, (BoardState{20, 20, 306, 348, true}));
    // Opening again at the same main window puts the board where it was.
    EXPECT_EQ(PlaceBoard(stored, {300, 200}, Screen), (Rect{320, 220, 626, 568}));
}

TEST(BoardPlacement, StatesGoThroughTheSettingsUnderEachBoardsKeys) {
    test::TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    // Nothing stored: each board's defaults.
    EXPECT_EQ(ReadBoardState(settings, TileBoardKeys, TileBoardDefaults),
              (BoardState{-40, -40, 320, 320, false}));

    WriteBoardState(settings, BrushBoardKeys, {-7, 12, 160, 94, true});
    EXPECT_EQ(settings.readInt("BrushBoardXpos", 0), -7);
    EXPECT_EQ(settings.readInt("BrushBoardHeight", 0), 94);
    EXPECT_EQ(settings.readInt("BrushBoardPreOpen", 0), 1);
    EXPECT_EQ(ReadBoardState(settings, BrushBoardKeys, BrushBoardDefaults),
              (BoardState{-7, 12, 160, 94, true}));
    // Only 1 opens a board.
    settings.writeInt("PaletteBoardOpen", 2);
    EXPECT_FALSE(ReadBoardState(settings, PaletteBoardKeys, PaletteBoardDefaults).open);
}
