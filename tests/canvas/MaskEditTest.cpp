#include "canvas/MaskEdit.h"
#include "canvas/MaskFile.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include <sys/resource.h>
#include <unistd.h>

using namespace celdo;
using namespace celdo::test;

namespace {

// A w × h picture whose pixel (x, y) is index x + y.
PaintSurface surfaceOf(int w, int h) {
    PaintSurface s;
    s.picture = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.picture->at(x, y) = static_cast<std::uint8_t>(x + y);
    return s;
}

CellImagePtr planeOf(int w, int h, std::initializer_list<std::uint8_t> bytes) {
    auto plane = CellImage::Create(w, h, 8);
    auto it = bytes.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            plane->at(x, y) = *it++;
    return plane;
}

} // namespace

TEST(MaskView, PaletteIsBlueThenMagenta) {
    const auto palette = maskViewPalette();
    EXPECT_EQ(palette[0], 0x000000u);
    EXPECT_EQ(palette[1], 0x020000u);   // blue 2
    EXPECT_EQ(palette[127], 0xFE0000u); // blue 254
    EXPECT_EQ(palette[128], 0x000000u);
    EXPECT_EQ(palette[129], 0x020002u); // red 2, blue 2
    EXPECT_EQ(palette[255], 0xFE00FEu);
}

TEST(MaskView, GreyLevelsByHand) {
    EXPECT_EQ(maskGreyLevel(rgb(255, 255, 255)), 127); // 65280 >> 9
    EXPECT_EQ(maskGreyLevel(rgb(0, 0, 0)), 0);
    EXPECT_EQ(maskGreyLevel(rgb(255, 0, 0)), 38);   // 19635 >> 9
    EXPECT_EQ(maskGreyLevel(rgb(0, 255, 0)), 74);   // 38250 >> 9
    EXPECT_EQ(maskGreyLevel(rgb(0, 0, 255)), 14);   // 7395 >> 9
    EXPECT_EQ(maskGreyLevel(rgb(100, 50, 10)), 30); // 15490 >> 9
}

TEST(MaskView, EnterBuildsGreyViewWithProtectionBit) {
    PaintSurface s = surfaceOf(2, 2); // indices 0 1 / 1 2
    ColourValue palette[256] = {};
    palette[0] = rgb(255, 255, 255);
    palette[1] = rgb(255, 0, 0);
    palette[2] = rgb(100, 50, 10);
    s.picture->SetPalette(palette, 256);
    s.mask = planeOf(2, 2, {0, 7, 0, 0xFF});
    Status result = -99;
    EXPECT_EQ(EnterMaskMode(s, &result), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(result, status::Ok);
    ASSERT_TRUE(s.maskMode);
    ASSERT_TRUE(s.maskView);
    EXPECT_EQ(s.maskView->at(0, 0), 127);
    EXPECT_EQ(s.maskView->at(1, 0), 0x80 | 38);
    EXPECT_EQ(s.maskView->at(0, 1), 38);
    EXPECT_EQ(s.maskView->at(1, 1), 0x80 | 30);
    // White shows as blue 254, protected white would be magenta 254.
    EXPECT_EQ(s.maskView->paletteEntry(127), rgb(0, 0, 254));
    EXPECT_EQ(s.maskView->paletteEntry(0x80 | 127), rgb(254, 0, 254));
    EXPECT_FALSE(s.modified);
}

TEST(MaskView, EnterWithoutMaskCreatesZeroMask) {
    PaintSurface s = surfaceOf(3, 2);
    EnterMaskMode(s);
    ASSERT_TRUE(s.mask);
    EXPECT_EQ(s.mask->width(), 3);
    EXPECT_EQ(s.mask->height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(s.mask->at(x, y), 0);
}

TEST(MaskView, EnterAndLeaveNormalisesMaskBytes) {
    PaintSurface s = surfaceOf(3, 1);
    s.mask = planeOf(3, 1, {0, 1, 200});
    EnterMaskMode(s);
    EXPECT_EQ(LeaveMaskMode(s), (Rect{0, 0, 3, 1}));
    EXPECT_FALSE(s.maskMode);
    EXPECT_FALSE(s.maskView);
    EXPECT_EQ(s.mask->at(0, 0), 0);
    EXPECT_EQ(s.mask->at(1, 0), 0xFF);
    EXPECT_EQ(s.mask->at(2, 0), 0xFF);
}

#if !defined(__SANITIZE_ADDRESS__)
namespace {

// Runs in a child process whose address space is capped just above what it
// uses, so the view copy of a 64 MiB picture cannot be made.
[[noreturn]] void enterMaskModeStarved() {
    PaintSurface s;
    s.picture = CellImage::Create(8192, 8192, 8);
    if (s.picture->status() != status::Ok)
        std::_Exit(3);
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (16 << 20);
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_AS, &cap);
    Status result = status::Ok;
    const Rect changed = EnterMaskMode(s, &result);
    const bool sound =
        result == status::OutOfMemory && changed.empty() && !s.maskMode && !s.maskView && !s.mask;
    std::_Exit(sound ? 0 : 1);
}

} // namespace

TEST(MaskViewDeathTest, EnterWithoutMemoryStaysInImageMode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(enterMaskModeStarved(), ::testing::ExitedWithCode(0), "");
}
#endif

TEST(MaskView, RefreshFollowsMaskAndKeepsGrey) {
    PaintSurface s = surfaceOf(2, 1);
    EnterMaskMode(s);
    const std::uint8_t grey1 = s.maskView->at(1, 0);
    s.mask->at(1, 0) = 3;
    RefreshMaskView(s);
    EXPECT_EQ(s.maskView->at(1, 0), grey1 | 0x80);
    EXPECT_EQ(s.maskView->at(0, 0) & 0x80, 0);
}

TEST(MaskOps, InvertAndClearInMaskMode) {
    PaintSurface s = surfaceOf(2, 1);
    s.mask = planeOf(2, 1, {0, 0xFF});
    EnterMaskMode(s);
    const std::uint8_t grey0 = s.maskView->at(0, 0) & 0x7F;
    EXPECT_EQ(InvertMask(s), (Rect{0, 0, 2, 1}));
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(s.maskView->at(0, 0), grey0 | 0x80);
    EXPECT_EQ(s.maskView->at(1, 0) & 0x80, 0);
    // The mask plane itself follows only on commit.
    EXPECT_EQ(s.mask->at(0, 0), 0);
    s.modified = false;
    ClearMask(s);
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(s.maskView->at(0, 0), grey0);
    ASSERT_TRUE(s.mask);
    LeaveMaskMode(s);
    EXPECT_EQ(s.mask->at(0, 0), 0);
    EXPECT_EQ(s.mask->at(1, 0), 0);
}

TEST(MaskOps, InvertInImageModeTwiceRestores) {
    PaintSurface s = surfaceOf(3, 1);
    s.mask = planeOf(3, 1, {0, 1, 200});
    InvertMask(s);
    EXPECT_EQ(s.mask->at(0, 0), 255);
    EXPECT_EQ(s.mask->at(1, 0), 254);
    EXPECT_EQ(s.mask->at(2, 0), 55);
    InvertMask(s);
    EXPECT_EQ(s.mask->at(1, 0), 1);
    EXPECT_EQ(s.mask->at(2, 0), 200);
    EXPECT_TRUE(s.modified);
}

TEST(MaskOps, InvertWithoutMaskProtectsEverything) {
    PaintSurface s = surfaceOf(2, 2);
    Status result = -99;
    EXPECT_EQ(InvertMask(s, &result), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(result, status::Ok);
    ASSERT_TRUE(s.mask);
    EXPECT_EQ(s.mask->width(), 2);
    EXPECT_EQ(s.mask->height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(s.mask->at(x, y), 0xFF);
    EXPECT_TRUE(s.modified);
}

TEST(MaskOps, ClearInImageModeDropsMask) {
    PaintSurface s = surfaceOf(2, 2);
    s.mask = planeOf(2, 2, {1, 2, 3, 4});
    ClearMask(s);
    EXPECT_FALSE(s.mask);
    EXPECT_TRUE(s.modified);
}

TEST(MaskOps, AttachChecksDepthWidthAndHeight) {
    PaintSurface s = surfaceOf(4, 3);
    s.mask = planeOf(1, 1, {9}); // the present mask, kept on refusal
    EXPECT_FALSE(AttachMask(s, CellImage::Create(5, 3, 8)));
    EXPECT_FALSE(AttachMask(s, CellImage::Create(4, 2, 8)));
    EXPECT_FALSE(AttachMask(s, CellImage::Create(4, 4, 8)));
    EXPECT_FALSE(AttachMask(s, CellImage::Create(4, 3, 4)));
    EXPECT_FALSE(AttachMask(s, nullptr));
    EXPECT_EQ(s.mask->at(0, 0), 9);
    EXPECT_TRUE(AttachMask(s, CellImage::Create(4, 3, 8)));
    EXPECT_EQ(s.mask->width(), 4);
    EXPECT_EQ(s.mask->height(), 3);
}

TEST(MaskOps, AttachInMaskModeRefreshesView) {
    PaintSurface s = surfaceOf(2, 1);
    EnterMaskMode(s);
    ASSERT_TRUE(AttachMask(s, planeOf(2, 1, {0, 5})));
    EXPECT_EQ(s.maskView->at(1, 0) & 0x80, 0x80);
    EXPECT_EQ(s.maskView->at(0, 0) & 0x80, 0);
}

TEST(MaskFile, NameRule) {
    EXPECT_EQ(maskFileName("dir/PIC.CEL"), "dir/PIC.MSK");
    EXPECT_EQ(maskFileName("a.b.bmp"), "a.b.MSK");
    EXPECT_EQ(maskFileName("noext"), "noext.MSK");
    EXPECT_EQ(maskFileName("/home/x.y/noext"), "/home/x.y/noext.MSK");
    EXPECT_EQ(maskFileName("/tmp/.hidden"), "/tmp/.hidden.MSK");
    EXPECT_EQ(maskFileName("trail."), "trail.MSK");
    EXPECT_EQ(maskFileName("/work/dolls/doll.v2.cel"), "/work/dolls/doll.v2.MSK");
    EXPECT_EQ(maskFileName("/work/a.b/file"), "/work/a.b/file.MSK");
}

namespace {

struct FakeMaskFiles {
    std::map<std::string, std::vector<std::uint8_t>> written;
    std::vector<std::string> removed;
    std::string comment;
    Status answer = status::Ok;

    MaskWriter writer() {
        return [this](const std::string& name, const CellImage& mask, const std::string& c) {
            if (answer != status::Ok)
                return answer;
            written[name].assign(mask.pixels(), mask.pixels() + mask.imageSize());
            comment = c;
            EXPECT_EQ(mask.paletteEntry(200), 200u * 0x010101u);
            return status::Ok;
        };
    }
    FileRemover remover() {
        return [this](const std::string& name) { removed.push_back(name); };
    }
};

} // namespace

TEST(MaskFile, SaveWritesNonZeroMaskWithComment) {
    PaintSurface s = surfaceOf(2, 1);
    s.mask = planeOf(2, 1, {0, 7});
    FakeMaskFiles files;
    ScriptedUi ui;
    EXPECT_EQ(SaveMask(s, "p/A.CEL", files.writer(), ui, files.remover()), status::Ok);
    ASSERT_EQ(files.written.count("p/A.MSK"), 1u);
    EXPECT_EQ(files.written["p/A.MSK"][1], 7); // bytes unchanged
    EXPECT_EQ(files.comment, "Celdo 用マスク");
    EXPECT_TRUE(files.removed.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(MaskFile, AllZeroMaskRemovesFile) {
    PaintSurface s = surfaceOf(2, 2);
    s.mask = planeOf(2, 2, {1, 0, 0, 0});
    ClearMask(s); // image mode: no mask left, nothing to save
    FakeMaskFiles files;
    ScriptedUi ui;
    EXPECT_EQ(SaveMask(s, "A.CEL", files.writer(), ui, files.remover()), status::Ok);
    EXPECT_TRUE(files.written.empty());
    EXPECT_TRUE(files.removed.empty());

    s.mask = planeOf(2, 2, {0, 0, 0, 0});
    SaveMask(s, "A.CEL", files.writer(), ui, files.remover());
    EXPECT_TRUE(files.written.empty());
    EXPECT_EQ(files.removed, std::vector<std::string>{"A.MSK"});
}

TEST(MaskFile, SaveInMaskModeCommitsView) {
    PaintSurface s = surfaceOf(2, 1);
    EnterMaskMode(s);
    s.maskView->at(0, 0) |= 0x80;
    FakeMaskFiles files;
    ScriptedUi ui;
    SaveMask(s, "B.bmp", files.writer(), ui, files.remover());
    ASSERT_EQ(files.written.count("B.MSK"), 1u);
    EXPECT_EQ(files.written["B.MSK"][0], 0xFF);
}

TEST(MaskFile, FailedWriteShowsMessage) {
    PaintSurface s = surfaceOf(1, 1);
    s.mask = planeOf(1, 1, {0xFF});
    FakeMaskFiles files;
    files.answer = status::WriteError;
    ScriptedUi ui;
    EXPECT_EQ(SaveMask(s, "C.CEL", files.writer(), ui, files.remover()), status::WriteError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "マスクの保存に失敗しました");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
}

TEST(MaskFile, LoadPrefersFormatMaskThenFile) {
    TempDir dir;
    const std::string picture = dir.file("P.CEL");
    int reads = 0;
    MaskReader reader = [&reads](const std::string&) {
        ++reads;
        return CellImage::Create(1, 1, 8);
    };
    EXPECT_FALSE(LoadMask(nullptr, picture, reader));
    EXPECT_EQ(reads, 0);
    writeFileBytes(dir.file("P.MSK"), {1, 2, 3});
    EXPECT_TRUE(LoadMask(nullptr, picture, reader));
    EXPECT_EQ(reads, 1);
    auto own = CellImage::Create(2, 2, 8);
    const CellImage* ownRaw = own.get();
    EXPECT_EQ(LoadMask(std::move(own), picture, reader).get(), ownRaw);
    EXPECT_EQ(reads, 1);
    MaskReader failing = [](const std::string&) { return CellImagePtr{}; };
    EXPECT_FALSE(LoadMask(nullptr, picture, failing));
}
