#include "canvas/PasteCompose.h"
#include "canvas/MaskClipboard.h"

#include <gtest/gtest.h>

#include <array>

using namespace celdo;

namespace {

// A w × h 8-bit record filled row by row from `bytes` (top row first).
CellImagePtr imageOf(int w, int h, std::initializer_list<std::uint8_t> bytes) {
    auto image = CellImage::Create(w, h, 8);
    auto it = bytes.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->at(x, y) = *it++;
    return image;
}

CellImagePtr filled(int w, int h, std::uint8_t v) {
    auto image = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->at(x, y) = v;
    return image;
}

PaintSurface targetOf(int w, int h, std::uint8_t v) {
    PaintSurface s;
    s.picture = filled(w, h, v);
    return s;
}

Rect composeAndLay(PaintSurface& s, const CellImage& paste, const CellImage* pasteMask,
                   PastePlacement at, int mode) {
    std::array<ColourValue, 256> group{};
    ComposedPaste composed;
    EXPECT_EQ(Compose(s, paste, pasteMask, at, mode, group.data(), composed), status::Ok);
    return LayDown(s, composed);
}

} // namespace

TEST(PasteCompose, ThreeOverlayModes) {
    // Picture row: 0 5 0 5; paste row: 0 0 7 7.
    auto paste = imageOf(4, 1, {0, 0, 7, 7});
    PaintSurface plain;
    plain.picture = imageOf(4, 1, {0, 5, 0, 5});
    PaintSurface over;
    over.picture = imageOf(4, 1, {0, 5, 0, 5});
    PaintSurface under;
    under.picture = imageOf(4, 1, {0, 5, 0, 5});
    composeAndLay(plain, *paste, nullptr, {0, 0}, overlay::Plain);
    composeAndLay(over, *paste, nullptr, {0, 0}, overlay::Over);
    composeAndLay(under, *paste, nullptr, {0, 0}, overlay::Under);
    const std::uint8_t expectPlain[] = {0, 0, 7, 7};
    const std::uint8_t expectOver[] = {0, 5, 7, 7};
    const std::uint8_t expectUnder[] = {0, 5, 7, 5};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(plain.picture->at(x, 0), expectPlain[x]) << x;
        EXPECT_EQ(over.picture->at(x, 0), expectOver[x]) << x;
        EXPECT_EQ(under.picture->at(x, 0), expectUnder[x]) << x;
    }
    EXPECT_TRUE(plain.modified);
}

TEST(PasteCompose, TargetMaskOnlyWhenEnabledAndPasteMaskAlways) {
    auto paste = filled(3, 1, 9);
    auto pasteMask = imageOf(3, 1, {0, 0, 1});
    PaintSurface s = targetOf(3, 1, 2);
    s.mask = imageOf(3, 1, {0xFF, 0, 0});
    composeAndLay(s, *paste, pasteMask.get(), {0, 0}, overlay::Plain);
    EXPECT_EQ(s.picture->at(0, 0), 2); // protected by the picture's mask
    EXPECT_EQ(s.picture->at(1, 0), 9);
    EXPECT_EQ(s.picture->at(2, 0), 2); // marked in the paste's mask

    PaintSurface d = targetOf(3, 1, 2);
    d.mask = imageOf(3, 1, {0xFF, 0, 0});
    d.maskEnabled = false;
    composeAndLay(d, *paste, pasteMask.get(), {0, 0}, overlay::Plain);
    EXPECT_EQ(d.picture->at(0, 0), 9);
    EXPECT_EQ(d.picture->at(2, 0), 2);
}

TEST(PasteCompose, StretchedToTwiceLaysTwoByTwoBlocks) {
    auto paste = imageOf(2, 2, {1, 2, 3, 4});
    PaintSurface s = targetOf(6, 6, 0);
    EXPECT_EQ(composeAndLay(s, *paste, nullptr, {1, 1, 4, 4, true}, overlay::Plain),
              (Rect{1, 1, 5, 5}));
    const std::uint8_t expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.picture->at(x + 1, y + 1), expected[y][x]) << x << "," << y;
    EXPECT_EQ(s.picture->at(0, 0), 0);
    EXPECT_EQ(s.picture->at(5, 5), 0);
}

TEST(PasteCompose, StretchedPasteMaskIsResampledToo) {
    auto paste = filled(2, 1, 8);
    auto pasteMask = imageOf(2, 1, {0, 1});
    PaintSurface s = targetOf(4, 1, 3);
    composeAndLay(s, *paste, pasteMask.get(), {0, 0, 4, 1, true}, overlay::Plain);
    EXPECT_EQ(s.picture->at(0, 0), 8);
    EXPECT_EQ(s.picture->at(1, 0), 8);
    EXPECT_EQ(s.picture->at(2, 0), 3);
    EXPECT_EQ(s.picture->at(3, 0), 3);
}

TEST(PasteCompose, HangingOverEveryEdgeIsCut) {
    // A 3 × 3 paste numbered 1 … 9 over a 4 × 4 picture of zeros.
    auto paste = imageOf(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    struct Case {
        int x, y;
        Rect changed;
        int sampleX, sampleY, sampleValue;
    };
    const Case cases[] = {
        {-1, 0, {0, 0, 2, 3}, 0, 0, 2},  // left: source column 1 first
        {2, 0, {2, 0, 4, 3}, 3, 2, 8},   // right
        {0, -2, {0, 0, 3, 1}, 2, 0, 9},  // top: only source row 2
        {0, 3, {0, 3, 3, 4}, 1, 3, 2},   // bottom: only source row 0
        {-2, -2, {0, 0, 1, 1}, 0, 0, 9}, // top-left corner
        {3, 3, {3, 3, 4, 4}, 3, 3, 1},   // bottom-right corner
    };
    for (const Case& c : cases) {
        PaintSurface s = targetOf(4, 4, 0);
        EXPECT_EQ(composeAndLay(s, *paste, nullptr, {c.x, c.y}, overlay::Plain), c.changed)
            << c.x << "," << c.y;
        EXPECT_EQ(s.picture->at(c.sampleX, c.sampleY), c.sampleValue) << c.x << "," << c.y;
        int painted = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                painted += s.picture->at(x, y) != 0;
        EXPECT_EQ(painted, c.changed.width() * c.changed.height()) << c.x << "," << c.y;
    }
}

TEST(PasteCompose, WhollyOutsideFailsWithoutChange) {
    auto paste = filled(3, 3, 5);
    std::array<ColourValue, 256> group{};
    for (const auto& at : {PastePlacement{4, 0}, PastePlacement{-3, 0}, PastePlacement{0, 4},
                           PastePlacement{0, -3}, PastePlacement{0, 0, 0, 2, true}}) {
        PaintSurface s = targetOf(4, 4, 1);
        ComposedPaste composed;
        EXPECT_EQ(Compose(s, *paste, nullptr, at, overlay::Plain, group.data(), composed),
                  status::Ok);
        EXPECT_FALSE(composed.preview);
        EXPECT_TRUE(LayDown(s, composed).empty());
        EXPECT_FALSE(s.modified);
        EXPECT_EQ(s.picture->at(0, 0), 1);
    }
}

TEST(PasteCompose, PreviewTakesGroupPaletteAndKeepsUncoveredPixels) {
    auto paste = imageOf(2, 1, {4, 6});
    PaintSurface s = targetOf(1, 1, 0);
    std::array<ColourValue, 256> group{};
    group[4] = rgb(1, 2, 3);
    ComposedPaste composed;
    ASSERT_EQ(Compose(s, *paste, nullptr, {0, 0}, overlay::Plain, group.data(), composed),
              status::Ok);
    ASSERT_TRUE(composed.preview);
    EXPECT_EQ(composed.preview->paletteEntry(4), rgb(1, 2, 3));
    EXPECT_EQ(composed.preview->at(1, 0), 6);
    EXPECT_EQ(composed.length, 1);
}

TEST(PasteCompose, ComposingAgainRewritesTheWholeCopy) {
    // Over a 3 × 1 picture of 7s, a paste of 0 and 5 in mode 1 ("上から"):
    // where the paste has 0 the picture shows.
    auto paste = imageOf(2, 1, {0, 5});
    PaintSurface s = targetOf(3, 1, 7);
    std::array<ColourValue, 256> group{};
    ComposedPaste composed;
    ASSERT_EQ(Compose(s, *paste, nullptr, {0, 0}, overlay::Over, group.data(), composed),
              status::Ok);
    const CellImage* first = composed.preview.get();
    EXPECT_EQ(composed.preview->at(0, 0), 7);
    // Moved one pixel left: column 0 of the paste is off the picture and
    // keeps the paste's own 0; nothing of the first composition is left.
    s.picture->at(0, 0) = 9;
    ASSERT_EQ(Compose(s, *paste, nullptr, {-1, 0}, overlay::Over, group.data(), composed),
              status::Ok);
    EXPECT_EQ(composed.preview.get(), first);
    EXPECT_EQ(composed.preview->at(0, 0), 0);
    EXPECT_EQ(composed.preview->at(1, 0), 5);
    EXPECT_EQ(composed.sourceColumn, 1);
    // Stretched to another size, the copy is made anew at that size.
    ASSERT_EQ(
        Compose(s, *paste, nullptr, {0, 0, 4, 1, true}, overlay::Plain, group.data(), composed),
        status::Ok);
    EXPECT_EQ(composed.preview->width(), 4);
    EXPECT_EQ(composed.preview->at(3, 0), 5);
}

TEST(PasteCompose, MismatchedPasteMaskRefused) {
    auto source = filled(4, 2, 1);
    EXPECT_FALSE(AcceptPasteMask(*source, CellImage::Create(4, 3, 8)));
    EXPECT_FALSE(AcceptPasteMask(*source, CellImage::Create(5, 2, 8)));
    EXPECT_FALSE(AcceptPasteMask(*source, CellImage::Create(4, 2, 1)));
    EXPECT_TRUE(AcceptPasteMask(*source, CellImage::Create(4, 2, 8)));
    PaintSurface s = targetOf(4, 4, 0);
    auto wrong = CellImage::Create(4, 3, 8);
    std::array<ColourValue, 256> group{};
    ComposedPaste composed;
    EXPECT_NE(Compose(s, *source, wrong.get(), {0, 0}, overlay::Plain, group.data(), composed),
              status::Ok);
    EXPECT_FALSE(composed.preview);
}

TEST(MaskClipboard, ByteLayoutByHand) {
    auto mask = imageOf(3, 2, {0, 1, 2, 3, 4, 5}); // stride 4
    const auto data = writeMaskClipboardData(*mask);
    ASSERT_EQ(data.size(), 24u + 8u);
    const std::vector<std::uint8_t> header = {1, 0, 0, 0, 8, 0, 0, 0, 3, 0,
                                              2, 0, 8, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 20), header);
    // Bottom row first.
    EXPECT_EQ(data[20], 3);
    EXPECT_EQ(data[22], 5);
    EXPECT_EQ(data[24], 0);
    EXPECT_EQ(data[26], 2);
}

TEST(MaskClipboard, RoundTrip) {
    auto mask = imageOf(5, 3, {0, 0xFF, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0, 0, 9});
    const auto data = writeMaskClipboardData(*mask);
    auto back = readMaskClipboardData(data.data(), data.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 5);
    EXPECT_EQ(back->height(), 3);
    EXPECT_TRUE(back->samePixels(*mask));
}

TEST(MaskClipboard, AllZeroWritesNothing) {
    EXPECT_TRUE(writeMaskClipboardData(*filled(4, 4, 0)).empty());
}

TEST(MaskClipboard, MalformedDataRefused) {
    auto mask = imageOf(3, 2, {0, 1, 2, 3, 4, 5});
    const auto good = writeMaskClipboardData(*mask);
    EXPECT_FALSE(readMaskClipboardData(nullptr, 0));
    EXPECT_FALSE(readMaskClipboardData(good.data(), 19));
    EXPECT_FALSE(readMaskClipboardData(good.data(), 27)); // pixels cut short
    auto patched = [&](std::size_t at, std::uint8_t v) {
        auto copy = good;
        copy[at] = v;
        return readMaskClipboardData(copy.data(), copy.size());
    };
    EXPECT_FALSE(patched(12, 1));   // 1 bit
    EXPECT_FALSE(patched(8, 0));    // width 0
    EXPECT_FALSE(patched(10, 0));   // height 0
    EXPECT_FALSE(patched(10, 200)); // height far beyond the data
    EXPECT_FALSE(patched(4, 0xFF)); // size larger than width × height
    EXPECT_FALSE(patched(7, 0x80)); // absurd size
    auto huge = good;
    huge[8] = huge[9] = huge[10] = huge[11] = 0xFF; // 65535 × 65535
    EXPECT_FALSE(readMaskClipboardData(huge.data(), huge.size()));
    // Bytes 16-19 are ignored.
    EXPECT_TRUE(patched(17, 0xAB));
}

TEST(MaskClipboard, SurfaceCopyRules) {
    PaintSurface s = targetOf(4, 4, 0);
    EXPECT_TRUE(maskClipboardDataFor(s).empty());
    s.mask = filled(4, 4, 0);
    s.mask->at(3, 3) = 0xFF;
    EXPECT_FALSE(maskClipboardDataFor(s).empty());
    EXPECT_TRUE(maskClipboardDataFor(s, Rect::fromInclusive(0, 0, 2, 2)).empty());
    const auto part = maskClipboardDataFor(s, Rect::fromInclusive(2, 2, 3, 3));
    auto back = readMaskClipboardData(part.data(), part.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 2);
    EXPECT_EQ(back->at(1, 1), 0xFF);
    EXPECT_TRUE(maskClipboardDataFor(s, Rect{3, 3, 5, 5}).empty());
    s.maskEnabled = false;
    EXPECT_TRUE(maskClipboardDataFor(s).empty());
}
