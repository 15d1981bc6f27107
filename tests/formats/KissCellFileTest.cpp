#include "formats/KissCellFile.h"

#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::listDir;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

Bytes kissHeader(int bits, int width, int height, int offsetX = 0, int offsetY = 0) {
    Bytes h(32, 0);
    h[0] = 'K', h[1] = 'i', h[2] = 'S', h[3] = 'S';
    h[4] = 0x20;
    h[5] = static_cast<std::uint8_t>(bits);
    auto word = [&](int at, int v) {
        h[at] = static_cast<std::uint8_t>(v & 0xFF);
        h[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    word(8, width);
    word(10, height);
    word(12, offsetX);
    word(14, offsetY);
    return h;
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class KissCell : public ::testing::Test {
protected:
    TempDir dir;
    void SetUp() override {
        KissCellFile::lastCellKind = 2;
        KissCellFile::lastCellOffsetX = 0;
        KissCellFile::lastCellOffsetY = 0;
    }
    std::string put(const std::string& name, const Bytes& bytes) {
        writeFileBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    // readHeader + readImage; null and the code in `file` on failure.
    CellImagePtr load(KissCellFile& file) {
        if (file.readHeader() != status::Ok)
            return nullptr;
        return file.readImage();
    }
};

// --- reading -----------------------------------------------------------------

TEST_F(KissCell, Reads256ColourCellTopRowFirst) {
    const auto path = put("a.cel", join(kissHeader(8, 3, 2, 7, -3), {1, 2, 3, 200, 201, 202}));
    KissCellFile file(path);
    auto image = load(file);
    ASSERT_TRUE(image) << file.error();
    EXPECT_EQ(file.kind(), 2);
    EXPECT_EQ(file.bitsPerPixel(), 8);
    EXPECT_EQ(file.dataOffset(), 32);
    EXPECT_EQ(file.offsetX(), 7);
    EXPECT_EQ(file.offsetY(), -3);
    EXPECT_EQ(image->bitsPerPixel(), 8);
    EXPECT_EQ(image->at(0, 0), 1);
    EXPECT_EQ(image->at(2, 0), 3);
    EXPECT_EQ(image->at(0, 1), 200);
    EXPECT_EQ(image->at(2, 1), 202);
    // No source palette: the 256-step grey ramp.
    EXPECT_EQ(image->paletteEntry(200), rgb(200, 200, 200));
    EXPECT_EQ(KissCellFile::lastCellKind, 2);
    EXPECT_EQ(KissCellFile::lastCellOffsetX, 7);
    EXPECT_EQ(KissCellFile::lastCellOffsetY, -3);
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.takeMask());
}

TEST_F(KissCell, FileWithoutMagicIsAnOldCell) {
    // Width 3, height 2; rows of two bytes from byte 4 on.
    const auto path = put("old.cel", {3, 0, 2, 0, 0x12, 0x30, 0xAB, 0xC0});
    KissCellFile file(path);
    auto image = load(file);
    ASSERT_TRUE(image) << file.error();
    EXPECT_EQ(file.kind(), 0);
    EXPECT_EQ(file.dataOffset(), 4);
    EXPECT_EQ(file.bitsPerPixel(), 4);
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->at(0, 0), 1);
    EXPECT_EQ(image->at(1, 0), 2);
    EXPECT_EQ(image->at(2, 0), 3);
    EXPECT_EQ(image->at(0, 1), 0xA);
    EXPECT_EQ(image->at(2, 1), 0xC);
    EXPECT_EQ(KissCellFile::lastCellKind, 0);
}

TEST_F(KissCell, OddWidthSixteenColourRowsUseThePaddingNibble) {
    const auto path = put("w5.cel", join(kissHeader(4, 5, 1), {0x12, 0x34, 0x5F}));
    KissCellFile file(path);
    auto image = load(file);
    ASSERT_TRUE(image) << file.error();
    EXPECT_EQ(file.kind(), 1);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(image->at(x, 0), x + 1);
    // The 16-step grey ramp, the rest black.
    EXPECT_EQ(image->paletteEntry(1), rgb(17, 17, 17));
    EXPECT_EQ(image->paletteEntry(15), rgb(255, 255, 255));
    EXPECT_EQ(image->paletteEntry(16), 0u);
}

TEST_F(KissCell, IndexedCellsTakeTheSourcePalette) {
    std::array<ColourValue, 256> group{};
    for (int i = 0; i < 256; ++i)
        group[i] = rgb(i, 255 - i, 9);
    const auto path = put("p.cel", join(kissHeader(4, 2, 1), {0x3F}));
    KissCellFile file(path);
    file.setSourcePalette(group.data());
    auto image = load(file);
    ASSERT_TRUE(image);
    for (int i : {0, 3, 15, 200})
        EXPECT_EQ(image->paletteEntry(i), group[i]);
}

TEST_F(KissCell, TrueColourAlphaBecomesTheMask) {
    // Blue, green, red, alpha.
    const auto path = put("t.cel", join(kissHeader(32, 2, 1), {10, 20, 30, 255, 40, 50, 60, 0}));
    KissCellFile file(path);
    auto image = load(file);
    ASSERT_TRUE(image) << file.error();
    EXPECT_EQ(image->bitsPerPixel(), 24);
    const std::uint8_t* row = image->row(0);
    EXPECT_EQ(Bytes(row, row + 6), (Bytes{10, 20, 30, 40, 50, 60}));
    auto mask = file.takeMask();
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->at(0, 0), 0);
    EXPECT_EQ(mask->at(1, 0), 255);
    EXPECT_FALSE(file.takeMask());
}

TEST_F(KissCell, TrueColourWithoutAlphaToMaskHasNoMask) {
    const auto path = put("t.cel", join(kissHeader(32, 1, 1), {1, 2, 3, 0}));
    KissCellFile file(path);
    file.setAlphaToMask(false);
    ASSERT_TRUE(load(file));
    EXPECT_FALSE(file.takeMask());
}

// --- bad headers ---------------------------------------------------------------

TEST_F(KissCell, TwentyFourBitsPerPixelIsAFormatError) {
    const auto path = put("b.cel", join(kissHeader(24, 1, 1), {0, 0, 0}));
    KissCellFile file(path);
    EXPECT_EQ(file.readHeader(), status::FormatError);
    EXPECT_EQ(errorMessageText(file.error()), "フォーマット異常");
    EXPECT_FALSE(file.isOpen());
}

TEST_F(KissCell, ZeroOrNegativeSizesAreFormatErrors) {
    const std::vector<Bytes> files = {
        join(kissHeader(8, 0, 4), Bytes(16, 0)),
        join(kissHeader(8, 4, 0), Bytes(16, 0)),
        join(kissHeader(8, 0x8000, 2), Bytes(16, 0)),
        join(kissHeader(8, 2, 0xFFFF), Bytes(16, 0)),
        {0, 0, 5, 0, 1, 2, 3, 4},       // old cell, width 0
        {5, 0, 0xF0, 0xFF, 1, 2, 3, 4}, // old cell, height -16
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        KissCellFile file(put("z.cel", files[i]));
        EXPECT_EQ(file.readHeader(), status::FormatError) << i;
        EXPECT_FALSE(file.readImage()) << i;
    }
}

TEST_F(KissCell, SizesBeyondTheFileFailBeforeAllocating) {
    // 32767 × 32767 pixels promised by tiny files: refused from the file size
    // alone (4 GiB of true colour would not even be allocatable).
    const std::vector<Bytes> files = {
        join(kissHeader(8, 32767, 32767), Bytes(100, 1)),
        join(kissHeader(32, 32767, 32767), Bytes(100, 1)),
        join(kissHeader(4, 32767, 32767), Bytes(100, 1)),
        {0xFF, 0x7F, 0xFF, 0x7F, 1, 2, 3},
        join(kissHeader(8, 4, 4), Bytes(15, 1)), // one byte short
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        KissCellFile file(put("big.cel", files[i]));
        ASSERT_EQ(file.readHeader(), status::Ok) << i;
        EXPECT_FALSE(file.readImage()) << i;
        EXPECT_EQ(file.error(), status::ReadError) << i;
        EXPECT_EQ(errorMessageText(file.error()), "読込エラー");
        EXPECT_FALSE(file.isOpen());
    }
    // A failed load leaves the remembered defaults alone.
    EXPECT_EQ(KissCellFile::lastCellKind, 2);
}

TEST_F(KissCell, ShortFilesAndMissingFiles) {
    KissCellFile shortFile(put("s.cel", {1, 0, 1}));
    EXPECT_EQ(shortFile.readHeader(), status::ReadError);
    KissCellFile shortHeader(put("h.cel", {'K', 'i', 'S', 'S', 0x20, 8, 0, 0, 1}));
    EXPECT_EQ(shortHeader.readHeader(), status::ReadError);
    KissCellFile missing(dir.file("none.cel"));
    EXPECT_EQ(missing.readHeader(), status::OpenError);
}

// --- writing -----------------------------------------------------------------

CellImagePtr indexedImage(int width, int height, std::initializer_list<int> pixels) {
    auto image = CellImage::Create(width, height, 8);
    auto it = pixels.begin();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(*it++);
    return image;
}

TEST_F(KissCell, Saves256ColourCell) {
    auto image = indexedImage(3, 2, {1, 2, 3, 4, 5, 255});
    KissCellFile file(dir.file("o.cel"));
    file.setOffsets(-10, 300);
    file.setFromImage(*image);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("o.cel")),
              join(kissHeader(8, 3, 2, -10, 300), {1, 2, 3, 4, 5, 255}));
}

TEST_F(KissCell, SavesSixteenColoursKeepingTheLowNibble) {
    auto image = indexedImage(3, 1, {17, 2, 0xFF});
    KissCellFile kiss16(dir.file("k.cel"));
    kiss16.setKind(1);
    ASSERT_EQ(kiss16.saveTo(*image, nullptr), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("k.cel")), join(kissHeader(4, 3, 1), {0x12, 0xF0}));

    KissCellFile old(dir.file("old.cel"));
    old.setKind(0);
    ASSERT_EQ(old.saveTo(*image, nullptr), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("old.cel")), (Bytes{3, 0, 1, 0, 0x12, 0xF0}));
}

TEST_F(KissCell, TrueColourIsAlwaysSavedAsAThirtyTwoBitKissCell) {
    // An old cell was loaded last, so new objects default to kind 0.
    KissCellFile loaded(put("old.cel", {1, 0, 1, 0, 0x50}));
    ASSERT_TRUE(load(loaded));
    ASSERT_EQ(KissCellFile::lastCellKind, 0);

    auto image = CellImage::Create(2, 1, 24);
    const Bytes bgr{1, 2, 3, 4, 5, 6};
    std::copy(bgr.begin(), bgr.end(), image->row(0));
    auto mask = CellImage::Create(2, 1, 8);
    mask->at(0, 0) = 255;
    mask->at(1, 0) = 0x0F;
    KissCellFile file(dir.file("t.cel"));
    EXPECT_EQ(file.kind(), 0);
    file.setFromImage(*image);
    EXPECT_TRUE(file.maskToAlpha());
    ASSERT_EQ(file.saveTo(*image, mask.get()), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("t.cel")),
              join(kissHeader(32, 2, 1), {1, 2, 3, 0, 4, 5, 6, 0xF0}));

    // Without maskToAlpha the mask is ignored and the picture is opaque.
    file.setMaskToAlpha(false);
    ASSERT_EQ(file.saveTo(*image, mask.get()), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("t.cel")),
              join(kissHeader(32, 2, 1), {1, 2, 3, 255, 4, 5, 6, 255}));
}

TEST_F(KissCell, SavingLeavesTheRememberedDefaults) {
    auto image = indexedImage(1, 1, {1});
    KissCellFile file(dir.file("x.cel"));
    file.setKind(0);
    file.setOffsets(5, 6);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    EXPECT_EQ(KissCellFile::lastCellKind, 2);
    EXPECT_EQ(KissCellFile::lastCellOffsetX, 0);
    KissCellFile fresh(dir.file("y.cel"));
    EXPECT_EQ(fresh.kind(), 2);
    EXPECT_EQ(fresh.typeName(), "CELL");
}

TEST_F(KissCell, RoundTripsAreByteExact) {
    Bytes trueColour = kissHeader(32, 3, 2, -5, 12);
    for (int i = 0; i < 24; ++i)
        trueColour.push_back(static_cast<std::uint8_t>(i * 37 + 1));
    const std::vector<Bytes> files = {
        {5, 0, 2, 0, 0x12, 0x34, 0x50, 0xAB, 0xCD, 0xE0}, // old, odd width
        join(kissHeader(4, 4, 2, 100, -20), {0x01, 0x23, 0x45, 0x67}),
        join(kissHeader(4, 3, 1, 1, 2), {0xFE, 0xD0}),
        join(kissHeader(8, 5, 2, 2000, 1), {0, 1, 2, 3, 4, 255, 254, 253, 128, 16}),
        trueColour,
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        KissCellFile in(put("in.cel", files[i]));
        auto image = load(in);
        ASSERT_TRUE(image) << i;
        auto mask = in.takeMask();
        KissCellFile out(dir.file("out.cel"));
        out.setFromImage(*image);
        ASSERT_EQ(out.saveTo(*image, mask.get()), status::Ok) << i;
        EXPECT_EQ(readFileBytes(dir.file("out.cel")), files[i]) << "file " << i;
    }
}

TEST_F(KissCell, MemoryRoundTripsAreByteExactAndTouchNoFile) {
    Bytes trueColour = kissHeader(32, 3, 2, -5, 12);
    for (int i = 0; i < 24; ++i)
        trueColour.push_back(static_cast<std::uint8_t>(i * 37 + 1));
    const std::vector<Bytes> cells = {
        {5, 0, 2, 0, 0x12, 0x34, 0x50, 0xAB, 0xCD, 0xE0}, // old, odd width
        join(kissHeader(4, 4, 2, 100, -20), {0x01, 0x23, 0x45, 0x67}),
        join(kissHeader(8, 5, 2, 2000, 1), {0, 1, 2, 3, 4, 255, 254, 253, 128, 16}),
        trueColour,
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        KissCellFile in(dir.file("never.cel"));
        in.readFromMemory(cells[i]);
        auto image = load(in);
        ASSERT_TRUE(image) << i << " " << in.error();
        auto mask = in.takeMask();
        KissCellFile out(dir.file("never.cel"));
        out.setFromImage(*image);
        Bytes bytes;
        ASSERT_EQ(out.saveToMemory(*image, mask.get(), bytes), status::Ok) << i;
        EXPECT_EQ(bytes, cells[i]) << "cell " << i;
    }
    EXPECT_TRUE(listDir(dir.path()).empty());
}

TEST_F(KissCell, ShortCellInMemoryIsAReadError) {
    const Bytes cell = join(kissHeader(8, 3, 2), {1, 2, 3, 4, 5});
    KissCellFile file("memory.cel");
    file.readFromMemory(cell);
    EXPECT_FALSE(load(file));
    EXPECT_EQ(file.error(), status::ReadError);
}

TEST_F(KissCell, WriteFailureKeepsThePreviousCell) {
    const Bytes previous = join(kissHeader(8, 1, 1), {7});
    const auto path = put("keep.cel", previous);
    KissCellFile file(path);
    EXPECT_EQ(file.saveTo(*CellImage::Create(1, 1, 1, false), nullptr), status::BadImage);
    EXPECT_EQ(readFileBytes(path), previous);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"keep.cel"});
}

// --- dialogs -----------------------------------------------------------------

TEST_F(KissCell, LoadDialogShowsTheHeader) {
    KissCellFile file(put("info.cel", join(kissHeader(8, 640, 400, -10, 5), {})));
    ASSERT_EQ(file.readHeader(), status::Ok);
    ScriptedUi ui;
    ui.answerDialog("KissCellLoad", 2);
    EXPECT_EQ(file.showInfo(ui), 2);
    ASSERT_EQ(ui.tables.size(), 1u);
    const ControlTable& t = ui.tables[0];
    EXPECT_EQ(t.title, "KiSS セル ファイル情報");
    EXPECT_EQ(t.text(200), "info.cel");
    EXPECT_EQ(t.text(201), "640 × 400");
    EXPECT_EQ(t.text(202), "-10  5 ");
    EXPECT_EQ(t.text(203), "256色");
    EXPECT_EQ(t.text(1), "&Load");
    EXPECT_EQ(t.text(2), "&Cancel");
    EXPECT_EQ(KissCellFile::kindText(0, 4), "16色（旧タイプ）");
    EXPECT_EQ(KissCellFile::kindText(1, 4), "16色");
    EXPECT_EQ(KissCellFile::kindText(2, 32), "True Color");
    EXPECT_EQ(KissCellFile::kindText(2, 16), "（不明）");
}

TEST_F(KissCell, TrueColourLoadDialogSetsAlphaToMask) {
    KissCellFile file(put("t.cel", join(kissHeader(32, 1, 1), {1, 2, 3, 0})));
    ASSERT_EQ(file.readHeader(), status::Ok);
    ScriptedUi ui;
    ui.answerDialog("KissCellLoad2", [](ControlTable& t) {
        EXPECT_EQ(t.title, "KiSS セル ファイル情報");
        EXPECT_EQ(t.text(203), "True Color");
        EXPECT_EQ(t.text(280), "αチャネルをマスクにする");
        EXPECT_EQ(t.value(280), 1);
        t.setValue(280, 0);
        return t.press(1);
    });
    EXPECT_EQ(file.showInfo(ui), 1);
    EXPECT_FALSE(file.alphaToMask());
    ASSERT_TRUE(file.readImage());
    EXPECT_FALSE(file.takeMask());
}

TEST_F(KissCell, SaveDialogControlsAndValues) {
    auto image = indexedImage(1, 1, {0});
    KissCellFile file(dir.file("s.cel"));
    file.setOffsets(30, 2500);
    file.setFromImage(*image);
    ScriptedUi ui;
    ui.answerDialog("KissCellSave", [](ControlTable& t) {
        EXPECT_EQ(t.title, "KiSS セル ファイル保存情報");
        EXPECT_EQ(t.text(200), "s.cel");
        const Control* x = t.find(360);
        EXPECT_EQ(x->minimum, 0);
        EXPECT_EQ(x->maximum, 2000);
        EXPECT_EQ(x->pageStep, 50);
        EXPECT_EQ(x->labelId, 361);
        EXPECT_EQ(t.text(361), "30");
        EXPECT_EQ(t.find(363)->labelId, 364);
        EXPECT_EQ(t.value(363), 2000);
        EXPECT_EQ(t.text(240), " 種類 ");
        EXPECT_EQ(t.text(241), "16色(old)");
        EXPECT_EQ(t.text(242), "16色");
        EXPECT_EQ(t.text(243), "256色");
        EXPECT_EQ(t.checkedRadio(241, 243), 243);
        EXPECT_EQ(t.text(1), "&Save");
        t.setValue(360, 45);
        t.setValue(241, 1);
        return 1;
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.offsetX(), 45);
    EXPECT_EQ(file.offsetY(), 2500); // not moved
    EXPECT_EQ(file.kind(), 0);

    ui.answerDialog("KissCellSave", [](ControlTable& t) {
        t.setValue(360, 1);
        t.setValue(242, 1);
        return 2;
    });
    EXPECT_EQ(file.askSaveOptions(ui), 2);
    EXPECT_EQ(file.offsetX(), 45);
    EXPECT_EQ(file.kind(), 0);
}

TEST_F(KissCell, UntouchedSaveDialogKeepsANegativeOffset) {
    KissCellFile in(put("n.cel", join(kissHeader(8, 1, 1, -10, -1), {4})));
    auto image = load(in);
    ASSERT_TRUE(image);
    KissCellFile out(dir.file("n2.cel"));
    EXPECT_EQ(out.offsetX(), -10);
    out.setFromImage(*image);
    ScriptedUi ui;
    ui.answerDialog("KissCellSave", 1);
    EXPECT_EQ(out.askSaveOptions(ui), 1);
    ASSERT_EQ(out.saveTo(*image, nullptr), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("n2.cel")), join(kissHeader(8, 1, 1, -10, -1), {4}));
}

TEST_F(KissCell, TrueColourSaveDialogSetsMaskToAlpha) {
    auto image = CellImage::Create(1, 1, 24);
    KissCellFile file(dir.file("t.cel"));
    file.setFromImage(*image);
    ScriptedUi ui;
    ui.answerDialog("KissCellSave2", [](ControlTable& t) {
        EXPECT_EQ(t.title, "KiSS セル（True Color） ファイル保存情報");
        EXPECT_TRUE(t.has(360));
        EXPECT_TRUE(t.has(363));
        EXPECT_FALSE(t.has(241));
        EXPECT_EQ(t.text(280), "マスクをαチャネルにする");
        EXPECT_EQ(t.value(280), 1);
        t.setValue(280, 0);
        return 1;
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_FALSE(file.maskToAlpha());
    // An indexed picture turns the option off by itself.
    file.setMaskToAlpha(true);
    file.setFromImage(*indexedImage(1, 1, {0}));
    EXPECT_FALSE(file.maskToAlpha());
}

} // namespace
} // namespace celdo
