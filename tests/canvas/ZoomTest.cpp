#include "canvas/Zoom.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(Zoom, CodesAndFactors) {
    const int expected[] = {8, 6, 4, 3, 2, 1, 2, 3, 4, 6, 8, 12, 16};
    for (int code = -5; code <= 7; ++code)
        EXPECT_EQ(Zoom::FactorOfCode(code), expected[code + 5]) << code;
    EXPECT_EQ(Zoom::FactorOfCode(8), 0);
    EXPECT_EQ(Zoom::FactorOfCode(-6), 0);
}

TEST(Zoom, SetZoomGivesTheViewSizeAndReportsChanges) {
    Zoom z;
    z.Reset(10, 10);
    EXPECT_FALSE(z.SetZoom(0, 10, 10));
    EXPECT_TRUE(z.SetZoom(-2, 10, 10));
    EXPECT_EQ(z.mode(), Zoom::Reduced);
    EXPECT_EQ(z.factor(), 3);
    EXPECT_EQ(z.viewWidth(), 3);
    EXPECT_EQ(z.viewHeight(), 3);
    EXPECT_FALSE(z.SetZoom(-2, 10, 10));
    EXPECT_TRUE(z.SetZoom(2, 10, 7));
    EXPECT_EQ(z.viewWidth(), 30);
    EXPECT_EQ(z.viewHeight(), 21);
    EXPECT_FALSE(z.SetZoom(9, 10, 7));
    EXPECT_TRUE(z.SetZoom(0, 10, 7));
    EXPECT_EQ(z.factor(), 1);
    Zoom none;
    none.Reset(0, 0);
    EXPECT_EQ(none.viewWidth(), 128);
    EXPECT_EQ(none.viewHeight(), 128);
}

TEST(Zoom, WindowAndImageConversion) {
    Zoom z;
    z.Reset(100, 100);
    z.SetZoom(1, 100, 100);
    EXPECT_EQ(z.toImage(3), 1);
    EXPECT_EQ(z.toImage(-1), -1);
    EXPECT_EQ(z.toWindow(7), 14);
    z.SetZoom(-3, 100, 100);
    EXPECT_EQ(z.toImage(3), 12);
    EXPECT_EQ(z.toWindow(13), 3);
    EXPECT_EQ(z.toWindow(Rect{4, 4, 9, 9}), (Rect{1, 1, 3, 3}));
    z.SetFitted(50, 50);
    EXPECT_EQ(z.toImage(33), 33);
}

TEST(Zoom, PaintRequestMapping) {
    Zoom z;
    z.Reset(10, 10);
    z.SetZoom(2, 10, 10);
    Zoom::PaintMapping m = z.MapPaintRect({1, 1, 5, 5}, 10, 10);
    EXPECT_EQ(m.source, (Rect{0, 0, 2, 2}));
    EXPECT_EQ(m.destination, (Rect{0, 0, 6, 6}));
    z.SetZoom(-1, 10, 10);
    m = z.MapPaintRect({1, 1, 3, 3}, 10, 10);
    EXPECT_EQ(m.destination, (Rect{1, 1, 4, 4}));
    EXPECT_EQ(m.source, (Rect{2, 2, 8, 8}));
    z.SetZoom(0, 10, 10);
    m = z.MapPaintRect({1, 2, 3, 4}, 10, 10);
    EXPECT_EQ(m.source, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(m.destination, (Rect{1, 2, 3, 4}));
    z.SetFitted(33, 17);
    m = z.MapPaintRect({1, 2, 3, 4}, 10, 10);
    EXPECT_EQ(m.source, (Rect{0, 0, 10, 10}));
    EXPECT_EQ(m.destination, (Rect{0, 0, 33, 17}));
}

TEST(Zoom, APasteHangingOverTheEdgesIsCutAtTheEdgeAtEveryZoom) {
    // Picture 72 × 36; a paste of 48 × 24 image pixels placed at (48, 24),
    // hanging 24 columns and 12 rows over the right and bottom edges.
    for (int code = -5; code <= 7; ++code) {
        Zoom z;
        z.Reset(72, 36);
        z.SetZoom(code, 72, 36);
        const int f = Zoom::FactorOfCode(code);
        const Rect window =
            code >= 0 ? Rect{48 * f, 24 * f, 96 * f, 48 * f} : Rect{48 / f, 24 / f, 96 / f, 48 / f};
        const Rect image = z.toImage(window);
        EXPECT_EQ(image, (Rect{48, 24, 96, 48})) << code;
        EXPECT_EQ(image.intersected({0, 0, 72, 36}), (Rect{48, 24, 72, 36})) << code;
        // What is repainted there never reads past the picture once clipped.
        const Zoom::PaintMapping m = z.MapPaintRect(window, 72, 36);
        EXPECT_EQ(m.source.intersected({0, 0, 72, 36}).right, 72) << code;
        EXPECT_EQ(m.source.intersected({0, 0, 72, 36}).bottom, 36) << code;
    }
}

TEST(Zoom, ScrollTargetCentresThePointOfInterest) {
    Zoom z;
    z.Reset(100, 80);
    z.SetZoom(3, 100, 80); // 4×: view 400 × 320
    auto t = ZoomScrollTarget(z, {50, 40}, 100, 80, 200, 400);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->x, 200 - 100);
    EXPECT_FALSE(t->y.has_value());
    t = ZoomScrollTarget(z, {10, 79}, 100, 80, 200, 100);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 316 - 50);
    EXPECT_FALSE(ZoomScrollTarget(z, {100, 10}, 100, 80, 200, 100).has_value());
    EXPECT_FALSE(ZoomScrollTarget(z, {-1, 10}, 100, 80, 200, 100).has_value());
    z.SetFitted(50, 50);
    EXPECT_FALSE(ZoomScrollTarget(z, {10, 10}, 100, 80, 20, 20).has_value());
}

TEST(Zoom, CenterViewAndPointerOverTheVisiblePicture) {
    Zoom z;
    z.Reset(100, 80);
    z.SetZoom(1, 100, 80);
    EXPECT_EQ(CenterView(z, 40, 20, 100, 60), (Point{45, 25}));
    const Rect visible{40, 20, 140, 80};
    EXPECT_TRUE(PointerOverVisiblePicture(z, {33, 13}, visible, 100, 80));
    EXPECT_FALSE(PointerOverVisiblePicture(z, {31, 13}, visible, 100, 80));
    EXPECT_FALSE(PointerOverVisiblePicture(z, {-1, 30}, {0, 0, 100, 100}, 100, 80));
}
