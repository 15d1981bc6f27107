#include "palette/PaintSelection.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(PaintSelection, AColourMakesThePlainKindCurrent) {
    ColourSelection s;
    s.paintKind = ColourSelection::Tile;
    EXPECT_TRUE(SelectPaint(s, 42, ColourSelection::PlainColour));
    EXPECT_EQ(s.drawColor, 42);
    EXPECT_EQ(s.paintKind, ColourSelection::PlainColour);
    // The same colour again changes nothing.
    EXPECT_FALSE(SelectPaint(s, 42, ColourSelection::PlainColour));
    // While a tone is painted, its colour is still chosen anew.
    s.paintKind = ColourSelection::Tone;
    EXPECT_TRUE(SelectPaint(s, 42, ColourSelection::PlainColour));
}

TEST(PaintSelection, AToneBuildsThePatternFromTheLeftAndRightColours) {
    ColourSelection s;
    s.leftColor = 7;
    s.rightColor = 200;
    EXPECT_TRUE(SelectPaint(s, 9, ColourSelection::Tone));
    EXPECT_EQ(s.paintKind, ColourSelection::Tone);
    EXPECT_EQ(s.toneIndex, 9);
    // Thresholds of the first row 1, 9, 3, 11: tone 9 has ones where 9 is
    // below them, at x = 3 (mod 4); the second row 13, 5, 15, 7 at x = 0, 2.
    EXPECT_EQ(s.tilePattern[0], 200);
    EXPECT_EQ(s.tilePattern[1], 200);
    EXPECT_EQ(s.tilePattern[3], 7);
    EXPECT_EQ(s.tilePattern[7], 7);
    EXPECT_EQ(s.tilePattern[16 + 0], 7);
    EXPECT_EQ(s.tilePattern[16 + 1], 200);
    EXPECT_EQ(s.tilePattern[16 + 2], 7);
    s.tilePattern[3] = 1;
    EXPECT_FALSE(SelectPaint(s, 9, ColourSelection::Tone));
    EXPECT_EQ(s.tilePattern[3], 1);
}

TEST(PaintSelection, ATileIsAlwaysTakenAndKeepsItsPattern) {
    ColourSelection s;
    s.tilePattern.fill(5);
    EXPECT_TRUE(SelectPaint(s, 0, ColourSelection::Tile));
    EXPECT_TRUE(SelectPaint(s, 0, ColourSelection::Tile));
    EXPECT_EQ(s.paintKind, ColourSelection::Tile);
    EXPECT_EQ(s.drawColor, 1);
    EXPECT_EQ(s.tilePattern[255], 5);
}
