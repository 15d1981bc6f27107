// MAG coding: lossless round trips, agreement with a separately written
// decoder, the exact streams of hand-worked examples, and damaged files.
#include "formats/MagFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace celdo {
namespace {

using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

// --- a second, plain MAG decoder: whole file in memory, a grid of units, --
// --- bounds-checked access throughout ------------------------------------
struct Plain {
    int width = 0;
    int height = 0;
    std::vector<int> pixels; // one index per pixel, top row first
    std::vector<ColourValue> palette;
};

std::uint32_t le(const std::vector<std::uint8_t>& f, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | f.at(at + i);
    return v;
}

// Throws std::out_of_range or std::runtime_error on a file it cannot decode.
Plain plainDecode(const std::vector<std::uint8_t>& f) {
    std::size_t h = 31;
    while (f.at(h) != 0x1A)
        ++h;
    ++h;
    const bool wide = (f.at(h + 3) & 0x80) != 0;
    const int pixelsPerFlagByte = wide ? 4 : 8;
    const int x0 = static_cast<int>(le(f, h + 4, 2)), y0 = static_cast<int>(le(f, h + 6, 2));
    const int x1 = static_cast<int>(le(f, h + 8, 2)), y1 = static_cast<int>(le(f, h + 10, 2));
    std::size_t a = h + le(f, h + 12, 4), b = h + le(f, h + 16, 4), p = h + le(f, h + 24, 4);
    const int flagBytes = x1 / pixelsPerFlagByte - x0 / pixelsPerFlagByte + 1;
    Plain out;
    out.width = x1 - x0 + 1;
    out.height = y1 - y0 + 1;
    for (int i = 0; i < (wide ? 256 : 16); ++i)
        out.palette.push_back(
            rgb(f.at(h + 33 + 3 * i), f.at(h + 32 + 3 * i), f.at(h + 34 + 3 * i)));

    static const int step[16][2] = {{0, 0},  {-1, 0},  {-2, 0},  {-4, 0}, {0, -1},  {-1, -1},
                                    {0, -2}, {-1, -2}, {-2, -2}, {0, -4}, {-1, -4}, {-2, -4},
                                    {0, -8}, {-1, -8}, {-2, -8}, {0, -16}};
    std::vector<std::vector<std::pair<int, int>>> grid(out.height);
    std::vector<int> flagRow(flagBytes, 0);
    long bit = 0;
    for (int y = 0; y < out.height; ++y) {
        for (int i = 0; i < flagBytes; ++i, ++bit)
            if ((f.at(a + bit / 8) >> (7 - bit % 8)) & 1)
                flagRow[i] ^= f.at(b++);
        for (int u = 0; u < 2 * flagBytes; ++u) {
            const int v = u % 2 ? flagRow[u / 2] & 15 : flagRow[u / 2] >> 4;
            if (v == 0) {
                grid[y].emplace_back(f.at(p), f.at(p + 1));
                p += 2;
                continue;
            }
            const int su = u + step[v][0], sy = y + step[v][1];
            if (su < 0 || sy < 0)
                throw std::runtime_error("vector leaves the picture");
            grid[y].push_back(grid[sy].at(su));
        }
    }
    for (int y = 0; y < out.height; ++y) {
        std::vector<int> line;
        for (auto [first, second] : grid[y])
            for (int byte : {first, second}) {
                if (wide) {
                    line.push_back(byte);
                } else {
                    line.push_back(byte >> 4);
                    line.push_back(byte & 15);
                }
            }
        const int skip = x0 % pixelsPerFlagByte;
        out.pixels.insert(out.pixels.end(), line.begin() + skip, line.begin() + skip + out.width);
    }
    return out;
}

int indexAt(const CellImage& image, int x, int y) {
    if (image.bitsPerPixel() == 8)
        return image.row(y)[x];
    const std::uint8_t b = image.row(y)[x / 2];
    return (x & 1) ? (b & 0x0F) : (b >> 4);
}

void setIndex(CellImage& image, int x, int y, int value) {
    if (image.bitsPerPixel() == 8) {
        image.row(y)[x] = static_cast<std::uint8_t>(value);
        return;
    }
    std::uint8_t& b = image.row(y)[x / 2];
    b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | value)
                : static_cast<std::uint8_t>((b & 0x0F) | value << 4);
}

// Runs, repeats from above and noise, so that every kind of vector occurs.
CellImagePtr makePicture(int width, int height, int bits, unsigned seed) {
    auto image = CellImage::Create(width, height, bits);
    const int colours = bits == 8 ? 256 : 16;
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i * 7, 255 - i, i * 13);
    image->SetPalette(palette.data(), colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const unsigned r = (seed >> 16) % 10;
            int value = static_cast<int>((seed >> 8) % colours);
            if (r < 4 && x > 0)
                value = indexAt(*image, x - 1, y);
            else if (r < 7 && y > 0)
                value = indexAt(*image, x, y - 1 - static_cast<int>((seed >> 4) % std::min(y, 16)));
            setIndex(*image, x, y, value);
        }
    return image;
}

CellImagePtr loadMag(const std::string& path, Status* error = nullptr) {
    MagFile file(path);
    CellImagePtr image;
    Status s = file.readHeader();
    if (s == status::Ok) {
        image = file.readImage();
        s = file.error();
    }
    if (error)
        *error = s;
    return image;
}

class MagRoundTrip : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(MagRoundTrip, EncodingThenDecodingIsLosslessAndAgreesWithAPlainDecoder) {
    const auto [width, bits] = GetParam();
    const int height = width > 1000 ? 21 : 40;
    auto picture = makePicture(width, height, bits, static_cast<unsigned>(width * 31 + bits));
    TempDir dir;
    const std::string path = dir.file("round.mag");
    ASSERT_EQ(MagFile::Save(path, *picture, "round trip"), status::Ok);

    Status error = 0;
    auto loaded = loadMag(path, &error);
    ASSERT_TRUE(loaded) << "error " << error;
    ASSERT_EQ(loaded->bitsPerPixel(), bits);
    ASSERT_EQ(loaded->width(), width);
    ASSERT_EQ(loaded->height(), height);
    const Plain plain = plainDecode(readFileBytes(path));
    ASSERT_EQ(plain.width, width);
    ASSERT_EQ(plain.height, height);
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            mismatches += indexAt(*loaded, x, y) != indexAt(*picture, x, y);
            mismatches += plain.pixels[y * width + x] != indexAt(*picture, x, y);
        }
    EXPECT_EQ(mismatches, 0);
    for (int i = 0; i < (bits == 8 ? 256 : 16); ++i) {
        EXPECT_EQ(loaded->paletteEntry(i), picture->paletteEntry(i)) << i;
        EXPECT_EQ(plain.palette[i], picture->paletteEntry(i)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(AwkwardWidths, MagRoundTrip,
                         ::testing::Combine(::testing::Values(1, 3, 7, 9, 4095),
                                            ::testing::Values(4, 8)));

TEST(MagWriter, AnEightBitPictureSavedWithSixteenColoursKeepsTheLowNibbles) {
    auto picture = makePicture(13, 5, 8, 3u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            picture->at(x, y) &= 0x0F;
    TempDir dir;
    MagFile file(dir.file("sixteen.mag"));
    file.setFromImage(*picture);
    file.setSaveBits(4);
    ASSERT_EQ(file.saveTo(*picture, nullptr), status::Ok);
    const Plain plain = plainDecode(readFileBytes(dir.file("sixteen.mag")));
    ASSERT_EQ(plain.palette.size(), 16u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            EXPECT_EQ(plain.pixels[y * 13 + x], picture->at(x, y));
}

struct Streams {
    std::size_t headerOffset = 0;
    std::vector<std::uint8_t> header, flagA, flagB, pixels;
};

Streams streamsOf(const std::vector<std::uint8_t>& f) {
    Streams s;
    while (f.at(31 + s.headerOffset) != 0x1A)
        ++s.headerOffset;
    const std::size_t h = s.headerOffset += 32;
    s.header.assign(f.begin() + h, f.begin() + h + 32);
    const auto part = [&](std::size_t from, std::size_t size) {
        return std::vector<std::uint8_t>(f.begin() + h + from, f.begin() + h + from + size);
    };
    s.flagA = part(le(f, h + 12, 4), le(f, h + 16, 4) - le(f, h + 12, 4));
    s.flagB = part(le(f, h + 16, 4), le(f, h + 20, 4));
    s.pixels = part(le(f, h + 24, 4), le(f, h + 28, 4));
    return s;
}

TEST(MagWriter, SingleColourPictureGivesTheDescribedFlagStreams) {
    // 8 × 4 at 256 colours: two flag bytes (four units) a line.  Line 0: the
    // first unit is stored, the others copy their left neighbour (flags 01 11).
    // Line 1: the first unit copies the one above (vector 4, byte 41 against
    // 01: change 40), the rest keep vector 1.  Later lines repeat line 1.
    auto picture = CellImage::Create(8, 4, 8);
    std::memset(picture->pixels(), 0x2A, picture->imageSize());
    TempDir dir;
    ASSERT_EQ(MagFile::Save(dir.file("one.mag"), *picture, ""), status::Ok);
    const auto file = readFileBytes(dir.file("one.mag"));
    const Streams s = streamsOf(file);
    EXPECT_EQ(s.headerOffset, 32u);
    EXPECT_EQ(file[31], 0x1A);
    const std::vector<std::uint8_t> header = {0, 0,    0,    0x80, 0, 0,    0, 0, 7, 0, 3,
                                              0, 0x20, 3,    0,    0, 0x22, 3, 0, 0, 4, 0,
                                              0, 0,    0x26, 3,    0, 0,    2, 0, 0, 0};
    EXPECT_EQ(s.header, header);
    // Flag A bits: line 0 both bytes changed, line 1 the first, then none.
    EXPECT_EQ(s.flagA, (std::vector<std::uint8_t>{0xE0, 0x00}));
    EXPECT_EQ(s.flagB, (std::vector<std::uint8_t>{0x01, 0x11, 0x40, 0x00}));
    EXPECT_EQ(s.pixels, (std::vector<std::uint8_t>{0x2A, 0x2A}));
    EXPECT_EQ(file.size(), 32u + 32 + 768 + 2 + 4 + 2);
}

TEST(MagWriter, SixteenColoursEightWideHasOneFlagByteALine) {
    auto picture = CellImage::Create(8, 2, 4);
    const std::uint8_t rows[2][4] = {{0x01, 0x23, 0x45, 0x67}, {0x01, 0x23, 0x45, 0x67}};
    std::memcpy(picture->row(0), rows[0], 4);
    std::memcpy(picture->row(1), rows[1], 4);
    TempDir dir;
    ASSERT_EQ(MagFile::Save(dir.file("u1.mag"), *picture, ""), status::Ok);
    const Streams s = streamsOf(readFileBytes(dir.file("u1.mag")));
    EXPECT_EQ(s.header[3], 0);
    // Line 0: both units stored (flags 00, no change); line 1: both copy
    // from above (flags 44).
    EXPECT_EQ(s.flagA, (std::vector<std::uint8_t>{0x40, 0x00}));
    EXPECT_EQ(s.flagB, (std::vector<std::uint8_t>{0x44, 0x00}));
    EXPECT_EQ(s.pixels, (std::vector<std::uint8_t>{0x01, 0x23, 0x45, 0x67}));
}

TEST(MagWriter, TheVectorOfTheLineAboveIsPreferredToEarlierCandidates) {
    // 4 × 3 at 256 colours, units A = (1, 1) and B = (2, 2): lines A B, A B,
    // B B.  Line 2's second unit matches vector 1 (its left neighbour) and
    // vector 4 (above); the line above used 4 there, so 4 is kept.
    auto picture = CellImage::Create(4, 3, 8);
    const std::uint8_t rows[3][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {2, 2, 2, 2}};
    for (int y = 0; y < 3; ++y)
        std::memcpy(picture->row(y), rows[y], 4);
    TempDir dir;
    ASSERT_EQ(MagFile::Save(dir.file("keep.mag"), *picture, ""), status::Ok);
    const Streams s = streamsOf(readFileBytes(dir.file("keep.mag")));
    // Flags by line: 00, 44, 04; changes: none, 44, 40.
    EXPECT_EQ(s.flagA, (std::vector<std::uint8_t>{0x60, 0x00}));
    EXPECT_EQ(s.flagB, (std::vector<std::uint8_t>{0x44, 0x40}));
    EXPECT_EQ(s.pixels, (std::vector<std::uint8_t>{1, 1, 2, 2, 2, 2}));
}

// --- damaged and unusual files ---------------------------------------------

std::vector<std::uint8_t> writeSmall(TempDir& dir, int width, int height) {
    auto picture = makePicture(width, height, 8, 77u);
    const std::string path = dir.file("small.mag");
    EXPECT_EQ(MagFile::Save(path, *picture, ""), status::Ok);
    return readFileBytes(path);
}

void putLe(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(MagReader, FlagAStreamEndingAtTheLastUsedBitIsRead) {
    // 8 × 4 at 256 colours uses exactly 8 flag A bits; the writer pads flag A
    // to two bytes.  Without the pad the stream ends after the last used bit.
    TempDir dir;
    auto f = writeSmall(dir, 8, 4);
    const std::size_t h = 32;
    ASSERT_EQ(le(f, h + 16, 4) - le(f, h + 12, 4), 2u);
    f.erase(f.begin() + h + le(f, h + 12, 4) + 1);
    putLe(f, h + 16, le(f, h + 16, 4) - 1, 4);
    putLe(f, h + 24, le(f, h + 24, 4) - 1, 4);
    writeFileBytes(dir.file("tight.mag"), f);
    Status error = 0;
    auto tight = loadMag(dir.file("tight.mag"), &error);
    ASSERT_TRUE(tight) << "error " << error;
    auto normal = loadMag(dir.file("small.mag"));
    ASSERT_TRUE(normal);
    EXPECT_TRUE(tight->samePixels(*normal));
}

TEST(MagReader, TruncatedFilesAreReadErrors) {
    TempDir dir;
    const auto f = writeSmall(dir, 40, 30);
    for (std::size_t keep :
         {std::size_t{10}, std::size_t{40}, std::size_t{70}, f.size() - 300, f.size() - 1}) {
        writeFileBytes(dir.file("cut.mag"), std::vector<std::uint8_t>(f.begin(), f.begin() + keep));
        Status error = 0;
        EXPECT_FALSE(loadMag(dir.file("cut.mag"), &error)) << keep;
        EXPECT_EQ(error, status::ReadError) << keep;
    }
}

TEST(MagReader, DeclaredSizeBeyondTheFileIsRefusedBeforeAllocating) {
    TempDir dir;
    auto f = writeSmall(dir, 16, 4);
    putLe(f, 32 + 8, 32000, 2);
    putLe(f, 32 + 10, 32000, 2);
    writeFileBytes(dir.file("huge.mag"), f);
    Status error = 0;
    EXPECT_FALSE(loadMag(dir.file("huge.mag"), &error));
    EXPECT_EQ(error, status::ReadError);
}

TEST(MagReader, HeaderFaultsAreFormatErrors) {
    TempDir dir;
    const auto good = writeSmall(dir, 16, 4);
    auto magic = good;
    magic[5] = '3';
    auto start = good;
    start[32] = 1;
    auto noEnd = std::vector<std::uint8_t>(31, ' ');
    std::memcpy(noEnd.data(), "MAKI02  ", 8);
    noEnd.insert(noEnd.end(), 4001, 'x');
    auto inverted = good;
    putLe(inverted, 32 + 4, 20, 2);
    for (const auto* bytes : {&magic, &start, &noEnd, &inverted}) {
        writeFileBytes(dir.file("bad.mag"), *bytes);
        MagFile file(dir.file("bad.mag"));
        EXPECT_EQ(file.readHeader(), status::FormatError);
    }
    // A comment that ends exactly at the limit is accepted.
    auto longest = std::vector<std::uint8_t>(good.begin(), good.begin() + 31);
    longest.insert(longest.end(), 4000, 'c');
    longest.insert(longest.end(), good.begin() + 31, good.end());
    writeFileBytes(dir.file("long.mag"), longest);
    Status error = 0;
    EXPECT_TRUE(loadMag(dir.file("long.mag"), &error)) << error;
}

TEST(MagReader, LeftAndUpwardVectorsWithoutSourceAreFormatErrors) {
    // 8 × 2 at 256 colours with hand-made flags: line 1 starts with vector 3
    // (four units to the left), which a flat buffer would take from line 0.
    TempDir dir;
    auto f = writeSmall(dir, 8, 2);
    const std::size_t h = 32;
    // Flag A 0010 0000: only the first flag byte of line 1 changes, to 30.
    std::vector<std::uint8_t> rebuilt(f.begin(), f.begin() + h + 32 + 768);
    const std::vector<std::uint8_t> flagA = {0x20, 0x00}, flagB = {0x30, 0x00};
    const std::vector<std::uint8_t> pixels(16, 5);
    putLe(rebuilt, h + 16, 32 + 768 + 2, 4);
    putLe(rebuilt, h + 20, 2, 4);
    putLe(rebuilt, h + 24, 32 + 768 + 4, 4);
    putLe(rebuilt, h + 28, 16, 4);
    for (const auto* part : {&flagA, &flagB, &pixels})
        rebuilt.insert(rebuilt.end(), part->begin(), part->end());
    writeFileBytes(dir.file("left.mag"), rebuilt);
    Status error = 0;
    EXPECT_FALSE(loadMag(dir.file("left.mag"), &error));
    EXPECT_EQ(error, status::FormatError);
    EXPECT_THROW(plainDecode(rebuilt), std::runtime_error);
}

TEST(MagReader, DamagedFilesFailCleanlyOrDecodeTheirDeclaredSize) {
    // Changed bytes anywhere in a small file: every outcome is either a
    // picture of the declared size or one of the reader's error codes.
    TempDir dir;
    const auto good = writeSmall(dir, 37, 23);
    unsigned seed = 2024;
    for (int round = 0; round < 300; ++round) {
        auto bad = good;
        for (int k = 0; k < 1 + round % 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            // Half the changes go to the 64 bytes of texts and header.
            const std::size_t at = (seed >> 8) % (round % 2 ? bad.size() : 64);
            bad[at] = static_cast<std::uint8_t>(seed >> 24);
        }
        writeFileBytes(dir.file("fuzz.mag"), bad);
        MagFile file(dir.file("fuzz.mag"));
        if (file.readHeader() != status::Ok) {
            EXPECT_TRUE(file.error() == status::FormatError || file.error() == status::ReadError);
            continue;
        }
        auto image = file.readImage();
        if (image) {
            EXPECT_EQ(image->width(), file.width());
            EXPECT_EQ(image->height(), file.height());
        } else {
            EXPECT_TRUE(file.error() == status::FormatError || file.error() == status::ReadError ||
                        file.error() == status::OutOfMemory)
                << file.error();
        }
    }
}

} // namespace
} // namespace celdo
