#include "sets/SetPage.h"

#include "SetFixture.h"

#include <gtest/gtest.h>

namespace celdo {
namespace {

using test::cell32;
using test::cell8;
using test::drawnPage;
using test::eightColours;
using test::eightLetters;
using test::indexedCell;
using test::oldCell;
using test::palette24;
using test::renderPage;
using test::SetFolder;
using Picture = std::vector<std::string>;

// Three cells, two of them one object: a on top of b on top of c.
void writeLayeredSet(SetFolder& folder) {
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1, 1}, {1, 1}}));
    folder.put("b.cel", cell8({{3, 3, 3}, {3, 3, 3}}));
    folder.put("c.cel", cell8({{2, 2, 2, 2}, {2, 2, 2, 2}, {2, 2, 2, 0}}, 1, 1));
    folder.put("set.cnf", "(8,6)\n%pal.kcf\n[7\n#0 a.cel\n#1 b.cel\n#0 c.cel\n$0 1,1 2,2\n");
}

TEST(SetPageDrawing, EarlierCellLinesLieOnTop) {
    SetFolder folder;
    writeLayeredSet(folder);
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"WWWWWWWW", //
                                                           "WRRWWWWW", //
                                                           "WRRBBGWW", //
                                                           "WWBBBGWW", //
                                                           "WWGGGWWW", //
                                                           "WWWWWWWW"}));
}

TEST(SetPageDrawing, OnlyTheAreaInsideThePlayfieldIsWritten) {
    SetFolder folder;
    writeLayeredSet(folder);
    const auto set = folder.load();
    ASSERT_TRUE(set);
    std::vector<std::uint32_t> pixels(4 * 3, 0x12345678);
    RenderSetPage(*set, {0, false}, {-1, 1, 3, 4}, pixels.data(), 4);
    test::Legend legend = eightLetters();
    legend['-'] = 0x12345678;
    EXPECT_EQ(test::letters(pixels, 4, legend), (Picture{"-WRR", "-WRR", "-WWB"}));
}

TEST(SetPageDrawing, WideCellsClippedAtTheLeftEdge) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("wide.cel", cell8({{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 1, 0, 2, 0},
                                  {1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 5, 6, 6, 0}}));
    folder.put("back.cel", cell8({std::vector<int>(17, 4), std::vector<int>(17, 4)}));
    folder.put("set.cnf", "(17,2)\n%pal.kcf\n[7\n#0 wide.cel\n#1 back.cel\n$0 -2,0 0,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()),
              (Picture{"YYYYYYRGBYCMWRYGY", "GYBYYYYYYYYYYCMMY"}));
}

TEST(SetPageDrawing, SloppyConfigurationDrawsAsViewersReadIt) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("one.kcf", palette24(4, {{0x000000, 0x00FFFF, 0xFF00FF, 0xFFFF00}}));
    folder.put("a.cel", cell8({{1}}));
    folder.put("b.cel", cell8({{2}}));
    folder.put("c.cel", cell8({{1}}));
    folder.put("d.cel", cell8({{3}}));
    folder.put("e.cel", cell8({{4, 4, 4, 4, 4}, {4, 4, 4, 4, 4}}));
    folder.put("f.cel", cell8({{3, 3, 3, 3, 3}, {3, 3, 3, 3, 3}, {3, 3, 3, 3, 3}}));
    // A glued palette and page list, a digit run, `*11:`, a `:` remark,
    // `#59.` without an entry, commented-out cells (one behind a Shift-JIS
    // 0x85), a bare `[`, a continuation after a remark, an end mark.
    folder.put("set.cnf", "; \x83\x85 doll\r\n"
                          "(5,3)\n"
                          "%pal.kcf\r\n"
                          "%ONE.KCF\r\n"
                          "[\r\n"
                          "#0 a.cel*1:0 1\r\n"
                          "#1 b.cel :0123 ;\x83\x85#4 f.cel\r\n"
                          "#2 c.cel *11:\r\n"
                          "#3 d.cel :1 : not 0\r\n"
                          "#59. e.cel\r\n"
                          ";#4 f.cel\r\n"
                          "$0 0,0\r\n"
                          "\r\n"
                          "; the rest of page 0\r\n"
                          " 1,0 2,0 *\r\n"
                          "$0 1,1 * * 4,2\n"
                          "\x1A");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"CGYYY", "YYYYY", "KKKKK"}));
    EXPECT_EQ(drawnPage(*set, 1, eightLetters()), (Picture{"GYYYY", "YCYYY", "KKKKB"}));
}

TEST(SetPageDrawing, PageGroupsMissingGroupsAndIndicesPastTheColours) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    // One group of four colours: cyan, magenta, yellow after index 0.
    folder.put("one.kcf", palette24(4, {{0x000000, 0x00FFFF, 0xFF00FF, 0xFFFF00}}));
    folder.put("x.cel", cell8({{1, 2, 3}, {9, 4, 0}}));
    folder.put("y.cel", cell8({{1, 2, 3}, {4, 5, 1}}));
    folder.put("set.cnf", "(6,2)\n%pal.kcf\n%one.kcf\n[7\n#0 x.cel\n#1 y.cel *1\n"
                          "$0 0,0 3,0\n$1 0,0 3,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"RGBCMY", "KYWKKC"}));
    // Group 1: pal.kcf's dark colours; one.kcf has no group 1 and draws group
    // 0; the border stays group 0's white.
    EXPECT_EQ(drawnPage(*set, 1, eightLetters()), (Picture{"rgbCMY", "KyWKKC"}));
}

TEST(SetPageDrawing, OldAndSixteenColourCellsWithOffsets) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("old.cel", oldCell({{1, 0, 2}, {3, 3, 3}}));
    folder.put("four.cel", indexedCell(4, 1, 1, {{4, 5}, {0, 6}}));
    // Object 0 has `*` on the page and stands at 0,0.
    folder.put("set.cnf", "(6,3)\n%pal.kcf\n[7\n#0 old.cel\n#1 four.cel\n$0 * 3,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"RWGWWW", "BBBWYC", "WWWWWM"}));
}

TEST(SetPageDrawing, TransparencyTagsAndTrueColourAlpha) {
    SetFolder folder;
    folder.put("mono.kcf", palette24(2, {{0x000000, 0xFFFFFF}}));
    folder.put("t.cel", cell8({{1, 1}}));
    folder.put("u.cel", cell32({{0xFF102030, 0x00FFFFFF, 0x80FF0000}}));
    folder.put("v.cel", cell32({{0xFFFFFFFF, 0x66FFFFFF}}));
    folder.put("w.cel", cell8({{1}}));
    folder.put("set.cnf", "(4,3)\n%mono.kcf\n"
                          "#0 t.cel ;%t51\n"
                          "#1 u.cel\n"
                          "#2 v.cel ;%t128\n"
                          "#3 w.cel ; %t255\n"
                          "$0 0,0 0,1 0,2 3,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    // White over black: alpha 204 gives 204; alpha 128 of pure red gives 128;
    // 255 scaled by 127 gives 127, and 102 by 127 gives 51.
    EXPECT_EQ(renderPage(*set, 0),
              (std::vector<std::uint32_t>{0xFFCCCCCC, 0xFFCCCCCC, 0xFF000000, 0xFF000000, //
                                          0xFF102030, 0xFF000000, 0xFF800000, 0xFF000000, //
                                          0xFF7F7F7F, 0xFF333333, 0xFF000000, 0xFF000000}));
}

TEST(SetPageDrawing, CellsWithoutTheirPaletteOrFileAreNotDrawn) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1, 1}, {1, 1}}));
    folder.put("b.cel", cell8({{2, 2}, {2, 2}}));
    folder.put("c.cel", cell8({{3}}));
    folder.put("set.cnf", "(4,2)\n%pal.kcf\n%gone.kcf\n[7\n"
                          "#0 a.cel *1\n#1 b.cel *5\n#2 missing.cel\n#3 c.cel :0 2\n"
                          "$0 0,0 0,0 0,0 3,1\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"WWWW", "WWWB"}));
    // Page 2 has no `$` line: every object stands at 0,0.
    EXPECT_EQ(drawnPage(*set, 2, eightLetters()), (Picture{"BWWW", "WWWW"}));
}

TEST(SetPageDrawing, NoBorderColourWithoutPaletteZero) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("set.cnf", "(2,1)\n%gone.kcf\n%pal.kcf\n[7\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"KK"}));
}

// A title over the whole playfield that the script takes away.
void writeTitledSet(SetFolder& folder) {
    folder.put("pal.kcf", eightColours());
    folder.put("title.cel", cell8({{1, 1, 1}}));
    folder.put("a.cel", cell8({{2}}));
    folder.put("set.cnf", "(3,1)\n%pal.kcf\n[7\n#0 title.cel\n#1 a.cel\n"
                          ";@EventHandler\n;@initialize()\n;@ unmap(#0)\n$0 0,0 1,0\n");
}

TEST(SetPageDrawing, InitialScriptUnmapsCells) {
    SetFolder folder;
    writeTitledSet(folder);
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"RRR"}));
    EXPECT_EQ(drawnPage(*set, 0, eightLetters(), true), (Picture{"WGW"}));
}

TEST(SetPageDrawing, AttachedPicturesAndPalettesAreDrawn) {
    SetFolder folder;
    folder.put("pal.kcf", eightColours());
    folder.put("a.cel", cell8({{1, 2}}));
    folder.put("c.cel", cell8({{4}}));
    folder.put("set.cnf", "(3,1)\n%pal.kcf\n[7\n#0 a.cel\n#1 c.cel\n$0 0,0 2,0\n");
    const auto set = folder.load();
    ASSERT_TRUE(set);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"RGY"}));

    auto picture = CellImage::Create(2, 1, 8);
    picture->at(0, 0) = 3;
    picture->at(1, 0) = 9;
    PaletteSet colours;
    colours.group(0)[3] = rgb(0, 0, 255);
    colours.group(0)[4] = rgb(255, 255, 255);
    colours.group(0)[9] = rgb(255, 255, 255);
    set->AttachPicture(set->fileOf(0), picture.get(), nullptr);
    set->AttachPalette(0, &colours);
    // The file has eight colours a group: index 9 stays black.
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"BKW"}));
    set->AttachPicture(set->fileOf(0), nullptr, nullptr);
    set->AttachPalette(0, nullptr);
    EXPECT_EQ(drawnPage(*set, 0, eightLetters()), (Picture{"RGY"}));
}

TEST(SetPageHit, FirstCoveringCellLineWins) {
    SetFolder folder;
    writeLayeredSet(folder);
    const auto set = folder.load();
    ASSERT_TRUE(set);
    Point inside;
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {1, 1}, &inside), 0);
    EXPECT_EQ(inside, (Point{0, 0}));
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {2, 2}, &inside), 0);
    EXPECT_EQ(inside, (Point{1, 1}));
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {3, 2}, &inside), 1);
    EXPECT_EQ(inside, (Point{1, 0}));
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {5, 3}, &inside), 2);
    EXPECT_EQ(inside, (Point{3, 1}));
    // c's index 0 there, and nothing at all further out.
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {5, 4}, &inside), -1);
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {0, 0}, nullptr), -1);
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {7, 5}, nullptr), -1);
}

TEST(SetPageHit, UnmappedAndTransparentPixelsAreNotHit) {
    SetFolder titled;
    writeTitledSet(titled);
    const auto set = titled.load();
    ASSERT_TRUE(set);
    Point inside;
    EXPECT_EQ(cellUnderPoint(*set, {0, false}, {1, 0}, &inside), 0);
    EXPECT_EQ(cellUnderPoint(*set, {0, true}, {1, 0}, &inside), 1);
    EXPECT_EQ(inside, (Point{0, 0}));
    EXPECT_EQ(cellUnderPoint(*set, {0, true}, {0, 0}, &inside), -1);

    SetFolder folder;
    folder.put("mono.kcf", palette24(2, {{0x000000, 0xFFFFFF}}));
    folder.put("u.cel", cell32({{0xFF102030, 0x00FFFFFF, 0x80FF0000}}));
    folder.put("w.cel", cell8({{1}}));
    folder.put("set.cnf", "(4,1)\n%mono.kcf\n#0 w.cel ;%t255\n#1 u.cel\n$0 1,0 0,0\n");
    const auto alpha = folder.load();
    ASSERT_TRUE(alpha);
    EXPECT_EQ(cellUnderPoint(*alpha, {0, false}, {0, 0}, nullptr), 1);
    EXPECT_EQ(cellUnderPoint(*alpha, {0, false}, {1, 0}, nullptr), -1);
    EXPECT_EQ(cellUnderPoint(*alpha, {0, false}, {2, 0}, &inside), 1);
    EXPECT_EQ(inside, (Point{2, 0}));
}

} // namespace
} // namespace celdo
