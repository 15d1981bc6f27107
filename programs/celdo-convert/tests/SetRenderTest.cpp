#include "SetRender.h"
#include "ConvertArguments.h"

#include "formats/PngFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace celdo::convert {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TempDir;
using test::writeFileBytes;

// An 8-bit cell of 2 × 2 pixels with offsets (1, 0), written by hand.
Bytes cell(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    Bytes bytes(32, 0);
    bytes[0] = 'K', bytes[1] = 'i', bytes[2] = 'S', bytes[3] = 'S', bytes[4] = 0x20, bytes[5] = 8;
    bytes[8] = 2, bytes[10] = 2, bytes[12] = 1;
    for (const std::uint8_t pixel : {a, b, c, d})
        bytes.push_back(pixel);
    return bytes;
}

// 16 colours of 12 bits in two groups ("KiSS", 0x10, 12 bits): group 0 has
// red at 1 and green at 2, group 1 blue at 1; the border is index 3, grey.
Bytes palette() {
    Bytes bytes(32, 0);
    bytes[0] = 'K', bytes[1] = 'i', bytes[2] = 'S', bytes[3] = 'S', bytes[4] = 0x10, bytes[5] = 12;
    bytes[8] = 16, bytes[10] = 2;
    Bytes colours(2 * 16 * 2, 0);
    // A colour is the word 0x0GRB, low byte first.
    colours[1 * 2] = 0xF0;
    colours[2 * 2 + 1] = 0x0F;
    colours[3 * 2] = 0x88, colours[3 * 2 + 1] = 0x08;
    colours[32 + 1 * 2] = 0x0F;
    bytes.insert(bytes.end(), colours.begin(), colours.end());
    return bytes;
}

int run(std::vector<std::string> words) {
    std::vector<char*> argv;
    static char name[] = "celdo-convert";
    argv.push_back(name);
    for (std::string& w : words)
        argv.push_back(w.data());
    Arguments arguments;
    const int parsed = parseArguments(static_cast<int>(argv.size()), argv.data(), arguments);
    return parsed != 0 ? parsed : renderSet(arguments);
}

// The rows of a 24-bit picture as 0xRRGGBB values, top first.
std::vector<std::uint32_t> rgbOf(const std::string& path) {
    PngFile file(path);
    if (file.readHeader() != status::Ok)
        return {};
    CellImagePtr picture = file.readImage();
    if (!picture || picture->bitsPerPixel() != 24)
        return {};
    std::vector<std::uint32_t> out;
    for (int y = 0; y < picture->height(); ++y)
        for (int x = 0; x < picture->width(); ++x) {
            const std::uint8_t* p = picture->row(y) + 3 * x;
            out.push_back(static_cast<std::uint32_t>(p[2]) << 16 |
                          static_cast<std::uint32_t>(p[1]) << 8 | p[0]);
        }
    return out;
}

TEST(SetRender, APageBecomesAnRgbPictureAsAViewerDrawsIt) {
    TempDir dir;
    writeFileBytes(dir.file("p.kcf"), palette());
    writeFileBytes(dir.file("top.cel"), cell(1, 0, 0, 2));
    writeFileBytes(dir.file("under.cel"), cell(2, 2, 2, 2));
    const std::string cnf = "(4,2)\n%p.kcf\n[3\n"
                            "#0 top.cel\n#1 under.cel\n"
                            ";@EventHandler\n;@initialize()\n;@ unmap(#0)\n"
                            "$0 0,0 1,0\n$1 0,0 0,0\n";
    writeFileBytes(dir.file("set.cnf"), Bytes(cnf.begin(), cnf.end()));
    constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, Grey = 0x888888;

    ASSERT_EQ(run({"--render", dir.file("set.cnf"), dir.file("p0.png")}), 0);
    // top.cel at x 1 (its offset) over under.cel at x 2; index 0 shows what
    // lies below, or the border.
    EXPECT_EQ(rgbOf(dir.file("p0.png")),
              (std::vector<std::uint32_t>{Grey, R, G, G, Grey, Grey, G, G}));

    // Page 1 has group 1 (index 2 is black there) and both objects at 0,0.
    ASSERT_EQ(run({"--render", dir.file("set.cnf"), "--page", "1", dir.file("p1.png")}), 0);
    EXPECT_EQ(rgbOf(dir.file("p1.png")),
              (std::vector<std::uint32_t>{Grey, B, 0, Grey, Grey, 0, 0, Grey}));

    ASSERT_EQ(run({"--render", dir.file("set.cnf"), "--fkiss-init", dir.file("init.png")}), 0);
    EXPECT_EQ(rgbOf(dir.file("init.png")),
              (std::vector<std::uint32_t>{Grey, Grey, G, G, Grey, Grey, G, G}));
}

TEST(SetRender, MistakesAreUsageErrorsAndAMissingSetFails) {
    TempDir dir;
    EXPECT_EQ(run({"--render", "a.cnf", "out.bmp"}), ExitUsage);
    EXPECT_EQ(run({"--render", "a.cnf", "--page", "10", "out.png"}), ExitUsage);
    EXPECT_EQ(run({"--render", "a.cnf", "--bits", "8", "out.png"}), ExitUsage);
    EXPECT_EQ(run({"--fkiss-init", "a.cel", "b.png"}), ExitUsage);
    EXPECT_EQ(run({"--page", "0", "a.ico", "b.png"}), ExitUsage);
    EXPECT_EQ(run({"--render", dir.file("none.cnf"), dir.file("out.png")}), ExitFailure);
    const std::string huge = "(30000,30000)\n";
    writeFileBytes(dir.file("huge.cnf"), Bytes(huge.begin(), huge.end()));
    EXPECT_EQ(run({"--render", dir.file("huge.cnf"), dir.file("out.png")}), ExitFailure);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.png")));
}

} // namespace
} // namespace celdo::convert
