#include "formats/IconFile.h"
#include "formats/BmpFile.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;

// SHA-256 of the loaded indices, to compare with the corpus table, which
// hashes one byte a pixel, rows from the top.
std::string sha256(const Bytes& message) {
    static const std::uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    Bytes m = message;
    const std::uint64_t bitLength = static_cast<std::uint64_t>(message.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56)
        m.push_back(0);
    for (int i = 7; i >= 0; --i)
        m.push_back(static_cast<std::uint8_t>(bitLength >> (8 * i)));
    auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (std::size_t block = 0; block < m.size(); block += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (m[block + 4 * i] << 24) | (m[block + 4 * i + 1] << 16) |
                   (m[block + 4 * i + 2] << 8) | m[block + 4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6],
                      hh = h[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            const std::uint32_t t2 =
                (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const std::uint32_t add[8] = {a, b, c, d, e, f, g, hh};
        for (int i = 0; i < 8; ++i)
            h[i] += add[i];
    }
    std::string hex;
    char part[9];
    for (std::uint32_t v : h) {
        std::snprintf(part, sizeof part, "%08x", v);
        hex += part;
    }
    return hex;
}

struct Loaded {
    CellImagePtr image;
    Status error = 0;
    int pageCount = 0;
    int hotspotX = 0, hotspotY = 0;
};

Loaded loadIcon(const std::string& path, int page = 0) {
    const bool cursor = path.size() > 4 && path.substr(path.size() - 4) == ".cur";
    IconFile file(path, cursor ? IconFile::CursorVariant : IconFile::IconVariant);
    Loaded r;
    r.error = file.readHeader();
    if (r.error != status::Ok)
        return r;
    r.pageCount = file.pageCount();
    file.setPage(page);
    r.error = file.selectPage();
    if (r.error != status::Ok)
        return r;
    r.hotspotX = file.hotspotX();
    r.hotspotY = file.hotspotY();
    r.image = file.readImage();
    r.error = file.error();
    return r;
}

Bytes topDownIndices(const CellImage& image) {
    Bytes out;
    for (int y = 0; y < image.height(); ++y)
        out.insert(out.end(), image.row(y), image.row(y) + image.width());
    return out;
}

int countIndex(const CellImage& image, int index) {
    int n = 0;
    for (std::uint8_t v : topDownIndices(image))
        n += v == index;
    return n;
}

TEST(IconCorpus, EveryIndexedEntryLoadsWithTheExpectedIndices) {
    CELDO_REQUIRE_TESTDATA("ico/expected_index.tsv");
    std::ifstream table(test::testDataDir() / "ico/expected_index.tsv");
    std::string line;
    std::getline(table, line);
    int checked = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string file, entry, bpp;
        std::getline(fields, file, '\t');
        std::getline(fields, entry, '\t');
        std::getline(fields, bpp, '\t');
        SCOPED_TRACE(file + " entry " + entry);
        const std::string path = (test::testDataDir() / file).string();
        Loaded r = loadIcon(path, std::stoi(entry));
        if (bpp.rfind("skip", 0) == 0) {
            // PNG, true-colour and compressed entries; the bomb may decode
            // from its directory size or be refused, never more.
            if (r.image) {
                EXPECT_LE(r.image->width() * r.image->height(), 256 * 256);
            } else {
                EXPECT_FALSE(errorMessageText(r.error).empty());
            }
            continue;
        }
        int w, h, black, white, other, opaque254, opaque255;
        std::string differs, hash;
        fields >> w >> h >> black >> white >> other >> opaque254 >> opaque255;
        fields.ignore();
        std::getline(fields, differs, '\t');
        std::getline(fields, hash, '\t');
        ASSERT_EQ(r.error, status::Ok);
        ASSERT_TRUE(r.image);
        EXPECT_EQ(r.image->width(), w);
        EXPECT_EQ(r.image->height(), h);
        const int screen = countIndex(*r.image, IconFile::Screen);
        const int inverted = countIndex(*r.image, IconFile::Inverted);
        // The table sorts masked pixels by the colour of their XOR value; the
        // file format sorts them by the index.  They agree unless black sits
        // at a non-zero index, which happens in these two files.
        const bool blackElsewhere =
            file.find("JavaCup") != std::string::npos ||
            file.find("multiple_entries_with_different") != std::string::npos;
        if (blackElsewhere) {
            EXPECT_EQ(screen + inverted, black + white + other + opaque254 + opaque255);
        } else {
            EXPECT_EQ(screen, black + opaque255);
            EXPECT_EQ(inverted, white + other + opaque254);
            EXPECT_EQ(sha256(topDownIndices(*r.image)), hash);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 38);
}

TEST(IconCorpus, PagesAndHotspots) {
    CELDO_REQUIRE_TESTDATA("ico/indexed");
    const auto dir = test::testDataDir() / "ico";
    Loaded java = loadIcon((dir / "indexed/JavaCup.ico").string(), 4);
    EXPECT_EQ(java.pageCount, 9);
    ASSERT_TRUE(java.image);
    EXPECT_EQ(java.image->width(), 32);
    Loaded hand = loadIcon((dir / "indexed/hand.cur").string());
    EXPECT_EQ(hand.hotspotX, 15);
    EXPECT_EQ(hand.hotspotY, 15);
    Loaded odd = loadIcon((dir / "synthetic/andxor-1bpp-17x9.cur").string());
    EXPECT_EQ(odd.hotspotX, 16);
    EXPECT_EQ(odd.hotspotY, 8);
    // A 1x4 cursor holding every AND/XOR combination, rows from the top.
    Loaded mask = loadIcon((dir / "hostile/mask_1.cur").string());
    ASSERT_TRUE(mask.image);
    EXPECT_EQ(topDownIndices(*mask.image), (Bytes{0, 1, 255, 254}));
    EXPECT_EQ(mask.image->paletteEntry(254), rgb(255, 0, 255));
    EXPECT_EQ(mask.image->paletteEntry(255), rgb(0, 128, 128));
}

TEST(IconCorpus, TrueColourAndPngEntriesAreUnsupportedAndHostileFilesAreRefusedCleanly) {
    CELDO_REQUIRE_TESTDATA("ico/unsupported");
    const auto dir = test::testDataDir() / "ico";
    for (const auto& name : test::listDir(dir / "unsupported")) {
        SCOPED_TRACE(name);
        Loaded r = loadIcon((dir / "unsupported" / name).string());
        EXPECT_FALSE(r.image);
        EXPECT_EQ(r.error, status::Unsupported);
    }
    for (const auto& name : test::listDir(dir / "hostile")) {
        SCOPED_TRACE(name);
        Loaded r = loadIcon((dir / "hostile" / name).string());
        if (!r.image) {
            EXPECT_FALSE(errorMessageText(r.error).empty());
        }
    }
    EXPECT_EQ(loadIcon((dir / "hostile/no_cursors.cur").string()).error, status::FormatError);
}

void le(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One-image file: directory entry bytes as given, a 40-byte header and the
// palette, XOR and AND bytes.
Bytes iconBytes(int type, std::uint8_t dirWidth, std::uint8_t dirHeight, std::uint8_t dirColours,
                int dibWidth, int dibHeight, int bits, const Bytes& body) {
    Bytes b;
    le(b, 0, 2);
    le(b, static_cast<std::uint32_t>(type), 2);
    le(b, 1, 2);
    b.insert(b.end(), {dirWidth, dirHeight, dirColours, 0});
    le(b, 3, 2);
    le(b, 4, 2);
    le(b, 40 + static_cast<std::uint32_t>(body.size()), 4);
    le(b, 22, 4);
    le(b, 40, 4);
    le(b, static_cast<std::uint32_t>(dibWidth), 4);
    le(b, static_cast<std::uint32_t>(dibHeight), 4);
    le(b, 1, 2);
    le(b, static_cast<std::uint32_t>(bits), 2);
    b.resize(22 + 40, 0);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

class IconFileTest : public ::testing::Test {
protected:
    Loaded load(const Bytes& bytes, const char* name = "t.ico") {
        test::writeFileBytes(dir.file(name), bytes);
        return loadIcon(dir.file(name));
    }
    test::TempDir dir;
};

TEST_F(IconFileTest, AllOnesAndMaskOverZeroXorIsScreen) {
    Bytes body(8, 0);              // palette: 2 entries
    body.resize(8 + 32 * 4, 0);    // XOR rows all zero
    body.resize(8 + 32 * 8, 0xFF); // AND rows all ones
    Loaded r = load(iconBytes(1, 32, 32, 2, 32, 64, 1, body));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(countIndex(*r.image, 255), 1024);
}

TEST_F(IconFileTest, AndOneWithXorSevenIsInvertedScreen) {
    // 8 x 1 at 4 bits: XOR row 4 bytes, AND row 4 bytes.
    Bytes body(64, 0);
    body.insert(body.end(), {0x70, 0x00, 0x00, 0x00});
    body.insert(body.end(), {0xC0, 0x00, 0x00, 0x00});
    Loaded r = load(iconBytes(1, 8, 1, 16, 8, 2, 4, body));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(topDownIndices(*r.image), (Bytes{254, 255, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r.image->paletteEntry(254), rgb(166, 202, 240));
    EXPECT_EQ(r.image->paletteEntry(255), rgb(192, 220, 192));
}

TEST_F(IconFileTest, DirectorySizeZeroMeans256) {
    Bytes body(8, 0);
    body.resize(8 + 256 * 32 * 2, 0);
    Loaded r = load(iconBytes(1, 0, 0, 2, 0, 0, 1, body));
    ASSERT_EQ(r.error, status::Ok);
    EXPECT_EQ(r.image->width(), 256);
    EXPECT_EQ(r.image->height(), 256);
}

TEST_F(IconFileTest, RowSizesRoundOddWidthsUp) {
    // 33 pixels at 1 bit need 5 bytes a row, stored as 8.
    Bytes body = {0, 0, 0, 0, 255, 255, 255, 0};
    body.insert(body.end(), {0, 0, 0, 0, 0x80, 0, 0, 0});             // XOR bottom
    body.insert(body.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0}); // XOR top
    body.insert(body.end(), {0, 0, 0, 0, 0x80, 0, 0, 0});             // AND bottom
    body.insert(body.end(), {0, 0, 0, 0, 0, 0, 0, 0});                // AND top
    Loaded r = load(iconBytes(2, 33, 2, 2, 33, 4, 1, body), "t.cur");
    ASSERT_TRUE(r.image);
    Bytes expected(33, 1);
    expected.resize(65, 0);
    expected.push_back(254);
    EXPECT_EQ(topDownIndices(*r.image), expected);
    EXPECT_EQ(r.hotspotX, 3);
    EXPECT_EQ(r.hotspotY, 4);
}

TEST_F(IconFileTest, DeclaredDataBeyondTheFileIsAReadError) {
    Bytes body(8 + 4, 0);
    Loaded r = load(iconBytes(1, 32, 32, 2, 32, 64, 1, body));
    EXPECT_EQ(r.error, status::ReadError);
    Bytes header = {0, 0, 1, 0, 200, 0};
    EXPECT_EQ(load(header).error, status::ReadError);
    EXPECT_EQ(load(Bytes{0, 0, 3, 0, 1, 0}).error, status::FormatError);
}

CellImagePtr picture(int width, int height) {
    auto image = CellImage::Create(width, height, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, i / 2, 255 - i);
    image->SetPalette(palette.data(), 256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x + 3 * y);
    return image;
}

TEST_F(IconFileTest, Saving256ColoursWritesWhiteEntry255AndColourCountZero) {
    auto image = picture(16, 16);
    image->at(0, 0) = 254;
    image->at(1, 0) = 255;
    IconFile file(dir.file("s.ico"), IconFile::IconVariant);
    file.setFromImage(*image);
    file.setColours(256);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    const Bytes b = test::readFileBytes(dir.file("s.ico"));
    ASSERT_EQ(b.size(), 22u + 40 + 1024 + 16 * 16 + 16 * 4);
    EXPECT_EQ(b[8], 0);   // colour count
    EXPECT_EQ(b[18], 22); // image offset
    const std::size_t entry255 = 62 + 4 * 255;
    EXPECT_EQ((Bytes{b[entry255], b[entry255 + 1], b[entry255 + 2]}), (Bytes{255, 255, 255}));
    // Top row is the last XOR row: 254 → all ones with AND 1; 255 → 0 with AND 1.
    const std::size_t topXor = 62 + 1024 + 15 * 16;
    EXPECT_EQ(b[topXor], 255);
    EXPECT_EQ(b[topXor + 1], 0);
    EXPECT_EQ(b[topXor + 2], 2);
    const std::size_t topAnd = 62 + 1024 + 256 + 15 * 4;
    EXPECT_EQ(b[topAnd], 0xC0);

    Loaded back = loadIcon(dir.file("s.ico"));
    ASSERT_TRUE(back.image);
    EXPECT_EQ(topDownIndices(*back.image), topDownIndices(*image));
}

TEST_F(IconFileTest, EveryColourCountRoundTripsForIconsAndCursors) {
    for (int variant : {IconFile::IconVariant, IconFile::CursorVariant}) {
        for (int colours : {2, 16, 256}) {
            SCOPED_TRACE(std::to_string(variant) + "/" + std::to_string(colours));
            auto image = CellImage::Create(32, 32, 8);
            image->SetPalette(picture(1, 1)->palette(), 256);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    image->at(x, y) =
                        static_cast<std::uint8_t>((x * 7 + y) % std::min(colours, 254));
            image->at(5, 5) = 254;
            image->at(6, 5) = 255;
            const std::string path = dir.file(variant == 2 ? "r.cur" : "r.ico");
            IconFile file(path, variant);
            file.setFromImage(*image);
            file.setColours(colours);
            file.setHotspot(7, 9);
            ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
            Loaded back = loadIcon(path);
            ASSERT_TRUE(back.image);
            EXPECT_EQ(topDownIndices(*back.image), topDownIndices(*image));
            if (colours < 256) {
                EXPECT_EQ(back.image->paletteEntry(1), image->paletteEntry(1));
            }
            if (variant == IconFile::CursorVariant) {
                EXPECT_EQ(back.hotspotX, 7);
                EXPECT_EQ(back.hotspotY, 9);
            }
        }
    }
}

TEST_F(IconFileTest, TheIconShowsTheTopLeftOfALargerPictureAndSitsBottomLeftOfASmaller) {
    auto big = picture(100, 100);
    IconFile file(dir.file("b.ico"), IconFile::IconVariant);
    file.setFromImage(*big);
    file.setColours(256);
    file.setSize(48, 48);
    ASSERT_EQ(file.saveTo(*big, nullptr), status::Ok);
    Loaded back = loadIcon(dir.file("b.ico"));
    ASSERT_TRUE(back.image);
    ASSERT_EQ(back.image->width(), 48);
    EXPECT_EQ(back.image->at(47, 0), big->at(47, 0));
    EXPECT_EQ(back.image->at(0, 47), big->at(0, 47));
    EXPECT_EQ(back.image->at(47, 47), big->at(47, 47));

    auto small = picture(4, 2);
    IconFile cursor(dir.file("c.cur"), IconFile::CursorVariant);
    cursor.setFromImage(*small);
    cursor.setColours(16);
    ASSERT_EQ(cursor.saveTo(*small, nullptr), status::Ok);
    const Bytes b = test::readFileBytes(dir.file("c.cur"));
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    Loaded c = loadIcon(dir.file("c.cur"));
    ASSERT_TRUE(c.image);
    EXPECT_EQ(c.image->at(3, 31), small->at(3, 1));
    EXPECT_EQ(c.image->at(1, 30), small->at(1, 0));
    EXPECT_EQ(c.image->at(1, 29), 0);
    EXPECT_EQ(c.image->at(4, 31), 0);
}

TEST_F(IconFileTest, TakesSettingsFromThePreviousDocument) {
    const std::string path = dir.file("prev.cur");
    IconFile previous(path, IconFile::CursorVariant);
    auto image = picture(32, 32);
    previous.setColours(256);
    previous.setHotspot(4, 5);
    ASSERT_EQ(previous.saveTo(*image, nullptr), status::Ok);
    IconFile loaded(path, IconFile::CursorVariant);
    ASSERT_EQ(loaded.readHeader(), status::Ok);
    ASSERT_EQ(loaded.selectPage(), status::Ok);

    IconFile icon(dir.file("n.ico"), IconFile::IconVariant);
    icon.setFromImage(*picture(300, 10));
    EXPECT_EQ(icon.width(), 256);
    icon.setFromDocument(loaded);
    EXPECT_EQ(icon.colours(), 256);
    EXPECT_EQ(icon.hotspotX(), 4);
    EXPECT_EQ(icon.hotspotY(), 5);
    EXPECT_EQ(icon.width(), 32);

    BmpFile bmp(dir.file("x.bmp"));
    icon.setFromDocument(bmp); // nothing read: size 0, bits 0
    EXPECT_EQ(icon.width(), 32);
    EXPECT_EQ(icon.colours(), 16);
}

TEST_F(IconFileTest, LoadDialogs) {
    const ControlTable icon = IconLoadTable("a.ico", 16, 32, 48);
    EXPECT_EQ(icon.name, "IconLoad");
    EXPECT_EQ(icon.title, "Icon ファイル情報");
    EXPECT_EQ(icon.text(201), "16色  32 × 48");
    EXPECT_EQ(icon.text(1), "&Load");
    const ControlTable cur = CurLoadTable("a.cur", 2, 32, 32, 15, 3);
    EXPECT_EQ(cur.name, "CurLoad");
    EXPECT_EQ(cur.title, "Cursor ファイル情報");
    EXPECT_EQ(cur.text(202), "15,3");
    EXPECT_EQ(cur.text(2), "&Cancel");
}

TEST_F(IconFileTest, IconSaveDialogLinksTheSizeListToTheBars) {
    ControlTable t = IconSaveTable("a.ico", 256, 16, 16);
    EXPECT_EQ(t.title, "アイコンの保存");
    EXPECT_EQ(t.value(320), 1);
    EXPECT_EQ(t.checkedRadio(241, 243), 243);
    EXPECT_FALSE(t.enabled(360));
    EXPECT_EQ(t.text(1), "保存(&S)");
    EXPECT_EQ(t.text(2), "取消(&C)");
    t.setValue(320, 2);
    EXPECT_EQ(t.value(360), 48);
    EXPECT_EQ(t.value(363), 48);
    EXPECT_EQ(t.text(361), "48");
    t.setValue(320, 3);
    EXPECT_TRUE(t.enabled(363));
    t.setValue(363, 300);
    EXPECT_EQ(t.value(363), 256);
    EXPECT_EQ(IconSaveTable("a", 16, 20, 16).value(320), 3);

    IconFile file(dir.file("d.ico"), IconFile::IconVariant);
    ScriptedUi ui;
    ui.answerDialog("IconSave", [](ControlTable& table) {
        table.setValue(241, 1);
        table.setValue(320, 3);
        table.setValue(360, 20);
        table.setValue(363, 10);
        return table.press(1);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.colours(), 2);
    EXPECT_EQ(file.width(), 20);
    EXPECT_EQ(file.height(), 10);
}

TEST_F(IconFileTest, CursorSaveDialogTakesTheHotspot) {
    ControlTable t = CursorSaveTable("a.cur", 2, 40, 3);
    EXPECT_EQ(t.title, "カーソルの保存");
    EXPECT_EQ(t.value(360), 31);
    EXPECT_EQ(t.find(360)->pageStep, 8);
    IconFile file(dir.file("d.cur"), IconFile::CursorVariant);
    ScriptedUi ui;
    ui.answerDialog("CursorSave", [](ControlTable& table) {
        table.setValue(242, 1);
        table.setValue(360, 12);
        table.setValue(363, 30);
        return table.press(1);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.colours(), 16);
    EXPECT_EQ(file.hotspotX(), 12);
    EXPECT_EQ(file.hotspotY(), 30);
    ui.answerDialog("CursorSave", 2);
    EXPECT_EQ(file.askSaveOptions(ui), 2);
    EXPECT_EQ(file.hotspotX(), 12);
}

TEST_F(IconFileTest, HugePlanesTimesBitsIsUnsupportedWithoutOverflow) {
    // The entry points its image at offset 0, so the directory itself is read
    // as the information header: planes and bits come from the entry's bit
    // count and byte count words, both 0xFFFF.
    const Bytes bytes = {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x20, 0x20, 0x00, 0x00,
                         0x01, 0x00, 0xff, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    const Loaded r = load(bytes);
    EXPECT_FALSE(r.image);
    EXPECT_EQ(r.error, status::Unsupported);
    EXPECT_EQ(errorMessageText(r.error), "サポートしてない画像形式です");
}

} // namespace
} // namespace celdo
