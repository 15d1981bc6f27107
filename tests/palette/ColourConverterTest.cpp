#include "palette/ColourConverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace celdo;

namespace {

std::array<ColourValue, 256> destination(std::initializer_list<std::pair<int, ColourValue>> set) {
    std::array<ColourValue, 256> palette{};
    for (const auto& [index, value] : set)
        palette[index] = value;
    return palette;
}

// An 8-bit source of two rows: 0 1 2 3 / 1 1 5 5.
CellImagePtr eightBitSource() {
    auto source = CellImage::Create(4, 2, 8);
    const std::uint8_t rows[2][4] = {{0, 1, 2, 3}, {1, 1, 5, 5}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            source->at(x, y) = rows[y][x];
    std::array<ColourValue, 256> palette{};
    palette[1] = rgb(100, 100, 100);
    palette[2] = rgb(120, 120, 120);
    palette[3] = rgb(250, 0, 0);
    palette[5] = rgb(140, 140, 140);
    source->SetPalette(palette.data(), 256);
    return source;
}

const auto greys = destination({{1, rgb(100, 100, 100)}, {2, rgb(140, 140, 140)}});

} // namespace

TEST(ColourConverter, CountsAssignsAndRendersAnIndexedSource) {
    ColourConversionSettings settings;
    ColourConverter converter(eightBitSource(), greys.data(), settings);
    ASSERT_EQ(converter.status(), status::Ok);
    EXPECT_EQ(converter.sourceColourCount(), 256);
    EXPECT_EQ(converter.pixelCount(0), 1u);
    EXPECT_EQ(converter.pixelCount(1), 3u);
    EXPECT_EQ(converter.pixelCount(5), 2u);
    EXPECT_EQ(converter.pixelCount(4), 0u);
    // Entries 3 … 255 repeat entry 0: the last usable destination entry is 2.
    EXPECT_EQ(settings.lastSource, 255);
    EXPECT_EQ(settings.lastDestination, 2);

    EXPECT_EQ(converter.mapping(0), ColourMapping::single(0)); // below ConvertSrc
    EXPECT_EQ(converter.mapping(1), ColourMapping::single(1));
    EXPECT_EQ(converter.mapping(2), ColourMapping::mix(1, 1, 2));
    EXPECT_EQ(converter.mapping(3), ColourMapping::single(1)); // nothing within reach
    EXPECT_EQ(converter.mapping(5), ColourMapping::single(2));
    EXPECT_EQ(converter.mapping(4), ColourMapping::single(4)); // absent: keeps its index

    const CellImage& out = *converter.converted();
    EXPECT_EQ(out.paletteEntry(2), rgb(140, 140, 140));
    const int expected[2][4] = {{0, 1, 2, 1}, {1, 1, 2, 2}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.at(x, y), expected[y][x]) << x << "," << y;
}

TEST(ColourConverter, RangesArePulledBelowTheLastValues) {
    // Two source colours: the last is 1, so ConvertSrc 1 becomes 0.
    ColourConversionSettings settings;
    auto oneBit = CellImage::Create(10, 1, 1);
    oneBit->row(0)[0] = 0xA0; // 1 0 1 0 0 0 0 0
    oneBit->row(0)[1] = 0x40; // 0 1
    const auto onlyOne = destination({{1, rgb(255, 255, 255)}});
    ColourConverter converter(std::move(oneBit), onlyOne.data(), settings);
    ASSERT_EQ(converter.status(), status::Ok);
    EXPECT_EQ(settings.lastSource, 1);
    EXPECT_EQ(settings.convertSrc, 0);
    EXPECT_EQ(settings.lastDestination, 1);
    EXPECT_EQ(settings.convertDes, 0);
    EXPECT_EQ(converter.pixelCount(1), 3u);
    EXPECT_EQ(converter.pixelCount(0), 7u);
    // Black to entry 0, white to entry 1 (the 1-bit palette).
    EXPECT_EQ(converter.converted()->at(0, 0), 1);
    EXPECT_EQ(converter.converted()->at(1, 0), 0);
    EXPECT_EQ(converter.converted()->at(9, 0), 1);

    // No usable entry above 0: the last destination entry is 255.
    ColourConversionSettings other;
    const auto black = destination({});
    ColourConverter blackOnly(CellImage::Create(2, 2, 8), black.data(), other);
    EXPECT_EQ(other.lastDestination, 255);
    EXPECT_EQ(other.convertDes, 1);
}

TEST(ColourConverter, FourBitRowsAreReadHighNibbleFirst) {
    ColourConversionSettings settings;
    auto four = CellImage::Create(3, 1, 4);
    four->row(0)[0] = 0x12;
    four->row(0)[1] = 0x30;
    ColourConverter converter(std::move(four), greys.data(), settings);
    EXPECT_EQ(converter.sourceColourCount(), 16);
    EXPECT_EQ(converter.pixelCount(1), 1u);
    EXPECT_EQ(converter.pixelCount(2), 1u);
    EXPECT_EQ(converter.pixelCount(3), 1u);
    EXPECT_EQ(converter.pixelCount(0), 0u);
}

TEST(ColourConverter, TrueColourSourcesUseLevelColoursAndNoSourceRange) {
    ColourConversionSettings settings;
    auto full = CellImage::Create(2, 1, 24);
    std::uint8_t* p = full->row(0);
    p[3] = p[4] = p[5] = 255; // pixel 1 white, pixel 0 black
    const auto bw = destination({{1, rgb(0, 0, 0)}, {7, rgb(255, 255, 255)}});
    ColourConverter converter(std::move(full), bw.data(), settings);
    EXPECT_EQ(converter.sourceColourCount(), LevelColourCount);
    EXPECT_EQ(settings.lastSource, LevelColourCount - 1);
    EXPECT_EQ(converter.pixelCount(0), 1u);
    EXPECT_EQ(converter.pixelCount(4912), 1u);
    // Black is converted although it is source colour 0; entry 1 (a duplicate
    // of entry 0) is never chosen and ConvertDes keeps entry 0 out, so black
    // takes the first usable entry 7 at distance 20000.
    EXPECT_EQ(converter.mapping(0), ColourMapping::single(7));
    EXPECT_EQ(converter.mapping(4912), ColourMapping::single(7));
    EXPECT_EQ(converter.sourceColour(4912), (ColourTriple{255, 255, 255}));
}

TEST(ColourConverter, MissingSourceReportsOutOfMemory) {
    ColourConversionSettings settings;
    ColourConverter converter(nullptr, greys.data(), settings);
    EXPECT_EQ(converter.status(), status::OutOfMemory);
    EXPECT_EQ(converter.sourceColourCount(), 0);
    EXPECT_TRUE(converter.candidates(0).empty());
    EXPECT_FALSE(converter.assignManually(0, ColourMapping::single(1)));
}

TEST(ColourConverter, RangeStartingAboveItsEndMapsEverythingToZero) {
    ColourConversionSettings settings;
    ColourConverter converter(eightBitSource(), greys.data(), settings);
    settings.convertDes = 2;
    settings.lastDestination = 1;
    converter.assignAutomatically();
    converter.render();
    for (int n : {1, 2, 3, 5})
        EXPECT_EQ(converter.mapping(n), ColourMapping::single(0)) << n;
    EXPECT_EQ(converter.converted()->at(1, 1), 0);
}

TEST(ColourConverter, CandidatesAreRankedOverTheWholePalette) {
    // Scores for (120, 120, 120): entry 0 is 10 away, entries 1 and 2 100,
    // entry 3 out of reach; the pairs' eighths are 13, 13 and 25.
    ColourConversionSettings settings;
    auto source = CellImage::Create(1, 1, 8);
    source->at(0, 0) = 2;
    std::array<ColourValue, 256> own{};
    own[2] = rgb(120, 120, 120);
    source->SetPalette(own.data(), 256);
    const auto palette = destination({{0, rgb(118, 118, 118)},
                                      {1, rgb(100, 100, 100)},
                                      {2, rgb(140, 140, 140)},
                                      {3, rgb(250, 0, 0)}});
    ColourConverter converter(std::move(source), palette.data(), settings);
    const std::vector<ColourCandidate> expected = {
        {ColourMapping::single(0), 10},    {ColourMapping::mix(1, 1, 2), 25},
        {ColourMapping::mix(2, 0, 2), 28}, {ColourMapping::mix(2, 0, 1), 48},
        {ColourMapping::mix(1, 0, 2), 58}, {ColourMapping::mix(1, 0, 1), 68},
        {ColourMapping::mix(2, 1, 2), 75}, {ColourMapping::mix(2, 2, 1), 75},
        {ColourMapping::mix(2, 2, 0), 83}, {ColourMapping::mix(2, 1, 0), 93},
        {ColourMapping::single(1), 100},   {ColourMapping::single(2), 100},
    };
    EXPECT_EQ(converter.candidates(2), expected);

    settings.useTile = false;
    const std::vector<ColourCandidate> singles = {{ColourMapping::single(0), 10},
                                                  {ColourMapping::single(1), 100},
                                                  {ColourMapping::single(2), 100}};
    EXPECT_EQ(converter.candidates(2), singles);
}

TEST(ColourConverter, CandidateListHoldsTheHundredBest) {
    ColourConversionSettings settings;
    auto source = CellImage::Create(1, 1, 8);
    source->at(0, 0) = 0;
    std::array<ColourValue, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(100 + i % 8, 100 + (i / 8) % 8, 100 + i / 64);
    source->SetPalette(palette.data(), 256);
    ColourConverter converter(std::move(source), palette.data(), settings);
    const auto list = converter.candidates(0);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front(), (ColourCandidate{ColourMapping::single(0), 0}));
    for (std::size_t k = 1; k < list.size(); ++k)
        EXPECT_LE(list[k - 1].score, list[k].score);
    // Whatever the ties, the kept scores are the hundred smallest of all.
    std::vector<int> all;
    const ColourTriple c{100, 100, 100};
    for (int p = 0; p < 256; ++p) {
        const ColourTriple a = tripleOf(palette[p]);
        all.push_back(colourDistance(c, a, 70));
        for (int q = p + 1; q < 256; ++q) {
            const ColourTriple b = tripleOf(palette[q]);
            const int base = (colourDistance(c, a, 70) + colourDistance(c, b, 70)) / 8;
            all.push_back(
                colourDistance(c, {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}, 70) + base);
            all.push_back(
                colourDistance(c, {(3 * a.r + b.r) / 4, (3 * a.g + b.g) / 4, (3 * a.b + b.b) / 4},
                               70) +
                base);
            all.push_back(
                colourDistance(c, {(3 * b.r + a.r) / 4, (3 * b.g + a.g) / 4, (3 * b.b + a.b) / 4},
                               70) +
                base);
        }
    }
    std::sort(all.begin(), all.end());
    for (std::size_t k = 0; k < list.size(); ++k)
        EXPECT_EQ(list[k].score, all[k]) << k;
}

TEST(ColourConverter, ManualAssignmentReplacesAndRerenders) {
    ColourConversionSettings settings;
    ColourConverter converter(eightBitSource(), greys.data(), settings);
    EXPECT_FALSE(converter.assignManually(5, ColourMapping::single(2)));
    EXPECT_TRUE(converter.assignManually(5, ColourMapping::mix(2, 1, 2)));
    EXPECT_EQ(converter.mapping(5), ColourMapping::mix(2, 1, 2));
    // (2, 1) and (3, 1): only (3, 1) has both coordinates odd.
    EXPECT_EQ(converter.converted()->at(2, 1), 1);
    EXPECT_EQ(converter.converted()->at(3, 1), 2);
}
