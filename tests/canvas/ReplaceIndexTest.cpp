#include "canvas/ReplaceIndex.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

// 6 × 4 picture, rows from the top:
//   1 2 1 0 0 0
//   0 0 0 0 2 0
//   0 1 0 0 0 0
//   0 0 0 0 0 0
CellImagePtr makePicture() {
    auto p = CellImage::Create(6, 4, 8);
    p->at(0, 0) = 1;
    p->at(1, 0) = 2;
    p->at(2, 0) = 1;
    p->at(4, 1) = 2;
    p->at(1, 2) = 1;
    return p;
}

TEST(ReplaceIndex, ReplacesEveryPixelAndReportsTheirRectangle) {
    auto p = makePicture();
    const Rect r = ReplaceIndex(*p, nullptr, 1, 7, false);
    EXPECT_EQ(r, (Rect{0, 0, 3, 3}));
    EXPECT_EQ(p->at(0, 0), 7);
    EXPECT_EQ(p->at(2, 0), 7);
    EXPECT_EQ(p->at(1, 2), 7);
    EXPECT_EQ(p->at(1, 0), 2);
}

TEST(ReplaceIndex, SwapExchangesBothValues) {
    auto p = makePicture();
    const Rect r = ReplaceIndex(*p, nullptr, 1, 2, true);
    EXPECT_EQ(r, (Rect{0, 0, 5, 3}));
    EXPECT_EQ(p->at(0, 0), 2);
    EXPECT_EQ(p->at(1, 0), 1);
    EXPECT_EQ(p->at(4, 1), 1);
    EXPECT_EQ(p->at(1, 2), 2);
}

TEST(ReplaceIndex, NothingToReplaceGivesAnEmptyRectangle) {
    auto p = makePicture();
    EXPECT_TRUE(ReplaceIndex(*p, nullptr, 9, 3, true).empty());
    EXPECT_TRUE(ReplaceIndex(*p, nullptr, 1, 1, false).empty());
    auto deep = CellImage::Create(4, 4, 24);
    EXPECT_TRUE(ReplaceIndex(*deep, nullptr, 0, 1, false).empty());
}

TEST(ReplaceIndex, MaskedPixelsStay) {
    auto p = makePicture();
    auto mask = CellImage::Create(6, 4, 8);
    mask->at(0, 0) = 0xFF;
    mask->at(1, 2) = 1;
    const Rect r = ReplaceIndex(*p, mask.get(), 1, 7, false);
    EXPECT_EQ(r, (Rect{2, 0, 3, 1}));
    EXPECT_EQ(p->at(0, 0), 1);
    EXPECT_EQ(p->at(1, 2), 1);
    EXPECT_EQ(p->at(2, 0), 7);
}

TEST(ReplaceIndex, ASmallerMaskProtectsOnlyWhatItCovers) {
    auto p = makePicture();
    auto mask = CellImage::Create(2, 1, 8);
    mask->at(0, 0) = 0xFF;
    ReplaceIndex(*p, mask.get(), 1, 7, false);
    EXPECT_EQ(p->at(0, 0), 1);
    EXPECT_EQ(p->at(2, 0), 7);
    EXPECT_EQ(p->at(1, 2), 7);
}

TEST(ReplaceIndex, SurfaceMaskCountsEvenWhenDisabled) {
    PaintSurface s;
    s.picture = makePicture();
    s.mask = CellImage::Create(6, 4, 8);
    s.mask->at(2, 0) = 0xFF;
    s.maskEnabled = false;
    ReplaceIndex(s, 1, 7, false);
    EXPECT_EQ(s.picture->at(2, 0), 1);
    EXPECT_EQ(s.picture->at(0, 0), 7);
    EXPECT_TRUE(s.modified);
}

TEST(ReplaceIndex, MaskEditModeCommitsTheViewFirst) {
    PaintSurface s;
    s.picture = makePicture();
    s.mask = CellImage::Create(6, 4, 8);
    s.mask->at(0, 0) = 0xFF; // cleared in the view
    s.maskView = CellImage::Create(6, 4, 8);
    s.maskView->at(2, 0) = 0x80 | 0x11; // protected in the view
    s.maskView->at(0, 0) = 0x11;
    s.maskMode = true;
    ReplaceIndex(s, 1, 7, false);
    EXPECT_EQ(s.picture->at(0, 0), 7);
    EXPECT_EQ(s.picture->at(2, 0), 1);
    EXPECT_EQ(s.mask->at(2, 0), 0xFF);
    EXPECT_EQ(s.mask->at(0, 0), 0);
}

TEST(ReplaceIndex, UnchangedSurfaceIsNotMarked) {
    PaintSurface s;
    s.picture = makePicture();
    EXPECT_TRUE(ReplaceIndex(s, 200, 7, false).empty());
    EXPECT_FALSE(s.modified);
}

} // namespace
} // namespace celdo
