#include "formats/BmpFile.h"
#include "formats/ReduceAdaptive.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

void le(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A file with a 40-byte (or `headerSize`) information header; `palette`
// entries are 0xRRGGBB written blue, green, red, 0.
Bytes bmp(int width, int height, int bits, std::uint32_t compression,
          const std::vector<std::uint32_t>& palette, const Bytes& data,
          std::uint32_t headerSize = 40, std::uint32_t coloursUsed = 0) {
    Bytes b = {'B', 'M'};
    const std::uint32_t offset = 14 + headerSize + 4 * static_cast<std::uint32_t>(palette.size());
    le(b, offset + static_cast<std::uint32_t>(data.size()), 4);
    le(b, 0, 4);
    le(b, offset, 4);
    le(b, headerSize, 4);
    le(b, static_cast<std::uint32_t>(width), 4);
    le(b, static_cast<std::uint32_t>(height), 4);
    le(b, 1, 2);
    le(b, static_cast<std::uint32_t>(bits), 2);
    le(b, compression, 4);
    le(b, static_cast<std::uint32_t>(data.size()), 4);
    le(b, 0, 4);
    le(b, 0, 4);
    le(b, coloursUsed, 4);
    le(b, 0, 4);
    b.resize(14 + headerSize, 0);
    for (std::uint32_t c : palette)
        le(b, c, 4);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

struct Loaded {
    CellImagePtr image;
    Status error = 0;
};

class BmpFileTest : public ::testing::Test {
protected:
    Loaded load(const Bytes& bytes) {
        const std::string path = dir.file("in.bmp");
        test::writeFileBytes(path, bytes);
        BmpFile file(path);
        Loaded result;
        result.error = file.readHeader();
        if (result.error == status::Ok) {
            result.image = file.readImage();
            result.error = file.error();
        }
        return result;
    }
    CellImagePtr roundTrip(const CellImage& image, int bits) {
        const std::string path = dir.file("out.bmp");
        BmpFile file(path);
        file.setFromImage(image);
        file.setSaveBits(bits);
        EXPECT_EQ(file.saveTo(image, nullptr), status::Ok);
        return load(test::readFileBytes(path)).image;
    }
    test::TempDir dir;
};

std::vector<int> row8(const CellImage& image, int y) {
    return {image.row(y), image.row(y) + image.width()};
}

TEST_F(BmpFileTest, RefusesAFileNotStartingWithBM) {
    Bytes b = bmp(1, 1, 8, 0, std::vector<std::uint32_t>(256), Bytes(4));
    b[1] = 'A';
    Loaded r = load(b);
    EXPECT_EQ(r.error, status::FormatError);
    EXPECT_EQ(errorMessageText(r.error), "フォーマット異常");
}

TEST_F(BmpFileTest, FourBitFileReadsSixteenEntriesWhateverColoursUsedSays) {
    std::vector<std::uint32_t> palette(16);
    for (int i = 0; i < 16; ++i)
        palette[i] = 0x010203u * static_cast<std::uint32_t>(i);
    Loaded r = load(bmp(2, 1, 4, 0, palette, {0x0F, 0, 0, 0}, 40, 3));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->colorCount(), 16);
    EXPECT_EQ(r.image->paletteEntry(15), rgb(15, 30, 45));
    EXPECT_EQ(r.image->row(0)[0], 0x0F);
}

TEST_F(BmpFileTest, Rle8EndOfBitmapStoresTheSameBufferAsTheNextRow) {
    Loaded r = load(bmp(3, 2, 8, 1, std::vector<std::uint32_t>(256), {3, 0x41, 0, 0, 0, 1}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 1), (std::vector<int>{0x41, 0x41, 0x41}));
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{0x41, 0x41, 0x41}));
}

TEST_F(BmpFileTest, Rle4RunAlternatesTheTwoNibbles) {
    Loaded r = load(bmp(5, 1, 4, 2, std::vector<std::uint32_t>(16), {5, 0x12, 0, 1}));
    ASSERT_TRUE(r.image);
    const std::uint8_t* p = r.image->row(0);
    EXPECT_EQ(p[0], 0x12);
    EXPECT_EQ(p[1], 0x12);
    EXPECT_EQ(p[2], 0x10);
}

TEST_F(BmpFileTest, Rle8AbsoluteRunConsumesItsPaddingByte) {
    Loaded r =
        load(bmp(5, 1, 8, 1, std::vector<std::uint32_t>(256), {0, 3, 1, 2, 3, 0, 2, 7, 0, 1}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{1, 2, 3, 7, 7}));
}

TEST_F(BmpFileTest, Rle4AbsoluteRunReadsNibblesAndPadding) {
    // 3 pixels in 2 bytes, padded to 2; then a run of 2 pixels of colour 9.
    Loaded r =
        load(bmp(5, 1, 4, 2, std::vector<std::uint32_t>(16), {0, 3, 0x45, 0x60, 2, 0x99, 0, 1}));
    ASSERT_TRUE(r.image);
    const std::uint8_t* p = r.image->row(0);
    EXPECT_EQ(p[0], 0x45);
    EXPECT_EQ(p[1], 0x69);
    EXPECT_EQ(p[2], 0x90);
}

TEST_F(BmpFileTest, RleEndOfLineKeepsThePreviousRowsPixels) {
    Loaded r = load(bmp(3, 2, 8, 1, std::vector<std::uint32_t>(256), {3, 4, 0, 0, 1, 8, 0, 0}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 1), (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{8, 4, 4}));
}

TEST_F(BmpFileTest, RleDeltaSkipsPixelsAsIndexZero) {
    // Bottom row full of 5; next row 6 then a delta right 1 and down 1; the top
    // row gets a 9 in column 2.
    Loaded r = load(bmp(4, 3, 8, 1, std::vector<std::uint32_t>(256),
                        {4, 5, 0, 0, 1, 6, 0, 2, 1, 1, 1, 9, 0, 1}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 2), (std::vector<int>{5, 5, 5, 5}));
    EXPECT_EQ(row8(*r.image, 1), (std::vector<int>{6, 0, 0, 0}));
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{0, 0, 9, 0}));
}

TEST_F(BmpFileTest, RleDeltaWithinTheRowAndPastTheBottom) {
    Loaded r = load(bmp(4, 2, 8, 1, std::vector<std::uint32_t>(256),
                        {4, 5, 0, 0, 1, 3, 0, 2, 2, 0, 1, 3, 0, 2, 0, 200}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{3, 0, 0, 3}));
}

TEST_F(BmpFileTest, RunsPastTheRowEndAreCut) {
    Loaded r = load(bmp(3, 2, 8, 1, std::vector<std::uint32_t>(256),
                        {200, 7, 0, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(row8(*r.image, 1), (std::vector<int>{7, 7, 7}));
    EXPECT_EQ(row8(*r.image, 0), (std::vector<int>{1, 2, 3}));
    Loaded r4 = load(bmp(3, 1, 4, 2, std::vector<std::uint32_t>(16), {255, 0xAB, 0, 1}));
    ASSERT_TRUE(r4.image);
    EXPECT_EQ(r4.image->row(0)[0], 0xAB);
    EXPECT_EQ(r4.image->row(0)[1], 0xA0);
}

TEST_F(BmpFileTest, RunLengthDataEndingEarlyIsAReadError) {
    Loaded r = load(bmp(3, 2, 8, 1, std::vector<std::uint32_t>(256), {3, 1, 0, 0, 0, 9, 1}));
    EXPECT_FALSE(r.image);
    EXPECT_EQ(r.error, status::ReadError);
}

TEST_F(BmpFileTest, OtherCompressionsAreUnsupported) {
    Loaded r = load(bmp(2, 2, 8, 4, std::vector<std::uint32_t>(256), Bytes(8)));
    EXPECT_FALSE(r.image);
    EXPECT_EQ(r.error, status::Unsupported);
    EXPECT_EQ(errorMessageText(r.error), "サポートしてない画像形式です");
    Loaded rle8on4 = load(bmp(2, 2, 4, 1, std::vector<std::uint32_t>(16), Bytes(8)));
    EXPECT_EQ(rle8on4.error, status::Unsupported);
}

TEST_F(BmpFileTest, LongInformationHeadersAreSkipped) {
    std::vector<std::uint32_t> palette(256);
    palette[7] = 0x123456;
    Loaded r = load(bmp(2, 1, 8, 0, palette, {7, 0, 0, 0}, 124));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->paletteEntry(7), rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(r.image->row(0)[0], 7);
}

TEST_F(BmpFileTest, Os2CoreHeaderHasShortSizesAndThreeBytePalette) {
    Bytes b = {'B', 'M'};
    le(b, 14 + 12 + 6 + 4, 4);
    le(b, 0, 4);
    le(b, 14 + 12 + 6, 4);
    le(b, 12, 4);
    le(b, 2, 2); // width
    le(b, 1, 2); // height
    le(b, 1, 2);
    le(b, 1, 2);
    b.insert(b.end(), {0x30, 0x20, 0x10, 0xFF, 0xEE, 0xDD, 0x40, 0, 0, 0});
    Loaded r = load(b);
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->width(), 2);
    EXPECT_EQ(r.image->bitsPerPixel(), 1);
    EXPECT_EQ(r.image->paletteEntry(0), rgb(0x10, 0x20, 0x30));
    EXPECT_EQ(r.image->paletteEntry(1), rgb(0xDD, 0xEE, 0xFF));
    EXPECT_EQ(r.image->row(0)[0], 0x40);
}

TEST_F(BmpFileTest, TopDownFilesStoreTheTopRowFirst) {
    Loaded r = load(bmp(1, -2, 8, 0, std::vector<std::uint32_t>(256), {1, 0, 0, 0, 2, 0, 0, 0}));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->height(), 2);
    EXPECT_EQ(r.image->at(0, 0), 1);
    EXPECT_EQ(r.image->at(0, 1), 2);
}

TEST_F(BmpFileTest, SixteenAndThirtyTwoBitFilesBecomeTwentyFourBit) {
    // 5-6-5 masks after the header; white, pure green.
    Bytes data;
    le(data, 0xFFFF, 2);
    le(data, 0x07E0, 2);
    Bytes b = bmp(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, data);
    Loaded r = load(b);
    ASSERT_TRUE(r.image);
    ASSERT_EQ(r.image->bitsPerPixel(), 24);
    const std::uint8_t* p = r.image->row(0);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3], p[4], p[5]}),
              (std::vector<int>{255, 255, 255, 0, 255, 0}));
    // Default 5-5-5 layout: red 16 of 31 gives 132.
    Loaded plain = load(bmp(1, 1, 16, 0, {}, {0x00, 0x40, 0, 0}));
    ASSERT_TRUE(plain.image);
    EXPECT_EQ(plain.image->row(0)[2], 132);
    // 32 bits with red in the low byte.
    Loaded swapped = load(bmp(1, 1, 32, 3, {0xFF, 0xFF00, 0xFF0000}, {0x11, 0x22, 0x33, 0}));
    ASSERT_TRUE(swapped.image);
    EXPECT_EQ(swapped.image->row(0)[0], 0x33);
    EXPECT_EQ(swapped.image->row(0)[2], 0x11);
}

TEST_F(BmpFileTest, DeclaredSizesBeyondTheFileAreRefusedBeforeAllocating) {
    Loaded shortData = load(bmp(100, 100, 8, 0, std::vector<std::uint32_t>(256), Bytes(10)));
    EXPECT_EQ(shortData.error, status::ReadError);
    Loaded huge = load(bmp(30000, 30000, 24, 0, {}, Bytes(16)));
    EXPECT_EQ(huge.error, status::ReadError);
    Loaded rleBomb = load(bmp(32767, 32767, 8, 1, std::vector<std::uint32_t>(256), {0, 1}));
    EXPECT_EQ(rleBomb.error, status::FormatError);
    Bytes header = bmp(1, 1, 8, 0, {}, {});
    header.resize(20);
    EXPECT_EQ(load(header).error, status::ReadError);
}

CellImagePtr patterned(int width, int height, int bits) {
    auto image = CellImage::Create(width, height, bits);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, 255 - i, i / 2);
    image->SetPalette(palette.data(), -1);
    for (int y = 0; y < height; ++y)
        for (std::uint32_t i = 0; i < image->stride(); ++i)
            image->row(y)[i] = static_cast<std::uint8_t>(y * 31 + i * 7);
    return image;
}

TEST_F(BmpFileTest, EveryWritableDepthRoundTrips) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        auto image = patterned(13, 5, bits);
        auto back = roundTrip(*image, bits);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->bitsPerPixel(), bits);
        // Padding bytes are written as they are, so whole rows compare.
        EXPECT_TRUE(back->samePixels(*image));
        for (int i = 0; i < image->colorCount(); ++i)
            EXPECT_EQ(back->paletteEntry(i), image->paletteEntry(i));
    }
}

TEST_F(BmpFileTest, WrittenHeaderFollowsTheLayout) {
    auto image = patterned(1, 3, 24);
    BmpFile file(dir.file("w.bmp"));
    file.setFromImage(*image);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    const Bytes b = test::readFileBytes(dir.file("w.bmp"));
    // Width 1 at 24 bits: rows of 4 bytes.
    ASSERT_EQ(b.size(), 54u + 4 * 3);
    EXPECT_EQ(b[10], 54);
    EXPECT_EQ(b[14], 40);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(b[34], 12);

    auto eight = patterned(5, 2, 8);
    BmpFile file8(dir.file("w8.bmp"));
    file8.setFromImage(*eight);
    ASSERT_EQ(file8.saveTo(*eight, nullptr), status::Ok);
    const Bytes c = test::readFileBytes(dir.file("w8.bmp"));
    ASSERT_EQ(c.size(), 54u + 1024 + 16);
    EXPECT_EQ(c[10] | (c[11] << 8), 1078);
    EXPECT_EQ(c[46] | (c[47] << 8), 256);
    // Entry 3 is (3, 252, 1), stored blue first.
    EXPECT_EQ((std::vector<int>{c[66], c[67], c[68], c[69]}), (std::vector<int>{1, 252, 3, 0}));
}

TEST_F(BmpFileTest, SavingAs1BitKeepsTwoColoursAndSetsEveryNonZeroIndex) {
    auto image = CellImage::Create(4, 1, 8);
    std::vector<ColourValue> palette(256, rgb(9, 9, 9));
    palette[0] = rgb(10, 20, 30);
    palette[1] = rgb(40, 50, 60);
    image->SetPalette(palette.data(), 256);
    const std::uint8_t pixels[4] = {0, 1, 200, 0};
    std::copy(pixels, pixels + 4, image->row(0));
    auto back = roundTrip(*image, 1);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitsPerPixel(), 1);
    EXPECT_EQ(back->paletteEntry(0), rgb(10, 20, 30));
    EXPECT_EQ(back->paletteEntry(1), rgb(40, 50, 60));
    EXPECT_EQ(back->row(0)[0], 0x60);
    EXPECT_EQ(image->row(0)[2], 200);
}

TEST_F(BmpFileTest, SavingConvertsBetweenIndexedDepthsAndToTrueColour) {
    auto four = patterned(6, 2, 4);
    auto as8 = roundTrip(*four, 8);
    ASSERT_TRUE(as8);
    EXPECT_EQ(as8->bitsPerPixel(), 8);
    EXPECT_EQ(as8->at(1, 0), four->row(0)[0] & 0x0F);
    EXPECT_EQ(as8->paletteEntry(5), four->paletteEntry(5));
    auto as24 = roundTrip(*four, 24);
    ASSERT_TRUE(as24);
    const ColourValue c = four->paletteEntry(four->row(1)[0] >> 4);
    EXPECT_EQ(as24->row(1)[2], redOf(c));
    // 1 or 4 bits chosen for a true-colour picture keep its own depth.
    auto true24 = patterned(3, 2, 24);
    auto kept = roundTrip(*true24, 4);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->bitsPerPixel(), 24);
}

TEST(ReduceAdaptive, FixedColoursComeFirstAndAtMost250AreUsed) {
    auto image = CellImage::Create(64, 64, 24);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = image->row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = static_cast<std::uint8_t>((x * y) & 0xFF);
        }
    image->row(0)[0] = 0;   // blue
    image->row(0)[1] = 0;   // green
    image->row(0)[2] = 255; // red: a fixed colour
    auto out = ReduceAdaptive(*image);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->paletteEntry(0), rgb(0, 0, 0));
    EXPECT_EQ(out->paletteEntry(9), rgb(255, 0, 0));
    EXPECT_EQ(out->paletteEntry(17), rgb(166, 202, 240));
    EXPECT_EQ(out->paletteEntry(19), rgb(160, 160, 164));
    EXPECT_EQ(out->at(0, 0), 9);
    std::set<int> used;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            used.insert(out->at(x, y));
    EXPECT_LE(used.size(), 250u);
    EXPECT_EQ(*used.rbegin() < 250, true);
}

TEST(ReduceAdaptive, PopularCellsFollowInCellOrderOnTheGrid) {
    auto image = CellImage::Create(2, 1, 24);
    // (100, 150, 200) lies in grid cell (6, 9, 13) → (96, 144, 208);
    // (250, 250, 250) rounds to white, a fixed colour.
    const std::uint8_t pixels[6] = {200, 150, 100, 250, 250, 250};
    std::copy(pixels, pixels + 6, image->row(0));
    auto out = ReduceAdaptive(*image);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->paletteEntry(20), rgb(96, 144, 208));
    EXPECT_EQ(out->paletteEntry(21), 0u);
    EXPECT_EQ(out->at(0, 0), 20);
    EXPECT_EQ(out->at(1, 0), 15);
}

TEST(ReduceAdaptive, AFullerCellReplacesTheFirstLeastPopularChoice) {
    // 231 distinct non-fixed cells: the first 230 once each, the last twice.
    std::vector<std::array<int, 3>> cells;
    for (int r = 1; r < 17 && cells.size() < 231; r += 2)
        for (int g = 1; g < 17 && cells.size() < 231; g += 2)
            for (int b = 1; b < 17 && cells.size() < 231; b += 2)
                cells.push_back({r, g, b});
    ASSERT_EQ(cells.size(), 231u);
    auto image = CellImage::Create(232, 1, 24);
    auto put = [&](int x, const std::array<int, 3>& c) {
        std::uint8_t* p = image->row(0) + 3 * x;
        p[0] = static_cast<std::uint8_t>(16 * c[2]);
        p[1] = static_cast<std::uint8_t>(16 * c[1]);
        p[2] = static_cast<std::uint8_t>(16 * c[0]);
    };
    for (int i = 0; i < 231; ++i)
        put(i, cells[i]);
    put(231, cells[230]);
    auto out = ReduceAdaptive(*image);
    ASSERT_TRUE(out);
    const auto& last = cells[230];
    EXPECT_EQ(out->paletteEntry(20), rgb(16 * last[0], 16 * last[1], 16 * last[2]));
    EXPECT_EQ(out->paletteEntry(21), rgb(16, 16, 48));
    EXPECT_EQ(out->at(231, 0), 20);
}

TEST_F(BmpFileTest, SavingTrueColourAs256ColoursUsesTheAdaptiveReduction) {
    auto image = CellImage::Create(2, 1, 24);
    const std::uint8_t pixels[6] = {200, 150, 100, 0, 0, 255};
    std::copy(pixels, pixels + 6, image->row(0));
    auto back = roundTrip(*image, 8);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitsPerPixel(), 8);
    EXPECT_EQ(back->paletteEntry(20), rgb(96, 144, 208));
    EXPECT_EQ(back->at(0, 0), 20);
    EXPECT_EQ(back->at(1, 0), 9);
}

TEST_F(BmpFileTest, LoadDialogShowsTheHeader) {
    const std::string path = dir.file("info.bmp");
    test::writeFileBytes(path, bmp(3, 2, 8, 1, std::vector<std::uint32_t>(256), {0, 1}));
    BmpFile file(path);
    ASSERT_EQ(file.readHeader(), status::Ok);
    ScriptedUi ui;
    ui.answerDialog("BmpLoad", 2);
    EXPECT_EQ(file.showInfo(ui), 2);
    ASSERT_EQ(ui.tables.size(), 1u);
    const ControlTable& t = ui.tables[0];
    EXPECT_EQ(t.title, "BMP ファイル情報");
    EXPECT_EQ(t.text(200), "info.bmp");
    EXPECT_EQ(t.text(201), "3 × 2");
    EXPECT_EQ(t.text(202), "8");
    EXPECT_EQ(t.text(203), "RLE8");
    EXPECT_EQ(t.text(1), "&Load");
    EXPECT_EQ(t.text(2), "&Cancel");
    EXPECT_EQ(BmpLoadTable("a", 1, 1, 4, 0).text(203), "（なし）");
    EXPECT_EQ(BmpLoadTable("a", 1, 1, 4, 2).text(203), "RLE4");
    EXPECT_EQ(BmpLoadTable("a", 1, 1, 4, 7).text(203), "（不明）");
}

TEST_F(BmpFileTest, SaveDialogStartsFromTheChosenBitsAndTakesTheChoice) {
    EXPECT_EQ(BmpSaveTable("x", 1).checkedRadio(241, 244), 241);
    EXPECT_EQ(BmpSaveTable("x", 4).checkedRadio(241, 244), 242);
    EXPECT_EQ(BmpSaveTable("x", 24).checkedRadio(241, 244), 244);
    EXPECT_EQ(BmpSaveTable("x", 16).checkedRadio(241, 244), 243);
    const ControlTable t = BmpSaveTable("x", 8);
    EXPECT_EQ(t.title, "BMP ファイルの保存");
    EXPECT_EQ(t.text(240), " 種類 ");
    EXPECT_EQ(t.text(241), "モノクロ");
    EXPECT_EQ(t.text(244), "フルカラー");

    BmpFile file(dir.file("s.bmp"));
    auto image = patterned(2, 2, 8);
    file.setFromImage(*image);
    ScriptedUi ui;
    ui.answerDialog("BmpSave", [](ControlTable& table) {
        table.setValue(244, 1);
        return table.press(2);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 2);
    EXPECT_EQ(file.saveBits(), 8);
    ui.answerDialog("BmpSave", [](ControlTable& table) {
        table.setValue(244, 1);
        return table.press(1);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.saveBits(), 24);
    EXPECT_TRUE(ui.allAnswered());
}

// Planes and bits of 0xFFFF each multiply past an int; the reader must refuse
// the depth without computing it in int.
TEST_F(BmpFileTest, HugePlanesTimesBitsInTheInformationHeaderIsAFormatError) {
    const Bytes bytes = {0x42, 0x4d, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x0e,
                         0x6a, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x7f, 0x08,
                         0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff};
    const Loaded r = load(bytes);
    EXPECT_FALSE(r.image);
    EXPECT_EQ(r.error, status::FormatError);
    EXPECT_EQ(errorMessageText(r.error), "フォーマット異常");
}

TEST_F(BmpFileTest, HugePlanesTimesBitsInTheCoreHeaderIsAFormatError) {
    // 14-byte file header, 12-byte core header: 8 x 4, planes and bits 0xFFFF.
    const Bytes bytes = {0x42, 0x4d, 0x1a, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x1a, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00,
                         0x08, 0x00, 0x04, 0x00, 0xff, 0xff, 0xff, 0xff};
    const Loaded r = load(bytes);
    EXPECT_FALSE(r.image);
    EXPECT_EQ(r.error, status::FormatError);
}

TEST_F(BmpFileTest, TwoPlanesOfFourBitsReadAsEightBits) {
    // 1 x 1, planes 2, bits 4: one index byte 5 padded to 4, a 256-entry table.
    Bytes b = bmp(1, 1, 4, 0, std::vector<std::uint32_t>(256, 0x102030), {5, 0, 0, 0});
    b[26] = 2;
    const Loaded r = load(b);
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->bitsPerPixel(), 8);
    EXPECT_EQ(r.image->at(0, 0), 5);
}

} // namespace
} // namespace celdo
