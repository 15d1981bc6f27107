#include "canvas/ClipboardData.h"
#include "support/PositionCodedPicture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The reader gets exactly `size` bytes in a block of their own, so that a
// read past the end is caught by the address sanitizer.
CellImagePtr readExactly(const Bytes& bytes, std::size_t size) {
    auto block = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
    if (size > 0)
        std::memcpy(block.get(), bytes.data(), size);
    return ClipboardData::readPicture({block.get(), size});
}

CellImagePtr readExactly(const Bytes& bytes) {
    return readExactly(bytes, bytes.size());
}

// The same bytes without the 14-byte file header: a packed bitmap as other
// programs put it on the clipboard.
Bytes packed(const Bytes& file) {
    return Bytes(file.begin() + 14, file.end());
}

void putDword(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 3 × 2 1-bit picture, worked out by hand: file header, 40-byte
// information header, two colour-table entries (blue, green, red, 0) and the
// rows bottom row first, each padded to 4 bytes.  Top row 1 0 1, bottom row
// 0 1 0.
// clang-format off
const Bytes OneBitFile = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, // size 70, pixels at 62
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,          // header 40, width 3, height 2
    1, 0, 1, 0, 0, 0, 0, 0, 8, 0, 0, 0,           // planes 1, 1 bit, no compression, 8 bytes
    0, 0, 0, 0, 0, 0, 0, 0,                       // resolutions
    2, 0, 0, 0, 0, 0, 0, 0,                       // 2 colours used, 0 important
    30, 20, 10, 0, 50, 100, 200, 0,               // rgb(10,20,30), rgb(200,100,50)
    0x40, 0, 0, 0, 0xA0, 0, 0, 0,                 // bottom row, top row
};
// clang-format on

// A 3 × 2 4-bit picture with a 16-entry table of which entry i is
// rgb(i, 2i, 3i).  Top row 1 2 3, bottom row 15 0 14.
Bytes fourBitFile() {
    // clang-format off
    Bytes b = {
        'B', 'M', 126, 0, 0, 0, 0, 0, 0, 0, 118, 0, 0, 0, // size 126, pixels at 118
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,             // header 40, width 3, height 2
        1, 0, 4, 0, 0, 0, 0, 0, 8, 0, 0, 0,              // planes 1, 4 bits, no compression
        0, 0, 0, 0, 0, 0, 0, 0,                          // resolutions
        16, 0, 0, 0, 0, 0, 0, 0,                         // 16 colours used, 0 important
    };
    // clang-format on
    for (std::uint8_t i = 0; i < 16; ++i)
        b.insert(b.end(),
                 {static_cast<std::uint8_t>(3 * i), static_cast<std::uint8_t>(2 * i), i, 0});
    b.insert(b.end(), {0xF0, 0xE0, 0, 0, 0x12, 0x30, 0, 0});
    return b;
}

// A 2 × 1 24-bit picture: rgb(1,2,3) and rgb(200,100,50), stored blue
// first, the row padded from 6 to 8 bytes.
// clang-format off
const Bytes TrueColourFile = {
    'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // size 62, pixels at 54
    40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,          // header 40, width 2, height 1
    1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,          // planes 1, 24 bits, no compression
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // resolutions, no colour table
    3, 2, 1, 50, 100, 200, 0, 0,                  // the row and its padding
};
// clang-format on

CellImagePtr numbered(int w, int h) {
    return test::positionCodedPicture(w, h);
}

std::uint32_t dword(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

// --- writing ----------------------------------------------------------------

TEST(ClipboardDataBitmap, EightBitPictureBecomesABitmapFile) {
    const auto bytes = ClipboardData::bitmapOf(*numbered(3, 2));
    // 14 + 40 + 256 × 4 + two rows of 4 bytes.
    ASSERT_EQ(bytes.size(), 1086u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(dword(bytes, 2), 1086u);
    EXPECT_EQ(dword(bytes, 10), 1078u);
    EXPECT_EQ(dword(bytes, 14), 40u);
    EXPECT_EQ(dword(bytes, 18), 3u);
    EXPECT_EQ(dword(bytes, 22), 2u);
    EXPECT_EQ(bytes[26], 1);
    EXPECT_EQ(bytes[28], 8);
    EXPECT_EQ(dword(bytes, 30), 0u);
    // Entry 1 = red 254, green 1, blue 0 stored blue, green, red.
    EXPECT_EQ(bytes[54 + 4], 0);
    EXPECT_EQ(bytes[54 + 5], 1);
    EXPECT_EQ(bytes[54 + 6], 254);
    // The first stored row is the bottom row: (0,1), (1,1), (2,1), padding.
    EXPECT_EQ(bytes[1078], 1);
    EXPECT_EQ(bytes[1079], 17);
    EXPECT_EQ(bytes[1080], 33);
    EXPECT_EQ(bytes[1081], 0);
    // Then the top row.
    EXPECT_EQ(bytes[1082], 0);
    EXPECT_EQ(bytes[1083], 16);
    EXPECT_EQ(bytes[1084], 32);
}

TEST(ClipboardDataBitmap, OneBitPictureIsWrittenByteForByte) {
    auto p = CellImage::Create(3, 2, 1);
    const ColourValue palette[2] = {rgb(10, 20, 30), rgb(200, 100, 50)};
    p->SetPalette(palette, 2);
    p->row(0)[0] = 0xA0;
    p->row(1)[0] = 0x40;
    EXPECT_EQ(ClipboardData::bitmapOf(*p), OneBitFile);
}

TEST(ClipboardDataBitmap, TrueColourPictureIsWrittenByteForByte) {
    auto p = CellImage::Create(2, 1, 24);
    const std::uint8_t row[6] = {3, 2, 1, 50, 100, 200};
    std::memcpy(p->row(0), row, sizeof row);
    EXPECT_EQ(ClipboardData::bitmapOf(*p), TrueColourFile);
}

TEST(ClipboardDataBitmap, RecordWithoutPixelsGivesNoBytes) {
    auto empty = CellImage::Create(0, 0, 8);
    EXPECT_TRUE(ClipboardData::bitmapOf(*empty).empty());
}

// --- reading ----------------------------------------------------------------

TEST(ClipboardDataBitmap, OneBitFileKeepsItsDepthIndicesAndPalette) {
    for (const Bytes& bytes : {OneBitFile, packed(OneBitFile)}) {
        auto p = readExactly(bytes);
        ASSERT_TRUE(p) << bytes.size();
        EXPECT_EQ(p->bitsPerPixel(), 1);
        EXPECT_EQ(p->width(), 3);
        EXPECT_EQ(p->height(), 2);
        EXPECT_EQ(p->row(0)[0], 0xA0);
        EXPECT_EQ(p->row(1)[0], 0x40);
        EXPECT_EQ(p->paletteEntry(0), rgb(10, 20, 30));
        EXPECT_EQ(p->paletteEntry(1), rgb(200, 100, 50));
    }
}

TEST(ClipboardDataBitmap, FourBitFileKeepsItsDepthIndicesAndPalette) {
    const Bytes file = fourBitFile();
    for (const Bytes& bytes : {file, packed(file)}) {
        auto p = readExactly(bytes);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->bitsPerPixel(), 4);
        EXPECT_EQ(p->row(0)[0], 0x12);
        EXPECT_EQ(p->row(0)[1], 0x30);
        EXPECT_EQ(p->row(1)[0], 0xF0);
        EXPECT_EQ(p->row(1)[1], 0xE0);
        EXPECT_EQ(p->paletteEntry(15), rgb(15, 30, 45));
    }
}

TEST(ClipboardDataBitmap, TrueColourFileKeepsItsColours) {
    for (const Bytes& bytes : {TrueColourFile, packed(TrueColourFile)}) {
        auto p = readExactly(bytes);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->bitsPerPixel(), 24);
        const std::uint8_t* row = p->row(0);
        EXPECT_EQ(Bytes(row, row + 6), (Bytes{3, 2, 1, 50, 100, 200}));
    }
}

TEST(ClipboardDataBitmap, EveryDepthRoundTrips) {
    for (const int bits : {1, 4, 8, 24}) {
        auto p = CellImage::Create(7, 5, bits);
        std::vector<ColourValue> palette(256);
        for (int i = 0; i < 256; ++i)
            palette[i] = rgb(i, 255 - i, i ^ 0x5A);
        if (bits <= 8)
            p->SetPalette(palette.data(), 1 << bits);
        std::uint8_t* pixels = p->pixels();
        for (std::uint32_t i = 0; i < p->imageSize(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
        const Bytes bytes = ClipboardData::bitmapOf(*p);
        ASSERT_FALSE(bytes.empty()) << bits;
        for (const Bytes& form : {bytes, packed(bytes)}) {
            auto back = readExactly(form);
            ASSERT_TRUE(back) << bits;
            EXPECT_EQ(back->bitsPerPixel(), bits);
            EXPECT_TRUE(back->samePixels(*p)) << bits;
            for (int i = 0; bits <= 8 && i < (1 << bits); ++i)
                EXPECT_EQ(back->paletteEntry(i), palette[i]) << bits << " entry " << i;
        }
    }
}

TEST(ClipboardDataBitmap, PackedBitmapWithAShortColourTable) {
    // Other programs list only the colours used: two entries, and the pixels
    // right after them.  A 2 × 2 8-bit picture, top row 1 0, bottom row 0 1.
    // clang-format off
    const Bytes dib = {
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, // header 40, width 2, height 2
        1, 0, 8, 0, 0, 0, 0, 0, 8, 0, 0, 0,  // planes 1, 8 bits, no compression
        0, 0, 0, 0, 0, 0, 0, 0,              // resolutions
        2, 0, 0, 0, 0, 0, 0, 0,              // 2 colours used
        9, 8, 7, 0, 3, 2, 1, 0,              // rgb(7,8,9), rgb(1,2,3)
        0, 1, 0, 0, 1, 0, 0, 0,              // bottom row, top row
    };
    // clang-format on
    auto p = readExactly(dib);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->bitsPerPixel(), 8);
    EXPECT_EQ(p->at(0, 0), 1);
    EXPECT_EQ(p->at(1, 0), 0);
    EXPECT_EQ(p->at(0, 1), 0);
    EXPECT_EQ(p->at(1, 1), 1);
    EXPECT_EQ(p->paletteEntry(0), rgb(7, 8, 9));
    EXPECT_EQ(p->paletteEntry(1), rgb(1, 2, 3));
    EXPECT_EQ(p->paletteEntry(2), 0u);
}

TEST(ClipboardDataBitmap, PackedTopDownAndBitFieldBitmaps) {
    // Top-down (negative height): the first stored row is the top row.
    Bytes topDown = packed(OneBitFile);
    putDword(topDown, 8, static_cast<std::uint32_t>(-2));
    auto p = readExactly(topDown);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->row(0)[0], 0x40);
    EXPECT_EQ(p->row(1)[0], 0xA0);

    // 16-bit 5-6-5 pixels with their masks after a 40-byte header: pure red
    // and pure green become 24-bit blue, green, red bytes.
    // clang-format off
    const Bytes fields = {
        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, // header 40, width 2, height 1
        1, 0, 16, 0, 3, 0, 0, 0, 4, 0, 0, 0, // planes 1, 16 bits, bit fields
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0, // red, green, blue masks
        0, 0xF8, 0xE0, 0x07,                             // red, green
    };
    // clang-format on
    p = readExactly(fields);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->bitsPerPixel(), 24);
    EXPECT_EQ(Bytes(p->row(0), p->row(0) + 6), (Bytes{0, 0, 255, 0, 255, 0}));
}

// --- hostile data -----------------------------------------------------------

TEST(ClipboardDataBitmap, EveryTruncationIsRefused) {
    const Bytes file = ClipboardData::bitmapOf(*numbered(5, 3));
    for (const Bytes& form : {file, packed(file)})
        for (std::size_t size = 0; size < form.size(); ++size)
            EXPECT_FALSE(readExactly(form, size)) << form.size() << " cut to " << size;
}

TEST(ClipboardDataBitmap, DeclaredSizesBeyondTheDataAreRefused) {
    const Bytes file = ClipboardData::bitmapOf(*numbered(4, 4));
    auto with = [&](std::size_t at, std::uint32_t value) {
        Bytes b = file;
        putDword(b, at, value);
        return b;
    };
    for (const std::uint32_t v : {255u, 65536u, 40000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(readExactly(with(18, v))) << "width " << v;
        EXPECT_FALSE(readExactly(packed(with(18, v)))) << "packed width " << v;
    }
    // 0xFFFFFF01 is -255: 255 rows stored top-down.
    for (const std::uint32_t v : {255u, 65536u, 40000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFF01u}) {
        EXPECT_FALSE(readExactly(with(22, v))) << "height " << v;
        EXPECT_FALSE(readExactly(packed(with(22, v)))) << "packed height " << v;
    }
    EXPECT_FALSE(readExactly(with(18, 0))) << "no width";
    EXPECT_FALSE(readExactly(with(22, 0))) << "no height";
    EXPECT_FALSE(readExactly(with(10, static_cast<std::uint32_t>(file.size())))) << "offset";
    EXPECT_FALSE(readExactly(with(10, 0xFFFFFFF0))) << "offset";
}

TEST(ClipboardDataBitmap, BadHeaderSizesAndDepthsAreRefused) {
    const Bytes file = ClipboardData::bitmapOf(*numbered(4, 4));
    for (const std::uint32_t size : {0u, 4u, 11u, 13u, 15u, 2000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes b = file;
        putDword(b, 14, size);
        EXPECT_FALSE(readExactly(b)) << "header size " << size;
        EXPECT_FALSE(readExactly(packed(b))) << "packed header size " << size;
    }
    for (const std::uint8_t bits : {0, 2, 7, 9, 33}) {
        Bytes b = file;
        b[28] = bits;
        EXPECT_FALSE(readExactly(b)) << "bits " << int(bits);
    }
    Bytes planes = file;
    planes[26] = 0xFF;
    planes[27] = 0xFF;
    planes[28] = 0xFF;
    planes[29] = 0xFF;
    EXPECT_FALSE(readExactly(planes)) << "planes × bits overflow";
    Bytes compression = file;
    putDword(compression, 30, 9);
    EXPECT_FALSE(readExactly(compression));
    EXPECT_FALSE(readExactly(Bytes{'B', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}));
}

TEST(ClipboardDataBitmap, ColourCountsBeyondTheTableAreRefused) {
    const Bytes file = packed(ClipboardData::bitmapOf(*numbered(4, 4)));
    for (const std::uint32_t used : {257u, 1000u, 0x40000000u, 0xFFFFFFFFu}) {
        Bytes b = file;
        putDword(b, 32, used);
        EXPECT_FALSE(readExactly(b)) << used;
    }
    Bytes fourBit = packed(fourBitFile());
    putDword(fourBit, 32, 17);
    EXPECT_FALSE(readExactly(fourBit));
    // A 24-bit bitmap may carry a table of colours used, but not past its data.
    Bytes trueColour = packed(TrueColourFile);
    putDword(trueColour, 32, 0x40000000u);
    EXPECT_FALSE(readExactly(trueColour));
}

TEST(ClipboardDataBitmap, RunLengthDataPromisingAHugePictureIsRefused) {
    // 30000 × 30000 RLE8 with one end-of-bitmap code.
    // clang-format off
    const Bytes dib = {
        40, 0, 0, 0, 0x30, 0x75, 0, 0, 0x30, 0x75, 0, 0, // width and height 30000
        1, 0, 8, 0, 1, 0, 0, 0, 2, 0, 0, 0,              // planes 1, 8 bits, RLE8
        0, 0, 0, 0, 0, 0, 0, 0,                          // resolutions
        1, 0, 0, 0, 0, 0, 0, 0,                          // 1 colour used
        0, 0, 0, 0,                                      // the colour table
        0, 1,                                            // end of bitmap
    };
    // clang-format on
    EXPECT_FALSE(readExactly(dib));
}

// --- the copy and its mask --------------------------------------------------

PaintSurface surfaceWithMask(int w, int h) {
    PaintSurface s;
    s.picture = numbered(w, h);
    s.mask = CellImage::Create(w, h, 8);
    s.mask->at(1, 0) = 255;
    return s;
}

TEST(ClipboardDataCopy, PictureAndMaskRoundTrip) {
    PaintSurface s = surfaceWithMask(5, 4);
    const ClipboardData data = ClipboardData::ofSurface(s);
    ASSERT_FALSE(data.empty());
    // "CELDO::MASK": 20-byte header, 4 rows of 8 bytes, 4 zero bytes.
    ASSERT_EQ(data.mask.size(), 20u + 32u + 4u);
    EXPECT_EQ(Bytes(data.mask.begin(), data.mask.begin() + 14),
              (Bytes{1, 0, 0, 0, 32, 0, 0, 0, 5, 0, 4, 0, 8, 0}));
    // The top row is stored last: its second byte is the protected pixel.
    EXPECT_EQ(data.mask[20 + 24 + 1], 255);

    auto picture = ClipboardData::readPicture(data.bitmap);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->bitsPerPixel(), 8);
    EXPECT_TRUE(picture->samePixels(*s.picture));
    EXPECT_EQ(picture->paletteEntry(200), rgb(55, 200, 100));
    auto mask = ClipboardData::readMask(data.mask, *picture);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->at(1, 0), 255);
    EXPECT_EQ(mask->at(0, 0), 0);
}

TEST(ClipboardDataCopy, MaskOfAnotherSizeOrBrokenMaskIsDropped) {
    PaintSurface s = surfaceWithMask(5, 4);
    const ClipboardData data = ClipboardData::ofSurface(s);
    auto other = numbered(4, 4);
    EXPECT_FALSE(ClipboardData::readMask(data.mask, *other));
    EXPECT_FALSE(ClipboardData::readMask({}, *s.picture));
    const Bytes cut(data.mask.begin(), data.mask.begin() + 30);
    EXPECT_FALSE(ClipboardData::readMask(cut, *s.picture));
}

TEST(ClipboardDataCopy, DisabledOrEmptyMasksStayBehind) {
    PaintSurface s = surfaceWithMask(5, 4);
    s.maskEnabled = false;
    EXPECT_TRUE(ClipboardData::ofSurface(s).mask.empty());
    s.maskEnabled = true;
    s.mask->at(1, 0) = 0;
    EXPECT_TRUE(ClipboardData::ofSurface(s).mask.empty());
    EXPECT_FALSE(ClipboardData::ofSurface(s).empty());
    PaintSurface none;
    EXPECT_TRUE(ClipboardData::ofSurface(none).empty());
}

TEST(ClipboardDataCopy, RegionIsCutToThePicture) {
    PaintSurface s = surfaceWithMask(8, 8);
    s.mask->at(3, 2) = 255;
    const ClipboardData data = ClipboardData::ofRegion(s, Rect{2, 1, 5, 4});
    auto picture = ClipboardData::readPicture(data.bitmap);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 3);
    EXPECT_EQ(picture->height(), 3);
    EXPECT_EQ(picture->at(0, 0), 2 * 16 + 1);
    EXPECT_EQ(picture->at(2, 2), 4 * 16 + 3);
    auto mask = ClipboardData::readMask(data.mask, *picture);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->at(1, 1), 255);

    const ClipboardData corner = ClipboardData::ofRegion(s, Rect{6, 6, 20, 20});
    picture = ClipboardData::readPicture(corner.bitmap);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 2);
    EXPECT_EQ(picture->at(1, 1), 7 * 16 + 7);
    EXPECT_TRUE(ClipboardData::ofRegion(s, Rect{8, 0, 10, 4}).empty());
}

TEST(ClipboardDataCopy, PictureMadeElsewhereTakesItsMaskAlong) {
    auto picture = numbered(3, 3);
    auto mask = CellImage::Create(3, 3, 8);
    EXPECT_TRUE(ClipboardData::ofPicture(*picture, mask.get()).mask.empty());
    mask->at(2, 2) = 9;
    const ClipboardData data = ClipboardData::ofPicture(*picture, mask.get());
    auto back = ClipboardData::readMask(data.mask, *picture);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at(2, 2), 9);
    EXPECT_TRUE(ClipboardData::ofPicture(*picture, nullptr).mask.empty());
}

} // namespace
} // namespace celdo
