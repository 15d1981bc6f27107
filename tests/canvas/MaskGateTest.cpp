#include "canvas/MaskGate.h"

#include <gtest/gtest.h>

#include <vector>

using namespace celdo;

namespace {

// A 4 × 3 surface whose mask protects (1, 0) with 0x80 and (2, 2) with 1.
PaintSurface maskedSurface() {
    PaintSurface s;
    s.picture = CellImage::Create(4, 3, 8);
    s.mask = CellImage::Create(4, 3, 8);
    s.mask->at(1, 0) = 0x80;
    s.mask->at(2, 2) = 1;
    return s;
}

std::vector<bool> protectedPixels(MaskGate& gate, int width, int height) {
    std::vector<bool> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.push_back(gate.isProtected(x, y));
    return out;
}

const std::vector<bool> TwoProtected{false, true,  false, false, false, false,
                                     false, false, false, false, true,  false};
const std::vector<bool> NoneProtected(12, false);

} // namespace

TEST(MaskGate, PoliciesAgainstTheSwitch) {
    PaintSurface s = maskedSurface();
    MaskGate enabled(s, MaskPolicy::HonourWhenEnabled);
    EXPECT_TRUE(enabled.guards());
    EXPECT_EQ(protectedPixels(enabled, 4, 3), TwoProtected);
    MaskGate ignore(s, MaskPolicy::Ignore);
    EXPECT_FALSE(ignore.guards());
    EXPECT_EQ(ignore.protection(0), nullptr);

    s.maskEnabled = false;
    MaskGate disabled(s, MaskPolicy::HonourWhenEnabled);
    EXPECT_FALSE(disabled.guards());
    EXPECT_EQ(protectedPixels(disabled, 4, 3), NoneProtected);
    MaskGate always(s, MaskPolicy::HonourEvenWhenDisabled);
    EXPECT_EQ(protectedPixels(always, 4, 3), TwoProtected);
}

TEST(MaskGate, NoMaskProtectsNothing) {
    PaintSurface s = maskedSurface();
    s.mask.reset();
    MaskGate gate(s, MaskPolicy::HonourEvenWhenDisabled);
    EXPECT_FALSE(gate.guards());
    EXPECT_EQ(gate.protection(1), nullptr);
}

TEST(MaskGate, AMaskOfAnotherSizeProtectsOnlyWhatItCovers) {
    PaintSurface s = maskedSurface();
    // 2 × 4: covers columns 0 … 1 of every row, and a row below the picture.
    s.mask = CellImage::Create(2, 4, 8);
    s.mask->at(1, 0) = 0xFF;
    s.mask->at(0, 2) = 0xFF;
    MaskGate narrow(s, MaskPolicy::HonourWhenEnabled);
    EXPECT_EQ(protectedPixels(narrow, 4, 3),
              (std::vector<bool>{false, true, false, false, false, false, false, false, true, false,
                                 false, false}));

    // 6 × 2: wider than the picture, and row 2 is not covered.
    s.mask = CellImage::Create(6, 2, 8);
    s.mask->at(3, 1) = 7;
    s.mask->at(5, 1) = 7;
    MaskGate wide(s, MaskPolicy::HonourWhenEnabled);
    EXPECT_EQ(protectedPixels(wide, 4, 3),
              (std::vector<bool>{false, false, false, false, false, false, false, true, false,
                                 false, false, false}));
}

TEST(MaskGate, AMaskThatIsNotEightBitProtectsEverything) {
    PaintSurface s = maskedSurface();
    s.mask = CellImage::Create(4, 3, 4);
    MaskGate gate(s, MaskPolicy::HonourWhenEnabled);
    EXPECT_EQ(protectedPixels(gate, 4, 3), std::vector<bool>(12, true));
}

TEST(MaskGate, ApplyKeepsProtectedPixels) {
    PaintSurface s = maskedSurface();
    MaskGate gate(s, MaskPolicy::HonourWhenEnabled);
    std::uint8_t row[4] = {1, 2, 3, 4};
    const std::uint8_t fresh[3] = {9, 9, 9};
    // Columns 1 … 3 of row 0: column 1 is protected.
    gate.Apply(0, 1, 3, fresh, row + 1);
    EXPECT_EQ((std::vector<int>(row, row + 4)), (std::vector<int>{1, 2, 9, 9}));

    // Three-byte pixels move whole.
    std::uint8_t wide[6] = {1, 1, 1, 2, 2, 2};
    const std::uint8_t freshWide[6] = {7, 7, 7, 8, 8, 8};
    gate.Apply(2, 1, 2, freshWide, wide, 3); // columns 1 and 2; 2 is protected
    EXPECT_EQ((std::vector<int>(wide, wide + 6)), (std::vector<int>{7, 7, 7, 2, 2, 2}));

    MaskGate open;
    std::uint8_t plain[2] = {0, 0};
    open.Apply(0, 0, 2, fresh, plain);
    EXPECT_EQ(plain[0], 9);
    EXPECT_EQ(plain[1], 9);
}
