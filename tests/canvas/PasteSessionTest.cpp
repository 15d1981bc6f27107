#include "canvas/PasteSession.h"
#include "canvas/MaskEdit.h"
#include "palette/ColourConversionSettings.h"
#include "support/PositionCodedPicture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace celdo;

namespace {

// A target picture in the position-coded palette, every pixel index 1.
PaintSurface sessionTarget(int w, int h) {
    PaintSurface s;
    s.picture = test::positionCodedPicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.picture->at(x, y) = 1;
    return s;
}

std::vector<ColourValue> codedPalette() {
    auto p = test::positionCodedPicture(1, 1);
    return std::vector<ColourValue>(p->palette(), p->palette() + 256);
}

} // namespace

TEST(PasteSession, ZoneCursorsAreTheStandardSizingShapes) {
    EXPECT_EQ(pasteZoneCursor(0), PasteCursor::DiagonalDown);
    EXPECT_EQ(pasteZoneCursor(8), PasteCursor::DiagonalDown);
    EXPECT_EQ(pasteZoneCursor(2), PasteCursor::DiagonalUp);
    EXPECT_EQ(pasteZoneCursor(6), PasteCursor::DiagonalUp);
    EXPECT_EQ(pasteZoneCursor(1), PasteCursor::Vertical);
    EXPECT_EQ(pasteZoneCursor(7), PasteCursor::Vertical);
    EXPECT_EQ(pasteZoneCursor(3), PasteCursor::Horizontal);
    EXPECT_EQ(pasteZoneCursor(5), PasteCursor::Horizontal);
    EXPECT_EQ(pasteZoneCursor(4), PasteCursor::FourWay);
}

TEST(PasteSession, PictureInTheSameColoursKeepsItsIndicesAndAFittingMask) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    auto mask = CellImage::Create(3, 2, 8);
    mask->at(2, 1) = 255;
    PasteSession session(test::positionCodedPicture(3, 2), std::move(mask), palette.data(),
                         settings, 50, 40, PasteZoom{0, 1}, 10, 20);
    ASSERT_EQ(session.status(), status::Ok);
    const CellImage* shown = session.shown();
    ASSERT_NE(shown, nullptr);
    // Pixel (x, y) holds x·16 + y in the picture and in the converted copy.
    EXPECT_EQ(shown->at(0, 0), 0);
    EXPECT_EQ(shown->at(2, 1), 33);
    EXPECT_EQ(shown->at(1, 0), 16);
    ASSERT_NE(session.pasteMask(), nullptr);
    EXPECT_EQ(session.pasteMask()->at(2, 1), 255);
    EXPECT_EQ(session.frame(), (Rect{14, 24, 17, 26}));
    EXPECT_FALSE(session.stretched());

    // A mask of another width stays behind.
    PasteSession other(test::positionCodedPicture(3, 2), CellImage::Create(4, 2, 8), palette.data(),
                       settings, 50, 40, PasteZoom{0, 1}, 0, 0);
    EXPECT_EQ(other.pasteMask(), nullptr);
}

TEST(PasteSession, DragsMoveAndStretchWithinTheLimits) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PasteSession s(test::positionCodedPicture(20, 20), nullptr, palette.data(), settings, 100, 100,
                   PasteZoom{0, 1}, 0, 0);
    ASSERT_EQ(s.frame(), (Rect{4, 4, 24, 24}));
    EXPECT_EQ(s.press({10, 10}, {14, 14}), 4);
    EXPECT_TRUE(s.dragTo({24, 9}));
    EXPECT_EQ(s.frame(), (Rect{14, -1, 34, 19}));
    // Far to the left: 16 of the 20 pixels stay over the picture.
    EXPECT_TRUE(s.dragTo({-300, 9}));
    EXPECT_EQ(s.frame(), (Rect{-4, -1, 16, 19}));
    s.release();
    EXPECT_FALSE(s.dragTo({0, 0}));

    // The right edge (border 6 of a 20-pixel window) stretched by 20.
    EXPECT_EQ(s.press({15, 10}, {11, 9}), 5);
    EXPECT_TRUE(s.dragTo({31, 9}));
    EXPECT_EQ(s.frame(), (Rect{-4, -1, 36, 19}));
    EXPECT_TRUE(s.stretched());
    EXPECT_EQ(s.statusText(), "(-4,-1)-(36,19)  (40,20) (2.000,1.000)");
    // Narrower than 16 is refused.
    EXPECT_FALSE(s.dragTo({31 - 25, 9}));
    EXPECT_EQ(s.frame().width(), 40);
}

TEST(PasteSession, ZoomChangesKeepThePlaceInImagePixels) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PasteSession s(test::positionCodedPicture(20, 10), nullptr, palette.data(), settings, 100, 100,
                   PasteZoom{0, 1}, 0, 0);
    s.canvasZoomChanged(PasteZoom{1, 8});
    EXPECT_EQ(s.frame(), (Rect{32, 32, 192, 112}));
    EXPECT_FALSE(s.stretched());
    EXPECT_EQ(s.arrowStep(), 8);
    // Stretched to 40 wide at 8×, then back to 1:1: still 40 image pixels.
    s.press({159, 40}, {191, 72});
    EXPECT_TRUE(s.dragTo({351, 72}));
    EXPECT_EQ(s.frame(), (Rect{32, 32, 352, 112}));
    s.release();
    s.canvasZoomChanged(PasteZoom{0, 1});
    EXPECT_EQ(s.frame(), (Rect{4, 4, 44, 14}));
    EXPECT_TRUE(s.stretched());
    EXPECT_EQ(s.arrowStep(), 1);
}

TEST(PasteSession, HangingOverTheCornerAtThreeTimesIsCut) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PaintSurface target = sessionTarget(10, 10);
    PasteSession s(test::positionCodedPicture(8, 8), nullptr, palette.data(), settings, 10, 10,
                   PasteZoom{1, 3}, 0, 0);
    // At 3× the frame starts at 6 and is 24 wide; a move may leave 16 of
    // the 30-pixel picture, snapped down to 12: image pixel 4.
    ASSERT_EQ(s.frame(), (Rect{6, 6, 30, 30}));
    s.press({12, 12}, {18, 18});
    EXPECT_TRUE(s.dragTo({100, 100}));
    EXPECT_EQ(s.frame(), (Rect{12, 12, 36, 36}));
    ASSERT_TRUE(s.compose(target, palette.data()));
    EXPECT_TRUE(s.hasPreview());
    EXPECT_EQ(s.layDown(target), (Rect{4, 4, 10, 10}));
    EXPECT_TRUE(target.modified);
    EXPECT_EQ(target.picture->at(3, 3), 1);
    EXPECT_EQ(target.picture->at(4, 4), 0);      // source (0, 0)
    EXPECT_EQ(target.picture->at(9, 4), 5 * 16); // source (5, 0)
    EXPECT_EQ(target.picture->at(9, 9), 5 * 16 + 5);
    EXPECT_EQ(target.picture->at(4, 9), 5);
}

TEST(PasteSession, PreviewIsDroppedWithoutTouchingThePicture) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PaintSurface target = sessionTarget(30, 30);
    PasteSession s(test::positionCodedPicture(4, 4), nullptr, palette.data(), settings, 30, 30,
                   PasteZoom{0, 1}, 0, 0);
    const CellImage* converted = s.shown();
    ASSERT_TRUE(s.compose(target, palette.data()));
    EXPECT_NE(s.shown(), converted);
    s.dropPreview();
    EXPECT_EQ(s.shown(), converted);
    EXPECT_FALSE(s.hasPreview());
    EXPECT_EQ(target.picture->at(4, 4), 1);
    EXPECT_FALSE(target.modified);
    // Without a preview nothing is laid down.
    EXPECT_TRUE(s.layDown(target).empty());
    EXPECT_EQ(target.picture->at(4, 4), 1);
}

TEST(PasteSession, MaskStrokesNotYetCommittedProtectTheirPixels) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PaintSurface target = sessionTarget(12, 12);
    ASSERT_FALSE(EnterMaskMode(target).empty());
    // A stroke on the mask view at (5, 4): only bit 7 of the view so far.
    target.maskView->at(5, 4) |= 0x80;
    ASSERT_EQ(target.mask->at(5, 4), 0);
    PasteSession s(test::positionCodedPicture(4, 4), nullptr, palette.data(), settings, 12, 12,
                   PasteZoom{0, 1}, 0, 0);
    ASSERT_TRUE(s.compose(target, palette.data()));
    EXPECT_NE(target.mask->at(5, 4), 0);
    EXPECT_FALSE(s.layDown(target).empty());
    EXPECT_EQ(target.picture->at(5, 4), 1); // protected: kept
    EXPECT_EQ(target.picture->at(6, 4), 2 * 16);
    // The view shows the new pixel's grey level, the mask bit stays.
    EXPECT_EQ(target.maskView->at(6, 4), maskGreyLevel(palette[32]));
    EXPECT_EQ(target.maskView->at(5, 4), 0x80 | maskGreyLevel(palette[1]));
}

TEST(PasteSession, WhollyOutsideComposesNothing) {
    ColourConversionSettings settings;
    const auto palette = codedPalette();
    PaintSurface target = sessionTarget(30, 30);
    PasteSession s(test::positionCodedPicture(20, 20), nullptr, palette.data(), settings, 30, 30,
                   PasteZoom{0, 1}, 0, 0);
    // The picture shrank under the paste since it was opened.
    target.picture = target.picture->Crop(0, 0, 3, 3);
    s.press({10, 10}, {14, 14});
    s.dragTo({14 + 10, 14});
    EXPECT_FALSE(s.compose(target, palette.data()));
    EXPECT_FALSE(s.hasPreview());
}
