// The header texts of MAG files (Shift-JIS in the file, UTF-8 here), the
// information and save dialogs, and what a save takes from the previous file.
#include "formats/MagFile.h"
#include "formats/ShiftJis.h"
#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace celdo {
namespace {

using test::readFileBytes;
using test::TempDir;

std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(ShiftJisText, ConvertsBothWays) {
    const std::string mask = "Celdo 用マスク";
    const std::string sjis =
        bytesOf({'C', 'e', 'l', 'd', 'o', ' ', 0x97, 0x70, 0x83, 0x7D, 0x83, 0x58, 0x83, 0x4E});
    EXPECT_EQ(toShiftJis(mask), sjis);
    EXPECT_EQ(fromShiftJis(sjis), mask);
    // Windows additions: the circled digit and the wave dash as Windows wrote it.
    EXPECT_EQ(toShiftJis("①～"), bytesOf({0x87, 0x40, 0x81, 0x60}));
    EXPECT_EQ(fromShiftJis(bytesOf({0x87, 0x40, 0x81, 0x60})), "①～");
    EXPECT_EQ(toShiftJis("a\xF0\x9F\x98\x80"
                         "b"),
              "a?b");
    EXPECT_EQ(fromShiftJis(bytesOf({'x', 0xA0, 'y'})), "x\xEF\xBF\xBDy");
}

TEST(ShiftJisText, LimitsCountFileBytesAndNeverSplitACharacter) {
    const std::string name = "一二三四五六七八九十"; // 20 bytes in the file
    EXPECT_EQ(shiftJisLength(name), 20u);
    EXPECT_EQ(fitShiftJis(name, 18), "一二三四五六七八九");
    EXPECT_EQ(fitShiftJis("ab漢字", 3), "ab");
    EXPECT_EQ(cutShiftJis(toShiftJis("ab漢字"), 3), "ab");
    EXPECT_EQ(cutShiftJis(toShiftJis("ab漢字"), 4).size(), 4u);
}

CellImagePtr smallPicture(int bits = 8) {
    auto picture = CellImage::Create(9, 3, bits);
    for (int y = 0; y < 3; ++y)
        for (int b = 0; b < static_cast<int>(picture->stride()); ++b)
            picture->row(y)[b] = static_cast<std::uint8_t>(bits == 8 ? (b + y) : 0x12);
    return picture;
}

TEST(MagText, JapaneseCommentAndUserNameAreShiftJisInTheFile) {
    TempDir dir;
    const std::string path = dir.file("text.mag");
    MagFile writer(path);
    auto picture = smallPicture();
    writer.setFromImage(*picture);
    writer.replaceComment("色彩テスト～①");
    writer.setUserName("山田");
    writer.setMachineCode("X68K");
    ASSERT_EQ(writer.saveTo(*picture, nullptr), status::Ok);

    const auto f = readFileBytes(path);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 13), "MAKI02  X68K ");
    EXPECT_EQ(std::string(f.begin() + 13, f.begin() + 31),
              bytesOf({0x8E, 0x52, 0x93, 0x63}) + std::string(14, ' '));
    const std::string comment = bytesOf(
        {0x90, 0x46, 0x8D, 0xCA, 0x83, 0x65, 0x83, 0x58, 0x83, 0x67, 0x81, 0x60, 0x87, 0x40});
    EXPECT_EQ(std::string(f.begin() + 31, f.begin() + 31 + comment.size()), comment);
    EXPECT_EQ(f[31 + comment.size()], 0x1A);

    MagFile reader(path);
    ASSERT_EQ(reader.readHeader(), status::Ok);
    EXPECT_EQ(reader.headerOffset(), static_cast<long long>(32 + comment.size()));
    EXPECT_EQ(reader.comment(), "色彩テスト～①");
    EXPECT_EQ(reader.machineCode(), "X68K");
    // Reading starts one byte before the written name.
    EXPECT_EQ(reader.userName(), " 山田");
}

TEST(MagText, DefaultsAndByteLimits) {
    TempDir dir;
    MagFile fresh(dir.file("d.mag"));
    EXPECT_EQ(fresh.typeName(), "MAG");
    EXPECT_EQ(fresh.machineCode(), "PCAT");
    EXPECT_EQ(fresh.userName(), "（不明）");
    EXPECT_EQ(fresh.comment(), "");
    EXPECT_EQ(fresh.saveBits(), 4);

    auto picture = smallPicture();
    fresh.setFromImage(*picture);
    fresh.setUserName("一二三四五六七八九十");
    fresh.setMachineCode("ABCDEF");
    ASSERT_EQ(fresh.saveTo(*picture, nullptr), status::Ok);
    const auto f = readFileBytes(dir.file("d.mag"));
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 12), "ABCD");
    EXPECT_EQ(std::string(f.begin() + 13, f.begin() + 31), toShiftJis("一二三四五六七八九"));
    // An empty comment: the end mark at 31 and the header at 32.
    EXPECT_EQ(f[31], 0x1A);
    EXPECT_EQ(f[32], 0);
}

TEST(MagText, SavingALoadedFileKeepsItsNameAndComment) {
    TempDir dir;
    auto picture = smallPicture();
    MagFile first(dir.file("a.mag"));
    first.setFromImage(*picture);
    first.setUserName("山田太郎");
    first.replaceComment("注釈");
    ASSERT_EQ(first.saveTo(*picture, nullptr), status::Ok);

    std::string previous = dir.file("a.mag");
    for (const char* next : {"b.mag", "c.mag"}) {
        MagFile loaded(previous);
        ASSERT_EQ(loaded.readHeader(), status::Ok);
        MagFile again(dir.file(next));
        again.setFromImage(*picture);
        again.setFromDocument(loaded);
        ASSERT_EQ(again.saveTo(*picture, nullptr), status::Ok);
        const auto before = readFileBytes(previous);
        const auto after = readFileBytes(dir.file(next));
        EXPECT_EQ(std::string(after.begin(), after.begin() + 38),
                  std::string(before.begin(), before.begin() + 38))
            << next;
        previous = dir.file(next);
    }

    // A document of another format has no user name.
    GraphicFile bmp(dir.file("x.bmp"));
    MagFile fromBmp(dir.file("x.mag"));
    fromBmp.setUserName("誰か");
    fromBmp.setFromDocument(bmp);
    EXPECT_EQ(fromBmp.userName(), "（不明）");
    EXPECT_EQ(fromBmp.comment(), "");
}

TEST(MagText, MaskFilesAreOneCall) {
    TempDir dir;
    auto mask = CellImage::Create(5, 2, 8);
    mask->SetGreyPalette();
    mask->at(1, 0) = 0xFF;
    mask->at(4, 1) = 0x80;
    ASSERT_EQ(MagFile::Save(dir.file("pic.MSK"), *mask, "Celdo 用マスク"), status::Ok);
    MagFile reader(dir.file("pic.MSK"));
    ASSERT_EQ(reader.readHeader(), status::Ok);
    EXPECT_EQ(reader.comment(), "Celdo 用マスク");
    auto back = reader.readImage();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bitsPerPixel(), 8);
    EXPECT_TRUE(back->samePixels(*mask));
    EXPECT_EQ(back->paletteEntry(200), 200u * 0x010101u);
}

TEST(MagDialogs, LoadInformationShowsTheHeader) {
    TempDir dir;
    auto picture = smallPicture();
    MagFile writer(dir.file("info.mag"));
    writer.setFromImage(*picture);
    writer.replaceComment("こんにちは");
    ASSERT_EQ(writer.saveTo(*picture, nullptr), status::Ok);

    MagFile file(dir.file("info.mag"));
    ASSERT_EQ(file.readHeader(), status::Ok);
    ScriptedUi ui;
    ui.answerDialog("MagLoad", 2);
    EXPECT_EQ(file.showInfo(ui), 2);
    ASSERT_EQ(ui.tables.size(), 1u);
    const ControlTable& t = ui.tables[0];
    EXPECT_EQ(t.title, "Mag ファイル情報");
    EXPECT_EQ(t.text(200), "info.mag");
    EXPECT_EQ(t.text(201), "9 × 3 × 8 bit");
    EXPECT_EQ(t.text(202), "PCAT");
    EXPECT_EQ(t.text(203), " （不明）");
    EXPECT_EQ(t.text(204), "こんにちは");
    EXPECT_EQ(t.text(1), "&Load");
    EXPECT_EQ(t.text(2), "&Cancel");
}

TEST(MagDialogs, SaveOptionsSetTextsAndDepth) {
    TempDir dir;
    MagFile file(dir.file("opts.mag"));
    auto picture = smallPicture();
    file.setFromImage(*picture);
    ScriptedUi ui;
    ui.answerDialog("MagSave", [](ControlTable& t) {
        EXPECT_EQ(t.title, "MAG ファイルの保存");
        EXPECT_EQ(t.text(200), "opts.mag");
        EXPECT_EQ(t.text(240), " 種類 ");
        EXPECT_EQ(t.text(241), "16色");
        EXPECT_EQ(t.text(242), "256色");
        EXPECT_EQ(t.value(242), 1);
        EXPECT_EQ(t.text(1), "&Save");
        EXPECT_EQ(t.find(220)->maxChars, 18);
        EXPECT_EQ(t.find(221)->maxChars, 4);
        EXPECT_EQ(t.find(222)->maxChars, 1023);
        t.setText(220, "一二三四五六七八九十");
        t.setText(221, "MSX");
        t.setText(222, "");
        t.setValue(241, 1);
        return t.press(1);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 1);
    EXPECT_EQ(file.saveBits(), 4);
    EXPECT_EQ(file.userName(), "一二三四五六七八九");
    EXPECT_EQ(file.machineCode(), "MSX");

    ui.answerDialog("MagSave", [](ControlTable& t) {
        EXPECT_EQ(t.value(241), 1);
        t.setValue(242, 1);
        t.setText(220, "changed");
        return t.press(2);
    });
    EXPECT_EQ(file.askSaveOptions(ui), 2);
    EXPECT_EQ(file.saveBits(), 4);
    EXPECT_EQ(file.userName(), "一二三四五六七八九");
}

} // namespace
} // namespace celdo
