#include "boards/TextPaste.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace celdo;

namespace {

// A font engine with fixed metrics: every character advances 8 pixels and a
// line is 16 pixels high.  It draws what a test tells it and remembers what
// it was asked.
class FixedMetricsRenderer : public TextRenderer {
public:
    Extent measure(const LogicalFont&, const std::string& text, bool) override {
        ++measured;
        return {8 * static_cast<int>(text.size()), 16};
    }
    std::vector<std::uint8_t> render(const LogicalFont& font, const std::string&, bool vertical,
                                     const TextPlacement& placement) override {
        escapement = font.escapement;
        face = font.faceName;
        wasVertical = vertical;
        asked = placement;
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < placement.height; ++y)
            for (int x = 0; x < placement.width; ++x)
                pixels.push_back(draw(x, y));
        return pixels;
    }

    // Text in the top-left 2 × 2 pixels by default.
    std::function<std::uint8_t(int, int)> draw = [](int x, int y) -> std::uint8_t {
        return x < 2 && y < 2 ? 0 : 255;
    };
    int measured = 0;
    int escapement = -1;
    std::string face;
    bool wasVertical = false;
    TextPlacement asked;
};

TextPasteSettings textOf(const std::string& text) {
    TextPasteSettings settings;
    settings.font.faceName = "Mono";
    settings.text = text;
    return settings;
}

std::vector<ColourValue> greys() {
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = rgb(i, 255 - i, i / 2);
    return palette;
}

} // namespace

TEST(TextPaste, EscapementIsTenthsOfTheAngleAndVerticalTurnsItAQuarterMore) {
    EXPECT_EQ(textEscapement(0, false), 0);
    EXPECT_EQ(textEscapement(90, false), 900);
    EXPECT_EQ(textEscapement(359, false), 3590);
    EXPECT_EQ(textEscapement(0, true), 2700);
    EXPECT_EQ(textEscapement(90, true), 0);
    EXPECT_EQ(textEscapement(120, true), 300);
}

TEST(TextPaste, SizeNumbersAndHeightsConvertBothWays) {
    EXPECT_EQ(fontHeightForSize(18), 24);
    EXPECT_EQ(fontSizeForHeight(24), 18);
    EXPECT_EQ(fontHeightForSize(10), 13);
    EXPECT_EQ(fontSizeForHeight(13), 10);
    EXPECT_EQ(fontSizeForHeight(12), 9);
    EXPECT_EQ(fontSizeForHeight(-16), 12);
}

TEST(TextPaste, WithoutEscapementThePictureIsTheMeasuredText) {
    const TextPlacement p = placeText(0, 40, 16);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 16);
    EXPECT_EQ(p.originX, 0);
    EXPECT_EQ(p.originY, 0);
}

TEST(TextPaste, AtNinetyDegreesThePictureStandsAndStartsBottomLeft) {
    const TextPlacement p = placeText(900, 40, 16);
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 40);
    EXPECT_EQ(p.originX, 0);
    EXPECT_EQ(p.originY, 40);
}

TEST(TextPaste, UpsideDownTextStartsAtTheBottomRight) {
    const TextPlacement p = placeText(1800, 40, 16);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 16);
    EXPECT_EQ(p.originX, 40);
    EXPECT_EQ(p.originY, 16);
}

TEST(TextPaste, EachQuadrantStartsFromItsOwnCorner) {
    // sin 45° = cos 45° = 0.7071: W = H = ⌊0.7071 × 56 + 0.5⌋ = 40 and
    // 0.7071 × 16 = 11.31.
    const TextPlacement first = placeText(450, 40, 16);
    EXPECT_EQ(first.width, 40);
    EXPECT_EQ(first.height, 40);
    EXPECT_EQ(first.originX, 0);
    EXPECT_EQ(first.originY, 29); // ⌊40 − 11.31 + 0.5⌋

    const TextPlacement second = placeText(1350, 40, 16);
    EXPECT_EQ(second.width, 40);
    EXPECT_EQ(second.originX, 29);
    EXPECT_EQ(second.originY, 40);

    const TextPlacement third = placeText(2250, 40, 16);
    EXPECT_EQ(third.originX, 40);
    EXPECT_EQ(third.originY, 11); // ⌊11.31 + 0.5⌋

    // 300°: s = 0.8660, c = 0.5; W = ⌊20 + 13.86 + 0.5⌋, H = ⌊34.64 + 8 + 0.5⌋.
    const TextPlacement fourth = placeText(3000, 40, 16);
    EXPECT_EQ(fourth.width, 34);
    EXPECT_EQ(fourth.height, 43);
    EXPECT_EQ(fourth.originX, 14); // ⌊13.86 + 0.5⌋
    EXPECT_EQ(fourth.originY, 0);
}

TEST(TextPaste, VerticalWritingRendersDownwardsFromTheTopRight) {
    FixedMetricsRenderer renderer;
    TextPasteSettings settings = textOf("ABCDE");
    settings.vertical = true;
    const auto rendering = RenderText(settings, renderer);
    ASSERT_TRUE(rendering);
    EXPECT_EQ(renderer.escapement, 2700);
    EXPECT_TRUE(renderer.wasVertical);
    EXPECT_EQ(renderer.face, "Mono");
    // Five characters of 8 pixels down, one line of 16 across.
    EXPECT_EQ(rendering->width, 16);
    EXPECT_EQ(rendering->height, 40);
    EXPECT_EQ(renderer.asked.originX, 16);
    EXPECT_EQ(renderer.asked.originY, 0);
    // The settings' own font keeps no escapement.
    EXPECT_EQ(settings.font.escapement, 0);
}

TEST(TextPaste, HorizontalTextAtAnAngleIsMeasuredAndTurned) {
    FixedMetricsRenderer renderer;
    TextPasteSettings settings = textOf("ABCDE");
    settings.angle = 90;
    const auto rendering = RenderText(settings, renderer);
    ASSERT_TRUE(rendering);
    EXPECT_EQ(renderer.escapement, 900);
    EXPECT_FALSE(renderer.wasVertical);
    EXPECT_EQ(rendering->width, 16);
    EXPECT_EQ(rendering->height, 40);
    EXPECT_EQ(rendering->pixels.size(), 16u * 40u);
}

TEST(TextPaste, NoTextRendersNothing) {
    FixedMetricsRenderer renderer;
    EXPECT_FALSE(RenderText(textOf(""), renderer));
    EXPECT_EQ(renderer.measured, 0);
}

TEST(TextPaste, SmoothedEdgesBecomeTextOrBackground) {
    FixedMetricsRenderer renderer;
    renderer.draw = [](int x, int) -> std::uint8_t {
        const std::uint8_t shades[] = {0, 127, 128, 255};
        return shades[x % 4];
    };
    const auto rendering = RenderText(textOf("A"), renderer);
    ASSERT_TRUE(rendering);
    ASSERT_EQ(rendering->width, 8);
    const std::vector<std::uint8_t> row(rendering->pixels.begin(), rendering->pixels.begin() + 8);
    EXPECT_EQ(row, (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 0, 255, 255}));
}

TEST(TextPaste, PictureIsTheCurrentColourOnTheBorderColour) {
    TextRendering rendering;
    rendering.width = 3;
    rendering.height = 2;
    rendering.pixels = {0,   255, 255, //
                        255, 0,   0};
    const auto palette = greys();
    const CellImagePtr picture = MakeTextPicture(rendering, palette.data(), 7, 3);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->bitsPerPixel(), 8);
    EXPECT_EQ(picture->width(), 3);
    EXPECT_EQ(picture->height(), 2);
    EXPECT_EQ(picture->at(0, 0), 7);
    EXPECT_EQ(picture->at(1, 0), 3);
    EXPECT_EQ(picture->at(2, 0), 3);
    EXPECT_EQ(picture->at(0, 1), 3);
    EXPECT_EQ(picture->at(1, 1), 7);
    EXPECT_EQ(picture->at(2, 1), 7);
    EXPECT_EQ(picture->paletteEntry(7), rgb(7, 248, 3));
    EXPECT_EQ(picture->paletteEntry(200), rgb(200, 55, 100));
}

TEST(TextPaste, MaskingTheBackgroundLeavesTheTextOpen) {
    TextRendering rendering;
    rendering.width = 2;
    rendering.height = 2;
    rendering.pixels = {0, 255, 255, 255};
    const CellImagePtr mask = MakeTextMask(rendering, true, false);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->bitsPerPixel(), 8);
    EXPECT_EQ(mask->at(0, 0), 0);
    EXPECT_EQ(mask->at(1, 0), 255);
    EXPECT_EQ(mask->at(0, 1), 255);
    EXPECT_EQ(mask->at(1, 1), 255);
}

TEST(TextPaste, MaskingTheTextInvertsTheRenderingAndWinsOverBackground) {
    TextRendering rendering;
    rendering.width = 2;
    rendering.height = 1;
    rendering.pixels = {0, 255};
    for (bool background : {false, true}) {
        const CellImagePtr mask = MakeTextMask(rendering, background, true);
        ASSERT_TRUE(mask);
        EXPECT_EQ(mask->at(0, 0), 255);
        EXPECT_EQ(mask->at(1, 0), 0);
    }
}

TEST(TextPaste, NoMaskUnlessOneIsAskedFor) {
    TextRendering rendering;
    rendering.width = 1;
    rendering.height = 1;
    rendering.pixels = {0};
    EXPECT_FALSE(MakeTextMask(rendering, false, false));
}
