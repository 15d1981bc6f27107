#include "canvas/CanvasTestSupport.h"
#include "canvas/MaskEdit.h"

#include <functional>
#include <utility>
#include <vector>

using namespace celdo;
using celdo::testing::CanvasFixture;

TEST(CanvasLine, WalksTheDigitalLineFromTheLowerEnd) {
    std::vector<std::pair<int, int>> points;
    ForEachLinePoint(0, 0, 3, 1, [&](int x, int y) { points.emplace_back(x, y); });
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    points.clear();
    ForEachLinePoint(3, 1, 0, 0, [&](int x, int y) { points.emplace_back(x, y); });
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    points.clear();
    // Steep: y runs from the end with the smaller y; the accumulator (2, 4)
    // reaches 3 after the second dab.
    ForEachLinePoint(1, 2, 0, 0, [&](int x, int y) { points.emplace_back(x, y); });
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 2}}));
    points.clear();
    ForEachLinePoint(4, 4, 4, 4, [&](int x, int y) { points.emplace_back(x, y); });
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{4, 4}}));
}

TEST(CanvasDab, AtTheCornerPaintsOnlyTheCellsRightAndBelowTheCentre) {
    CanvasFixture f(12, 12);
    f.fullBrush();
    const Rect changed = f.canvas.Dab(0, 0);
    EXPECT_EQ(changed, (Rect{0, 0, 8, 8}));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(f.at(x, y), (x < 8 && y < 8) ? 5 : 0) << x << "," << y;
    EXPECT_TRUE(f.canvas.surface().modified);
}

TEST(CanvasDab, EightPixelsOutsideChangesNothing) {
    CanvasFixture f(12, 12);
    f.fullBrush();
    EXPECT_TRUE(f.canvas.Dab(-8, 4).empty());
    EXPECT_TRUE(f.canvas.Dab(4, -8).empty());
    EXPECT_TRUE(f.canvas.Dab(12 + 8, 4).empty());
    EXPECT_TRUE(f.canvas.Dab(4, 12 + 8).empty());
    EXPECT_FALSE(f.canvas.surface().modified);
    EXPECT_EQ(f.canvas.Dab(-7, 0), (Rect{0, 0, 1, 8}));
    // Right edge: brush columns 0..15 of a dab at x = 12 + 7 start at 11.
    EXPECT_EQ(f.canvas.Dab(12 + 7, 11), (Rect{11, 3, 12, 12}));
}

TEST(CanvasDab, UsesOnlyTheNonZeroBrushCells) {
    CanvasFixture f(5, 5);
    f.brush.cells.fill(0);
    f.brush.cells[7 * 16 + 8] = 1; // above the centre
    f.brush.cells[8 * 16 + 9] = 1; // right of the centre
    f.brush.updateExtent();
    f.canvas.Dab(2, 2);
    EXPECT_EQ(f.render(), ".....\n..#..\n...#.\n.....\n.....\n");
}

TEST(CanvasDab, LineOfDabsFromCornerTo31) {
    CanvasFixture f(5, 3);
    EXPECT_EQ(f.canvas.DabLine(0, 0, 3, 1), (Rect{0, 0, 4, 2}));
    EXPECT_EQ(f.render(), "##...\n..##.\n.....\n");
}

TEST(CanvasShapes, RectangleOutlineAndFill) {
    CanvasFixture f(6, 5);
    f.canvas.DrawRectOutline(1, 1, 4, 3);
    EXPECT_EQ(f.render(), "......\n.####.\n.#..#.\n.####.\n......\n");
    CanvasFixture g(6, 5);
    EXPECT_EQ(g.canvas.FillRect({4, 3, 9, 9}), (Rect{4, 3, 6, 5}));
    EXPECT_EQ(g.render(), "......\n......\n......\n....##\n....##\n");
}

TEST(CanvasShapes, EllipseWithEqualPointsIsOneDab) {
    CanvasFixture f(7, 7);
    f.canvas.DrawEllipseOutline(3, 3, 0, 0);
    EXPECT_EQ(f.render(), ".......\n.......\n.......\n...#...\n.......\n.......\n.......\n");
}

TEST(CanvasShapes, EllipseOutlineStaysInItsBoxAndIsSymmetric) {
    CanvasFixture f(11, 9);
    f.canvas.DrawEllipseOutline(5, 4, 3, 2);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x) {
            if (x < 2 || x > 8 || y < 2 || y > 6) {
                EXPECT_EQ(f.at(x, y), 0) << x << "," << y;
            }
            EXPECT_EQ(f.at(x, y), f.at(10 - x, y)) << x << "," << y;
            EXPECT_EQ(f.at(x, y), f.at(x, 8 - y)) << x << "," << y;
        }
    EXPECT_EQ(f.at(2, 4), 5);
    EXPECT_EQ(f.at(8, 4), 5);
    EXPECT_EQ(f.at(5, 2), 5);
    EXPECT_EQ(f.at(5, 6), 5);
    EXPECT_EQ(f.at(5, 4), 0);
}

TEST(CanvasShapes, FilledEllipseRows) {
    CanvasFixture f(7, 6);
    // rx = ry = 2.5: the row two away has half-width 1.5, the others 2.29 and 2.5.
    EXPECT_EQ(f.canvas.FillEllipse(1, 0, 5, 4, 3, 2), (Rect{1, 0, 6, 5}));
    EXPECT_EQ(f.render(), "..###..\n.#####.\n.#####.\n.#####.\n..###..\n.......\n");
}

TEST(CanvasShapes, FilledEllipseNeverWritesOutsideThePicture) {
    CanvasFixture f(6, 5); // rows of 8 bytes: two padding bytes each
    const Rect changed = f.canvas.FillEllipse(-10, -10, 10, 10, 0, 0);
    EXPECT_EQ(changed, (Rect{0, 0, 6, 5}));
    f.canvas.FillEllipse(-4, -4, 14, 14, 5, 5);
    f.canvas.FillEllipse(95, 95, 105, 105, 100, 100);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(f.picture().row(y)[6], 0);
        EXPECT_EQ(f.picture().row(y)[7], 0);
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(f.at(x, y), 5);
    }
    CanvasFixture g(6, 5);
    EXPECT_TRUE(g.canvas.FillEllipse(95, 95, 105, 105, 100, 100).empty());
    EXPECT_FALSE(g.canvas.surface().modified);
}

TEST(CanvasFlip, MirrorsPixelsAndLeavesOnePixelRectanglesAlone) {
    CanvasFixture f(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            f.picture().at(x, y) = static_cast<std::uint8_t>(10 * y + x);
    EXPECT_TRUE(f.canvas.FlipHorizontal(2, 0, 2, 2).empty());
    EXPECT_TRUE(f.canvas.FlipVertical(0, 1, 3, 1).empty());
    EXPECT_FALSE(f.canvas.surface().modified);
    EXPECT_EQ(f.at(2, 1), 12);

    EXPECT_EQ(f.canvas.FlipHorizontal(3, 1, 1, 2), (Rect{1, 1, 4, 3}));
    EXPECT_EQ(f.at(1, 1), 13);
    EXPECT_EQ(f.at(2, 1), 12);
    EXPECT_EQ(f.at(3, 1), 11);
    EXPECT_EQ(f.at(0, 1), 10);
    EXPECT_EQ(f.at(1, 0), 1);
    f.canvas.FlipVertical(0, 0, 0, 2);
    EXPECT_EQ(f.at(0, 0), 20);
    EXPECT_EQ(f.at(0, 2), 0);
    EXPECT_EQ(f.at(1, 0), 1);
}

TEST(CanvasFlip, IgnoresTheMaskAndActsOnThePictureInMaskMode) {
    CanvasFixture f(3, 1);
    f.picture().at(0, 0) = 1;
    f.addMask().at(0, 0) = 0xFF;
    f.canvas.surface().maskView = f.picture().Duplicate();
    f.canvas.surface().maskMode = true;
    f.canvas.FlipHorizontal(0, 0, 2, 0);
    EXPECT_EQ(f.at(0, 0), 0);
    EXPECT_EQ(f.at(2, 0), 1);
    EXPECT_EQ(f.canvas.surface().maskView->at(0, 0), 1);
}

TEST(CanvasFlip, MovesTrueColourPixelsAsThreeBytes) {
    CanvasFixture f;
    CellImagePtr picture = CellImage::Create(2, 1, 24);
    const std::uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
    std::copy(pixels, pixels + 6, picture->row(0));
    f.canvas.SetPicture(std::move(picture));
    f.canvas.FlipHorizontal(0, 0, 1, 0);
    const std::uint8_t* row = f.canvas.picture()->row(0);
    EXPECT_EQ(std::vector<int>(row, row + 6), (std::vector<int>{4, 5, 6, 1, 2, 3}));
}

TEST(CanvasPaint, ToneAndTilePaintReadThePatternAtThePosition) {
    CanvasFixture f(20, 20);
    for (int i = 0; i < 256; ++i)
        f.selection.tilePattern[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    f.selection.paintKind = ColourSelection::Tile;
    f.canvas.FillRectImage({0, 0, 20, 20});
    EXPECT_EQ(f.at(17, 18), 2 * 16 + 1);
    EXPECT_EQ(f.at(3, 4), 4 * 16 + 3);
    f.selection.paintKind = ColourSelection::Tone;
    f.selection.tilePattern.fill(9);
    f.canvas.Dab(3, 3);
    EXPECT_EQ(f.at(3, 3), 9);
}

// Every painting operation of the tools, as a function of the canvas.
static std::vector<std::function<void(Canvas&)>> paintingOperations() {
    return {
        [](Canvas& c) {
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    c.Dab(x, y);
        },
        [](Canvas& c) {
            for (int y = 0; y < 8; ++y)
                c.DabLine(0, y, 7, y);
        },
        [](Canvas& c) {
            c.FillRect({0, 0, 8, 8});
        },
        [](Canvas& c) {
            c.FillRectImage({0, 0, 8, 8});
        },
        [](Canvas& c) {
            for (int i = 0; i < 4; ++i)
                c.DrawRectOutline(i, i, 7 - i, 7 - i);
        },
        [](Canvas& c) {
            for (int e = 0; e < 6; ++e)
                c.DrawEllipseOutline(3, 3, e, e);
        },
        [](Canvas& c) { c.FillEllipse(-4, -4, 12, 12, 4, 4); },
    };
}

TEST(CanvasMask, ProtectedPixelsSurviveEveryPaintingToolWhileEnabled) {
    int tool = 0;
    for (const auto& paint : paintingOperations()) {
        CanvasFixture f(8, 8);
        f.fullBrush();
        CellImage& mask = f.addMask();
        mask.at(2, 2) = 0xFF;
        mask.at(3, 3) = 1;
        mask.at(0, 7) = 0x80;
        paint(f.canvas);
        EXPECT_EQ(f.at(2, 2), 0) << "tool " << tool;
        EXPECT_EQ(f.at(3, 3), 0) << "tool " << tool;
        EXPECT_EQ(f.at(0, 7), 0) << "tool " << tool;
        EXPECT_EQ(f.at(4, 3), 5) << "tool " << tool;

        CanvasFixture g(8, 8);
        g.fullBrush();
        g.addMask().at(3, 3) = 0xFF;
        g.canvas.surface().maskEnabled = false;
        paint(g.canvas);
        EXPECT_EQ(g.at(3, 3), 5) << "tool " << tool;
        ++tool;
    }
}

TEST(CanvasMask, MaskEditModePaintsBitSevenOfTheView) {
    CanvasFixture f(4, 4, 7);
    CellImagePtr view = CellImage::Create(4, 4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            view->at(x, y) = 0x05;
    view->at(1, 1) = 0x85;
    f.canvas.surface().maskView = std::move(view);
    f.canvas.surface().maskMode = true;
    CellImage& v = *f.canvas.surface().maskView;
    f.state.maskPaintValue = 40;
    f.canvas.Dab(0, 0);
    f.canvas.FillEllipse(2, 2, 2, 2, 2, 2);
    EXPECT_EQ(v.at(0, 0), 0x85);
    EXPECT_EQ(v.at(2, 2), 0x85);
    EXPECT_EQ(v.at(3, 3), 0x05);
    f.state.maskPaintValue = 0;
    f.canvas.FillRect({1, 1, 3, 3});
    EXPECT_EQ(v.at(1, 1), 0x05);
    EXPECT_EQ(v.at(2, 2), 0x05);
    EXPECT_EQ(v.at(0, 0), 0x85);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(f.at(x, y), 7);
}

TEST(CanvasEyedropper, TakesTheIndexOrTheMaskBit) {
    CanvasFixture f(3, 3);
    f.picture().at(1, 2) = 42;
    f.selection.paintKind = ColourSelection::Tile;
    EXPECT_EQ(f.canvas.Eyedropper(1, 2), 42);
    EXPECT_EQ(f.selection.drawColor, 42);
    EXPECT_EQ(f.selection.paintKind, ColourSelection::PlainColour);
    EXPECT_FALSE(f.canvas.Eyedropper(3, 0).has_value());

    int boardIndex = -1;
    f.state.hooks.pickColour = [&](int index) {
        boardIndex = index;
        return true;
    };
    f.picture().at(0, 0) = 17;
    EXPECT_EQ(f.canvas.Eyedropper(0, 0), 17);
    EXPECT_EQ(boardIndex, 17);
    EXPECT_EQ(f.selection.drawColor, 42);

    f.canvas.surface().maskView = CellImage::Create(3, 3, 8);
    f.canvas.surface().maskView->at(2, 1) = 0x93;
    f.canvas.surface().maskMode = true;
    int shown = -1;
    f.state.hooks.maskPaintValueChanged = [&](int v) { shown = v; };
    EXPECT_EQ(f.canvas.Eyedropper(2, 1), 1);
    EXPECT_EQ(f.state.maskPaintValue, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(f.canvas.Eyedropper(0, 1), 0);
    EXPECT_EQ(f.state.maskPaintValue, 0);
}

TEST(CanvasMask, AttachTakesOnlyAPlaneOfThePictureSizeAndTheViewFollows) {
    CanvasFixture f(4, 3);
    EXPECT_FALSE(f.canvas.AttachMask(CellImage::Create(4, 4, 8)));
    EXPECT_FALSE(f.canvas.AttachMask(CellImage::Create(4, 3, 4)));
    EXPECT_FALSE(f.canvas.surface().mask);
    Status entered = status::OutOfMemory;
    EnterMaskMode(f.canvas.surface(), &entered);
    ASSERT_EQ(entered, status::Ok);
    CellImagePtr mask = CellImage::Create(4, 3, 8);
    mask->at(2, 1) = 0xFF;
    EXPECT_TRUE(f.canvas.AttachMask(std::move(mask)));
    // In mask edit mode the view shows the new protection at once.
    EXPECT_EQ(f.canvas.surface().maskView->at(2, 1) & 0x80, 0x80);
    EXPECT_EQ(f.canvas.surface().maskView->at(1, 1) & 0x80, 0);
}
