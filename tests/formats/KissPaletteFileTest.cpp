#include "formats/KissPaletteFile.h"

#include "formats/KissCellFile.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

Bytes paletteHeader(int bits, int colours, int groups) {
    Bytes h(32, 0);
    h[0] = 'K', h[1] = 'i', h[2] = 'S', h[3] = 'S';
    h[4] = 0x10;
    h[5] = static_cast<std::uint8_t>(bits);
    h[8] = static_cast<std::uint8_t>(colours & 0xFF);
    h[9] = static_cast<std::uint8_t>((colours >> 8) & 0xFF);
    h[10] = static_cast<std::uint8_t>(groups & 0xFF);
    h[11] = static_cast<std::uint8_t>((groups >> 8) & 0xFF);
    return h;
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// 24-bit colour data: colour c of group g is (g, c & 0xFF, 7).
Bytes trueColourGroups(int colours, int groups) {
    Bytes data = paletteHeader(24, colours, groups);
    for (int g = 0; g < groups; ++g)
        for (int c = 0; c < colours; ++c) {
            data.push_back(static_cast<std::uint8_t>(g));
            data.push_back(static_cast<std::uint8_t>(c & 0xFF));
            data.push_back(7);
        }
    return data;
}

class KissPalette : public ::testing::Test {
protected:
    TempDir dir;
    PaletteSet palette;
    void SetUp() override {
        KissCellFile::lastCellKind = 2;
        for (int i = 0; i < PaletteSet::GroupCount * PaletteSet::GroupSize; ++i)
            palette.all()[i] = 0xABCDEF;
    }
    std::string put(const std::string& name, const Bytes& bytes) {
        writeFileBytes(dir.file(name), bytes);
        return dir.file(name);
    }
};

TEST_F(KissPalette, OldPaletteIsTenGroupsOfSixteen) {
    Bytes data(320, 0);
    data[0] = 0x00, data[1] = 0x0F;     // group 0, colour 0: pure green
    data[318] = 0xF0, data[319] = 0x00; // group 9, colour 15: pure red
    KissPaletteFile file(put("old.kcf", data));
    ASSERT_EQ(file.readHeader(), status::Ok);
    EXPECT_EQ(file.kind(), 0);
    EXPECT_EQ(file.groupCount(), 10);
    EXPECT_EQ(file.coloursPerGroup(), 16);
    EXPECT_EQ(file.bitsPerColour(), 12);
    EXPECT_EQ(file.dataOffset(), 0);
    EXPECT_EQ(file.loadCount(), 10);
    ASSERT_EQ(file.readGroups(palette), status::Ok);
    EXPECT_EQ(palette.group(0)[0], rgb(0, 255, 0));
    EXPECT_EQ(palette.group(9)[15], rgb(255, 0, 0));
    // Whole groups are copied: beyond the sixteen colours they are zero.
    EXPECT_EQ(palette.group(0)[16], 0u);
    EXPECT_EQ(palette.group(9)[255], 0u);
    EXPECT_FALSE(file.isOpen());
}

TEST_F(KissPalette, TwelveBitColoursKeepTheHighNibbles) {
    palette.group(0)[0] = rgb(0x12, 0x34, 0x56);
    KissPaletteFile out(dir.file("c.kcf"));
    out.setKind(1);
    out.setColourSource(&palette);
    ASSERT_EQ(out.saveWithoutImage(), status::Ok);
    const Bytes written = readFileBytes(dir.file("c.kcf"));
    ASSERT_EQ(written.size(), 32u + 32u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 32), paletteHeader(12, 16, 1));
    EXPECT_EQ(written[32], 0x15);
    EXPECT_EQ(written[33], 0x03);

    KissPaletteFile in(dir.file("c.kcf"));
    ASSERT_EQ(in.readHeader(), status::Ok);
    EXPECT_EQ(in.kind(), 1);
    PaletteSet back;
    ASSERT_EQ(in.readGroups(back), status::Ok);
    EXPECT_EQ(back.group(0)[0], rgb(0x11, 0x33, 0x55));
}

TEST_F(KissPalette, LoadPositionCountAndSetPosition) {
    KissPaletteFile file(put("three.kcf", trueColourGroups(256, 3)));
    ASSERT_EQ(file.readHeader(), status::Ok);
    EXPECT_EQ(file.kind(), 2);
    EXPECT_EQ(file.loadCount(), 3);
    file.setLoadPosition(1);
    file.setLoadCount(2);
    file.setSetPosition(8);
    ASSERT_EQ(file.readGroups(palette), status::Ok);
    EXPECT_EQ(palette.group(8)[5], rgb(1, 5, 7));
    EXPECT_EQ(palette.group(9)[200], rgb(2, 200, 7));
    EXPECT_EQ(palette.group(7)[0], 0xABCDEFu);
    EXPECT_EQ(palette.group(0)[0], 0xABCDEFu);
}

TEST_F(KissPalette, LoadCountIsLimitedToTheTenGroups) {
    KissPaletteFile file(dir.file("x.kcf"));
    file.setSetPosition(9);
    file.setLoadCount(5);
    file.limitLoadCount();
    EXPECT_EQ(file.loadCount(), 1);
    file.setSetPosition(2);
    file.setLoadPosition(7);
    file.setLoadCount(8);
    file.limitLoadCount();
    EXPECT_EQ(file.loadCount(), 3);
}

TEST_F(KissPalette, GroupsMissingFromTheFileBecomeZero) {
    KissPaletteFile file(put("one.kcf", trueColourGroups(256, 1)));
    ASSERT_EQ(file.readHeader(), status::Ok);
    file.setLoadCount(3);
    ASSERT_EQ(file.readGroups(palette), status::Ok);
    EXPECT_EQ(palette.group(0)[9], rgb(0, 9, 7));
    EXPECT_EQ(palette.group(1)[9], 0u);
    EXPECT_EQ(palette.group(2)[0], 0u);
    EXPECT_EQ(palette.group(3)[0], 0xABCDEFu);
}

TEST_F(KissPalette, OversizedHeadersAreCutToThePalette) {
    // 300 colours a group and 12 groups: only 256 colours of the first ten
    // groups reach the palette, and they come from the right file offsets.
    KissPaletteFile file(put("big.kcf", trueColourGroups(300, 12)));
    ASSERT_EQ(file.readHeader(), status::Ok);
    EXPECT_EQ(file.groupCount(), 12);
    EXPECT_EQ(file.loadCount(), 10);
    ASSERT_EQ(file.readGroups(palette), status::Ok);
    for (int g = 0; g < 10; ++g) {
        EXPECT_EQ(palette.group(g)[0], rgb(g, 0, 7)) << g;
        EXPECT_EQ(palette.group(g)[255], rgb(g, 255, 7)) << g;
    }
}

TEST_F(KissPalette, BadHeadersAreRefused) {
    const std::vector<Bytes> formatErrors = {
        join(paletteHeader(16, 16, 1), Bytes(32, 0)),
        paletteHeader(24, 0, 1),
        paletteHeader(24, 16, 0),
        paletteHeader(24, 0x8000, 1),
        paletteHeader(12, 16, 0xFFFF),
    };
    for (std::size_t i = 0; i < formatErrors.size(); ++i) {
        KissPaletteFile file(put("bad.kcf", formatErrors[i]));
        EXPECT_EQ(file.readHeader(), status::FormatError) << i;
        EXPECT_EQ(errorMessageText(file.error()), "フォーマット異常");
        EXPECT_FALSE(file.isOpen());
    }
}

TEST_F(KissPalette, ShortFilesFailAndLeaveThePaletteAlone) {
    Bytes truncated = trueColourGroups(256, 3);
    truncated.resize(truncated.size() - 1);
    const std::vector<Bytes> files = {
        truncated, paletteHeader(24, 32767, 10), // 1 MB of colours promised by 32 bytes
        Bytes(319, 0),                           // an old palette one byte short
    };
    const PaletteSet before = palette;
    for (std::size_t i = 0; i < files.size(); ++i) {
        KissPaletteFile file(put("short.kcf", files[i]));
        ASSERT_EQ(file.readHeader(), status::Ok) << i;
        EXPECT_EQ(file.readGroups(palette), status::ReadError) << i;
        EXPECT_TRUE(std::equal(palette.all(), palette.all() + 2560, before.all())) << i;
        EXPECT_FALSE(file.isOpen());
    }
    KissPaletteFile tiny(put("tiny.kcf", {1, 2}));
    EXPECT_EQ(tiny.readHeader(), status::ReadError);
}

TEST_F(KissPalette, OldKindAlwaysWritesAllTenGroups) {
    for (int g = 0; g < 10; ++g)
        palette.group(g)[15] = rgb(g * 16, 0, 0);
    KissPaletteFile file(dir.file("o.kcf"));
    file.setColourSource(&palette);
    file.setKind(0);
    file.setGroupCount(3);
    file.setReadPosition(4);
    ASSERT_EQ(file.saveWithoutImage(), status::Ok);
    const Bytes written = readFileBytes(dir.file("o.kcf"));
    ASSERT_EQ(written.size(), 320u);
    EXPECT_EQ(file.groupCount(), 10);
    EXPECT_EQ(file.readPosition(), 0);
    // Group 3, colour 15: red 0x30 → 0x3 in the high nibble of byte 0.
    EXPECT_EQ(written[3 * 32 + 30], 0x30);
    EXPECT_EQ(written[3 * 32 + 31], 0x00);
}

TEST_F(KissPalette, GroupCountIsLimitedByTheReadPosition) {
    KissPaletteFile file(dir.file("two.kcf"));
    file.setColourSource(&palette);
    file.setKind(2);
    file.setGroupCount(3);
    file.setReadPosition(8);
    palette.group(8)[0] = rgb(1, 2, 3);
    palette.group(9)[255] = rgb(4, 5, 6);
    ASSERT_EQ(file.saveWithoutImage(), status::Ok);
    const Bytes written = readFileBytes(dir.file("two.kcf"));
    ASSERT_EQ(written.size(), 32u + 2 * 768u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 32), paletteHeader(24, 256, 2));
    EXPECT_EQ(Bytes(written.begin() + 32, written.begin() + 35), (Bytes{1, 2, 3}));
    EXPECT_EQ(Bytes(written.end() - 3, written.end()), (Bytes{4, 5, 6}));
}

TEST_F(KissPalette, RoundTripsAreByteExact) {
    Bytes old(320);
    Bytes kiss16 = paletteHeader(12, 16, 3);
    for (int i = 0; i < 320; ++i)
        old[i] = static_cast<std::uint8_t>(i % 2 ? (i * 5) & 0x0F : i * 13);
    for (int i = 0; i < 96; ++i)
        kiss16.push_back(static_cast<std::uint8_t>(i % 2 ? (i * 3) & 0x0F : i * 29));
    Bytes kiss256 = paletteHeader(24, 256, 10);
    for (int i = 0; i < 7680; ++i)
        kiss256.push_back(static_cast<std::uint8_t>(i * 31 + i / 256));
    for (const Bytes& data : {old, kiss16, kiss256}) {
        KissPaletteFile in(put("in.kcf", data));
        ASSERT_EQ(in.readHeader(), status::Ok);
        PaletteSet set;
        ASSERT_EQ(in.readGroups(set), status::Ok);
        KissPaletteFile out(dir.file("out.kcf"));
        out.setColourSource(&set);
        out.setKind(in.kind());
        out.setGroupCount(in.groupCount());
        ASSERT_EQ(out.saveWithoutImage(), status::Ok);
        EXPECT_EQ(readFileBytes(dir.file("out.kcf")), data) << "kind " << in.kind();
    }
}

TEST_F(KissPalette, NewObjectsTakeTheLastCellKind) {
    KissCellFile::lastCellKind = 1;
    KissPaletteFile file(dir.file("k.kcf"));
    EXPECT_EQ(file.kind(), 1);
    EXPECT_EQ(file.groupCount(), 1);
    EXPECT_EQ(file.typeName(), "PALETTE");
    KissPaletteFile noSource(dir.file("k.kcf"));
    EXPECT_NE(noSource.saveWithoutImage(), status::Ok);
}

TEST_F(KissPalette, LoadDialog) {
    KissPaletteFile file(put("three.kcf", trueColourGroups(256, 3)));
    ASSERT_EQ(file.readHeader(), status::Ok);
    ScriptedUi ui;
    ui.answerDialog("KissPaletteLoad", [](ControlTable& t) {
        EXPECT_EQ(t.title, "KiSS パレット ファイル情報");
        EXPECT_EQ(t.text(200), "three.kcf");
        EXPECT_EQ(t.text(201), "256 色 × 3 組");
        EXPECT_EQ(t.text(202), "1600万色");
        const Control* position = t.find(360);
        EXPECT_EQ(position->minimum, 0);
        EXPECT_EQ(position->maximum, 2);
        EXPECT_EQ(position->pageStep, 1);
        EXPECT_EQ(position->labelId, 361);
        const Control* count = t.find(369);
        EXPECT_EQ(count->minimum, 1);
        EXPECT_EQ(count->maximum, 3);
        EXPECT_EQ(count->pageStep, 1);
        EXPECT_EQ(count->value, 3);
        EXPECT_EQ(t.text(370), "3");
        const Control* target = t.find(363);
        EXPECT_EQ(target->maximum, 9);
        EXPECT_EQ(target->pageStep, 3);
        EXPECT_EQ(target->labelId, 364);
        EXPECT_EQ(t.text(1), "読込");
        EXPECT_EQ(t.text(2), "中止");
        t.setValue(360, 1);
        t.setValue(363, 9);
        return t.press(1);
    });
    EXPECT_EQ(file.showInfo(ui), 1);
    EXPECT_EQ(file.loadPosition(), 1);
    EXPECT_EQ(file.setPosition(), 9);
    EXPECT_EQ(file.loadCount(), 1);
    ASSERT_EQ(file.readGroups(palette), status::Ok);
    EXPECT_EQ(palette.group(9)[3], rgb(1, 3, 7));
    EXPECT_EQ(palette.group(8)[3], 0xABCDEFu);

    EXPECT_EQ(KissPaletteFile::loadKindText(0), "4096色（旧タイプ）");
    EXPECT_EQ(KissPaletteFile::loadKindText(1), "4096色");
    EXPECT_EQ(KissPaletteFile::loadKindText(3), "（不明）");
}

TEST_F(KissPalette, LoadDialogPageStepsForTenGroups) {
    KissPaletteFile file(put("ten.kcf", trueColourGroups(16, 10)));
    ASSERT_EQ(file.readHeader(), status::Ok);
    const ControlTable t = file.loadDialog();
    EXPECT_EQ(t.find(360)->pageStep, 3);
    EXPECT_EQ(t.find(369)->pageStep, 3);
    EXPECT_EQ(t.find(369)->maximum, 10);
}

TEST_F(KissPalette, SaveDialog) {
    KissPaletteFile file(dir.file("s.kcf"));
    file.setColourSource(&palette);
    ScriptedUi ui;
    ui.answerDialog("KissPaletteSave", [](ControlTable& t) {
        EXPECT_EQ(t.title, "KISS パレット保存情報");
        EXPECT_EQ(t.text(200), "s.kcf");
        const Control* count = t.find(360);
        EXPECT_EQ(count->minimum, 1);
        EXPECT_EQ(count->maximum, 10);
        EXPECT_EQ(count->pageStep, 3);
        EXPECT_EQ(count->value, 1);
        EXPECT_EQ(count->labelId, 361);
        EXPECT_EQ(t.find(363)->maximum, 9);
        EXPECT_EQ(t.find(363)->labelId, 364);
        EXPECT_EQ(t.text(240), " 種類 ");
        EXPECT_EQ(t.text(241), "16色(old)");
        EXPECT_EQ(t.text(243), "256色");
        EXPECT_EQ(t.checkedRadio(241, 243), 243);
        EXPECT_EQ(t.text(1), "保存");
        EXPECT_EQ(t.text(2), "中止");
        t.setValue(360, 3);
        t.setValue(363, 8);
        t.setValue(242, 1);
        return 1;
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.groupCount(), 3);
    EXPECT_EQ(file.readPosition(), 8);
    EXPECT_EQ(file.kind(), 1);
    ui.answerDialog("KissPaletteSave", [](ControlTable& t) {
        t.setValue(241, 1);
        return 2;
    });
    EXPECT_EQ(file.askSaveOptions(ui), 2);
    EXPECT_EQ(file.kind(), 1);
}

} // namespace
} // namespace celdo
