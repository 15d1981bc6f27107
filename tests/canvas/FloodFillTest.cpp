#include "canvas/FloodFill.h"
#include "canvas/CanvasTestSupport.h"

#include <queue>
#include <random>
#include <vector>

using namespace celdo;
using celdo::testing::CanvasFixture;

namespace {

// Sets the picture from rows of digits.
void draw(CellImage& image, const std::vector<std::string>& rows) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[static_cast<std::size_t>(y)].size()); ++x)
            image.at(x, y) = static_cast<std::uint8_t>(
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - '0');
}

std::string rows(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + '\n';
    return out;
}

} // namespace

TEST(FloodFill, ALonePixelFillsOnlyItself) {
    CanvasFixture f(5, 5);
    f.picture().at(2, 2) = 7;
    Rect changed;
    EXPECT_EQ(f.canvas.FloodFill(2, 2, &changed), status::Ok);
    EXPECT_EQ(changed, (Rect{2, 2, 3, 3}));
    EXPECT_EQ(f.render(), rows({".....", ".....", "..#..", ".....", "....."}));
    EXPECT_TRUE(f.canvas.surface().modified);
}

TEST(FloodFill, RegionTouchingAllEdgesStopsAtTheEdgesAndWalls) {
    CanvasFixture f(8, 6); // rows of 8 bytes, no padding; use 7 wide as well below
    draw(f.picture(), {"00000000", "01111000", "01001000", "01111010", "00000010", "00000000"});
    Rect changed;
    f.canvas.FloodFill(7, 5, &changed);
    EXPECT_EQ(changed, (Rect{0, 0, 8, 6}));
    EXPECT_EQ(f.render(),
              rows({"########", "#bbbb###", "#b..b###", "#bbbb#b#", "######b#", "########"}));

    CanvasFixture g(7, 3); // rows padded to 8 bytes
    g.canvas.FloodFill(3, 1);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(g.picture().row(y)[7], 0);
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(g.at(x, y), 5);
    }
}

TEST(FloodFill, StartingInTheTopOrBottomRowReachesPocketsBothWays) {
    const std::vector<std::string> picture = {"0101010", "0101010", "0000000", "1011101",
                                              "1011101"};
    const std::string expected = rows({"#b#b#b#", "#b#b#b#", "#######", "b#bbb#b", "b#bbb#b"});
    CanvasFixture top(7, 5);
    draw(top.picture(), picture);
    top.canvas.FloodFill(6, 0);
    EXPECT_EQ(top.render(), expected);
    CanvasFixture bottom(7, 5);
    draw(bottom.picture(), picture);
    bottom.canvas.FloodFill(5, 4);
    EXPECT_EQ(bottom.render(), expected);
}

TEST(FloodFill, TheColourAlreadyPresentEndsWithThePictureUnchanged) {
    CanvasFixture f(6, 4, 5);
    f.picture().at(1, 1) = 2;
    EXPECT_EQ(f.canvas.FloodFill(0, 0), status::Ok);
    EXPECT_EQ(f.render(5), rows({"......", ".c....", "......", "......"}));
}

TEST(FloodFill, BorderColourBoundsTheRegionAndTheClickedBorderPixelIsPainted) {
    CanvasFixture f(5, 3);
    f.selection.borderColor = 3;
    f.state.fill.useBorder = true;
    draw(f.picture(), {"01020", "33333", "00000"});
    f.canvas.FloodFill(2, 1);
    EXPECT_EQ(f.render(), rows({"#####", "dd#dd", "#####"}));
}

TEST(FloodFill, MaskPlaneSearchCreatesAnEmptyMaskAndIgnoresProtection) {
    CanvasFixture f(4, 3);
    draw(f.picture(), {"0120", "3012", "0000"});
    f.state.fill.searchPlane = 1;
    ASSERT_EQ(f.canvas.surface().mask, nullptr);
    f.canvas.FloodFill(1, 1);
    ASSERT_NE(f.canvas.surface().mask, nullptr);
    const CellImage& mask = *f.canvas.surface().mask;
    EXPECT_EQ(mask.width(), 4);
    EXPECT_EQ(mask.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(mask.at(x, y), 0);
            EXPECT_EQ(f.at(x, y), 5);
        }

    CanvasFixture g(4, 3);
    CellImage& m = g.addMask();
    draw(m, {"1100", "1100", "0000"});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            m.at(x, y) = 0xFF;
    g.state.fill.searchPlane = 1;
    g.canvas.FloodFill(0, 1);
    EXPECT_EQ(g.render(), rows({"##..", "##..", "...."}));

    // With the border option the region is where the mask byte is 0.
    g.state.fill.useBorder = true;
    g.selection.drawColor = 6;
    g.canvas.FloodFill(3, 2);
    EXPECT_EQ(g.render(), rows({"ff##", "ff##", "####"}));
}

TEST(FloodFill, MaskModeDecidesOnThePictureAndChangesOnlyMaskBits) {
    CanvasFixture f(4, 2);
    draw(f.picture(), {"0011", "0100"});
    f.canvas.surface().maskView = CellImage::Create(4, 2, 8);
    CellImage& view = *f.canvas.surface().maskView;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            view.at(x, y) = 0x11;
    f.canvas.surface().maskMode = true;
    f.state.maskPaintValue = 1;
    f.canvas.FloodFill(0, 0);
    EXPECT_EQ(view.at(0, 0), 0x91);
    EXPECT_EQ(view.at(1, 0), 0x91);
    EXPECT_EQ(view.at(0, 1), 0x91);
    EXPECT_EQ(view.at(2, 0), 0x11);
    EXPECT_EQ(view.at(1, 1), 0x11);
    EXPECT_EQ(view.at(2, 1), 0x11); // not connected to the clicked region
    EXPECT_EQ(f.render(), rows({"..bb", ".b.."}));

    // Searching the view's bit 7 itself: clearing the region just set.
    f.state.fill.searchPlane = 1;
    f.state.maskPaintValue = 0;
    f.canvas.FloodFill(1, 0);
    EXPECT_EQ(view.at(0, 0), 0x11);
    EXPECT_EQ(view.at(0, 1), 0x11);
    EXPECT_EQ(view.at(2, 0), 0x11);
}

TEST(FloodFill, ARegionWithMoreSpansThanTheOldTableFillsCompletely) {
    // A comb: row 0 open, then 20001 columns alternating open and wall.  The
    // fill goes down the teeth one after another with some 10000 spans
    // waiting at once.
    const int width = 20001;
    CanvasFixture f(width, 4);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < width; x += 2)
            f.picture().at(x, y) = 1;
    f.canvas.FloodFill(0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(f.at(x, y), (y > 0 && x % 2 == 1) ? 1 : 5) << x << "," << y;
}

namespace {

// The pixels 4-connected to (sx, sy) through pixels that pass `inside`, the
// start always included: a plain breadth-first search.
template <typename Inside>
std::vector<char> reachable(int w, int h, int sx, int sy, Inside inside) {
    std::vector<char> seen(static_cast<std::size_t>(w * h), 0);
    std::queue<std::pair<int, int>> pending;
    pending.push({sx, sy});
    seen[static_cast<std::size_t>(sy * w + sx)] = 1;
    while (!pending.empty()) {
        auto [x, y] = pending.front();
        pending.pop();
        const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int nx = x + dx[k], ny = y + dy[k];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                continue;
            char& s = seen[static_cast<std::size_t>(ny * w + nx)];
            if (!s && inside(nx, ny)) {
                s = 1;
                pending.push({nx, ny});
            }
        }
    }
    return seen;
}

} // namespace

TEST(FloodFill, RandomMazeMatchesAPlainSearch) {
    const int w = 301, h = 257;
    CanvasFixture f(w, h);
    std::mt19937 random(12345);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.picture().at(x, y) = (random() % 100) < 38 ? 1 : 0;
    f.picture().at(150, 100) = 0;
    const std::vector<char> expected =
        reachable(w, h, 150, 100, [&](int x, int y) { return f.at(x, y) == 0; });
    f.canvas.FloodFill(150, 100);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(f.at(x, y) == 5, expected[static_cast<std::size_t>(y * w + x)] != 0)
                << x << "," << y;
}

TEST(FloodFill, RandomBorderAndMaskViewSearchesMatchAPlainSearch) {
    const int w = 203, h = 131;
    std::mt19937 random(777);
    // Picture search bounded by border colour 3 among colours 0–3.
    CanvasFixture f(w, h);
    f.selection.borderColor = 3;
    f.state.fill.useBorder = true;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.picture().at(x, y) =
                static_cast<std::uint8_t>((random() % 100) < 40 ? 3 : random() % 3);
    const CellImagePtr before = f.picture().Duplicate();
    const std::vector<char> expected =
        reachable(w, h, 100, 60, [&](int x, int y) { return before->at(x, y) != 3; });
    f.canvas.FloodFill(100, 60);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(f.at(x, y),
                      expected[static_cast<std::size_t>(y * w + x)] ? 5 : before->at(x, y))
                << x << "," << y;

    // Mask edit mode, searching bit 7 of the view; bits 0–6 are noise.
    CanvasFixture g(w, h);
    g.canvas.surface().maskView = CellImage::Create(w, h, 8);
    CellImage& view = *g.canvas.surface().maskView;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            view.at(x, y) =
                static_cast<std::uint8_t>((random() & 0x7F) | ((random() % 100) < 35 ? 0x80 : 0));
    view.at(7, 9) &= 0x7F;
    const CellImagePtr original = view.Duplicate();
    g.canvas.surface().maskMode = true;
    g.state.fill.searchPlane = 1;
    g.state.maskPaintValue = 1;
    const std::vector<char> region =
        reachable(w, h, 7, 9, [&](int x, int y) { return (original->at(x, y) & 0x80) == 0; });
    g.canvas.FloodFill(7, 9);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int was = original->at(x, y);
            ASSERT_EQ(view.at(x, y),
                      region[static_cast<std::size_t>(y * w + x)] ? (was | 0x80) : was)
                << x << "," << y;
        }
}

TEST(FillOptionDialog, BothOptionSetsAndTheActiveOptions) {
    FillSettings settings;
    settings.searchPlane2 = 1;
    ControlTable image = MakePaintOptionDialog(false, settings);
    EXPECT_EQ(image.name, "PAINTOPTION1");
    EXPECT_EQ(image.title, "塗潰しのオプション（編集画面）");
    EXPECT_EQ(image.checkedRadio(241, 242), 241);
    EXPECT_EQ(image.text(280), "背景色を境界にする");
    EXPECT_EQ(image.text(281), "自動的にダイアログを出す");
    EXPECT_EQ(image.value(360), 1);
    ControlTable mask = MakePaintOptionDialog(true, settings);
    EXPECT_EQ(mask.name, "PAINTOPTION2");
    EXPECT_EQ(mask.title, "塗潰しのオプション（マスク画面）");
    EXPECT_EQ(mask.checkedRadio(241, 242), 242);

    image.setValue(242, 1);
    image.setValue(280, 1);
    image.setValue(360, 0);
    FillOptions active;
    ApplyPaintOptionDialog(image, false, settings, active);
    EXPECT_EQ(settings.searchPlane1, 1);
    EXPECT_TRUE(settings.useBorder1);
    EXPECT_EQ(settings.searchPlane2, 1);
    EXPECT_FALSE(settings.useBorder2);
    EXPECT_EQ(settings.maskBorder, 0);
    EXPECT_EQ(active.searchPlane, 1);
    EXPECT_TRUE(active.useBorder);
    EXPECT_EQ(active.maskBorder, 0);
}
