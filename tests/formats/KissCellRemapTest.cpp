#include "formats/KissCellRemap.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The 32-byte header of a "KiSS" cell.
Bytes kissHeader(int bits, int width, int height, int offsetX, int offsetY) {
    Bytes h(32, 0);
    h[0] = 'K', h[1] = 'i', h[2] = 'S', h[3] = 'S';
    h[4] = 0x20;
    h[5] = static_cast<std::uint8_t>(bits);
    h[8] = static_cast<std::uint8_t>(width), h[9] = static_cast<std::uint8_t>(width >> 8);
    h[10] = static_cast<std::uint8_t>(height), h[11] = static_cast<std::uint8_t>(height >> 8);
    h[12] = static_cast<std::uint8_t>(offsetX), h[13] = static_cast<std::uint8_t>(offsetX >> 8);
    h[14] = static_cast<std::uint8_t>(offsetY), h[15] = static_cast<std::uint8_t>(offsetY >> 8);
    return h;
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes cut(Bytes a, std::size_t size) {
    a.resize(size);
    return a;
}

PaletteRemap table(std::initializer_list<std::pair<int, int>> moves) {
    PaletteRemap remap;
    for (const auto& [from, to] : moves)
        remap.map(from, to);
    return remap;
}

TEST(KissCellRemap, AnOldCellRewritesBothNibblesAndKeepsThePadding) {
    // 3 × 2, left pixel in the high nibble; the odd width leaves F and E as
    // padding, and a 0x1A follows the pixels.
    Bytes bytes{0x03, 0x00, 0x02, 0x00, 0x12, 0x3F, 0x45, 0x6E, 0x1A};
    bool changed = false;
    ASSERT_EQ(RemapKissCellBytes(bytes, table({{1, 6}, {6, 1}, {3, 0}, {15, 2}, {14, 2}}), changed),
              status::Ok);
    EXPECT_TRUE(changed);
    EXPECT_EQ(bytes, (Bytes{0x03, 0x00, 0x02, 0x00, 0x62, 0x0F, 0x45, 0x1E, 0x1A}));
}

TEST(KissCellRemap, A16ColourKissCellKeepsItsHeader) {
    // The header holds bytes equal to remapped indices (4 bits, width 2,
    // offsets 1 and 2); only the pixels move.
    const Bytes header = kissHeader(4, 2, 2, 1, 2);
    Bytes bytes = join(header, {0x10, 0x01});
    bool changed = false;
    ASSERT_EQ(RemapKissCellBytes(bytes, PaletteRemap::exchange(1, 2), changed), status::Ok);
    EXPECT_TRUE(changed);
    EXPECT_EQ(bytes, join(header, {0x20, 0x02}));
}

TEST(KissCellRemap, A256ColourCellRewritesEveryByteOfItsPixels) {
    const Bytes header = kissHeader(8, 3, 2, 200, 0);
    Bytes bytes = join(header, {0, 200, 255, 201, 199, 7, 200});
    bool changed = false;
    ASSERT_EQ(RemapKissCellBytes(bytes, PaletteRemap::deletion(200), changed), status::Ok);
    EXPECT_TRUE(changed);
    // The byte after the six pixels is not one.
    EXPECT_EQ(bytes, join(header, {0, 0, 254, 200, 199, 7, 200}));
}

TEST(KissCellRemap, ATrueColourCellOrAnUnusedIndexChangesNothing) {
    const Bytes trueColour = join(kissHeader(32, 1, 1, 0, 0), {1, 2, 3, 255});
    Bytes bytes = trueColour;
    bool changed = true;
    ASSERT_EQ(RemapKissCellBytes(bytes, PaletteRemap::exchange(1, 3), changed), status::Ok);
    EXPECT_FALSE(changed);
    EXPECT_EQ(bytes, trueColour);

    const Bytes indexed = join(kissHeader(8, 2, 1, 0, 0), {4, 5});
    bytes = indexed;
    changed = true;
    ASSERT_EQ(RemapKissCellBytes(bytes, PaletteRemap::exchange(1, 3), changed), status::Ok);
    EXPECT_FALSE(changed);
    EXPECT_EQ(bytes, indexed);
}

TEST(KissCellRemap, A16ColourCellRefusesAnIndexAboveFifteen) {
    // Pixels 2, 9, 0; padding 15.
    const Bytes cell{0x03, 0x00, 0x01, 0x00, 0x29, 0x0F};
    Bytes bytes = cell;
    bool changed = true;
    EXPECT_EQ(RemapKissCellBytes(bytes, table({{2, 3}, {9, 16}}), changed),
              status::DepthNotSavable);
    EXPECT_FALSE(changed);
    EXPECT_EQ(bytes, cell);

    // Neither an index the cell does not use nor the padding counts.
    ASSERT_EQ(RemapKissCellBytes(bytes, table({{2, 3}, {11, 40}, {15, 99}}), changed), status::Ok);
    EXPECT_TRUE(changed);
    EXPECT_EQ(bytes, (Bytes{0x03, 0x00, 0x01, 0x00, 0x39, 0x0F}));
}

TEST(KissCellRemap, BytesThatAreNoWholeCellAreRefused) {
    const std::vector<Bytes> broken{
        {0x01, 0x00, 0x01},                               // shorter than the size words
        {0x03, 0x00, 0x02, 0x00, 0x11, 0x11, 0x11},       // one byte of pixels short
        {0x00, 0x00, 0x01, 0x00, 0x11},                   // no width
        {0x01, 0x00, 0xFF, 0xFF, 0x11},                   // a negative height
        cut(kissHeader(8, 1, 1, 0, 0), 31),               // a header cut short
        join(kissHeader(24, 1, 1, 0, 0), {1, 2, 3}),      // no such depth
        join(kissHeader(32, 2, 1, 0, 0), Bytes(7, 0x11)), // one byte short
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        SCOPED_TRACE(i);
        Bytes bytes = broken[i];
        bool changed = true;
        EXPECT_EQ(RemapKissCellBytes(bytes, PaletteRemap::deletion(0), changed),
                  status::FormatError);
        EXPECT_FALSE(changed);
        EXPECT_EQ(bytes, broken[i]);
    }
}

} // namespace
} // namespace celdo
