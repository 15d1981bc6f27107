#include "canvas/SizeChange.h"
#include "canvas/CanvasTestSupport.h"

using namespace celdo;
using celdo::testing::CanvasFixture;

namespace {

CanvasFixture numbered(int w, int h) {
    CanvasFixture f(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.picture().at(x, y) = static_cast<std::uint8_t>(x + 10 * y + 1);
    return f;
}

} // namespace

TEST(SizeChange, CuttingOnePixelAllRoundGivesTheInnerPart) {
    CanvasFixture f = numbered(10, 10);
    f.picture().SetPalette(nullptr, 256);
    EXPECT_EQ(f.canvas.ChangeSize({-1, -1, -1, -1}), SizeChangeResult::Applied);
    ASSERT_EQ(f.canvas.width(), 8);
    ASSERT_EQ(f.canvas.height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(f.at(x, y), (x + 1) + 10 * (y + 1) + 1);
    EXPECT_TRUE(f.canvas.surface().modified);
}

TEST(SizeChange, TwoColumnsAtTheLeftAreIndexZeroAndTheMaskFollows) {
    CanvasFixture f = numbered(10, 10);
    ColourValue palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, 255 - i, 7);
    f.picture().SetPalette(palette, 256);
    f.addMask().at(0, 3) = 0xFF;
    f.canvas.SetZoom(2);
    EXPECT_EQ(f.canvas.ChangeSize({2, 0, 0, 0}), SizeChangeResult::Applied);
    ASSERT_EQ(f.canvas.width(), 12);
    ASSERT_EQ(f.canvas.height(), 10);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(f.at(0, y), 0);
        EXPECT_EQ(f.at(1, y), 0);
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(f.at(x + 2, y), x + 10 * y + 1);
    }
    EXPECT_EQ(f.picture().paletteEntry(200), rgb(200, 55, 7));
    const CellImage& mask = *f.canvas.surface().mask;
    EXPECT_EQ(mask.width(), 12);
    EXPECT_EQ(mask.at(2, 3), 0xFF);
    EXPECT_EQ(mask.at(0, 3), 0);
    EXPECT_EQ(f.canvas.zoom().mode(), Zoom::Actual);
    EXPECT_EQ(f.canvas.zoom().viewWidth(), 12);

    // 更新 pressed again: the second change applies to the new picture and mask.
    EXPECT_EQ(f.canvas.ChangeSize({0, 0, -3, 1}), SizeChangeResult::Applied);
    EXPECT_EQ(f.canvas.width(), 9);
    EXPECT_EQ(f.canvas.height(), 11);
    EXPECT_EQ(f.canvas.surface().mask->height(), 11);
    EXPECT_EQ(f.canvas.surface().mask->at(2, 3), 0xFF);
    EXPECT_EQ(f.at(8, 10), 0);
    EXPECT_EQ(f.at(8, 9), 6 + 90 + 1);
}

TEST(SizeChange, RefusedSizesLeaveThePictureAlone) {
    CanvasFixture f = numbered(10, 10);
    EXPECT_EQ(f.canvas.ChangeSize({0, 0, 0, 0}), SizeChangeResult::Unchanged);
    EXPECT_EQ(f.canvas.ChangeSize({-6, 0, -5, 0}), SizeChangeResult::NegativeSize);
    // A size of zero passes the negative check but makes no picture.
    EXPECT_EQ(f.canvas.ChangeSize({0, -5, 0, -5}), SizeChangeResult::Failed);
    EXPECT_EQ(f.canvas.ChangeSize({40000, 0, 0, 0}), SizeChangeResult::Failed);
    EXPECT_EQ(f.canvas.width(), 10);
    EXPECT_EQ(f.at(9, 9), 100);
    EXPECT_FALSE(f.canvas.surface().modified);
    EXPECT_STREQ(NegativeSizeMessage, "変更後の大きさが負になります");
    EXPECT_STREQ(SizeChangeFailedMessage, "大きさの変更に失敗しました");
}

TEST(SizeChange, TrueColourMarginsAreWhite) {
    CellImagePtr image = CellImage::Create(2, 1, 24);
    image->row(0)[0] = 1;
    CellImagePtr out = ResizeWithMargins(*image, {0, 1, 1, 0});
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->width(), 3);
    EXPECT_EQ(out->height(), 2);
    EXPECT_EQ(out->row(0)[0], 0xFF);
    EXPECT_EQ(out->row(1)[0], 1);
    EXPECT_EQ(out->row(1)[3], 0);
    EXPECT_EQ(out->row(1)[6], 0xFF);
}

TEST(SizeChange, ProposalCutsTheBorder) {
    CanvasFixture f(6, 5);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 5; ++x)
            f.picture().at(x, y) = 3;
    EXPECT_EQ(ProposeMargins(f.picture()), (Margins{-1, -1, -1, -1}));

    CanvasFixture g(8, 6);
    g.picture().at(2, 1) = 1;
    g.picture().at(5, 3) = 1;
    EXPECT_EQ(ProposeMargins(g.picture()), (Margins{-2, -1, -2, -2}));

    CanvasFixture empty(4, 4);
    EXPECT_FALSE(ProposeMargins(empty.picture()).has_value());

    CellImagePtr white = CellImage::Create(3, 2, 24);
    std::fill(white->pixels(), white->pixels() + white->imageSize(), 0xFF);
    white->row(1)[0] = 0; // the bottom-left pixel is not white
    EXPECT_EQ(ProposeMargins(*white), (Margins{0, -1, -2, 0}));
}
