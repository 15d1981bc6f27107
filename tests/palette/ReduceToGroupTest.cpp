#include "palette/ReduceToGroup.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace celdo;

namespace {

void putPixel(CellImage& image, int x, int y, int r, int g, int b) {
    std::uint8_t* p = image.row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(b);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(r);
}

CellImagePtr filled(int w, int h, int r, int g, int b) {
    auto image = CellImage::Create(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            putPixel(*image, x, y, r, g, b);
    return image;
}

} // namespace

TEST(ReduceToGroup, ExactColoursKeepTheirEntriesAndThePaletteIsSet) {
    std::array<ColourValue, 256> palette{};
    palette[5] = rgb(255, 255, 255);
    palette[9] = rgb(0, 0, 0); // a duplicate of entry 0
    auto source = filled(3, 2, 0, 0, 0);
    putPixel(*source, 1, 0, 255, 255, 255);
    putPixel(*source, 2, 1, 250, 251, 252); // quantised to white
    auto reduced = ReduceToGroup(*source, palette.data(), {});
    ASSERT_TRUE(reduced);
    EXPECT_EQ(reduced->bitsPerPixel(), 8);
    EXPECT_EQ(reduced->width(), 3);
    EXPECT_EQ(reduced->height(), 2);
    EXPECT_EQ(reduced->paletteEntry(5), rgb(255, 255, 255));
    EXPECT_EQ(reduced->colorTable()[5], 0xFFFFFFu);
    EXPECT_EQ(reduced->at(0, 0), 0);
    EXPECT_EQ(reduced->at(1, 0), 5);
    EXPECT_EQ(reduced->at(2, 1), 5);
    EXPECT_EQ(reduced->at(0, 1), 0);
}

TEST(ReduceToGroup, MixesAreDrawnAtTheirImagePositions) {
    // Level colour 128 lies midway between entries 1 and 2: a checkerboard
    // with entry 1 where x + y is odd.
    std::array<ColourValue, 256> palette{};
    palette[1] = rgb(112, 112, 112);
    palette[2] = rgb(144, 144, 144);
    auto source = filled(4, 3, 128, 128, 128);
    auto reduced = ReduceToGroup(*source, palette.data(), {});
    ASSERT_TRUE(reduced);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(reduced->at(x, y), (x + y) % 2 ? 1 : 2) << x << "," << y;
}

TEST(ReduceToGroup, RefusesOtherDepths) {
    std::array<ColourValue, 256> palette{};
    auto eight = CellImage::Create(4, 4, 8);
    EXPECT_EQ(ReduceToGroup(*eight, palette.data(), {}), nullptr);
    auto empty = CellImage::Create(4, 4, 24, false);
    EXPECT_EQ(ReduceToGroup(*empty, palette.data(), {}), nullptr);
}

TEST(ReduceToGroup, ReportsProgressInRows) {
    std::array<ColourValue, 256> palette{};
    palette[1] = rgb(255, 255, 255);
    auto source = filled(8, 200, 0, 0, 0);
    putPixel(*source, 3, 3, 255, 255, 255);
    std::vector<std::pair<long long, long long>> reports;
    auto reduced = ReduceToGroup(*source, palette.data(), {}, [&](long long done, long long total) {
        reports.emplace_back(done, total);
    });
    ASSERT_TRUE(reduced);
    ASSERT_FALSE(reports.empty());
    for (std::size_t k = 1; k < reports.size(); ++k)
        EXPECT_LE(reports[k - 1].first, reports[k].first);
    EXPECT_EQ(reports.back(), std::make_pair(200LL, 200LL));
    EXPECT_EQ(reduced->at(3, 3), 1);
    EXPECT_EQ(reduced->at(4, 3), 0);
}

// The fast reduction must give exactly the literal rule's picture.
TEST(ReduceToGroup, AgreesWithTheLiteralRuleOnRandomPicturesAndPalettes) {
    std::mt19937 random(777);
    auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int round = 0; round < 8; ++round) {
        std::array<ColourValue, 256> palette{};
        const int spread = round % 2 ? 255 : 6;
        const int centre = uniform(60, 200);
        for (auto& entry : palette) {
            auto channel = [&]() {
                return spread == 255 ? uniform(0, 255)
                                     : std::clamp(centre + uniform(-spread, spread), 0, 255);
            };
            entry = rgb(channel(), channel(), channel());
        }
        for (int k = 0; k < 10; ++k)
            palette[uniform(0, 255)] = palette[uniform(0, 255)];
        ColourMatchOptions options;
        options.useTile2 = round != 3;
        options.useTile = round != 5;
        const int w = uniform(1, 40), h = uniform(1, 40);
        auto source = CellImage::Create(w, h, 24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                putPixel(*source, x, y, uniform(0, 255), uniform(0, 255), uniform(0, 255));
        auto fast = ReduceToGroup(*source, palette.data(), options);
        auto literal = detail::ReduceToGroupReference(*source, palette.data(), options);
        ASSERT_TRUE(fast && literal);
        ASSERT_TRUE(fast->samePixels(*literal)) << "round " << round;
    }
    // Tall enough to be split into bands on several threads.
    std::array<ColourValue, 256> palette{};
    for (auto& entry : palette)
        entry = random() & 0xFFFFFF;
    auto source = CellImage::Create(33, 301, 24);
    for (int y = 0; y < 301; ++y)
        for (int x = 0; x < 33; ++x)
            putPixel(*source, x, y, (x * 8) & 255, (y * 5) & 255, (x * y) & 255);
    auto fast = ReduceToGroup(*source, palette.data(), {});
    auto literal = detail::ReduceToGroupReference(*source, palette.data(), {});
    ASSERT_TRUE(fast && literal);
    EXPECT_TRUE(fast->samePixels(*literal));
}
