#include "../../cplugin/CpluginDialogs.h"
#include "plugins/FilterHost.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginTestSupport.h"
#include "plugins/celdo_plugin.h"
#include "support/PixelRows.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <random>

using namespace celdo;
using celdo::test::deliveredPlugin;
using celdo::test::numberedPicture;

namespace {

struct Answer {
    Answer(int pressed, std::string typed = {}) : button(pressed), text(std::move(typed)) {}
    int button;
    std::string text; // for the angle field
};
std::deque<Answer> g_answers;
std::vector<std::string> g_dialogs;
std::vector<std::string> g_startTexts;

std::int32_t answerDialog(const char* dialog, const char* title, void*, char* text,
                          std::size_t size) {
    g_dialogs.push_back(std::string(dialog) + " " + title);
    if (text)
        g_startTexts.emplace_back(text);
    if (g_answers.empty())
        return 2;
    const Answer a = g_answers.front();
    g_answers.pop_front();
    if (text && !a.text.empty() && a.text.size() < size)
        std::strcpy(text, a.text.c_str());
    return a.button;
}

int pixel4(const CellImage& image, int x, int y) {
    const std::uint8_t byte = image.row(y)[x / 2];
    return (x & 1) ? (byte & 0x0F) : (byte >> 4);
}
void setPixel4(CellImage& image, int x, int y, int value) {
    std::uint8_t& byte = image.row(y)[x / 2];
    byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | value)
                   : static_cast<std::uint8_t>((byte & 0x0F) | (value << 4));
}

using test::Rows;
using test::rows;

class Cplugin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << deliveredPlugin();
        auto set = library.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK);
        ASSERT_NE(set, nullptr);
        set(&answerDialog);
        g_answers.clear();
        g_dialogs.clear();
        g_startTexts.clear();
        auto checked = CheckPlugin(deliveredPlugin());
        ASSERT_TRUE(checked);
        plugin = *checked;
        ASSERT_TRUE(BuildFilterLists({plugin}, lists));
    }
    void TearDown() override {
        if (auto set =
                library.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK))
            set(nullptr);
    }

    FilterOutcome run(const char* name, CellImage& image, CellImage* mask, Answer answer,
                      const Rect* region = nullptr) {
        g_answers.push_back(std::move(answer));
        for (const auto& entry : lists.wholeImage)
            if (entry.exportName == name)
                return RunFilter(entry, plugin, image, mask, region, ColourSelection{});
        ADD_FAILURE() << name;
        return {};
    }

    // Held open for the whole test so that the dialog hook stays installed
    // while the host loads and releases the library.
    PluginLibrary library{deliveredPlugin()};
    RegisteredPlugin plugin;
    FilterLists lists;
};

} // namespace

TEST_F(Cplugin, InformationAndFunctionRecords) {
    PluginInfo info{};
    library.function<CeldoPluginInfoFunction>("CeldoPluginInfo")(&info);
    EXPECT_EQ(info.version, 0x0101);
    EXPECT_EQ(info.functionCount, 3);
    EXPECT_STREQ(info.description, "Filter for Celdo version 1.01");

    auto count = library.function<QueryFunctionCountFunction>("QueryFunctionCount");
    EXPECT_EQ(count(-1), 3);
    EXPECT_EQ(count(8), 3);
    EXPECT_EQ(count(7), 0);
    EXPECT_EQ(count(0), 0);

    auto query = library.function<QueryFunctionFunction>("QueryFunction");
    FilterFunctionInfo record;
    std::memset(&record, 0xCD, sizeof record);
    EXPECT_EQ(query(3, &record), 0u);
    EXPECT_EQ(query(-1, &record), 0u);
    EXPECT_EQ(record.flags, 0xCDCDCDCDu);
    EXPECT_EQ(query(1, nullptr), 0x0Du);
    EXPECT_EQ(query(2, &record), 0x09u);
    EXPECT_STREQ(record.exportName, "Inverse");
    EXPECT_STREQ(record.menuName, "反転操作");
    EXPECT_STREQ(record.description, "画像の反転操作（上下、左右、半回転）");
    const std::uint32_t words[6] = {8, 0x0D, 0x0D, 8, 8, 8};
    EXPECT_EQ(std::memcmp(record.capability, words, sizeof words), 0);
    EXPECT_EQ(record.reserved[0], 0);
    EXPECT_EQ(query(0, &record), 0x0Du);
    EXPECT_STREQ(record.exportName, "FreeRotation");
    EXPECT_STREQ(record.description, "画像の回転操作（任意角度）");

    auto version = library.function<std::uint16_t (*)()>("_Z13DllGetVersionv");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 266);
}

TEST_F(Cplugin, EveryListShowsInverseRotationFreeRotation) {
    const std::vector<std::string> expected{"画像の反転操作（上下、左右、半回転）",
                                            "画像の回転操作（90度回転、鏡映）",
                                            "画像の回転操作（任意角度）"};
    for (bool region : {false, true})
        for (bool mask : {false, true}) {
            std::vector<std::string> shown;
            for (const auto& entry : lists.list(region, mask))
                shown.push_back(entry.description);
            EXPECT_EQ(shown, expected) << region << mask;
        }
}

TEST_F(Cplugin, CancelledDialogChangesNothing) {
    auto image = numberedPicture(3, 2);
    EXPECT_EQ(run("Rotation", *image, nullptr, {2}).result, 0u);
    EXPECT_EQ(run("Inverse", *image, nullptr, {2}).result, 0u);
    EXPECT_EQ(run("FreeRotation", *image, nullptr, {2}).result, 0u);
    EXPECT_EQ(g_dialogs,
              (std::vector<std::string>{"ROTATION 回転操作の選択", "INVERT 反転操作の選択",
                                        "FREEROTATION 回転角度の設定"}));
    EXPECT_EQ(rows(*image), (Rows{{0, 1, 2}, {10, 11, 12}}));
}

TEST_F(Cplugin, QuarterTurnsAndMirrors) {
    auto image = numberedPicture(3, 2);
    const Rows expected[4] = {
        {{10, 0}, {11, 1}, {12, 2}}, // 右90度
        {{2, 12}, {1, 11}, {0, 10}}, // 左90度
        {{12, 2}, {11, 1}, {10, 0}}, // 鏡映(／)
        {{0, 10}, {1, 11}, {2, 12}}, // 鏡映(＼)
    };
    for (int op = 0; op < 4; ++op) {
        FilterOutcome outcome = run("Rotation", *image, nullptr, {260 + op});
        EXPECT_EQ(outcome.result, 12u);
        ASSERT_TRUE(outcome.newImage);
        EXPECT_EQ(rows(*outcome.newImage), expected[op]) << op;
        EXPECT_EQ(outcome.newImage->paletteEntry(200), image->paletteEntry(200));
        EXPECT_FALSE(outcome.newMask);
    }
    EXPECT_EQ(rows(*image), (Rows{{0, 1, 2}, {10, 11, 12}}));
}

TEST_F(Cplugin, TurnsUndoEachOther) {
    auto image = numberedPicture(5, 3);
    auto once = run("Rotation", *image, nullptr, {263}).newImage;
    ASSERT_TRUE(once);
    auto twice = run("Rotation", *once, nullptr, {263}).newImage;
    ASSERT_TRUE(twice);
    EXPECT_TRUE(twice->samePixels(*image));
    auto right = run("Rotation", *image, nullptr, {260}).newImage;
    auto back = run("Rotation", *right, nullptr, {261}).newImage;
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->samePixels(*image));
}

TEST_F(Cplugin, RegionTurnWithMask) {
    auto image = numberedPicture(6, 5);
    auto mask = CellImage::Create(6, 5, 8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            mask->at(x, y) = static_cast<std::uint8_t>(100 + x + 10 * y);
    const Rect region{1, 1, 4, 3}; // 3 × 2 at (1, 1)
    FilterOutcome outcome = run("Rotation", *image, mask.get(), {260}, &region);
    EXPECT_EQ(outcome.result, 13u);
    ASSERT_TRUE(outcome.newImage && outcome.newMask);
    EXPECT_EQ(rows(*outcome.newImage), (Rows{{21, 11}, {22, 12}, {23, 13}}));
    EXPECT_EQ(rows(*outcome.newMask), (Rows{{121, 111}, {122, 112}, {123, 113}}));
    EXPECT_EQ(outcome.newMask->paletteEntry(77), rgb(77, 77, 77));
}

TEST_F(Cplugin, FourBitPicturesTurnWhole) {
    auto image = CellImage::Create(3, 2, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            setPixel4(*image, x, y, 1 + x + 3 * y);
    const Rect region{1, 0, 2, 1};
    FilterOutcome outcome = run("Rotation", *image, nullptr, {260}, &region);
    EXPECT_EQ(outcome.result, 13u);
    ASSERT_TRUE(outcome.newImage);
    ASSERT_EQ(outcome.newImage->bitsPerPixel(), 4);
    ASSERT_EQ(outcome.newImage->width(), 2);
    ASSERT_EQ(outcome.newImage->height(), 3);
    // Clockwise: row 0 = (bottom-left, top-left) = 4, 1.
    EXPECT_EQ(pixel4(*outcome.newImage, 0, 0), 4);
    EXPECT_EQ(pixel4(*outcome.newImage, 1, 0), 1);
    EXPECT_EQ(pixel4(*outcome.newImage, 0, 2), 6);
    EXPECT_EQ(pixel4(*outcome.newImage, 1, 2), 3);
}

TEST_F(Cplugin, TwentyFourBitRegionTurn) {
    auto image = CellImage::Create(3, 2, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int k = 0; k < 3; ++k)
                image->row(y)[3 * x + k] = static_cast<std::uint8_t>(10 * (x + 3 * y) + k);
    const Rect region{1, 0, 3, 2};
    FilterOutcome outcome = run("Rotation", *image, nullptr, {261}, &region);
    ASSERT_TRUE(outcome.newImage);
    EXPECT_EQ(outcome.newImage->bitsPerPixel(), 24);
    // Anticlockwise turn of the 2 × 2 region: top-left becomes its top-right (x=2, y=0).
    const std::uint8_t* top = outcome.newImage->row(0);
    EXPECT_EQ(top[0], 20);
    EXPECT_EQ(top[2], 22);
    EXPECT_EQ(top[3], 50);
    EXPECT_EQ(outcome.newImage->row(1)[0], 10);
}

TEST_F(Cplugin, InverseInPlace) {
    auto image = numberedPicture(4, 2);
    EXPECT_EQ(run("Inverse", *image, nullptr, {261}).result, 8u);
    EXPECT_EQ(rows(*image), (Rows{{3, 2, 1, 0}, {13, 12, 11, 10}}));
    EXPECT_EQ(run("Inverse", *image, nullptr, {262}).result, 8u);
    EXPECT_EQ(rows(*image), (Rows{{13, 12, 11, 10}, {3, 2, 1, 0}}));
    EXPECT_EQ(run("Inverse", *image, nullptr, {263}).result, 8u);
    EXPECT_EQ(rows(*image), (Rows{{0, 1, 2, 3}, {10, 11, 12, 13}}));
}

TEST_F(Cplugin, UpsideDownKeepsTheMiddleRowOfAnOddRegion) {
    auto image = numberedPicture(3, 5);
    const Rect region{0, 1, 2, 4}; // rows 1..3, columns 0..1
    EXPECT_EQ(run("Inverse", *image, nullptr, {262}, &region).result, 9u);
    EXPECT_EQ(rows(*image),
              (Rows{{0, 1, 2}, {30, 31, 12}, {20, 21, 22}, {10, 11, 32}, {40, 41, 42}}));
}

TEST_F(Cplugin, FourBitInverseFlipsWholePictureButOnlyTheMaskRegion) {
    auto image = CellImage::Create(3, 1, 4);
    for (int x = 0; x < 3; ++x)
        setPixel4(*image, x, 0, x + 1);
    auto mask = CellImage::Create(3, 1, 8);
    for (int x = 0; x < 3; ++x)
        mask->at(x, 0) = static_cast<std::uint8_t>(x + 1);
    const Rect region{0, 0, 2, 1};
    EXPECT_EQ(run("Inverse", *image, mask.get(), {261}, &region).result, 9u);
    EXPECT_EQ(pixel4(*image, 0, 0), 3);
    EXPECT_EQ(pixel4(*image, 1, 0), 2);
    EXPECT_EQ(pixel4(*image, 2, 0), 1);
    EXPECT_EQ(rows(*mask), (Rows{{2, 1, 3}}));
}

TEST_F(Cplugin, FreeRotationByZeroCopiesWithEmptyMask) {
    auto image = numberedPicture(4, 3);
    FilterOutcome outcome = run("FreeRotation", *image, nullptr, {1, "0"});
    EXPECT_EQ(outcome.result, 12u);
    EXPECT_EQ(g_startTexts, std::vector<std::string>{"30.0"});
    ASSERT_TRUE(outcome.newImage && outcome.newMask);
    EXPECT_TRUE(outcome.newImage->samePixels(*image));
    EXPECT_EQ(outcome.newImage->paletteEntry(9), image->paletteEntry(9));
    EXPECT_EQ(rows(*outcome.newMask), (Rows{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
    // Text that is no number reads as 0 degrees.
    outcome = run("FreeRotation", *image, nullptr, {1, "abc"});
    ASSERT_TRUE(outcome.newImage);
    EXPECT_TRUE(outcome.newImage->samePixels(*image));
}

TEST_F(Cplugin, FreeRotationByNinetyTurnsAnticlockwise) {
    auto image = numberedPicture(3, 2);
    auto mask = CellImage::Create(3, 2, 8);
    mask->at(2, 1) = 7;
    FilterOutcome outcome = run("FreeRotation", *image, mask.get(), {1, "90"});
    EXPECT_EQ(outcome.result, 12u);
    ASSERT_TRUE(outcome.newImage && outcome.newMask);
    // The top row maps to source column 3, outside: 0 with mask 255; the
    // right column comes next; the left column does not appear.
    EXPECT_EQ(rows(*outcome.newImage), (Rows{{0, 0}, {2, 12}, {1, 11}}));
    EXPECT_EQ(rows(*outcome.newMask), (Rows{{255, 255}, {0, 7}, {0, 0}}));
}

TEST_F(Cplugin, FreeRotationRegionAndLimits) {
    auto image = numberedPicture(6, 4);
    const Rect region{2, 1, 4, 3};
    FilterOutcome outcome = run("FreeRotation", *image, nullptr, {1, "180"});
    EXPECT_EQ(outcome.result, 12u);
    outcome = run("FreeRotation", *image, nullptr, {1, "180"}, &region);
    EXPECT_EQ(outcome.result, 13u);
    ASSERT_TRUE(outcome.newImage);
    // With the constant just below pi / 180, 180 degrees leaves sin > 0 and
    // puts the first sample of each row at X = 10240 (column 2, outside)
    // and the first row at Y = 10239 (row 2, outside): only source (1, 1) of
    // the region, picture pixel (3, 2), lands inside.
    EXPECT_EQ(rows(*outcome.newImage), (Rows{{0, 0}, {0, 23}}));
    EXPECT_EQ(rows(*outcome.newMask), (Rows{{255, 255}, {255, 0}}));

    auto big = CellImage::Create(3000, 3000, 8);
    EXPECT_EQ(run("FreeRotation", *big, nullptr, {1, "45"}).result, 0u);
    auto small = CellImage::Create(8, 8, 4);
    EXPECT_EQ(run("FreeRotation", *small, nullptr, {1, "10"}).result, 0u);
}

TEST(CpluginWithoutHook, DialogsCountAsCancelled) {
    PluginLibrary library(deliveredPlugin());
    ASSERT_TRUE(library.loaded());
    auto rotation = library.function<FilterFunction>("Rotation");
    auto image = numberedPicture(3, 2);
    FilterRequest request{};
    std::array<std::uint8_t, 1064> info{};
    std::memcpy(info.data(), &image->bitmapHeader(), 40);
    request.bitmapInfo = info.data();
    request.bits = image->pixels();
    EXPECT_EQ(rotation(&request), 0u);
    EXPECT_EQ(request.newBitmapInfo, nullptr);
}

namespace {

// Pixel (x, y) of a picture of any depth as one number (24 bits: B, G, R
// bytes as stored).
int anyPixel(const CellImage& image, int x, int y) {
    const std::uint8_t* r = image.row(y);
    switch (image.bitsPerPixel()) {
    case 1:
        return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 8:
        return r[x];
    default:
        return r[3 * x] | (r[3 * x + 1] << 8) | (r[3 * x + 2] << 16);
    }
}

CellImagePtr randomPicture(std::mt19937& random, int width, int height, int depth) {
    auto image = CellImage::Create(width, height, depth);
    for (int y = 0; y < height; ++y)
        for (std::uint32_t i = 0; i < image->stride(); ++i)
            image->row(y)[i] = static_cast<std::uint8_t>(random());
    return image;
}

// The free rotation exactly as the library describes it: a few real-number
// operations, then one fixed-point addition per coordinate per pixel.
struct Expected {
    int width = 0;
    int height = 0;
    std::vector<int> pixels;
    std::vector<int> mask;
};
std::optional<Expected> plainFreeRotation(const CellImage& image, const CellImage* mask,
                                          Rect region, double degrees) {
    const double theta = degrees * 0.01745329251994291;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const double w = region.width();
    const double h = region.height();
    const int newW = static_cast<int>(w * std::fabs(c) + h * std::fabs(s) + 0.5);
    const int newH = static_cast<int>(w * std::fabs(s) + h * std::fabs(c) + 0.5);
    if (newW > 4096 || newH > 4096)
        return std::nullopt;
    double e, f;
    if (s <= 0 && c >= 0) {
        e = -s * h;
        f = 0;
    } else if (s <= 0) {
        e = -w * c - s * h;
        f = -h * c;
    } else if (c >= 0) {
        e = 0;
        f = w * s;
    } else {
        e = -w * c;
        f = w * s - h * c;
    }
    const auto dx = static_cast<std::int32_t>(c * 4096);
    const auto dy = static_cast<std::int32_t>(s * 4096);
    const auto rx = static_cast<std::int32_t>(-s * 4096);
    const std::int32_t ry = dx;
    std::int32_t X = static_cast<std::int32_t>((-c * e + s * f) * 4096 + 2048);
    std::int32_t Y = static_cast<std::int32_t>((-s * e - c * f) * 4096 + 2048);
    Expected out;
    out.width = newW;
    out.height = newH;
    for (int r = 0; r < newH; ++r, X += rx, Y += ry) {
        std::int32_t x = X, y = Y;
        for (int k = 0; k < newW; ++k, x += dx, y += dy) {
            const int u = x >> 12, v = y >> 12;
            if (x >= 0 && y >= 0 && u < region.width() && v < region.height()) {
                out.pixels.push_back(anyPixel(image, region.left + u, region.top + v));
                out.mask.push_back(mask ? mask->at(region.left + u, region.top + v) : 0);
            } else {
                out.pixels.push_back(0);
                out.mask.push_back(255);
            }
        }
    }
    return out;
}

std::vector<int> allPixels(const CellImage& image) {
    std::vector<int> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.push_back(anyPixel(image, x, y));
    return out;
}

} // namespace

TEST_F(Cplugin, FreeRotationMatchesThePlainWalk) {
    std::mt19937 random(1234);
    const double angles[] = {0,   90,  -90,  45,   -45,    30,    -30,  180,   -180,
                             270, 135, -135, 12.5, -77.25, 359.9, 1e-3, 89.99, 200};
    struct Case {
        int width, height, depth;
        bool withMask, withRegion;
    };
    const Case cases[] = {{1, 1, 8, false, false},    {37, 23, 8, true, false},
                          {64, 5, 8, true, true},     {3, 300, 8, false, true},
                          {301, 299, 8, true, false}, {29, 41, 24, true, true},
                          {33, 17, 24, false, false}, {700, 650, 8, true, true}};
    int compared = 0;
    for (const Case& c : cases)
        for (double angle : angles) {
            auto image = randomPicture(random, c.width, c.height, c.depth);
            CellImagePtr mask = c.withMask ? randomPicture(random, c.width, c.height, 8) : nullptr;
            Rect region{0, 0, c.width, c.height};
            if (c.withRegion) {
                region.left = static_cast<int>(random() % static_cast<unsigned>(c.width));
                region.top = static_cast<int>(random() % static_cast<unsigned>(c.height));
                region.right =
                    region.left + 1 +
                    static_cast<int>(random() % static_cast<unsigned>(c.width - region.left));
                region.bottom =
                    region.top + 1 +
                    static_cast<int>(random() % static_cast<unsigned>(c.height - region.top));
            }
            const auto expected = plainFreeRotation(*image, mask.get(), region, angle);
            ASSERT_TRUE(expected);
            char text[32];
            std::snprintf(text, sizeof text, "%.6g", angle);
            const std::string typed = text;
            ASSERT_EQ(std::strtod(text, nullptr), angle) << typed;
            FilterOutcome outcome = run("FreeRotation", *image, mask.get(), {1, typed},
                                        c.withRegion ? &region : nullptr);
            ASSERT_EQ(outcome.result, c.withRegion ? 13u : 12u);
            ASSERT_TRUE(outcome.newImage && outcome.newMask);
            const std::string where = std::to_string(c.width) + "x" + std::to_string(c.height) +
                                      "/" + std::to_string(c.depth) + " at " + typed;
            ASSERT_EQ(outcome.newImage->width(), expected->width) << where;
            ASSERT_EQ(outcome.newImage->height(), expected->height) << where;
            ASSERT_EQ(outcome.newImage->bitsPerPixel(), c.depth) << where;
            EXPECT_EQ(allPixels(*outcome.newImage), expected->pixels) << where;
            EXPECT_EQ(allPixels(*outcome.newMask), expected->mask) << where;
            ++compared;
        }
    EXPECT_EQ(compared, 8 * 18);
    // Pictures below 8 bits are refused.
    for (int depth : {1, 4}) {
        auto image = randomPicture(random, 13, 7, depth);
        EXPECT_EQ(run("FreeRotation", *image, nullptr, {1, "30"}).result, 0u);
    }
}

TEST_F(Cplugin, QuarterTurnsMatchThePlainMapping) {
    std::mt19937 random(99);
    for (int depth : {1, 4, 8, 24})
        for (int operation = 0; operation < 4; ++operation) {
            const int width = 67 + depth, height = 121 + depth % 7;
            auto image = randomPicture(random, width, height, depth);
            auto mask = randomPicture(random, width, height, 8);
            const Rect region{5, 9, 5 + 41, 9 + 100};
            FilterOutcome outcome = run("Rotation", *image, mask.get(), {260 + operation}, &region);
            ASSERT_EQ(outcome.result, 13u);
            ASSERT_TRUE(outcome.newImage);
            // 1- and 4-bit pictures turn whole, the mask over the region: a
            // mask of another size than the new picture is not taken.
            ASSERT_EQ(outcome.newMask != nullptr, depth >= 8);
            const Rect turnedPart = depth < 8 ? Rect{0, 0, width, height} : region;
            const auto check = [&](const CellImage& source, const CellImage& result, Rect part) {
                const int w = part.width(), h = part.height();
                ASSERT_EQ(result.width(), h);
                ASSERT_EQ(result.height(), w);
                for (int j = 0; j < h; ++j)
                    for (int i = 0; i < w; ++i) {
                        int tx = j, ty = i;
                        if (operation == 0 || operation == 2)
                            tx = h - 1 - j;
                        if (operation == 1 || operation == 2)
                            ty = w - 1 - i;
                        ASSERT_EQ(anyPixel(result, tx, ty),
                                  anyPixel(source, part.left + i, part.top + j))
                            << depth << " op " << operation << " at " << i << "," << j;
                    }
            };
            check(*image, *outcome.newImage, turnedPart);
            if (outcome.newMask)
                check(*mask, *outcome.newMask, region);
        }
}

TEST_F(Cplugin, FlipsMatchThePlainMapping) {
    std::mt19937 random(7);
    for (int depth : {1, 4, 8, 24})
        for (int operation = 1; operation <= 3; ++operation) {
            const int width = 37 + depth, height = 23;
            auto image = randomPicture(random, width, height, depth);
            auto mask = randomPicture(random, width, height, 8);
            auto before = image->Duplicate();
            auto maskBefore = mask->Duplicate();
            const Rect region{3, 4, 3 + 31, 4 + 17};
            ASSERT_EQ(run("Inverse", *image, mask.get(), {260 + operation}, &region).result, 9u);
            // 1- and 4-bit pictures flip whole; the mask over the region.
            const auto check = [&](const CellImage& was, const CellImage& now, Rect part) {
                for (int y = 0; y < now.height(); ++y)
                    for (int x = 0; x < now.width(); ++x) {
                        int fx = x, fy = y;
                        if (part.contains(x, y)) {
                            if (operation & 1)
                                fx = part.left + part.right - 1 - x;
                            if (operation & 2)
                                fy = part.top + part.bottom - 1 - y;
                        }
                        ASSERT_EQ(anyPixel(now, x, y), anyPixel(was, fx, fy))
                            << depth << " op " << operation << " at " << x << "," << y;
                    }
            };
            check(*before, *image, depth < 8 ? Rect{0, 0, width, height} : region);
            check(*maskBefore, *mask, region);
        }
}
