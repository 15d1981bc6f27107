// MAG pictures made by other programs decode to the pixels of their reference
// renderings, and awkward or damaged files are handled soundly.
#include "formats/MagFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace celdo {
namespace {

using test::readFileBytes;
using test::testDataDir;

// A minimal reader for the reference PNGs (8-bit RGB, not interlaced).  The
// engine has no zlib dependency, so the system's zlib is loaded at run time.
struct Rgb {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // r, g, b per pixel, top row first
};

using UncompressFn = int (*)(unsigned char*, unsigned long*, const unsigned char*, unsigned long);

UncompressFn zlibUncompress() {
    static void* library = dlopen("libz.so.1", RTLD_NOW);
    return library ? reinterpret_cast<UncompressFn>(dlsym(library, "uncompress")) : nullptr;
}

std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool readPng(const std::string& path, Rgb& out) {
    const auto file = readFileBytes(path);
    if (file.size() < 8 || std::memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8) != 0)
        return false;
    std::vector<std::uint8_t> compressed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = bigEndian(&file[at]);
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::uint8_t* data = &file[at + 8];
        if (at + 12 + length > file.size())
            return false;
        if (type == "IHDR") {
            out.width = static_cast<int>(bigEndian(data));
            out.height = static_cast<int>(bigEndian(data + 4));
            if (data[8] != 8 || data[9] != 2 || data[12] != 0)
                return false;
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const std::size_t stride = 3 * static_cast<std::size_t>(out.width);
    std::vector<std::uint8_t> raw((stride + 1) * out.height);
    unsigned long rawSize = raw.size();
    const auto uncompress = zlibUncompress();
    if (!uncompress ||
        uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()) != 0 ||
        rawSize != raw.size())
        return false;
    out.pixels.assign(stride * out.height, 0);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t filter = raw[y * (stride + 1)];
        const std::uint8_t* in = &raw[y * (stride + 1) + 1];
        std::uint8_t* row = &out.pixels[y * stride];
        const std::uint8_t* up = y > 0 ? row - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0;
            const int b = up ? up[i] : 0;
            const int c = (up && i >= 3) ? up[i - 3] : 0;
            int predictor = 0;
            switch (filter) {
            case 1:
                predictor = a;
                break;
            case 2:
                predictor = b;
                break;
            case 3:
                predictor = (a + b) / 2;
                break;
            case 4: {
                const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b),
                          pc = std::abs(p - c);
                predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                break;
            }
            default:
                break;
            }
            row[i] = static_cast<std::uint8_t>(in[i] + predictor);
        }
    }
    return true;
}

int indexAt(const CellImage& image, int x, int y) {
    if (image.bitsPerPixel() == 8)
        return image.row(y)[x];
    const std::uint8_t b = image.row(y)[x / 2];
    return (x & 1) ? (b & 0x0F) : (b >> 4);
}

std::string magPath(const std::string& name) {
    return (testDataDir() / "mag" / name).string();
}

struct Loaded {
    Status header = 0;
    Status error = 0;
    CellImagePtr image;
};

Loaded load(const std::string& path) {
    MagFile file(path);
    Loaded result;
    result.header = file.readHeader();
    if (result.header == status::Ok) {
        result.image = file.readImage();
        result.error = file.error();
    }
    return result;
}

// Expects `image` to show the reference rendering's columns from `firstColumn`.
void expectMatchesReference(const CellImage& image, const std::string& reference,
                            int firstColumn = 0) {
    Rgb ref;
    ASSERT_TRUE(readPng(magPath("ref/" + reference), ref)) << reference;
    ASSERT_EQ(image.height(), ref.height);
    ASSERT_LE(firstColumn + image.width(), ref.width);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const ColourValue c = image.paletteEntry(indexAt(image, x, y));
            const std::uint8_t* want = &ref.pixels[3 * (y * ref.width + x + firstColumn)];
            if (redOf(c) != want[0] || greenOf(c) != want[1] || blueOf(c) != want[2])
                ++wrong;
        }
    EXPECT_EQ(wrong, 0) << reference;
}

class MagConformance : public ::testing::TestWithParam<const char*> {};

TEST_P(MagConformance, DecodesToTheReferencePixels) {
    CELDO_REQUIRE_TESTDATA("mag");
    if (!zlibUncompress())
        GTEST_SKIP() << "the system's zlib (libz.so.1) is needed to read the references";
    const std::string name = GetParam();
    Loaded loaded = load(magPath(name + ".mag"));
    ASSERT_EQ(loaded.header, status::Ok);
    ASSERT_TRUE(loaded.image) << "error " << loaded.error;
    EXPECT_EQ(loaded.image->bitsPerPixel(), name.find("256c") != std::string::npos ? 8 : 4);
    expectMatchesReference(*loaded.image, name + ".000.png");
}

INSTANTIATE_TEST_SUITE_P(Corpus, MagConformance,
                         ::testing::Values("pymag_plasma_200x120_16c", "pymag_plasma_200x120_256c",
                                           "pymag_plasma_640x400_16c", "pymag_plasma_640x400_256c",
                                           "pymag_shapes_640x400_16c", "pymag_shapes_640x400_256c",
                                           "pymag_shapes_64x48_16c",
                                           "pymag_shapes_64x48_16c_longcomment",
                                           "pymag_shapes_64x48_256c", "pymag_stripes_256x192_16c",
                                           "pymag_stripes_256x192_256c"));

TEST(MagEdgeFiles, UnalignedStartXCutsTheLeadingPixelsOfTheFirstUnit) {
    CELDO_REQUIRE_TESTDATA("mag/edge");
    if (!zlibUncompress())
        GTEST_SKIP() << "the system's zlib (libz.so.1) is needed to read the references";
    Loaded sixteen = load(magPath("edge/derived_x0_3_16c.mag"));
    ASSERT_TRUE(sixteen.image) << sixteen.header << " " << sixteen.error;
    EXPECT_EQ(sixteen.image->width(), 61);
    expectMatchesReference(*sixteen.image, "pymag_shapes_64x48_16c.000.png", 3);

    Loaded full = load(magPath("edge/derived_x0_2_256c.mag"));
    ASSERT_TRUE(full.image) << full.header << " " << full.error;
    EXPECT_EQ(full.image->width(), 62);
    expectMatchesReference(*full.image, "pymag_shapes_64x48_256c.000.png", 2);
}

TEST(MagEdgeFiles, EndXInsideAUnitDropsTheRestOfTheUnit) {
    CELDO_REQUIRE_TESTDATA("mag/edge");
    if (!zlibUncompress())
        GTEST_SKIP() << "the system's zlib (libz.so.1) is needed to read the references";
    Loaded loaded = load(magPath("edge/derived_x1_61_16c.mag"));
    ASSERT_TRUE(loaded.image);
    EXPECT_EQ(loaded.image->width(), 62);
    expectMatchesReference(*loaded.image, "pymag_shapes_64x48_16c.000.png");
}

TEST(MagEdgeFiles, TheTwoHundredLineBitChangesNothing) {
    CELDO_REQUIRE_TESTDATA("mag/edge");
    if (!zlibUncompress())
        GTEST_SKIP() << "the system's zlib (libz.so.1) is needed to read the references";
    for (const char* name : {"edge/derived_200line_16c.mag", "edge/derived_200line_pc98_16c.mag"}) {
        Loaded loaded = load(magPath(name));
        ASSERT_TRUE(loaded.image) << name;
        EXPECT_EQ(loaded.image->height(), 48) << name;
        expectMatchesReference(*loaded.image, "pymag_shapes_64x48_16c.000.png");
    }
}

TEST(MagEdgeFiles, TruncatedPixelDataIsAReadErrorWithoutAPicture) {
    CELDO_REQUIRE_TESTDATA("mag/edge");
    Loaded loaded = load(magPath("edge/derived_truncated_16c.mag"));
    EXPECT_EQ(loaded.header, status::Ok);
    EXPECT_FALSE(loaded.image);
    EXPECT_EQ(loaded.error, status::ReadError);
}

TEST(MagEdgeFiles, VectorsWithoutASourceAreFormatErrors) {
    CELDO_REQUIRE_TESTDATA("mag/edge");
    for (const char* name :
         {"edge/synthetic_vector_above_top.mag", "edge/synthetic_vector_left_of_row0.mag",
          "edge/synthetic_vector_left_of_row1.mag"}) {
        Loaded loaded = load(magPath(name));
        EXPECT_EQ(loaded.header, status::Ok) << name;
        EXPECT_FALSE(loaded.image) << name;
        EXPECT_EQ(loaded.error, status::FormatError) << name;
    }
}

TEST(MagEdgeFiles, HeaderTextsOfTheCorpus) {
    CELDO_REQUIRE_TESTDATA("mag");
    MagFile file(magPath("pymag_shapes_64x48_16c_longcomment.mag"));
    ASSERT_EQ(file.readHeader(), status::Ok);
    EXPECT_EQ(file.machineCode(), "PYTN");
    EXPECT_EQ(file.userName(), " corpus");
    EXPECT_EQ(file.comment().size(), 521u);
    EXPECT_EQ(file.headerOffset(), 553);
    EXPECT_EQ(file.flagBytesPerLine(), 8);
}

} // namespace
} // namespace celdo
