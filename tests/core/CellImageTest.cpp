#include "core/CellImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace celdo;

namespace {

// A record whose 8-bit pixel (x, y) is x + 10 * y.
CellImagePtr numbered(int w, int h) {
    auto image = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x + 10 * y);
    return image;
}

} // namespace

TEST(CellImage, StridesArePaddedToFourBytes) {
    EXPECT_EQ(CellImage::Create(1, 1, 8)->stride(), 4u);
    EXPECT_EQ(CellImage::Create(5, 1, 24)->stride(), 16u);
    EXPECT_EQ(CellImage::Create(9, 1, 1)->stride(), 4u);
    EXPECT_EQ(CellImage::Create(33, 1, 1)->stride(), 8u);
    EXPECT_EQ(CellImage::Create(9, 1, 4)->stride(), 8u);
    auto image = CellImage::Create(3, 7, 8);
    EXPECT_EQ(image->imageSize(), 4u * 7);
    EXPECT_EQ(image->bitmapHeader().size, 40u);
    EXPECT_EQ(image->bitmapHeader().height, 7);
    EXPECT_EQ(image->bitmapHeader().bitCount, 8);
    EXPECT_EQ(image->colorCount(), 256);
    EXPECT_EQ(CellImage::Create(3, 7, 24)->colorCount(), 0);
}

TEST(CellImage, RowsAreStoredBottomUp) {
    auto image = CellImage::Create(2, 3, 8);
    std::vector<std::uint8_t> row(image->stride(), 0);
    row[0] = 42;
    image->PutRow(row.data(), 0);
    // The top row is the last stored row.
    EXPECT_EQ(image->pixels()[2 * image->stride()], 42);
    std::vector<std::uint8_t> back(image->stride());
    image->GetRow(back.data(), 0);
    EXPECT_EQ(back, row);
}

TEST(CellImage, InvalidSizesReportOutOfMemory) {
    EXPECT_EQ(CellImage::Create(0, 5, 8)->status(), status::OutOfMemory);
    EXPECT_EQ(CellImage::Create(5, -1, 8)->status(), status::OutOfMemory);
    EXPECT_EQ(CellImage::Create(40000, 1, 8)->status(), status::OutOfMemory);
    EXPECT_EQ(CellImage::Create(5, 5, 8)->status(), status::Ok);
    EXPECT_EQ(CellImage::Create(5, 5, 8, false)->pixels(), nullptr);
}

TEST(CellImage, SetPaletteCountsAndColourTableOrder) {
    auto image = CellImage::Create(4, 4, 4);
    std::vector<ColourValue> colours(256, 0x112233);
    colours[0] = 0x0000FF; // red
    image->SetPalette(colours.data(), -1);
    EXPECT_EQ(image->colorCount(), 16);
    // Colour tables hold blue, green, red: red is the third byte.
    EXPECT_EQ(image->colorTable()[0], 0xFF0000u);
    EXPECT_EQ(image->colorTable()[16], 0u);
    std::uint32_t back[256];
    EXPECT_EQ(image->GetPalette(back, true), 16);
    EXPECT_EQ(back[0], 0x0000FFu);
    image->GetPalette(back, false);
    EXPECT_EQ(back[0], 0xFF0000u);

    auto truecolour = CellImage::Create(4, 4, 24);
    truecolour->SetPalette(colours.data(), -1);
    EXPECT_EQ(truecolour->colorCount(), 0);
}

TEST(CellImage, GreyPalettes) {
    auto eight = CellImage::Create(1, 1, 8);
    eight->SetGreyPalette();
    EXPECT_EQ(eight->palette()[200], 0xC8C8C8u);
    auto four = CellImage::Create(1, 1, 4);
    four->SetGreyPalette();
    EXPECT_EQ(four->palette()[15], 0xFFFFFFu);
    EXPECT_EQ(four->palette()[1], 0x111111u);
    EXPECT_EQ(four->colorTable()[1], 0x111111u);
}

TEST(CellImage, PackAndUnpackRows) {
    auto four = CellImage::Create(5, 1, 4); // stride 4: 8 nibbles
    const std::uint8_t values[8] = {1, 2, 3, 4, 5, 0, 0, 0};
    std::uint8_t packed[4];
    four->PackRow4(packed, values);
    EXPECT_EQ(packed[0], 0x12);
    EXPECT_EQ(packed[2], 0x50);
    std::uint8_t unpacked[8];
    four->UnpackRow4(unpacked, packed);
    EXPECT_EQ(0, std::memcmp(unpacked, values, 8));

    auto one = CellImage::Create(10, 1, 1); // stride 4
    std::uint8_t bits[32] = {1, 0, 0, 0, 0, 0, 0, 7, 0, 1};
    std::uint8_t packedBits[4];
    one->PackRow1(packedBits, bits);
    EXPECT_EQ(packedBits[0], 0x81);
    EXPECT_EQ(packedBits[1], 0x40);
    std::uint8_t back[16];
    one->UnpackRow1(back, packedBits);
    EXPECT_EQ(back[7], 1);
    EXPECT_EQ(back[9], 1);
    EXPECT_EQ(back[8], 0);
}

TEST(CellImage, ResampleRepeatsAndSkips) {
    auto image = numbered(4, 4);
    auto same = image->Resample(4, 4);
    EXPECT_TRUE(same->samePixels(*image));

    auto twice = image->Resample(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(twice->at(x, y), x / 2 + 10 * (y / 2)) << x << "," << y;

    // Half size keeps every second pixel and row, starting with the second.
    auto half = image->Resample(2, 2);
    EXPECT_EQ(half->at(0, 0), 1 + 10 * 1);
    EXPECT_EQ(half->at(1, 0), 3 + 10 * 1);
    EXPECT_EQ(half->at(0, 1), 1 + 10 * 3);
}

TEST(CellImage, ResampleFourBitAndTrueColour) {
    auto four = CellImage::Create(3, 1, 4);
    four->row(0)[0] = 0x12;
    four->row(0)[1] = 0x30;
    auto wide = four->Resample(6, 1);
    EXPECT_EQ(wide->row(0)[0], 0x11);
    EXPECT_EQ(wide->row(0)[1], 0x22);
    EXPECT_EQ(wide->row(0)[2], 0x33);

    auto rgb = CellImage::Create(2, 1, 24);
    const std::uint8_t px[6] = {1, 2, 3, 4, 5, 6};
    std::memcpy(rgb->row(0), px, 6);
    auto big = rgb->Resample(4, 2);
    const std::uint8_t expect[12] = {1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6};
    EXPECT_EQ(0, std::memcmp(big->row(1), expect, 12));
}

TEST(CellImage, CropCopiesTheRectangle) {
    auto image = numbered(5, 5);
    auto part = image->Crop(1, 2, 4, 5);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->width(), 3);
    EXPECT_EQ(part->height(), 3);
    EXPECT_EQ(part->at(0, 0), 1 + 20);
    EXPECT_EQ(part->at(2, 2), 3 + 40);
    EXPECT_FALSE(image->Crop(0, 0, 6, 1));
    EXPECT_FALSE(CellImage::Create(4, 4, 4)->Crop(0, 0, 2, 2));
}

TEST(CellImage, ConvertTo8KeepsDefaultEntriesAboveTheSourceCount) {
    auto four = CellImage::Create(3, 2, 4);
    four->SetGreyPalette();
    four->row(1)[0] = 0xF1;
    four->row(1)[1] = 0xA0;
    std::vector<ColourValue> group(256);
    for (int i = 0; i < 256; ++i)
        group[i] = 0x010000u * i;
    auto eight = four->ConvertTo8(group.data());
    ASSERT_TRUE(eight);
    EXPECT_EQ(four->status(), status::Ok);
    EXPECT_EQ(eight->colorCount(), 16);
    EXPECT_EQ(eight->palette()[1], 0x111111u);
    EXPECT_EQ(eight->palette()[100], 0x640000u);
    EXPECT_EQ(eight->at(0, 1), 15);
    EXPECT_EQ(eight->at(1, 1), 1);
    EXPECT_EQ(eight->at(2, 1), 10);
}

TEST(CellImage, ConvertDownAndToTrueColour) {
    auto eight = numbered(9, 2);
    for (int x = 0; x < 9; ++x)
        eight->at(x, 0) = static_cast<std::uint8_t>(x % 16);
    auto four = eight->ConvertTo4();
    EXPECT_EQ(four->row(0)[0], 0x01);
    EXPECT_EQ(four->row(0)[4], 0x80);
    auto one = four->ConvertTo1();
    // Every non-zero index becomes 1, first pixel in the top bit.
    EXPECT_EQ(one->row(0)[0], 0x7F);
    EXPECT_EQ(one->row(0)[1], 0x80);

    std::vector<ColourValue> colours(256, 0);
    colours[3] = rgb(10, 20, 30);
    eight->SetPalette(colours.data(), 256);
    eight->at(0, 0) = 3;
    auto tc = eight->ConvertTo24();
    EXPECT_EQ(tc->row(0)[0], 30);
    EXPECT_EQ(tc->row(0)[1], 20);
    EXPECT_EQ(tc->row(0)[2], 10);
}

TEST(CellImage, AdoptGlobalBitmapTakesBothBlocks) {
    auto* header = static_cast<std::uint8_t*>(std::calloc(40 + 16 * 4, 1));
    BitmapInfoHeader info;
    info.width = 3;
    info.height = 2;
    info.bitCount = 4;
    std::memcpy(header, &info, sizeof info);
    const std::uint32_t blueInTable = 0x0000FF; // blue, green, red order: blue
    std::memcpy(header + 40 + 4, &blueInTable, 4);
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(8, 1));
    pixels[0] = 0x10; // bottom row, first pixel = 1
    auto image = CellImage::AdoptGlobalBitmap(header, pixels);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerPixel(), 4);
    EXPECT_EQ(image->colorCount(), 16);
    EXPECT_EQ(image->palette()[1], rgb(0, 0, 255));
    EXPECT_EQ(image->row(1)[0], 0x10);

    auto* badHeader = static_cast<std::uint8_t*>(std::calloc(40, 1));
    info.bitCount = 16;
    std::memcpy(badHeader, &info, sizeof info);
    EXPECT_FALSE(CellImage::AdoptGlobalBitmap(badHeader, std::calloc(8, 1)));
}

TEST(CellImage, DeclaredDepthIsTakenWideAndCapped) {
    EXPECT_EQ(CellImage::declaredDepth(1, 8), 8);
    EXPECT_EQ(CellImage::declaredDepth(2, 4), 8);
    EXPECT_EQ(CellImage::declaredDepth(0, 24), 0);
    EXPECT_EQ(CellImage::declaredDepth(0xFFFF, 0xFFFF), 0x7FFF);
    EXPECT_EQ(CellImage::declaredDepth(0x7FFF, 1), 0x7FFF);
}

TEST(CellImage, AdoptingAHeaderWithHugePlanesTimesBitsRefusesIt) {
    BitmapInfoHeader info;
    info.width = 4;
    info.height = 2;
    info.planes = 0xFFFF;
    info.bitCount = 0xFFFF;
    void* header = std::calloc(1, sizeof info + 1024);
    std::memcpy(header, &info, sizeof info);
    EXPECT_FALSE(CellImage::AdoptGlobalBitmap(header, std::calloc(8, 1)));
}
