// The BMP Suite: every good file decodes to the same pixels as a plain
// reference decoder written here from the published layout, with a few known
// colours taken from the suite's reference renderings; bad and questionable
// files are refused or decoded without any out-of-bounds access.

#include "formats/BmpFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace celdo {
namespace {

using test::readFileBytes;
using test::testDataDir;

// A decoded picture, rows from the top: palette indices for indexed files,
// 0xRRGGBB for the others.
struct Reference {
    bool ok = false;
    int width = 0, height = 0, bits = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

std::uint32_t le(const std::vector<std::uint8_t>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | d.at(at + i);
    return v;
}

std::uint32_t maskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    int low = 0, bits = 0;
    while (!(mask & (1u << low)))
        ++low;
    while (low + bits < 32 && (mask & (1u << (low + bits))))
        ++bits;
    const double max = std::pow(2.0, bits) - 1;
    return static_cast<std::uint32_t>(std::lround(((pixel & mask) >> low) * 255.0 / max));
}

Reference decodeReference(const std::vector<std::uint8_t>& d) {
    Reference r;
    const std::uint32_t offset = le(d, 10, 4);
    const std::uint32_t hs = le(d, 14, 4);
    std::int32_t h;
    std::uint32_t compression = 0;
    if (hs == 12) {
        r.width = static_cast<int>(le(d, 18, 2));
        h = static_cast<std::int32_t>(le(d, 20, 2));
        r.bits = static_cast<int>(le(d, 24, 2));
    } else {
        r.width = static_cast<std::int32_t>(le(d, 18, 4));
        h = static_cast<std::int32_t>(le(d, 22, 4));
        r.bits = static_cast<int>(le(d, 28, 2));
        compression = hs >= 20 ? le(d, 30, 4) : 0;
    }
    const bool topDown = h < 0;
    r.height = topDown ? -h : h;
    std::size_t tableAt = 14 + hs;
    std::uint32_t masks[3] = {0x7C00, 0x3E0, 0x1F};
    if (r.bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (compression == 3) {
        const std::size_t at = hs >= 52 ? 54 : 14 + hs;
        for (int i = 0; i < 3; ++i)
            masks[i] = le(d, at + 4 * i, 4);
        if (hs < 52)
            tableAt += 12;
    }
    if (r.bits <= 8) {
        const int entry = hs == 12 ? 3 : 4;
        for (int i = 0; i < (1 << r.bits); ++i) {
            const std::size_t at = tableAt + static_cast<std::size_t>(entry) * i;
            r.palette.push_back(at + 3 <= d.size() ? (d[at + 2] << 16) | (d[at + 1] << 8) | d[at]
                                                   : 0);
        }
    }
    r.pixels.assign(static_cast<std::size_t>(r.width) * r.height, 0);
    auto set = [&](int x, int fileRow, std::uint32_t v) {
        const int y = topDown ? fileRow : r.height - 1 - fileRow;
        if (x >= 0 && x < r.width && y >= 0 && y < r.height)
            r.pixels[static_cast<std::size_t>(y) * r.width + x] = v;
    };
    if (compression == 1 || compression == 2) {
        std::size_t p = offset;
        int x = 0, row = 0;
        while (p + 1 < d.size() && row < r.height) {
            const int n = d[p], v = d[p + 1];
            p += 2;
            if (n > 0) {
                for (int i = 0; i < n; ++i, ++x)
                    set(x, row, compression == 1 ? v : (i % 2 == 0 ? v >> 4 : v & 15));
            } else if (v == 0) {
                x = 0;
                ++row;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                x += d[p];
                row += d[p + 1];
                p += 2;
            } else {
                for (int i = 0; i < v; ++i, ++x)
                    set(x, row,
                        compression == 1 ? d[p + i]
                                         : (i % 2 == 0 ? d[p + i / 2] >> 4 : d[p + i / 2] & 15));
                const int used = compression == 1 ? v : (v + 1) / 2;
                p += used + used % 2;
            }
        }
        r.ok = true;
        return r;
    }
    const std::size_t stride = ((static_cast<std::size_t>(r.width) * r.bits + 31) / 32) * 4;
    for (int row = 0; row < r.height; ++row) {
        const std::size_t base = offset + row * stride;
        for (int x = 0; x < r.width; ++x) {
            std::uint32_t v;
            if (r.bits < 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * r.bits;
                v = (d.at(base + bit / 8) >> (8 - r.bits - bit % 8)) & ((1u << r.bits) - 1);
            } else if (r.bits == 8) {
                v = d.at(base + x);
            } else if (r.bits == 24) {
                v = le(d, base + 3 * x, 3);
            } else {
                const std::uint32_t pixel = le(d, base + (r.bits / 8) * x, r.bits / 8);
                v = (maskedChannel(pixel, masks[0]) << 16) | (maskedChannel(pixel, masks[1]) << 8) |
                    maskedChannel(pixel, masks[2]);
            }
            set(x, row, v);
        }
    }
    r.ok = true;
    return r;
}

// The pixel of a loaded record in the reference's terms.
std::uint32_t loadedPixel(const CellImage& image, int x, int y) {
    const std::uint8_t* row = image.row(y);
    switch (image.bitsPerPixel()) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    case 8:
        return row[x];
    default:
        return (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
    }
}

std::uint32_t loadedColour(const CellImage& image, int x, int y) {
    const std::uint32_t v = loadedPixel(image, x, y);
    if (image.bitsPerPixel() == 24)
        return v;
    const ColourValue c = image.paletteEntry(static_cast<int>(v));
    return (redOf(c) << 16) | (greenOf(c) << 8) | blueOf(c);
}

struct LoadResult {
    CellImagePtr image;
    Status error = 0;
};

LoadResult loadBmp(const std::string& path) {
    BmpFile file(path);
    LoadResult result;
    result.error = file.readHeader();
    if (result.error == status::Ok && file.selectPage() == status::Ok) {
        result.image = file.readImage();
        result.error = file.error();
    }
    return result;
}

TEST(BmpSuite, GoodFilesMatchTheReferenceDecoder) {
    CELDO_REQUIRE_TESTDATA("bmp/g");
    int checked = 0;
    for (const auto& name : test::listDir(testDataDir() / "bmp/g")) {
        SCOPED_TRACE(name);
        const std::string path = (testDataDir() / "bmp/g" / name).string();
        const Reference ref = decodeReference(readFileBytes(path));
        ASSERT_TRUE(ref.ok);
        LoadResult loaded = loadBmp(path);
        ASSERT_EQ(loaded.error, status::Ok);
        ASSERT_TRUE(loaded.image);
        const CellImage& image = *loaded.image;
        ASSERT_EQ(image.width(), ref.width);
        ASSERT_EQ(image.height(), ref.height);
        ASSERT_EQ(image.bitsPerPixel(), ref.bits > 8 ? 24 : ref.bits);
        for (std::size_t i = 0; i < ref.palette.size(); ++i) {
            const ColourValue c = image.paletteEntry(static_cast<int>(i));
            EXPECT_EQ((redOf(c) << 16) | (greenOf(c) << 8) | blueOf(c), ref.palette[i]) << i;
        }
        int wrong = 0;
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x)
                wrong += loadedPixel(image, x, y) != ref.at(x, y);
        EXPECT_EQ(wrong, 0);
        ++checked;
    }
    EXPECT_EQ(checked, 27);
}

TEST(BmpSuite, KnownColoursOfTheReferenceRenderings) {
    CELDO_REQUIRE_TESTDATA("bmp/g");
    // (x, y from the top) → red, green, blue, read off html/*.png.
    struct Spot {
        int x, y;
        std::uint32_t colour;
    };
    const std::vector<Spot> pal8 = {{0, 0, 0xFF0000},    {126, 0, 0x99AACC}, {0, 63, 0x000000},
                                    {126, 63, 0x665566}, {63, 32, 0xFFFFFF}, {10, 50, 0x335566}};
    const std::vector<Spot> rgb24 = {
        {0, 0, 0xFF0000}, {126, 0, 0x9F9FBD}, {126, 63, 0x60607E}, {10, 50, 0x355252}};
    const std::vector<Spot> rgb16 = {{0, 0, 0xFF0000},
                                     {126, 0, 0x9C9CBD},
                                     {126, 63, 0x63637B},
                                     {10, 50, 0x315252},
                                     {63, 32, 0xFFFFFF}};
    const std::vector<Spot> rgb565 = {{126, 0, 0x9C9EBD}, {126, 63, 0x63617B}, {10, 50, 0x315152}};
    const std::vector<Spot> pal4 = {{0, 0, 0xFF0000}, {126, 0, 0xFF80FF}, {10, 50, 0x0080FF}};
    const std::vector<Spot> pal1 = {{0, 0, 0xFFFFFF}, {0, 63, 0x000000}};
    const std::map<std::string, const std::vector<Spot>*> files = {
        {"pal8.bmp", &pal8},           {"pal8-0.bmp", &pal8},      {"pal8rle.bmp", &pal8},
        {"pal8topdown.bmp", &pal8},    {"pal8os2.bmp", &pal8},     {"pal8v4.bmp", &pal8},
        {"pal8v5.bmp", &pal8},         {"rgb24.bmp", &rgb24},      {"rgb24pal.bmp", &rgb24},
        {"rgb32.bmp", &rgb24},         {"rgb32bf.bmp", &rgb24},    {"rgb32bfdef.bmp", &rgb24},
        {"rgb16.bmp", &rgb16},         {"rgb16bfdef.bmp", &rgb16}, {"rgb16-565.bmp", &rgb565},
        {"rgb16-565pal.bmp", &rgb565}, {"pal4.bmp", &pal4},        {"pal4rle.bmp", &pal4},
        {"pal1.bmp", &pal1},           {"pal1wb.bmp", &pal1},
    };
    for (const auto& [name, spots] : files) {
        SCOPED_TRACE(name);
        LoadResult loaded = loadBmp((testDataDir() / "bmp/g" / name).string());
        ASSERT_TRUE(loaded.image);
        for (const Spot& s : *spots)
            EXPECT_EQ(loadedColour(*loaded.image, s.x, s.y), s.colour) << s.x << "," << s.y;
    }
}

TEST(BmpSuite, BadFilesAreRefusedOrDecodedSafely) {
    CELDO_REQUIRE_TESTDATA("bmp/b");
    // Files that cannot describe a picture at all must be refused with a
    // message; the rest (run-length data aiming past the buffers, odd
    // densities, out-of-range indices) may decode, and the sanitizer build
    // checks that nothing is touched outside the buffers.
    const std::map<std::string, Status> refused = {
        {"badbitcount.bmp", status::FormatError}, {"badplanes.bmp", status::FormatError},
        {"badwidth.bmp", status::FormatError},    {"reallybig.bmp", status::ReadError},
        {"shortfile.bmp", status::ReadError},
    };
    for (const auto& name : test::listDir(testDataDir() / "bmp/b")) {
        SCOPED_TRACE(name);
        LoadResult loaded = loadBmp((testDataDir() / "bmp/b" / name).string());
        if (loaded.image) {
            EXPECT_EQ(loaded.error, status::Ok);
        } else {
            EXPECT_FALSE(errorMessageText(loaded.error).empty());
        }
        if (auto it = refused.find(name); it != refused.end()) {
            EXPECT_FALSE(loaded.image);
            EXPECT_EQ(loaded.error, it->second);
        }
    }
}

TEST(BmpSuite, QuestionableFilesNeverCrash) {
    CELDO_REQUIRE_TESTDATA("bmp/q");
    int decoded = 0;
    for (const auto& name : test::listDir(testDataDir() / "bmp/q")) {
        SCOPED_TRACE(name);
        LoadResult loaded = loadBmp((testDataDir() / "bmp/q" / name).string());
        if (loaded.image) {
            ++decoded;
        } else {
            EXPECT_FALSE(errorMessageText(loaded.error).empty());
        }
    }
    // Compressions other than run-length and bit fields (JPEG, PNG, Huffman,
    // RLE24, alpha bit fields) and 2- and 64-bit depths are refused; the OS/2
    // variants, odd palettes and unusual masks load.
    EXPECT_GE(decoded, 30);
    LoadResult jpeg = loadBmp((testDataDir() / "bmp/q/rgb24jpeg.bmp").string());
    EXPECT_EQ(jpeg.error, status::Unsupported);
    LoadResult os2 = loadBmp((testDataDir() / "bmp/q/pal8os2v2-16.bmp").string());
    ASSERT_TRUE(os2.image);
    EXPECT_EQ(loadedColour(*os2.image, 0, 0), 0xFF0000u);
    EXPECT_EQ(loadedColour(*os2.image, 126, 0), 0x99AACCu);
}

} // namespace
} // namespace celdo
