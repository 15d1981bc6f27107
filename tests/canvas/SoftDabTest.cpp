#include "canvas/SoftDab.h"
#include "canvas/MaskEdit.h"

#include <gtest/gtest.h>

#include <array>

using namespace celdo;

namespace {

// A brush covering the 4 × 4 cells 6 … 9 both ways (image x − 2 … x + 1).
Brush squareBrush() {
    Brush b;
    for (int y = 6; y < 10; ++y)
        for (int x = 6; x < 10; ++x)
            b.cells[y * 16 + x] = 1;
    b.updateExtent();
    return b;
}

PaintSurface filled(int w, int h, std::uint8_t index) {
    PaintSurface s;
    s.picture = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.picture->at(x, y) = index;
    return s;
}

std::array<ColourValue, 256> greyRamp() {
    std::array<ColourValue, 256> group{};
    for (unsigned i = 0; i < 256; ++i)
        group[i] = rgb(i, i, i);
    return group;
}

} // namespace

TEST(SoftDabMatch, NearestFromConvertDesLowestWins) {
    std::array<ColourValue, 256> group{};
    group.fill(rgb(255, 255, 255));
    group[0] = rgb(10, 10, 10);
    group[3] = rgb(12, 12, 12);
    group[7] = rgb(12, 12, 12);
    SoftDabSettings settings;
    EXPECT_EQ(matchSoftDabColour(rgb(10, 10, 10), group.data(), settings).first, 3);
    settings.convertDes = 0;
    EXPECT_EQ(matchSoftDabColour(rgb(10, 10, 10), group.data(), settings).first, 0);
    settings.convertDes = 5;
    EXPECT_EQ(matchSoftDabColour(rgb(10, 10, 10), group.data(), settings).first, 7);
}

TEST(SoftDabMatch, MidwayColourBecomesACheckerboardMix) {
    // Only 1 and 2 are within reach of grey 120 (the rest is far red).  Each
    // alone is 20 away per channel: 60 + 2 × 20 (luminance) = 100; their mean
    // is exact, 0 plus an eighth of the pair's distances (200 / 8 = 25).
    std::array<ColourValue, 256> group{};
    group.fill(rgb(255, 0, 0));
    group[1] = rgb(100, 100, 100);
    group[2] = rgb(140, 140, 140);
    SoftDabSettings settings;
    EXPECT_EQ(matchSoftDabColour(rgb(120, 120, 120), group.data(), settings),
              SoftDabMatch::mix(1, 1, 2));
    settings.useTile = false;
    EXPECT_EQ(matchSoftDabColour(rgb(120, 120, 120), group.data(), settings),
              SoftDabMatch::single(1));
    // A quarter of the way: (3 × 100 + 140) / 4 = 110 is exact.
    settings.useTile = true;
    EXPECT_EQ(matchSoftDabColour(rgb(110, 110, 110), group.data(), settings),
              SoftDabMatch::mix(2, 1, 2));
    settings.useTile2 = false;
    EXPECT_NE(matchSoftDabColour(rgb(110, 110, 110), group.data(), settings).kind, 2);
}

TEST(SoftDabMatch, KindsDrawTheirPatterns) {
    EXPECT_EQ(softDabIndexAt({0, 4, 4}, 3, 5), 4);
    EXPECT_EQ(softDabIndexAt({1, 4, 9}, 1, 0), 4); // x + y odd
    EXPECT_EQ(softDabIndexAt({1, 4, 9}, 1, 1), 9);
    EXPECT_EQ(softDabIndexAt({2, 4, 9}, 1, 3), 9); // both odd
    EXPECT_EQ(softDabIndexAt({2, 4, 9}, 1, 2), 4);
    EXPECT_EQ(softDabIndexAt({2, 4, 9}, 0, 0), 4);
}

TEST(SoftDab, UniformAreaStaysUnlessLowerDuplicate) {
    auto group = greyRamp();
    PaintSurface s = filled(8, 8, 50);
    EXPECT_EQ(SoftDab(s, 4, 4, squareBrush(), group.data()), (Rect{2, 2, 6, 6}));
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(s.picture->at(2, 2), 50);
    group[20] = group[50];
    SoftDab(s, 4, 4, squareBrush(), group.data());
    EXPECT_EQ(s.picture->at(2, 2), 20);
    EXPECT_EQ(s.picture->at(5, 5), 20);
    EXPECT_EQ(s.picture->at(6, 6), 50); // outside the brush
}

TEST(SoftDab, NeverPaintsIndexZeroWithConvertDesOne) {
    auto group = greyRamp();
    group[1] = rgb(200, 0, 0);
    PaintSurface s = filled(6, 6, 0); // black, the colour of index 0 only
    SoftDab(s, 2, 2, squareBrush(), group.data());
    // The nearest colour to black among 1 … 255 is grey 1 (index 1 is red).
    EXPECT_EQ(s.picture->at(0, 0), 2);
    EXPECT_EQ(s.picture->at(3, 3), 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_NE(s.picture->at(x, y), 0);
}

TEST(SoftDab, AveragesOnlyUnprotectedPixels) {
    auto group = greyRamp();
    PaintSurface s = filled(8, 8, 100);
    s.mask = CellImage::Create(8, 8, 8);
    // Protect the left half of the dab and paint it black there.
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 4; ++x) {
            s.mask->at(x, y) = 0xFF;
            s.picture->at(x, y) = 0;
        }
    SoftDab(s, 4, 4, squareBrush(), group.data());
    // Over the 8 unprotected pixels of grey 100 the average is 100; counting
    // the protected ones would give 50.
    EXPECT_EQ(s.picture->at(4, 2), 100);
    EXPECT_EQ(s.picture->at(5, 5), 100);
    EXPECT_EQ(s.picture->at(2, 2), 0);
    EXPECT_EQ(s.picture->at(3, 5), 0);
}

TEST(SoftDab, AverageOfTwoGreys) {
    auto group = greyRamp();
    PaintSurface s = filled(8, 8, 10);
    for (int y = 2; y < 6; ++y)
        for (int x = 4; x < 6; ++x)
            s.picture->at(x, y) = 30;
    SoftDab(s, 4, 4, squareBrush(), group.data());
    EXPECT_EQ(s.picture->at(2, 2), 20);
    EXPECT_EQ(s.picture->at(5, 5), 20);
}

TEST(SoftDab, MixedAverageIsDrawnAsAPattern) {
    // Left half grey 100 (index 1), right half grey 140 (index 2): the
    // average 120 lies between the only two reachable entries, so the dab
    // lays a checkerboard of them (index 1 where x + y is odd) rather than
    // one nearest colour.
    std::array<ColourValue, 256> group{};
    group.fill(rgb(255, 0, 0));
    group[1] = rgb(100, 100, 100);
    group[2] = rgb(140, 140, 140);
    PaintSurface s = filled(8, 8, 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            s.picture->at(x, y) = 2;
    SoftDab(s, 4, 4, squareBrush(), group.data());
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(s.picture->at(x, y), (x + y) % 2 ? 1 : 2) << x << "," << y;
    EXPECT_EQ(s.picture->at(1, 1), 1);
    EXPECT_EQ(s.picture->at(6, 6), 2);
}

TEST(SoftDab, DisabledMaskProtectsNothing) {
    auto group = greyRamp();
    PaintSurface s = filled(8, 8, 40);
    s.mask = CellImage::Create(8, 8, 8);
    s.mask->at(2, 2) = 1;
    s.picture->at(2, 2) = 200;
    s.maskEnabled = false;
    SoftDab(s, 4, 4, squareBrush(), group.data());
    EXPECT_EQ(s.picture->at(2, 2), (15 * 40 + 200) / 16);
}

TEST(SoftDab, FullyProtectedOrOutsideChangesNothing) {
    auto group = greyRamp();
    PaintSurface s = filled(8, 8, 40);
    s.mask = CellImage::Create(8, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            s.mask->at(x, y) = 0xFF;
    EXPECT_TRUE(SoftDab(s, 4, 4, squareBrush(), group.data()).empty());
    s.mask.reset();
    EXPECT_TRUE(SoftDab(s, 10, 4, squareBrush(), group.data()).empty());
    EXPECT_TRUE(SoftDab(s, -2, -2, squareBrush(), group.data()).empty());
    EXPECT_FALSE(s.modified);
}

TEST(SoftDab, ClippedAtTheCorner) {
    auto group = greyRamp();
    PaintSurface s = filled(4, 4, 60);
    s.picture->at(0, 0) = 0;
    // The brush at (0, 0) covers image 0 … 1 both ways: average (0 + 3 × 60) / 4.
    EXPECT_EQ(SoftDab(s, 0, 0, squareBrush(), group.data()), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(s.picture->at(0, 0), 45);
    EXPECT_EQ(s.picture->at(1, 1), 45);
    EXPECT_EQ(s.picture->at(2, 2), 60);
}

namespace {

PaintSurface maskModeSurface(int w, int h) {
    PaintSurface s = filled(w, h, 0);
    EnterMaskMode(s);
    return s;
}

bool prot(const PaintSurface& s, int x, int y) {
    return (s.maskView->at(x, y) & 0x80) != 0;
}

} // namespace

TEST(SoftDabMask, HalfProtectedGivesCheckerboard) {
    PaintSurface s = maskModeSurface(8, 8);
    const auto group = greyRamp();
    // Protect the left half of the dab area: 8 of 16, density 127.
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 4; ++x)
            s.maskView->at(x, y) |= 0x80;
    EXPECT_EQ(SoftDab(s, 4, 4, squareBrush(), group.data()), (Rect{2, 2, 6, 6}));
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(prot(s, x, y), (x + y) % 2 == 0) << x << "," << y;
    EXPECT_FALSE(prot(s, 6, 6));
    EXPECT_TRUE(s.modified);
}

TEST(SoftDabMask, FullyProtectedStaysAndLevelsFollowDensity) {
    PaintSurface s = maskModeSurface(8, 8);
    const auto group = greyRamp();
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            s.maskView->at(x, y) |= 0x80;
    SoftDab(s, 4, 4, squareBrush(), group.data());
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_TRUE(prot(s, x, y));

    // 4 of 16 protected: density 63, only pixels with both coordinates odd.
    PaintSurface q = maskModeSurface(8, 8);
    for (int x = 2; x < 6; ++x)
        q.maskView->at(x, 2) |= 0x80;
    SoftDab(q, 4, 4, squareBrush(), group.data());
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(prot(q, x, y), x % 2 == 1 && y % 2 == 1) << x << "," << y;

    // 12 of 16: density 191, all but the both-odd pixels.
    PaintSurface r = maskModeSurface(8, 8);
    for (int y = 2; y < 5; ++y)
        for (int x = 2; x < 6; ++x)
            r.maskView->at(x, y) |= 0x80;
    SoftDab(r, 4, 4, squareBrush(), group.data());
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(prot(r, x, y), !(x % 2 == 1 && y % 2 == 1)) << x << "," << y;
}

TEST(SoftDabMask, GreyBitsAndPictureUntouched) {
    PaintSurface s = filled(8, 8, 0);
    ColourValue palette[256] = {rgb(255, 255, 255)};
    s.picture->SetPalette(palette, 256);
    EnterMaskMode(s);
    const auto group = greyRamp();
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            s.maskView->at(x, y) |= 0x80;
    SoftDab(s, 4, 4, squareBrush(), group.data());
    EXPECT_EQ(s.maskView->at(3, 3), 0x80 | 127);
    EXPECT_EQ(s.picture->at(3, 3), 0);
}
