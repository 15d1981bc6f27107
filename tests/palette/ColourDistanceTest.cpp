#include "palette/ColourDistance.h"
#include "palette/ColourMatcher.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace celdo;

namespace {

// A palette of black everywhere except the given entries; the black entries
// above 0 are duplicates of entry 0 and so never chosen.
std::array<ColourValue, 256> paletteWith(std::initializer_list<std::pair<int, ColourValue>> set) {
    std::array<ColourValue, 256> palette{};
    for (const auto& [index, value] : set)
        palette[index] = value;
    return palette;
}

ColourMapping mapOver(ColourTriple c, const std::array<ColourValue, 256>& palette, int lo, int hi,
                      ColourMatchOptions options = {}) {
    std::array<std::uint8_t, 256> usable;
    buildUsableFlags(palette.data(), usable.data());
    return mapColourDirect(c, palette.data(), usable.data(), lo, hi, options);
}

} // namespace

TEST(ColourDistance, WeighsChannelsLuminanceAndChrominance) {
    // Y = 4640 >> 8 = 18, I = -2330 >> 8 = -10 (rounded down), Q = 260 >> 8 = 1.
    EXPECT_EQ(colourDistance({0, 0, 0}, {10, 20, 30}, 70), 60 + 2 * (18 + 10) + 1);
    EXPECT_EQ(colourDistance({10, 20, 30}, {0, 0, 0}, 70), 117);
    // Y = 21, I = 41, Q = 14.
    EXPECT_EQ(colourDistance({0, 0, 0}, {70, 0, 0}, 70), 70 + 2 * (21 + 41) + 14);
    EXPECT_EQ(colourDistance({5, 6, 7}, {5, 6, 7}, 70), 0);
}

TEST(ColourDistance, AChannelBeyondTheCutOffIsOutOfReach) {
    EXPECT_EQ(colourDistance({0, 0, 0}, {71, 0, 0}, 70), OutOfReachDistance);
    EXPECT_EQ(colourDistance({0, 100, 0}, {0, 0, 0}, 70), OutOfReachDistance);
    EXPECT_EQ(colourDistance({0, 0, 200}, {0, 0, 100}, 99), OutOfReachDistance);
    EXPECT_FALSE(withinReach({0, 0, 0}, {0, 0, 71}, 70));
    EXPECT_TRUE(withinReach({0, 0, 0}, {70, 70, 70}, 70));
}

TEST(ColourMapping, TextsPatternsAndMixedColours) {
    EXPECT_EQ(mappingText(ColourMapping::single(5)), "  [  5]");
    EXPECT_EQ(mappingText(ColourMapping::mix(1, 1, 2)), "  [  1]+[  2]");
    EXPECT_EQ(mappingText(ColourMapping::mix(2, 10, 200)), "3*[ 10]+[200]");

    const ColourMapping half = ColourMapping::mix(1, 7, 9);
    EXPECT_EQ(half.indexAt(0, 0), 9);
    EXPECT_EQ(half.indexAt(1, 0), 7);
    EXPECT_EQ(half.indexAt(0, 1), 7);
    EXPECT_EQ(half.indexAt(3, 5), 9);
    const ColourMapping quarter = ColourMapping::mix(2, 7, 9);
    EXPECT_EQ(quarter.indexAt(1, 1), 9);
    EXPECT_EQ(quarter.indexAt(3, 5), 9);
    EXPECT_EQ(quarter.indexAt(0, 0), 7);
    EXPECT_EQ(quarter.indexAt(1, 0), 7);
    EXPECT_EQ(quarter.indexAt(0, 1), 7);
    EXPECT_EQ(ColourMapping::single(4).indexAt(1, 1), 4);

    const auto palette = paletteWith({{1, rgb(0, 10, 255)}, {2, rgb(3, 20, 0)}});
    EXPECT_EQ(mixedColour(ColourMapping::single(1), palette.data()), (ColourTriple{0, 10, 255}));
    EXPECT_EQ(mixedColour(ColourMapping::mix(1, 1, 2), palette.data()), (ColourTriple{1, 15, 127}));
    EXPECT_EQ(mixedColour(ColourMapping::mix(2, 1, 2), palette.data()), (ColourTriple{0, 12, 191}));
    EXPECT_EQ(mixedColour(ColourMapping::mix(2, 2, 1), palette.data()), (ColourTriple{2, 17, 63}));
}

TEST(ColourMapping, LevelColours) {
    EXPECT_EQ(levelOf(7), 0);
    EXPECT_EQ(levelOf(8), 1);
    EXPECT_EQ(levelOf(247), 15);
    EXPECT_EQ(levelOf(248), 16);
    EXPECT_EQ(levelColourNumber(255, 255, 255), 4912);
    EXPECT_EQ(levelColourNumber(16, 0, 40), 289 + 3);
    EXPECT_EQ(levelColour(4912), (ColourTriple{255, 255, 255}));
    EXPECT_EQ(levelColour(289 * 2 + 17 * 16 + 5), (ColourTriple{32, 255, 80}));
}

TEST(ColourMapping, UsableFlagsSkipLaterDuplicates) {
    auto palette = paletteWith({{1, rgb(1, 2, 3)}, {2, rgb(9, 9, 9)}, {4, rgb(9, 9, 9)}});
    std::array<std::uint8_t, 256> usable;
    buildUsableFlags(palette.data(), usable.data());
    EXPECT_EQ(usable[0], 1);
    EXPECT_EQ(usable[1], 1);
    EXPECT_EQ(usable[2], 1);
    EXPECT_EQ(usable[3], 0); // black, like entry 0
    EXPECT_EQ(usable[4], 0);
    EXPECT_EQ(usable[255], 0);
}

TEST(AutomaticMapping, ExactMatchWinsEvenWithMixes) {
    auto palette =
        paletteWith({{1, rgb(100, 100, 100)}, {2, rgb(140, 140, 140)}, {3, rgb(120, 120, 120)}});
    EXPECT_EQ(mapOver({120, 120, 120}, palette, 1, 255), ColourMapping::single(3));
}

TEST(AutomaticMapping, MidwayColourBecomesAHalfMix) {
    // Each entry is 100 away; the mean is exact, so the mix scores only the
    // pair's eighth, (100 + 100) / 8 = 25.
    auto palette = paletteWith({{1, rgb(100, 100, 100)}, {2, rgb(140, 140, 140)}});
    EXPECT_EQ(mapOver({120, 120, 120}, palette, 1, 255), ColourMapping::mix(1, 1, 2));
    ColourMatchOptions noTiles;
    noTiles.useTile = false;
    EXPECT_EQ(mapOver({120, 120, 120}, palette, 1, 255, noTiles), ColourMapping::single(1));
}

TEST(AutomaticMapping, QuarterColourBecomesAThreeQuarterMix) {
    // 110 is three quarters of 100 and one of 140; 130 the other way round.
    auto palette = paletteWith({{1, rgb(100, 100, 100)}, {2, rgb(140, 140, 140)}});
    EXPECT_EQ(mapOver({110, 110, 110}, palette, 1, 255), ColourMapping::mix(2, 1, 2));
    EXPECT_EQ(mapOver({130, 130, 130}, palette, 1, 255), ColourMapping::mix(2, 2, 1));
    ColourMatchOptions halvesOnly;
    halvesOnly.useTile2 = false;
    // 110: the entry 1 is 50 away, the half mix 50 + (50 + 150) / 8 = 75.
    EXPECT_EQ(mapOver({110, 110, 110}, palette, 1, 255, halvesOnly), ColourMapping::single(1));
}

TEST(AutomaticMapping, DuplicateEntriesAreNeverChosen) {
    auto palette = paletteWith({{3, rgb(50, 60, 70)}, {7, rgb(50, 60, 70)}});
    EXPECT_EQ(mapOver({50, 60, 70}, palette, 1, 255), ColourMapping::single(3));
    // With entry 3 outside the range, its duplicate 7 is still not chosen.
    const ColourMapping m = mapOver({50, 60, 70}, palette, 4, 255);
    EXPECT_NE(m.first, 7);
    EXPECT_NE(m.second, 7);
}

TEST(AutomaticMapping, RangeStartingAboveItsEndMapsToZero) {
    auto palette = paletteWith({{1, rgb(10, 10, 10)}, {5, rgb(200, 0, 0)}});
    EXPECT_EQ(mapOver({10, 10, 10}, palette, 9, 3), ColourMapping::single(0));
    EXPECT_EQ(mapOver({10, 10, 10}, palette, 300, 400), ColourMapping::single(0));
}

TEST(AutomaticMapping, OutOfReachEntriesAreChosenOnlyAlone) {
    // Nothing within 70: the first usable entry of the range wins with 20000.
    auto palette = paletteWith({{1, rgb(255, 0, 0)}, {2, rgb(0, 255, 0)}, {3, rgb(0, 0, 255)}});
    EXPECT_EQ(mapOver({128, 128, 128}, palette, 1, 255), ColourMapping::single(1));
    // A midway colour whose entries are out of reach is not mixed.
    auto far = paletteWith({{1, rgb(40, 40, 40)}, {2, rgb(200, 200, 200)}});
    EXPECT_EQ(mapOver({120, 120, 120}, far, 1, 255), ColourMapping::single(1));
}

TEST(AutomaticMapping, ZeroIsNotChosenFromRangeStartingAtOne) {
    auto palette = paletteWith({{1, rgb(90, 90, 90)}});
    EXPECT_EQ(mapOver({0, 0, 0}, palette, 1, 255), ColourMapping::single(1));
    EXPECT_EQ(mapOver({0, 0, 0}, palette, 0, 255), ColourMapping::single(0));
}

TEST(AutomaticMapping, SoftBrushMatchIgnoresDuplicates) {
    // Every index is usable: the lowest of two equal entries from the first
    // index on is painted.
    auto palette = paletteWith({{2, rgb(30, 30, 30)}, {6, rgb(30, 30, 30)}});
    EXPECT_EQ(matchAverageColour({30, 30, 30}, palette.data(), 3, {}), ColourMapping::single(6));
    EXPECT_EQ(matchAverageColour({30, 30, 30}, palette.data(), 1, {}), ColourMapping::single(2));
    // Black entries 1, 3, 4 … are duplicates of 0 but still chosen here.
    EXPECT_EQ(matchAverageColour({0, 0, 0}, palette.data(), 1, {}), ColourMapping::single(1));
}

// The fast matcher must agree with the plain rule everywhere, including on
// palettes of near-identical and duplicate entries, where pairs are many and
// ties are common.
TEST(ColourMatcher, AgreesWithTheDirectRuleOnRandomPalettes) {
    std::mt19937 random(12345);
    auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int round = 0; round < 48; ++round) {
        std::array<ColourValue, 256> palette{};
        const int style = round % 4;
        const ColourTriple centre{uniform(0, 255), uniform(0, 255), uniform(0, 255)};
        for (auto& entry : palette) {
            if (style == 0) {
                entry = rgb(uniform(0, 255), uniform(0, 255), uniform(0, 255));
            } else {
                const int spread = style == 1 ? 3 : (style == 2 ? 24 : 0);
                auto near = [&](int v) { return std::clamp(v + uniform(-spread, spread), 0, 255); };
                entry = rgb(near(centre.r), near(centre.g), near(centre.b));
            }
        }
        for (int k = 0; k < 20; ++k)
            palette[uniform(0, 255)] = palette[uniform(0, 255)];
        std::array<std::uint8_t, 256> usable;
        buildUsableFlags(palette.data(), usable.data());

        ColourMatchOptions options;
        options.useTile = round % 7 != 0;
        options.useTile2 = round % 5 != 0;
        options.rgbOut = round % 3 == 0 ? uniform(0, 255) : 70;
        const int lo = round % 6 == 0 ? uniform(0, 255) : 1;
        const int hi = round % 6 == 0 ? uniform(0, 255) : 255;
        const bool allUsable = round % 9 == 4;
        const std::uint8_t* flags = allUsable ? nullptr : usable.data();
        const ColourMatcher matcher(palette.data(), flags, lo, hi, options);
        for (int k = 0; k < 24; ++k) {
            ColourTriple c;
            if (k % 2 == 0) {
                c = {uniform(0, 255), uniform(0, 255), uniform(0, 255)};
            } else {
                auto near = [&](int v) { return std::clamp(v + uniform(-30, 30), 0, 255); };
                c = {near(centre.r), near(centre.g), near(centre.b)};
            }
            ASSERT_EQ(matcher.match(c), mapColourDirect(c, palette.data(), flags, lo, hi, options))
                << "round " << round << " colour " << c.r << "," << c.g << "," << c.b;
        }
    }
}

TEST(ColourMatcher, MatchAllMapsEveryColourAndReportsProgress) {
    std::mt19937 random(99);
    std::array<ColourValue, 256> palette{};
    for (auto& entry : palette)
        entry = random() & 0xFFFFFF;
    const ColourMatcher matcher(palette.data(), nullptr, 1, 255, {});
    std::vector<ColourTriple> colours;
    for (int n = 0; n < LevelColourCount; n += 7)
        colours.push_back(levelColour(n));
    std::vector<ColourMapping> out(colours.size());
    long long last = -1, total = 0;
    matcher.matchAll(colours.data(), colours.size(), out.data(),
                     [&](long long done, long long all) {
                         EXPECT_GE(done, last);
                         last = done;
                         total = all;
                     });
    EXPECT_EQ(last, static_cast<long long>(colours.size()));
    EXPECT_EQ(total, static_cast<long long>(colours.size()));
    for (std::size_t k = 0; k < colours.size(); ++k)
        ASSERT_EQ(out[k], mapColourDirect(colours[k], palette.data(), nullptr, 1, 255, {}));
}
