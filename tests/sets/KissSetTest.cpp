#include "sets/KissSet.h"

#include "SetFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace celdo {
namespace {

using test::cell8;
using test::eightColours;
using test::SetFolder;

TEST(KissSetLoad, FindsNamesInAnyCaseAndReadsSharedFilesOnce) {
    SetFolder folder;
    folder.put("PAL.KCF", eightColours());
    folder.put("jar3.CEL", cell8({{1, 2}}));
    folder.put("body.cel", cell8({{3}}, 3, -4));
    folder.put("set.cnf", "%pal.kcf\n#0 Jar3.cel\n#1 jar3.cel\n#2 sub\\BODY.cel\n"
                          "#3 ../x/body.CEL *0\n$0 0,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_TRUE(set->reports().empty());
    EXPECT_EQ(set->folder(), std::filesystem::path(folder.file("x")).parent_path().string() + "/");
    ASSERT_EQ(set->files().size(), 2u);
    EXPECT_EQ(set->fileOf(0), 0);
    EXPECT_EQ(set->fileOf(1), 0);
    EXPECT_EQ(set->fileOf(2), 1);
    EXPECT_EQ(set->fileOf(3), 1);
    EXPECT_EQ(set->fileOf(4), -1);
    EXPECT_EQ(set->files()[0].path, folder.file("jar3.CEL"));
    EXPECT_TRUE(set->files()[1].loaded);
    EXPECT_EQ(set->files()[1].kind, 2);
    EXPECT_EQ(set->files()[1].offsetX, 3);
    EXPECT_EQ(set->files()[1].offsetY, -4);
    EXPECT_EQ(set->fileIndex(folder.file("body.cel")), 1);
    EXPECT_EQ(set->fileIndex(folder.file("other.cel")), -1);
    EXPECT_EQ(set->resolve("SUB/JAR3.cel"), folder.file("jar3.CEL"));
    EXPECT_EQ(set->resolve("nothing.cel"), "");

    ASSERT_EQ(set->palettes().size(), 1u);
    const SetPaletteFile& palette = set->palettes()[0];
    EXPECT_EQ(palette.name, "pal.kcf");
    EXPECT_EQ(palette.path, folder.file("PAL.KCF"));
    EXPECT_TRUE(palette.loaded);
    EXPECT_EQ(palette.groupCount, 2);
    EXPECT_EQ(palette.coloursPerGroup, 8);
    EXPECT_EQ(palette.colours.group(1)[3], rgb(0, 0, 0x80));
}

TEST(KissSetLoad, ReportsMissingAndUnreadableFiles) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1}}));
    folder.put("bad.cel", test::kissHeader(0x20, 3, 1, 1));
    folder.put("set.cnf", "%pal.kcf\n%gone.kcf\n#0 a.cel\n#1 lost.cel\n#2 bad.cel\n"
                          "#3 a.cel *1\n#4 a.cel *7\n#5 LOST.cel\nwhat\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->reports(), (std::vector<std::string>{
                                  "「gone.kcf」が見つかりません", "「lost.cel」が見つかりません",
                                  "「bad.cel」を読めません", "「LOST.cel」が見つかりません",
                                  "「a.cel」はパレット 1 がないため表示しません",
                                  "「a.cel」はパレット 7 がないため表示しません",
                                  "9行目: 読めない行を飛ばしました"}));
    EXPECT_EQ(set->fileOf(1), -1);
    ASSERT_GE(set->fileOf(2), 0);
    EXPECT_FALSE(set->files()[static_cast<std::size_t>(set->fileOf(2))].loaded);
    EXPECT_EQ(set->pictureOf(set->fileOf(2)), nullptr);
    EXPECT_FALSE(set->palettes()[1].loaded);
    EXPECT_EQ(set->palettes()[1].path, "");
    EXPECT_EQ(set->coloursOf(1), nullptr);
    EXPECT_NE(set->coloursOf(0), nullptr);
}

TEST(KissSetLoad, ReportsNameShiftJisFilesAsText) {
    // "ドレス.cel" in Shift-JIS: 83 68 83 8C 83 58.
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("set.cnf", "%pal.kcf\n#0 \x83\x68\x83\x8C\x83\x58.cel\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->reports(), (std::vector<std::string>{"「ドレス.cel」が見つかりません"}));
    EXPECT_EQ(KissSet::nameText("\x83\x68\x83\x8C\x83\x58.cel"), "ドレス.cel");
}

TEST(KissSetLoad, RefusesMissingFoldersAndHugeFiles) {
    SetFolder folder;
    std::unique_ptr<KissSet> set;
    EXPECT_EQ(KissSet::Load(folder.file("none.cnf"), set), status::OpenError);
    EXPECT_FALSE(set);
    std::filesystem::create_directory(folder.file("dir.cnf"));
    EXPECT_EQ(KissSet::Load(folder.file("dir.cnf"), set), status::OpenError);
    folder.put("huge.cnf", std::string((1 << 20) + 1, ';'));
    EXPECT_EQ(KissSet::Load(folder.file("huge.cnf"), set), status::FormatError);
    EXPECT_FALSE(set);
    folder.put("full.cnf", std::string(1 << 20, ';'));
    EXPECT_EQ(KissSet::Load(folder.file("full.cnf"), set), status::Ok);
    EXPECT_TRUE(set);
}

TEST(KissSetSave, WritesTheMovedPositionOnly) {
    SetFolder folder;
    folder.put("set.cnf", "#0 a.cel\r\n$0 1,1 ; x\r\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    set->document().SetObjectPosition(0, 0, {4, 5});
    EXPECT_TRUE(set->document().modified());
    EXPECT_EQ(set->Save(), status::Ok);
    EXPECT_FALSE(set->document().modified());
    EXPECT_EQ(test::readFileBytes(folder.file("set.cnf")),
              test::text("#0 a.cel\r\n$0 4,5 ; x\r\n"));
}

TEST(KissSetBounds, CellsAndObjectsOnAPage) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1, 2}}, 1, 0));
    folder.put("b.cel", cell8({{3}}));
    folder.put("c.cel", cell8({{4}}));
    folder.put("set.cnf", "(6,3)\n%pal.kcf\n#0 a.cel\n#0 b.cel :1\n#1 c.cel\n#2 gone.cel\n"
                          "$0 2,1 0,0\n$1 0,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->cellBounds(0, 0), (Rect{3, 1, 5, 2}));
    EXPECT_TRUE(set->cellBounds(0, 1).empty());
    EXPECT_EQ(set->cellBounds(1, 1), (Rect{0, 0, 1, 1}));
    EXPECT_TRUE(set->cellBounds(0, 3).empty());
    EXPECT_EQ(set->objectBounds(0, 0), (Rect{3, 1, 5, 2}));
    EXPECT_EQ(set->objectBounds(1, 0), (Rect{0, 0, 3, 1}));
    EXPECT_TRUE(set->objectBounds(0, 2).empty());

    set->SetOffsets(set->fileOf(0), 0, 0);
    EXPECT_EQ(set->cellBounds(0, 0), (Rect{2, 1, 4, 2}));
}

TEST(KissSetBounds, ReloadReadsTheFileAgainAndKeepsItOnFailure) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1, 2}}));
    folder.put("set.cnf", "(6,3)\n%pal.kcf\n[7\n#0 a.cel\n$0 2,1\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    const int file = set->fileOf(0);
    folder.put("a.cel", cell8({{3, 3, 3}}, 0, 1));
    EXPECT_EQ(set->ReloadFile(file), status::Ok);
    EXPECT_EQ(set->cellBounds(0, 0), (Rect{2, 2, 5, 3}));
    EXPECT_EQ(test::drawnPage(*set, 0, test::eightLetters()),
              (std::vector<std::string>{"WWWWWW", "WWWWWW", "WWBBBW"}));
    folder.put("a.cel", test::text("KiSS"));
    EXPECT_NE(set->ReloadFile(file), status::Ok);
    EXPECT_EQ(set->cellBounds(0, 0), (Rect{2, 2, 5, 3}));
    EXPECT_EQ(set->ReloadFile(5), status::OpenError);
}

} // namespace
} // namespace celdo
