#include "canvas/CanvasTestSupport.h"
#include "canvas/ToolGestures.h"

#include <vector>

using namespace celdo;
using celdo::testing::CanvasFixture;

namespace {

MouseEvent press(int x, int y) {
    return {MouseEvent::LeftPress, {x, y}, true};
}
MouseEvent drag(int x, int y) {
    return {MouseEvent::Move, {x, y}, true};
}
MouseEvent hover(int x, int y) {
    return {MouseEvent::Move, {x, y}, false};
}
MouseEvent release(int x, int y) {
    return {MouseEvent::LeftRelease, {x, y}, false};
}
MouseEvent doubleClick(int x, int y) {
    return {MouseEvent::LeftDoubleClick, {x, y}, true};
}
MouseEvent rightPress(int x, int y) {
    return {MouseEvent::RightPress, {x, y}, false};
}

} // namespace

TEST(ToolTable, NamesCommandsAndCursors) {
    ColourSelection selection;
    Brush brush;
    EditingState state(selection, brush);
    EXPECT_EQ(state.currentTool, 258);
    EXPECT_STREQ(ToolName(258), "自由曲線");
    EXPECT_STREQ(ToolName(0), "表示のみ");
    EXPECT_STREQ(ToolName(1538), "塗潰し");
    EXPECT_STREQ(ToolName(261), "???");
    EXPECT_STREQ(ToolCursor(259), "tearCur");
    EXPECT_STREQ(ToolCursor(770), "ovalCur");
    EXPECT_STREQ(ToolCursor(1280), "SpoitCur");
    EXPECT_STREQ(ToolCursor(1031), "BrushCur");
    EXPECT_FALSE(SelectTool(state, 258));
    EXPECT_TRUE(SelectTool(state, 257));
    EXPECT_EQ(state.currentTool, 257);
}

TEST(BrushTools, FreehandLeavesGapsAndFreeCurveJoins) {
    CanvasFixture f(8, 2);
    f.state.currentTool = tool::Freehand;
    HandleMouse(f.canvas, press(0, 0));
    EXPECT_TRUE(f.state.strokeActive);
    HandleMouse(f.canvas, drag(4, 0));
    HandleMouse(f.canvas, release(4, 0));
    EXPECT_FALSE(f.state.strokeActive);
    EXPECT_EQ(f.render(), "#...#...\n........\n");

    CanvasFixture g(8, 2);
    g.state.currentTool = tool::FreeCurve;
    HandleMouse(g.canvas, press(0, 0));
    const ToolResponse r = HandleMouse(g.canvas, drag(4, 0));
    EXPECT_EQ(r.changed, (Rect{0, 0, 5, 1}));
    HandleMouse(g.canvas, drag(6, 1));
    EXPECT_EQ(g.render(), "######..\n......#.\n");
}

TEST(BrushTools, AMoveWithoutTheButtonEndsTheStroke) {
    CanvasFixture f(8, 1);
    f.state.currentTool = tool::FreeCurve;
    HandleMouse(f.canvas, press(0, 0));
    HandleMouse(f.canvas, hover(2, 0));
    EXPECT_FALSE(f.state.strokeActive);
    HandleMouse(f.canvas, drag(5, 0));
    EXPECT_EQ(f.render(), "#.......\n");
}

TEST(BrushTools, StatusShowsTheImagePositionAndTheCursorTheTool) {
    CanvasFixture f(20, 20);
    f.canvas.SetZoom(1);
    const ToolResponse r = HandleMouse(f.canvas, hover(7, 9));
    EXPECT_TRUE(r.handled);
    EXPECT_EQ(r.status, "3,4");
    EXPECT_STREQ(r.cursor, "BrushCur");
    EXPECT_TRUE(HandleMouse(f.canvas, rightPress(7, 9)).openPopup);
}

TEST(BrushTools, SoftBrushesCallTheSoftDab) {
    CanvasFixture f(10, 10);
    std::vector<Point> dabs;
    f.state.hooks.softDab = [&](Canvas& c, int x, int y) {
        EXPECT_EQ(&c, &f.canvas);
        dabs.push_back({x, y});
        return Rect{x, y, x + 1, y + 1};
    };
    f.state.currentTool = tool::WaterDrop;
    HandleMouse(f.canvas, press(3, 3));
    HandleMouse(f.canvas, drag(5, 3));
    EXPECT_EQ(dabs, (std::vector<Point>{{3, 3}, {5, 3}}));
    HandleMouse(f.canvas, release(5, 3));
    dabs.clear();
    f.state.currentTool = tool::BlurBrush;
    f.canvas.SetZoom(1);
    HandleMouse(f.canvas, press(6, 6));
    const ToolResponse r = HandleMouse(f.canvas, drag(10, 6));
    // The press dabs once, the move joins the press position to the pointer.
    EXPECT_EQ(dabs, (std::vector<Point>{{3, 3}, {3, 3}, {4, 3}, {5, 3}}));
    EXPECT_EQ(r.changed, (Rect{3, 3, 6, 4}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(f.at(x, y), 0);
}

TEST(LineTools, TheFiftyFirstPressIsIgnored) {
    CanvasFixture f(60, 1);
    f.state.currentTool = tool::Polyline;
    for (int i = 0; i <= 50; ++i)
        HandleMouse(f.canvas, press(i, 0));
    EXPECT_EQ(f.canvas.gesture().pointCount, 50);
    const ToolResponse r = HandleMouse(f.canvas, doubleClick(50, 0));
    EXPECT_EQ(r.changed, (Rect{0, 0, 50, 1}));
    EXPECT_FALSE(f.state.strokeActive);
    EXPECT_FALSE(f.canvas.gesture().rubberPolyline);
    EXPECT_EQ(f.at(49, 0), 5);
    EXPECT_EQ(f.at(50, 0), 0);
}

TEST(LineTools, RightPressRemovesPointsAndCancelsWithoutDrawing) {
    CanvasFixture f(10, 10);
    f.state.currentTool = tool::Polyline;
    HandleMouse(f.canvas, press(1, 1));
    const ToolResponse r = HandleMouse(f.canvas, rightPress(4, 4));
    EXPECT_FALSE(r.openPopup);
    EXPECT_FALSE(f.state.strokeActive);
    EXPECT_EQ(f.canvas.gesture().pointCount, 0);
    EXPECT_TRUE(HandleMouse(f.canvas, doubleClick(4, 4)).changed.empty());
    EXPECT_FALSE(f.canvas.surface().modified);
    EXPECT_TRUE(HandleMouse(f.canvas, rightPress(4, 4)).openPopup);

    // Three points, the last taken back: the rubber segment starts from the
    // second, and the double click draws one segment.
    HandleMouse(f.canvas, press(0, 0));
    HandleMouse(f.canvas, press(3, 0));
    HandleMouse(f.canvas, press(3, 3));
    HandleMouse(f.canvas, rightPress(5, 5));
    const std::vector<OverlayShape> shapes = RubberBandShapes(f.canvas);
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[1], (OverlayShape{OverlayShape::Line, {3, 0}, {5, 5}}));
    HandleMouse(f.canvas, doubleClick(5, 5));
    EXPECT_EQ(f.at(3, 0), 5);
    EXPECT_EQ(f.at(3, 1), 0);
}

TEST(LineTools, SegmentEndsAtTheSecondPressAndShowsBothEnds) {
    CanvasFixture f(10, 10);
    f.canvas.SetZoom(1);
    f.state.currentTool = tool::Segment;
    EXPECT_EQ(HandleMouse(f.canvas, hover(8, 4)).status, "4,2");
    HandleMouse(f.canvas, press(0, 0));
    EXPECT_EQ(HandleMouse(f.canvas, hover(7, 3)).status, "(0,0)-(7,3)");
    const ToolResponse r = HandleMouse(f.canvas, press(6, 2));
    EXPECT_EQ(r.changed, (Rect{0, 0, 4, 2}));
    EXPECT_FALSE(f.state.strokeActive);
    EXPECT_EQ(f.at(1, 0), 5);
    EXPECT_EQ(f.at(2, 1), 5);

    CanvasFixture g(10, 10);
    g.state.currentTool = tool::Polygon;
    HandleMouse(g.canvas, press(1, 1));
    EXPECT_FALSE(g.state.strokeActive);
}

TEST(RectangleTools, FillAtTwoTimesWithStatusAndLastRegion) {
    CanvasFixture f(10, 10);
    f.canvas.SetZoom(1);
    f.state.currentTool = tool::RectFill;
    ToolResponse r = HandleMouse(f.canvas, press(2, 2));
    EXPECT_TRUE(r.captureMouse);
    r = HandleMouse(f.canvas, drag(7, 5));
    EXPECT_EQ(r.status, "(1,1)-(3,2)  (3,2)");
    const std::vector<OverlayShape> shapes = RubberBandShapes(f.canvas);
    ASSERT_EQ(shapes.size(), 4u);
    EXPECT_EQ(shapes[0], (OverlayShape{OverlayShape::Line, {2, 2}, {7, 2}}));
    EXPECT_EQ(shapes[2], (OverlayShape{OverlayShape::Line, {7, 5}, {2, 5}}));
    r = HandleMouse(f.canvas, release(7, 5));
    EXPECT_TRUE(r.releaseMouse);
    EXPECT_TRUE(r.restoreToolName);
    EXPECT_EQ(r.status, "");
    EXPECT_EQ(r.changed, (Rect{1, 1, 4, 3}));
    EXPECT_EQ(f.state.lastRegion, (Rect{1, 1, 4, 3}));
    EXPECT_TRUE(RubberBandShapes(f.canvas).empty());
    EXPECT_EQ(f.at(3, 2), 5);
    EXPECT_EQ(f.at(4, 2), 0);
}

TEST(RectangleTools, PointsOnTheFarEdgeStayInsideThePicture) {
    CanvasFixture f(10, 10);
    for (int x = 0; x < 10; ++x)
        f.picture().at(x, 9) = static_cast<std::uint8_t>(x);
    f.state.currentTool = tool::FlipLeftRight;
    HandleMouse(f.canvas, press(100, 100));
    EXPECT_EQ(f.canvas.gesture().anchor, (Point{10, 10}));
    HandleMouse(f.canvas, drag(5, 5));
    HandleMouse(f.canvas, release(5, 5));
    EXPECT_EQ(f.state.lastRegion, (Rect{5, 5, 10, 10}));
    EXPECT_EQ(f.at(5, 9), 9);
    EXPECT_EQ(f.at(9, 9), 5);
}

TEST(RectangleTools, CancelledGesturesApplyNothing) {
    CanvasFixture f(10, 10);
    f.state.currentTool = tool::RectFill;
    HandleMouse(f.canvas, press(1, 1));
    HandleMouse(f.canvas, drag(5, 5));
    HandleMouse(f.canvas, hover(6, 6));
    EXPECT_FALSE(f.state.strokeActive);
    HandleMouse(f.canvas, release(6, 6));
    HandleMouse(f.canvas, press(1, 1));
    HandleMouse(f.canvas, drag(5, 5));
    EXPECT_FALSE(HandleMouse(f.canvas, rightPress(5, 5)).openPopup);
    HandleMouse(f.canvas, release(5, 5));
    EXPECT_FALSE(f.canvas.surface().modified);
    EXPECT_FALSE(f.state.lastRegion.has_value());
    EXPECT_TRUE(HandleMouse(f.canvas, rightPress(5, 5)).openPopup);
}

TEST(RectangleTools, FilterAndPartialCopyGoToTheirHooks) {
    CanvasFixture f(10, 10);
    std::vector<Rect> filtered, copied;
    f.state.hooks.regionFilter = [&](Canvas&, const Rect& r) { filtered.push_back(r); };
    f.state.hooks.copyRegion = [&](Canvas&, const Rect& r) { copied.push_back(r); };
    f.canvas.SetZoom(-1);
    f.state.currentTool = tool::RegionFilter;
    HandleMouse(f.canvas, press(3, 1));
    HandleMouse(f.canvas, drag(1, 2));
    HandleMouse(f.canvas, release(1, 2));
    f.state.currentTool = tool::PartialCopy;
    HandleMouse(f.canvas, press(0, 0));
    HandleMouse(f.canvas, drag(2, 1));
    HandleMouse(f.canvas, release(2, 1));
    EXPECT_EQ(filtered, (std::vector<Rect>{{2, 2, 7, 5}}));
    EXPECT_EQ(copied, (std::vector<Rect>{{0, 0, 5, 3}}));
    EXPECT_EQ(f.state.lastRegion, (Rect{0, 0, 5, 3}));
}

TEST(RectangleTools, AnOutlineDraggedPastThePictureLeavesOutTheSidesOutside) {
    // A view stretched wider than the picture maps window pixels one to one,
    // so the pointer reaches columns past the picture.
    CanvasFixture f(10, 8);
    f.canvas.zoom().SetFitted(40, 16);
    f.state.currentTool = tool::RectOutline;
    HandleMouse(f.canvas, press(2, 2));
    HandleMouse(f.canvas, drag(20, 5));
    const ToolResponse r = HandleMouse(f.canvas, release(20, 5));
    EXPECT_EQ(f.render(), "..........\n"
                          "..........\n"
                          "..########\n"
                          "..#.......\n"
                          "..#.......\n"
                          "..########\n"
                          "..........\n"
                          "..........\n");
    EXPECT_EQ(r.changed, (Rect{2, 2, 10, 6}));
    EXPECT_EQ(f.state.lastRegion, (Rect{2, 2, 10, 6}));
}

TEST(RectangleTools, AnOutlineInsideThePictureHasAllFourSides) {
    CanvasFixture f(10, 8);
    f.state.currentTool = tool::RectOutline;
    HandleMouse(f.canvas, press(6, 4));
    HandleMouse(f.canvas, drag(1, 1));
    HandleMouse(f.canvas, release(1, 1));
    EXPECT_EQ(f.render(), "..........\n"
                          ".######...\n"
                          ".#....#...\n"
                          ".#....#...\n"
                          ".######...\n"
                          "..........\n"
                          "..........\n"
                          "..........\n");
    EXPECT_EQ(f.state.lastRegion, (Rect{1, 1, 7, 5}));
}

TEST(RectangleTools, PartialCopyPastThePictureStillTakesTheCutRegion) {
    CanvasFixture f(10, 8);
    std::vector<Rect> copied;
    f.state.hooks.copyRegion = [&](Canvas&, const Rect& r) { copied.push_back(r); };
    f.canvas.zoom().SetFitted(40, 16);
    f.state.currentTool = tool::PartialCopy;
    HandleMouse(f.canvas, press(20, 12));
    HandleMouse(f.canvas, drag(7, 3));
    HandleMouse(f.canvas, release(7, 3));
    EXPECT_EQ(copied, (std::vector<Rect>{{7, 3, 10, 8}}));
    EXPECT_EQ(f.state.lastRegion, (Rect{7, 3, 10, 8}));
}

TEST(EllipseTools, EqualPointsGiveOneDabAndTheFillUsesTheBox) {
    CanvasFixture f(9, 9);
    f.state.currentTool = tool::EllipseOutline;
    HandleMouse(f.canvas, press(4, 4));
    const ToolResponse r = HandleMouse(f.canvas, release(4, 4));
    EXPECT_EQ(r.changed, (Rect{4, 4, 5, 5}));
    EXPECT_EQ(f.render(), ".........\n.........\n.........\n.........\n....#....\n"
                          ".........\n.........\n.........\n.........\n");

    CanvasFixture g(7, 6);
    g.state.currentTool = tool::EllipseFill;
    HandleMouse(g.canvas, press(3, 2));
    HandleMouse(g.canvas, drag(1, 4));
    const std::vector<OverlayShape> shapes = RubberBandShapes(g.canvas);
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0], (OverlayShape{OverlayShape::Ellipse, {1, 0}, {5, 4}}));
    EXPECT_EQ(shapes[1], (OverlayShape{OverlayShape::Line, {3, 2}, {1, 4}}));
    HandleMouse(g.canvas, release(1, 4));
    EXPECT_EQ(g.render(), "..###..\n.#####.\n.#####.\n.#####.\n..###..\n.......\n");
    EXPECT_FALSE(g.state.lastRegion.has_value());
}

TEST(PointTools, TilePickAndFillTakeThePressInsideThePicture) {
    CanvasFixture f(10, 10);
    std::vector<Point> picks;
    f.state.hooks.pickTile = [&](Canvas&, int x, int y) { picks.push_back({x, y}); };
    f.canvas.SetZoom(1);
    f.state.currentTool = tool::TilePick;
    HandleMouse(f.canvas, press(9, 5));
    HandleMouse(f.canvas, press(20, 5));
    HandleMouse(f.canvas, press(-1, 5));
    EXPECT_EQ(picks, (std::vector<Point>{{4, 2}}));

    f.state.currentTool = tool::Fill + 2;
    const ToolResponse r = HandleMouse(f.canvas, press(0, 0));
    EXPECT_STREQ(r.cursor, "MoldCur");
    EXPECT_EQ(r.changed, (Rect{0, 0, 10, 10}));
    EXPECT_EQ(f.at(9, 9), 5);
}

TEST(PointTools, ViewOnlyAndUnknownToolsLeaveTheArrow) {
    CanvasFixture f(10, 10);
    f.state.currentTool = 0;
    ToolResponse r = HandleMouse(f.canvas, press(1, 1));
    EXPECT_FALSE(r.handled);
    EXPECT_STREQ(r.cursor, ArrowCursor);
    f.state.currentTool = 0x700;
    EXPECT_TRUE(HandleMouse(f.canvas, rightPress(1, 1)).openPopup);
    EXPECT_FALSE(f.canvas.surface().modified);
}
