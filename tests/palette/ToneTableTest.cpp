#include "palette/ToneTable.h"
#include "palette/ColourSelection.h"

#include <gtest/gtest.h>

#include <vector>

namespace celdo {
namespace {

int onesInCell(int k, int cellX, int cellY) {
    int ones = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ones += ToneTable::isSet(k, cellX * 4 + x, cellY * 4 + y) ? 1 : 0;
    return ones;
}

TEST(ToneTable, PatternZeroIsAllOnesAndSixteenAllZeros) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_TRUE(ToneTable::isSet(0, x, y));
            EXPECT_FALSE(ToneTable::isSet(16, x, y));
        }
}

TEST(ToneTable, PatternKHasSixteenMinusKOnesInEveryCell) {
    for (int k = 0; k <= 16; ++k)
        for (int cy = 0; cy < 4; ++cy)
            for (int cx = 0; cx < 4; ++cx)
                EXPECT_EQ(onesInCell(k, cx, cy), 16 - k) << "pattern " << k;
}

TEST(ToneTable, PatternEightFollowsTheThresholds) {
    // Thresholds of the first two rows: 1 9 3 11 / 13 5 15 7.
    const bool row0[4] = {false, true, false, true};
    const bool row1[4] = {true, false, true, false};
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(ToneTable::isSet(8, x, 0), row0[x % 4]) << x;
        EXPECT_EQ(ToneTable::isSet(8, x, 5), row1[x % 4]) << x;
    }
    // Pattern 1 clears only the threshold-1 pixel of each cell.
    EXPECT_FALSE(ToneTable::isSet(1, 4, 8));
    EXPECT_TRUE(ToneTable::isSet(1, 5, 8));
}

TEST(ToneTable, StripHoldsPatternKAtSixteenK) {
    auto strip = ToneTable::CreateStrip(0x0000FF, 0x00FF00);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->width(), 272);
    EXPECT_EQ(strip->height(), 16);
    EXPECT_EQ(strip->bitsPerPixel(), 1);
    EXPECT_EQ(strip->paletteEntry(0), 0x00FF00u); // zeros: right colour
    EXPECT_EQ(strip->paletteEntry(1), 0x0000FFu); // ones: left colour
    std::vector<std::uint8_t> bits(strip->stride() * 8);
    for (int y = 0; y < 16; ++y) {
        strip->UnpackRow1(bits.data(), strip->row(y));
        for (int x = 0; x < 272; ++x)
            ASSERT_EQ(bits[x] != 0, ToneTable::isSet(x / 16, x % 16, y)) << x << "," << y;
    }
    strip->UnpackRow1(bits.data(), strip->row(0));
    EXPECT_EQ(bits[0], 1);      // pattern 0
    EXPECT_EQ(bits[16 * 8], 0); // pattern 8 at (0, 0): threshold 1
    EXPECT_EQ(bits[16 * 8 + 1], 1);
    EXPECT_EQ(bits[16 * 16 + 5], 0); // pattern 16
}

TEST(ToneTable, TilePatternTakesLeftForOnesAndRightForZeros) {
    ColourSelection s;
    s.leftColor = 4;
    s.rightColor = 7;
    s.toneIndex = 8;
    BuildTilePattern(s);
    EXPECT_EQ(s.tilePattern[0], 7);            // (0, 0): threshold 1
    EXPECT_EQ(s.tilePattern[1], 4);            // (1, 0): threshold 9
    EXPECT_EQ(s.tilePattern[16], 4);           // (0, 1): threshold 13
    EXPECT_EQ(s.tilePattern[16 + 1], 7);       // (1, 1): threshold 5
    EXPECT_EQ(s.tilePattern[15 * 16 + 15], 7); // (15, 15): threshold 6
}

} // namespace
} // namespace celdo
