#include "formats/PngFile.h"

#include "formats/BmpFile.h"
#include "formats/KissCellFile.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// The files here are built byte by byte (chunks, CRCs from zlib's crc32,
// rows deflated with zlib's compress), and what PngFile writes is read
// back by the small decoder below, so no expectation comes from libpng.
namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

void be32(Bytes& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t readBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

Bytes chunk(const char* type, const Bytes& data) {
    Bytes b;
    be32(b, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    b.insert(b.end(), typed.begin(), typed.end());
    be32(b, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    return b;
}

Bytes ihdr(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace = 0) {
    Bytes d;
    be32(d, width);
    be32(d, height);
    d.push_back(static_cast<std::uint8_t>(depth));
    d.push_back(static_cast<std::uint8_t>(type));
    d.push_back(0);
    d.push_back(0);
    d.push_back(static_cast<std::uint8_t>(interlace));
    return chunk("IHDR", d);
}

Bytes deflated(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

const Bytes Signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Signature, IHDR, the chunks before the pixels, one IDAT, IEND.
Bytes pngOf(const Bytes& header, const std::vector<Bytes>& before, const Bytes& raw) {
    Bytes b = Signature;
    b.insert(b.end(), header.begin(), header.end());
    for (const Bytes& c : before)
        b.insert(b.end(), c.begin(), c.end());
    const Bytes idat = chunk("IDAT", deflated(raw));
    b.insert(b.end(), idat.begin(), idat.end());
    const Bytes end = chunk("IEND", {});
    b.insert(b.end(), end.begin(), end.end());
    return b;
}

int channelsOf(int type) {
    switch (type) {
    case 0:
    case 3:
        return 1;
    case 4:
        return 2;
    case 2:
        return 3;
    default:
        return 4;
    }
}

// Samples of one row packed as the format stores them: most significant
// bits first below 8 bits, big-endian at 16.
Bytes packSamples(const std::vector<unsigned>& samples, int depth) {
    Bytes b;
    if (depth == 16) {
        for (unsigned s : samples) {
            b.push_back(static_cast<std::uint8_t>(s >> 8));
            b.push_back(static_cast<std::uint8_t>(s));
        }
    } else if (depth == 8) {
        for (unsigned s : samples)
            b.push_back(static_cast<std::uint8_t>(s));
    } else {
        const int perByte = 8 / depth;
        for (std::size_t i = 0; i < samples.size(); i += perByte) {
            unsigned byte = 0;
            for (int k = 0; k < perByte; ++k) {
                const unsigned s = i + k < samples.size() ? samples[i + k] : 0;
                byte |= s << (8 - depth * (k + 1));
            }
            b.push_back(static_cast<std::uint8_t>(byte));
        }
    }
    return b;
}

using SampleAt = std::function<unsigned(int x, int y, int channel)>;

// The stored rows (filter byte 0 each), plain or in the seven passes of
// Adam7.
Bytes rawRows(int width, int height, int depth, int type, bool interlaced, const SampleAt& at) {
    const int channels = channelsOf(type);
    struct Pass {
        int x0, y0, dx, dy;
    };
    const std::vector<Pass> passes =
        interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                   : std::vector<Pass>{{0, 0, 1, 1}};
    Bytes raw;
    for (const Pass& p : passes) {
        if (p.x0 >= width || p.y0 >= height)
            continue;
        for (int y = p.y0; y < height; y += p.dy) {
            std::vector<unsigned> samples;
            for (int x = p.x0; x < width; x += p.dx)
                for (int c = 0; c < channels; ++c)
                    samples.push_back(at(x, y, c));
            raw.push_back(0);
            const Bytes packed = packSamples(samples, depth);
            raw.insert(raw.end(), packed.begin(), packed.end());
        }
    }
    return raw;
}

unsigned sampleOf(int x, int y, int channel, int depth) {
    const unsigned wide = static_cast<unsigned>(x * 977 + y * 1531 + channel * 4099 + x * y * 31);
    return depth == 16 ? wide & 0xFFFF : wide % (1u << depth);
}

// --- an independent reading of what PngFile writes -------------------------

struct Decoded {
    std::uint32_t width = 0, height = 0;
    int depth = 0, type = 0, interlace = 0;
    Bytes plte, trns;
    bool offsets = false;
    std::int32_t offsetX = 0, offsetY = 0;
    int unit = -1;
    // One vector of samples a row.
    std::vector<std::vector<unsigned>> rows;
};

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

Decoded decode(const Bytes& png) {
    Decoded d;
    EXPECT_TRUE(png.size() > 8 && std::equal(Signature.begin(), Signature.end(), png.begin()));
    Bytes idat;
    std::size_t i = 8;
    bool ended = false;
    while (i + 12 <= png.size() && !ended) {
        const std::uint32_t length = readBe32(&png[i]);
        const std::string type(png.begin() + i + 4, png.begin() + i + 8);
        const std::uint8_t* data = &png[i + 8];
        EXPECT_LE(i + 12 + length, png.size());
        const auto crc = static_cast<std::uint32_t>(crc32(0, &png[i + 4], length + 4));
        EXPECT_EQ(crc, readBe32(data + length)) << type;
        if (type == "IHDR") {
            d.width = readBe32(data);
            d.height = readBe32(data + 4);
            d.depth = data[8];
            d.type = data[9];
            d.interlace = data[12];
        } else if (type == "PLTE") {
            d.plte.assign(data, data + length);
        } else if (type == "tRNS") {
            d.trns.assign(data, data + length);
        } else if (type == "oFFs") {
            d.offsets = true;
            d.offsetX = static_cast<std::int32_t>(readBe32(data));
            d.offsetY = static_cast<std::int32_t>(readBe32(data + 4));
            d.unit = data[8];
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        i += 12 + length;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(d.interlace, 0);
    const int channels = channelsOf(d.type);
    const std::size_t rowBytes = (std::size_t{d.width} * channels * d.depth + 7) / 8;
    const std::size_t step = std::max<std::size_t>(1, channels * d.depth / 8);
    Bytes raw((rowBytes + 1) * d.height);
    uLongf size = static_cast<uLongf>(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    EXPECT_EQ(size, raw.size());
    Bytes previous(rowBytes, 0), current(rowBytes);
    for (std::uint32_t y = 0; y < d.height; ++y) {
        const std::uint8_t* line = &raw[y * (rowBytes + 1)];
        const int filter = line[0];
        for (std::size_t k = 0; k < rowBytes; ++k) {
            const int a = k >= step ? current[k - step] : 0;
            const int b = previous[k];
            const int c = k >= step ? previous[k - step] : 0;
            int predicted = 0;
            switch (filter) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4:
                predicted = paeth(a, b, c);
                break;
            default:
                EXPECT_EQ(filter, 0);
                break;
            }
            current[k] = static_cast<std::uint8_t>(line[1 + k] + predicted);
        }
        std::vector<unsigned> samples;
        for (std::uint32_t n = 0; n < d.width * channels; ++n) {
            if (d.depth == 16) {
                samples.push_back((unsigned{current[2 * n]} << 8) | current[2 * n + 1]);
            } else {
                const std::size_t bit = std::size_t{n} * d.depth;
                const unsigned byte = current[bit / 8];
                samples.push_back((byte >> (8 - d.depth - bit % 8)) & ((1u << d.depth) - 1));
            }
        }
        d.rows.push_back(std::move(samples));
        previous = current;
    }
    return d;
}

// --- helpers ------------------------------------------------------------------

struct Read {
    Status status = status::Ok;
    CellImagePtr picture;
    CellImagePtr mask;
};

Read readPng(const Bytes& bytes) {
    Read r;
    r.status = ReadPngFromMemory(bytes, r.picture, r.mask);
    return r;
}

ColourValue paletteColour(int i) {
    return rgb(static_cast<unsigned>(i * 3) & 0xFF, 255 - static_cast<unsigned>(i),
               static_cast<unsigned>(i * 7) & 0xFF);
}

Bytes plteOf(int entries) {
    Bytes d;
    for (int i = 0; i < entries; ++i) {
        d.push_back(static_cast<std::uint8_t>(redOf(paletteColour(i))));
        d.push_back(static_cast<std::uint8_t>(greenOf(paletteColour(i))));
        d.push_back(static_cast<std::uint8_t>(blueOf(paletteColour(i))));
    }
    return chunk("PLTE", d);
}

// A palette picture whose indices run through every entry.
Bytes palettePng(int width, int height, int depth, int entries, bool interlaced = false,
                 std::vector<Bytes> extra = {}) {
    const auto at = [&](int x, int y, int) {
        return sampleOf(x, y, 0, depth) % static_cast<unsigned>(entries);
    };
    extra.insert(extra.begin(), plteOf(entries));
    return pngOf(ihdr(width, height, depth, 3, interlaced ? 1 : 0), extra,
                 rawRows(width, height, depth, 3, interlaced, at));
}

// --- reading every colour type and depth ---------------------------------------

struct Kind {
    int type;
    int depth;
    bool interlaced;
};

std::string kindName(const Kind& k) {
    return "type " + std::to_string(k.type) + " depth " + std::to_string(k.depth) +
           (k.interlaced ? " interlaced" : "");
}

class PngReadKinds : public ::testing::TestWithParam<Kind> {};

TEST_P(PngReadKinds, GivesTheStoredPixels) {
    const Kind k = GetParam();
    const int width = 37, height = 21;
    const int entries = k.type == 3 ? (k.depth == 8 ? 200 : 1 << k.depth) : 0;
    Bytes file;
    if (k.type == 3) {
        file = palettePng(width, height, k.depth, entries, k.interlaced);
    } else {
        const auto at = [&](int x, int y, int c) { return sampleOf(x, y, c, k.depth); };
        file = pngOf(ihdr(width, height, k.depth, k.type, k.interlaced ? 1 : 0), {},
                     rawRows(width, height, k.depth, k.type, k.interlaced, at));
    }
    const Read r = readPng(file);
    ASSERT_EQ(r.status, status::Ok) << kindName(k);
    ASSERT_TRUE(r.picture);
    ASSERT_EQ(r.picture->width(), width);
    ASSERT_EQ(r.picture->height(), height);
    // 16-bit samples keep their high byte.
    const auto eight = [&](int x, int y, int c) {
        const unsigned s = sampleOf(x, y, c, k.depth);
        return k.depth == 16 ? s >> 8 : s;
    };
    const bool alpha = k.type == 4 || k.type == 6;
    EXPECT_EQ(r.mask != nullptr, alpha) << kindName(k);
    if (k.type == 3 || k.type == 0 || k.type == 4) {
        ASSERT_EQ(r.picture->bitsPerPixel(), 8);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned expected =
                    k.type == 3 ? sampleOf(x, y, 0, k.depth) % entries : eight(x, y, 0);
                ASSERT_EQ(r.picture->at(x, y), expected) << kindName(k) << " at " << x << "," << y;
                if (alpha) {
                    ASSERT_EQ(r.mask->at(x, y), 255 - eight(x, y, 1)) << kindName(k);
                }
            }
        if (k.type == 3) {
            for (int i = 0; i < entries; ++i)
                EXPECT_EQ(r.picture->paletteEntry(i), paletteColour(i)) << i;
        } else {
            const int levels = 1 << std::min(k.depth, 8);
            for (int i = 0; i < levels; ++i) {
                const unsigned v = static_cast<unsigned>(i * 255 / (levels - 1));
                EXPECT_EQ(r.picture->paletteEntry(i), rgb(v, v, v)) << i;
            }
        }
    } else {
        ASSERT_EQ(r.picture->bitsPerPixel(), 24);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = r.picture->row(y) + 3 * x;
                // The record holds blue, green, red.
                ASSERT_EQ(p[2], eight(x, y, 0)) << kindName(k);
                ASSERT_EQ(p[1], eight(x, y, 1)) << kindName(k);
                ASSERT_EQ(p[0], eight(x, y, 2)) << kindName(k);
                if (alpha) {
                    ASSERT_EQ(r.mask->at(x, y), 255 - eight(x, y, 3)) << kindName(k);
                }
            }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryType, PngReadKinds,
                         ::testing::Values(Kind{3, 1, false}, Kind{3, 2, false}, Kind{3, 4, false},
                                           Kind{3, 8, false}, Kind{0, 1, false}, Kind{0, 2, false},
                                           Kind{0, 4, false}, Kind{0, 8, false}, Kind{0, 16, false},
                                           Kind{4, 8, false}, Kind{4, 16, false}, Kind{2, 8, false},
                                           Kind{2, 16, false}, Kind{6, 8, false},
                                           Kind{6, 16, false}, Kind{3, 8, true}, Kind{3, 2, true},
                                           Kind{0, 16, true}, Kind{2, 8, true}, Kind{6, 16, true}));

TEST(PngFile, FewerThanEightBitsTakeTheRestOfThePaletteFromTheGroup) {
    std::vector<ColourValue> group(256);
    for (int i = 0; i < 256; ++i)
        group[i] = rgb(1, 2, static_cast<unsigned>(i));
    const Bytes file = palettePng(8, 4, 2, 4);
    PngFile png("x.png");
    png.readFromMemory(file);
    png.setSourcePalette(group.data());
    ASSERT_EQ(png.readHeader(), status::Ok);
    const auto picture = png.readImage();
    ASSERT_TRUE(picture);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(picture->paletteEntry(i), paletteColour(i));
    for (int i = 4; i < 256; ++i)
        EXPECT_EQ(picture->paletteEntry(i), group[i]);
}

TEST(PngFile, TheTransparentGreyLevelBecomesTheMask) {
    for (int depth : {2, 4, 8, 16}) {
        const int width = 13, height = 6;
        const unsigned key = sampleOf(5, 3, 0, depth);
        Bytes trns;
        trns.push_back(static_cast<std::uint8_t>(key >> 8));
        trns.push_back(static_cast<std::uint8_t>(key));
        const auto at = [&](int x, int y, int c) { return sampleOf(x, y, c, depth); };
        const Bytes file = pngOf(ihdr(width, height, depth, 0), {chunk("tRNS", trns)},
                                 rawRows(width, height, depth, 0, false, at));
        const Read r = readPng(file);
        ASSERT_EQ(r.status, status::Ok) << depth;
        ASSERT_TRUE(r.mask) << depth;
        int masked = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned s = sampleOf(x, y, 0, depth);
                ASSERT_EQ(r.picture->at(x, y), depth == 16 ? s >> 8 : s) << depth;
                ASSERT_EQ(r.mask->at(x, y), s == key ? 255 : 0) << depth << " " << x << "," << y;
                masked += s == key;
            }
        EXPECT_GE(masked, 1);
    }
}

TEST(PngFile, HeaderReportsPaletteTransparencyOffsetsAndAnimation) {
    Bytes offs;
    be32(offs, static_cast<std::uint32_t>(-12));
    be32(offs, 345);
    offs.push_back(0);
    Bytes actl;
    be32(actl, 2);
    be32(actl, 0);
    const Bytes file =
        palettePng(9, 7, 8, 16, false,
                   {chunk("tRNS", {0, 128, 255}), chunk("oFFs", offs), chunk("acTL", actl)});
    PngFile png("x.png");
    png.readFromMemory(file);
    ASSERT_EQ(png.readHeader(), status::Ok);
    EXPECT_EQ(png.paletteEntries(), 16);
    EXPECT_EQ(png.transparentEntries(), 3);
    EXPECT_TRUE(png.hasOffsets());
    EXPECT_EQ(png.offsetX(), -12);
    EXPECT_EQ(png.offsetY(), 345);
    EXPECT_TRUE(png.animated());
    EXPECT_TRUE(png.transparentZero());

    const ControlTable table = PngLoadTable(png);
    EXPECT_EQ(table.name, "PngLoad");
    EXPECT_EQ(table.text(201), "9 × 7");
    EXPECT_EQ(table.text(202), "8");
    EXPECT_EQ(table.text(203), "パレット");
    EXPECT_EQ(table.text(204), "16");
    EXPECT_EQ(table.text(205), "3 色");
    EXPECT_EQ(table.text(206), "-12  345");
    // The default image of an animated file reads.
    const auto picture = png.readImage();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->at(3, 2), sampleOf(3, 2, 0, 8) % 16);
}

TEST(PngFile, OffsetsInOtherUnitsAreNotKissOffsets) {
    Bytes offs;
    be32(offs, 5);
    be32(offs, 6);
    offs.push_back(1);
    PngFile png("x.png");
    const Bytes file = palettePng(4, 4, 8, 4, false, {chunk("oFFs", offs)});
    png.readFromMemory(file);
    ASSERT_EQ(png.readHeader(), status::Ok);
    EXPECT_FALSE(png.hasOffsets());
}

// --- writing, read back by the decoder above ------------------------------------

CellImagePtr indexedPicture(int width, int height, int limit) {
    auto picture = CellImage::Create(width, height, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>((x * 5 + y * 11 + x * y) % limit);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = paletteColour(i);
    picture->SetPalette(palette.data(), 256);
    return picture;
}

Bytes written(PngFile& png, const CellImage& picture, const CellImage* mask = nullptr) {
    Bytes bytes;
    EXPECT_EQ(png.saveToMemory(picture, mask, bytes), status::Ok);
    return bytes;
}

void expectPlte(const Decoded& d, int entries) {
    ASSERT_EQ(d.plte.size(), 3u * entries);
    for (int i = 0; i < entries; ++i) {
        EXPECT_EQ(d.plte[3 * i], redOf(paletteColour(i)));
        EXPECT_EQ(d.plte[3 * i + 1], greenOf(paletteColour(i)));
        EXPECT_EQ(d.plte[3 * i + 2], blueOf(paletteColour(i)));
    }
}

TEST(PngFile, EightBitPictureIsAnEightBitPalettePng) {
    const auto picture = indexedPicture(53, 31, 256);
    PngFile png("x.png");
    png.setFromImage(*picture);
    png.setSaveBits(8);
    png.setTransparentZero(true);
    png.setWriteOffsets(true);
    png.setOffsets(70, -3);
    const Decoded d = decode(written(png, *picture));
    EXPECT_EQ(d.width, 53u);
    EXPECT_EQ(d.height, 31u);
    EXPECT_EQ(d.depth, 8);
    EXPECT_EQ(d.type, 3);
    expectPlte(d, 256);
    EXPECT_EQ(d.trns, Bytes{0});
    EXPECT_TRUE(d.offsets);
    EXPECT_EQ(d.offsetX, 70);
    EXPECT_EQ(d.offsetY, -3);
    EXPECT_EQ(d.unit, 0);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 53; ++x)
            ASSERT_EQ(d.rows[y][x], picture->at(x, y)) << x << "," << y;
}

TEST(PngFile, FourBitsOnlyWhenAskedAndEveryIndexFits) {
    const auto small = indexedPicture(21, 9, 16);
    PngFile png("x.png");
    png.setFromImage(*small);
    png.setSaveBits(4);
    png.setTransparentZero(false);
    png.setWriteOffsets(false);
    const Decoded d = decode(written(png, *small));
    EXPECT_EQ(d.depth, 4);
    EXPECT_EQ(d.type, 3);
    expectPlte(d, 16);
    EXPECT_TRUE(d.trns.empty());
    EXPECT_FALSE(d.offsets);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 21; ++x)
            ASSERT_EQ(d.rows[y][x], small->at(x, y));

    // One index beyond 15 keeps eight bits.
    auto wide = indexedPicture(21, 9, 16);
    wide->at(20, 8) = 16;
    const Decoded e = decode(written(png, *wide));
    EXPECT_EQ(e.depth, 8);
    EXPECT_EQ(e.rows[8][20], 16u);
}

TEST(PngFile, TrueColourWithMaskIsRgbaWithAlphaFromTheMask) {
    auto picture = CellImage::Create(19, 13, 24);
    auto mask = CellImage::Create(19, 13, 8);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 19; ++x) {
            std::uint8_t* p = picture->row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 13);    // blue
            p[1] = static_cast<std::uint8_t>(y * 17);    // green
            p[2] = static_cast<std::uint8_t>(x * y + 5); // red
            mask->at(x, y) = static_cast<std::uint8_t>(x * 7 + y);
        }
    PngFile png("x.png");
    png.setFromImage(*picture);
    const Decoded d = decode(written(png, *picture, mask.get()));
    EXPECT_EQ(d.type, 6);
    EXPECT_EQ(d.depth, 8);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 19; ++x) {
            const std::uint8_t* p = picture->row(y) + 3 * x;
            ASSERT_EQ(d.rows[y][4 * x], p[2]);
            ASSERT_EQ(d.rows[y][4 * x + 1], p[1]);
            ASSERT_EQ(d.rows[y][4 * x + 2], p[0]);
            ASSERT_EQ(d.rows[y][4 * x + 3], 255u - mask->at(x, y));
        }
    const Decoded plain = decode(written(png, *picture));
    EXPECT_EQ(plain.type, 2);
    EXPECT_EQ(plain.rows[4][3 * 7], picture->row(4)[3 * 7 + 2]);
}

// --- KiSS cells through PNG and back ---------------------------------------------

std::vector<std::filesystem::path> cellsUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> cells;
    std::error_code error;
    if (!std::filesystem::exists(folder, error))
        return cells;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::toupper);
        if (entry.is_regular_file() && ext == ".CEL")
            cells.push_back(entry.path());
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

void expectCellSurvives(const std::filesystem::path& path) {
    SCOPED_TRACE(path.string());
    const Bytes original = test::readFileBytes(path.string());
    KissCellFile cell(path.string());
    ASSERT_EQ(cell.readHeader(), status::Ok);
    const auto picture = cell.readImage();
    ASSERT_TRUE(picture);
    const auto mask = cell.takeMask();

    PngFile png("cell.png");
    png.setFromImage(*picture);
    png.setFromDocument(cell);
    Bytes pngBytes;
    ASSERT_EQ(png.saveToMemory(*picture, mask.get(), pngBytes), status::Ok);

    PngFile back("cell.png");
    back.readFromMemory(pngBytes);
    ASSERT_EQ(back.readHeader(), status::Ok);
    const auto again = back.readImage();
    ASSERT_TRUE(again);
    const auto againMask = back.takeMask();
    const int colours = back.bitDepth() == 4 ? 16 : 256;
    for (int i = 0; i < colours && picture->bitsPerPixel() == 8; ++i)
        ASSERT_EQ(again->paletteEntry(i), picture->paletteEntry(i)) << i;

    KissCellFile out("cell.cel");
    out.setFromImage(*again);
    out.setFromDocument(back);
    Bytes cellBytes;
    ASSERT_EQ(out.saveToMemory(*again, againMask.get(), cellBytes), status::Ok);
    EXPECT_EQ(cellBytes, original);
}

bool pixelsOver15(const CellImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.at(x, y) > 15)
                return true;
    return false;
}

TEST(PngFile, SampleCellsComeBackByteForByte) {
    const auto cells = cellsUnder(std::filesystem::path(CELDO_SOURCE_DIR) / "data" / "samples");
    ASSERT_FALSE(cells.empty());
    for (const auto& path : cells)
        expectCellSurvives(path);
}

TEST(PngFile, SharedTestDataCellsComeBackByteForByte) {
    CELDO_REQUIRE_TESTDATA("bmp/g");
    auto cells = cellsUnder(test::testDataDir());
    // The shared set holds bitmaps rather than cells: every indexed one of
    // the good bitmaps becomes a 256-colour cell with offsets, and a
    // 16-colour one when its indices allow.
    test::TempDir dir;
    int made = 0;
    for (const std::string& name : test::listDir(test::testDataDir() / "bmp" / "g")) {
        BmpFile bmp((test::testDataDir() / "bmp" / "g" / name).string());
        if (bmp.readHeader() != status::Ok)
            continue;
        auto picture = bmp.readImage();
        if (!picture || picture->bitsPerPixel() > 8)
            continue;
        if (picture->bitsPerPixel() < 8)
            picture = picture->ConvertTo8(nullptr);
        ASSERT_TRUE(picture);
        for (int kind : {1, 2}) {
            KissCellFile cell(dir.file(std::to_string(made) + ".cel"));
            cell.setKind(kind);
            cell.setOffsets(made * 3, 1000 - made);
            cell.setFromImage(*picture);
            if (kind == 1 && pixelsOver15(*picture))
                continue;
            ASSERT_EQ(cell.saveTo(*picture, nullptr), status::Ok);
            cells.push_back(cell.path());
            ++made;
        }
    }
    EXPECT_GT(made, 10);
    for (const auto& path : cells)
        expectCellSurvives(path);
}

// --- hostile files -------------------------------------------------------------------

Bytes withByteChanged(Bytes b, std::size_t at) {
    b[at] ^= 0x5A;
    return b;
}

// Where each chunk of a file starts, by type.
std::size_t chunkAt(const Bytes& png, const char* type) {
    std::size_t i = 8;
    while (i + 12 <= png.size()) {
        if (std::equal(type, type + 4, png.begin() + i + 4))
            return i;
        i += 12 + readBe32(&png[i]);
    }
    return png.size();
}

TEST(PngFile, TruncatedFilesAreReadErrors) {
    const Bytes file = palettePng(40, 30, 8, 256);
    const std::size_t idat = chunkAt(file, "IDAT");
    const std::size_t iend = chunkAt(file, "IEND");
    for (std::size_t cut : {std::size_t{0}, std::size_t{4}, std::size_t{8}, std::size_t{20},
                            std::size_t{40}, idat + 6, idat + 60, iend - 2, iend, iend + 8}) {
        const Bytes shortened(file.begin(), file.begin() + static_cast<long>(cut));
        const Read r = readPng(shortened);
        EXPECT_EQ(r.status, status::ReadError) << "cut at " << cut;
        EXPECT_FALSE(r.picture);
    }
}

TEST(PngFile, BadChecksumsAndSignatureAreFormatErrors) {
    const Bytes file = palettePng(40, 30, 8, 256);
    const std::size_t idat = chunkAt(file, "IDAT");
    const std::size_t ihdrCrc = 8 + 8 + 13;
    for (std::size_t at : {std::size_t{1}, ihdrCrc, std::size_t{8 + 8 + 2}, idat + 8 + 10,
                           idat + 8 + readBe32(&file[idat])}) {
        const Read r = readPng(withByteChanged(file, at));
        EXPECT_EQ(r.status, status::FormatError) << "byte " << at;
        EXPECT_FALSE(r.picture);
    }
}

TEST(PngFile, HugeDeclaredSizesAreRefusedBeforeAllocating) {
    const Bytes row = {0, 0, 0, 0, 0};
    // Beyond the largest picture.
    EXPECT_EQ(readPng(pngOf(ihdr(40000, 4, 8, 3), {plteOf(4)}, row)).status, status::OutOfMemory);
    EXPECT_EQ(readPng(pngOf(ihdr(4, 0x7FFFFFFF, 8, 3), {plteOf(4)}, row)).status,
              status::OutOfMemory);
    // Decoded rows beyond the bound.
    EXPECT_EQ(readPng(pngOf(ihdr(32767, 32767, 16, 6), {}, row)).status, status::OutOfMemory);
    // More rows than a file of this size could inflate to.
    EXPECT_EQ(readPng(pngOf(ihdr(30000, 30000, 8, 3), {plteOf(4)}, row)).status,
              status::FormatError);
    // No pixels at all.
    EXPECT_EQ(readPng(pngOf(ihdr(0, 5, 8, 3), {plteOf(4)}, row)).status, status::FormatError);
}

TEST(PngFile, CompressedDataBeyondTheDeclaredRowsIsNotInflated) {
    // 16 × 16 declared; the data inflates to 64 MiB of zeros.
    const Bytes bomb(64u << 20, 0);
    const Bytes file = pngOf(ihdr(16, 16, 8, 3), {plteOf(4)}, bomb);
    ASSERT_LT(file.size(), 200000u);
    const Read r = readPng(file);
    ASSERT_EQ(r.status, status::Ok);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(r.picture->at(x, y), 0);
}

TEST(PngFile, IndexBeyondThePaletteAndMissingPaletteAreFormatErrors) {
    // Four entries, but index 10 in the last row.
    const auto at = [](int x, int y, int) { return x == 3 && y == 2 ? 10u : 1u; };
    const Bytes beyond = pngOf(ihdr(4, 3, 8, 3), {plteOf(4)}, rawRows(4, 3, 8, 3, false, at));
    EXPECT_EQ(readPng(beyond).status, status::FormatError);
    const Bytes missing = pngOf(ihdr(4, 3, 8, 3), {}, rawRows(4, 3, 8, 3, false, at));
    EXPECT_EQ(readPng(missing).status, status::FormatError);
}

// --- dialogs and the safe save ---------------------------------------------------------

TEST(PngFile, SaveDialogChoicesAreRememberedForTheRun) {
    const int bits = PngFile::lastSaveBits;
    const bool zero = PngFile::lastTransparentZero;
    const bool offsets = PngFile::lastWriteOffsets;
    const auto picture = indexedPicture(4, 4, 16);
    PngFile png("x.png");
    png.setFromImage(*picture);
    ScriptedUi ui;
    ui.answerDialog("PngSave", [](ControlTable& t) {
        t.setValue(241, 1);
        t.setValue(242, 0);
        t.setValue(280, 0);
        t.setValue(281, 0);
        return 1;
    });
    png.setOffsets(7, -2);
    ASSERT_EQ(png.askSaveOptions(ui), 1);
    ASSERT_EQ(ui.tables.size(), 1u);
    EXPECT_EQ(ui.tables[0].text(281), "位置を保存する（7, -2）");
    EXPECT_EQ(png.saveBits(), 4);
    EXPECT_FALSE(png.transparentZero());
    EXPECT_FALSE(png.writeOffsets());
    PngFile next("y.png");
    EXPECT_EQ(next.saveBits(), 4);
    EXPECT_FALSE(next.transparentZero());
    EXPECT_FALSE(next.writeOffsets());
    PngFile::lastSaveBits = bits;
    PngFile::lastTransparentZero = zero;
    PngFile::lastWriteOffsets = offsets;
}

TEST(PngFile, SavedFileReadsBackAndAFailedSaveKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.file("pic.png");
    const auto picture = indexedPicture(30, 20, 256);
    PngFile png(path);
    png.setFromImage(*picture);
    ASSERT_EQ(png.saveTo(*picture, nullptr), status::Ok);
    const Bytes first = test::readFileBytes(path);
    PngFile reader(path);
    ASSERT_EQ(reader.readHeader(), status::Ok);
    const auto loaded = reader.readImage();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->samePixels(*picture));

    // A picture the format cannot hold fails inside writeBody.
    auto odd = CellImage::Create(3, 3, 8, false);
    PngFile again(path);
    EXPECT_NE(again.saveTo(*odd, nullptr), status::Ok);
    EXPECT_EQ(test::readFileBytes(path), first);
    EXPECT_EQ(test::listDir(dir.path()), std::vector<std::string>{"pic.png"});
}

} // namespace
} // namespace celdo
