#include "sets/CnfDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace celdo {
namespace {

using std::string_literals::operator""s;

std::vector<int> objectsOf(const CnfDocument& document) {
    std::vector<int> objects;
    for (const CnfCell& cell : document.cells())
        objects.push_back(cell.object);
    return objects;
}

TEST(CnfLines, FirstCharacterDecidesTheLine) {
    const CnfDocument document = CnfDocument::Parse("; a doll\r\n"
                                                    "(320,200)\r\n"
                                                    "%doll.kcf   ; colours\r\n"
                                                    "%Extra.KCF\r\n"
                                                    "[5\r\n"
                                                    "#1.3 eye.cel *1 :0 2 ;eyes\r\n"
                                                    "\t  #0 body.cel\r\n"
                                                    "=800K\r\n"
                                                    "$2 10,20 *\r\n"
                                                    "junk here\r\n"
                                                    "\r\n"
                                                    "  \t\r\n"
                                                    ";#44 beta.cel\r\n"
                                                    "@what\r\n");
    EXPECT_EQ(document.width(), 320);
    EXPECT_EQ(document.height(), 200);
    EXPECT_EQ(document.paletteFiles(), (std::vector<std::string>{"doll.kcf", "Extra.KCF"}));
    EXPECT_EQ(document.borderColour(), 5);
    ASSERT_EQ(document.cells().size(), 2u);
    const CnfCell& eye = document.cells()[0];
    EXPECT_EQ(eye.object, 1);
    EXPECT_EQ(eye.fix, 3);
    EXPECT_EQ(eye.file, "eye.cel");
    EXPECT_EQ(eye.paletteFile, 1);
    EXPECT_EQ(eye.pages, 0b101);
    EXPECT_EQ(eye.line, 5u);
    const CnfCell& body = document.cells()[1];
    EXPECT_EQ(body.object, 0);
    EXPECT_EQ(body.file, "body.cel");
    EXPECT_EQ(body.paletteFile, 0);
    EXPECT_EQ(body.pages, 0x3FF);
    EXPECT_EQ(body.line, 6u);
    EXPECT_EQ(document.pageGroup(0), 2);
    EXPECT_EQ(document.objectPosition(0, 0), (Point{10, 20}));
    EXPECT_FALSE(document.objectPlaced(0, 1));
    ASSERT_EQ(document.warnings().size(), 2u);
    EXPECT_EQ(document.warnings()[0].line, 9u);
    EXPECT_EQ(document.warnings()[0].text, "10行目: 読めない行を飛ばしました");
    EXPECT_EQ(document.warnings()[1].line, 13u);
    EXPECT_EQ(document.warnings()[1].text, "14行目: 読めない行を飛ばしました");
}

TEST(CnfLines, DefaultsWithoutSizeAndWithABareBorder) {
    const CnfDocument bare = CnfDocument::Parse("#0 a.cel\n[\n");
    EXPECT_EQ(bare.width(), 640);
    EXPECT_EQ(bare.height(), 400);
    EXPECT_EQ(bare.borderColour(), 0);
    EXPECT_TRUE(bare.warnings().empty());
    EXPECT_EQ(CnfDocument::Parse("[ 12 ;far\n").borderColour(), 12);
    EXPECT_EQ(CnfDocument::Parse("#0 a.cel\n").borderColour(), 0);
}

TEST(CnfLines, EndingsShiftJisAndEndOfFileMark) {
    // CRLF, LF and a lone CR; 0x85 after a Shift-JIS lead byte is a trail
    // byte, never a line end, so the text after it stays in the comment.
    const std::string bytes = "#0 a.cel\r\n"
                              "#1 b.cel\n"
                              "#2 c.cel\r"
                              "#3 d.cel ;\x83\x85#9 z.cel\r\n"
                              ";\x81\x85#8 y.cel\n"
                              "$0 1,2 3,4 5,6 7,8\r\n"
                              "\x1A"
                              "#7 after.cel\r\n"s;
    const CnfDocument document = CnfDocument::Parse(bytes);
    EXPECT_EQ(objectsOf(document), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(document.cells()[2].line, 2u);
    EXPECT_EQ(document.cells()[3].line, 3u);
    EXPECT_EQ(document.objectPosition(0, 3), (Point{7, 8}));
    EXPECT_TRUE(document.warnings().empty());
    EXPECT_EQ(document.bytes(), bytes);
}

TEST(CnfCellLines, GluedFieldsPaletteAndPageLists) {
    const CnfDocument document = CnfDocument::Parse("#1 a.cel*2:0 1\n"
                                                    "#2.5 b.CEL:3\n"
                                                    "#3 c.cel *11:\n"
                                                    "#59. d.cel\n"
                                                    "#004 e.cel ;%t128 %u3\n"
                                                    "#5 f.cel :\n"
                                                    "#6 g.cel :0123\n"
                                                    "#7 h.cel :2 : old note 3\n"
                                                    "#8 i.cel :1 *1\n"
                                                    "#9 j.cel;note :5\n"
                                                    "#10 k\x83\x5C.cel * 1\n"
                                                    "#11 sub\\l.cel :9 8\n"
                                                    "#12\n");
    const std::vector<CnfCell>& cells = document.cells();
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_EQ(objectsOf(document), (std::vector<int>{1, 2, 3, 59, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(cells[0].file, "a.cel");
    EXPECT_EQ(cells[0].paletteFile, 2);
    EXPECT_EQ(cells[0].pages, 0b11);
    EXPECT_EQ(cells[1].file, "b.CEL");
    EXPECT_EQ(cells[1].fix, 5);
    EXPECT_EQ(cells[1].pages, 0b1000);
    EXPECT_EQ(cells[2].paletteFile, 11);
    EXPECT_EQ(cells[2].pages, 0);
    EXPECT_EQ(cells[3].fix, 0);
    EXPECT_EQ(cells[3].pages, 0x3FF);
    EXPECT_EQ(cells[4].transparency, 128);
    EXPECT_EQ(cells[4].pages, 0x3FF);
    EXPECT_EQ(cells[5].pages, 0);
    EXPECT_EQ(cells[6].pages, 0b1111);
    EXPECT_EQ(cells[7].pages, 0b100);
    EXPECT_EQ(cells[8].pages, 0b10);
    EXPECT_EQ(cells[8].paletteFile, 1);
    EXPECT_EQ(cells[9].file, "j.cel");
    EXPECT_EQ(cells[9].pages, 0x3FF);
    EXPECT_EQ(cells[10].file, "k\x83\x5C.cel");
    EXPECT_EQ(cells[10].paletteFile, 1);
    EXPECT_EQ(cells[11].file, "sub\\l.cel");
    EXPECT_EQ(cells[11].pages, 0b1100000000);
    EXPECT_FALSE(cells[11].shownOn(0));
    EXPECT_TRUE(cells[11].shownOn(9));
    ASSERT_EQ(document.warnings().size(), 1u);
    EXPECT_EQ(document.warnings()[0].line, 12u);
}

TEST(CnfCellLines, ObjectsAndTheirFix) {
    const CnfDocument document =
        CnfDocument::Parse("#1.3 a.cel\n#1.7 b.cel\n#1 c.cel\n#2 d.cel\n#0.4 e.cel\n");
    EXPECT_EQ(document.objectCount(), 3);
    EXPECT_EQ(document.objectFix(1), 7);
    EXPECT_EQ(document.objectFix(2), 0);
    EXPECT_EQ(document.objectFix(0), 4);
    EXPECT_EQ(document.objectFix(5), 0);
}

TEST(CnfPages, EntriesContinuationsAndMissingPages) {
    const CnfDocument document = CnfDocument::Parse("#0 a.cel\n"
                                                    "#1 b.cel :0 3\n"
                                                    "#2 c.cel\n"
                                                    "#3 d.cel :4\n"
                                                    "#4 e.cel\n"
                                                    "#5 f.cel\n"
                                                    "$1 10,20 *\n"
                                                    "; between\n"
                                                    "\n"
                                                    "  5,-6\n"
                                                    "* 7 , 8\n"
                                                    "$0 *\n"
                                                    "=x\n"
                                                    "1,1\n"
                                                    "$3 -1,-2\n");
    EXPECT_EQ(document.pageGroup(0), 1);
    EXPECT_EQ(document.objectPosition(0, 0), (Point{10, 20}));
    EXPECT_FALSE(document.objectPlaced(0, 1));
    EXPECT_EQ(document.objectPosition(0, 1), (Point{0, 0}));
    EXPECT_EQ(document.objectPosition(0, 2), (Point{5, -6}));
    EXPECT_FALSE(document.objectPlaced(0, 3));
    EXPECT_EQ(document.objectPosition(0, 4), (Point{7, 8}));
    EXPECT_FALSE(document.objectPlaced(0, 5));
    EXPECT_EQ(document.objectPosition(0, 5), (Point{0, 0}));

    EXPECT_EQ(document.pageGroup(1), 0);
    EXPECT_FALSE(document.objectPlaced(1, 0));
    // The continuation only follows a page line: "1,1" after "=x" is not one.
    EXPECT_FALSE(document.objectPlaced(1, 1));
    ASSERT_EQ(document.warnings().size(), 1u);
    EXPECT_EQ(document.warnings()[0].line, 13u);

    EXPECT_EQ(document.pageGroup(2), 3);
    EXPECT_EQ(document.objectPosition(2, 0), (Point{-1, -2}));
    // Page 3 and 4 have no `$` line but cells name them.
    EXPECT_TRUE(document.pageExists(3));
    EXPECT_TRUE(document.pageExists(4));
    EXPECT_FALSE(document.pageExists(5));
    EXPECT_EQ(document.pageGroup(3), 0);
    EXPECT_EQ(document.objectPosition(3, 0), (Point{0, 0}));
    EXPECT_FALSE(document.objectPlaced(3, 0));
}

TEST(CnfPages, PagesPastTheTenthAreDropped) {
    std::string bytes = "#0 a.cel\n";
    for (int page = 0; page < 11; ++page)
        bytes += "$" + std::to_string(page) + " " + std::to_string(page) + ",0\n";
    bytes += " 4,4\n";
    const CnfDocument document = CnfDocument::Parse(bytes);
    EXPECT_TRUE(document.pageExists(9));
    EXPECT_EQ(document.objectPosition(9, 0), (Point{9, 0}));
    EXPECT_EQ(document.pageGroup(9), 9);
    EXPECT_FALSE(document.pageExists(10));
    ASSERT_EQ(document.warnings().size(), 1u);
    EXPECT_EQ(document.warnings()[0].text, "12行目: 11 番目からのページは無視しました");
}

TEST(CnfScript, InitializeUnmapsByObjectAndByName) {
    const CnfDocument document = CnfDocument::Parse("#0 title.cel\n"
                                                    "#1 eye.cel\n"
                                                    "#1 eye2.cel\n"
                                                    "#2 Mouth.CEL\n"
                                                    "#3 hand.cel\n"
                                                    "#4 ear.cel\n"
                                                    "#5 nose.cel\n"
                                                    ";@EventHandler\n"
                                                    ";@initialize() unmap(#1)\n"
                                                    ";@  unmap(\"MOUTH.cel\") ; hides it\n"
                                                    ";@ map(#3) timer(1,10)\n"
                                                    "; unmap(#5) is a plain remark\n"
                                                    ";@press(#0)\n"
                                                    ";@ unmap(#4) unmap(\"hand.cel\")\n"
                                                    ";@alarm(1) unmap(#0)\n");
    EXPECT_EQ(document.initiallyUnmapped(),
              (std::vector<bool>{false, true, true, true, false, false, false}));
    EXPECT_TRUE(document.warnings().empty());
}

TEST(CnfScript, NoScriptUnmapsNothing) {
    EXPECT_EQ(CnfDocument::Parse("#0 a.cel\n#1 b.cel\n").initiallyUnmapped(),
              (std::vector<bool>{false, false}));
}

// A file as real sets write them: every odd thing at once.
const std::string MessyFile = "; \x83\x5A\x83\x62\x83\x67 doll set   \t\t  ; made 1996\r\n"
                              "=800K\r\n"
                              "(448,320)\r\n"
                              "%DOLL.KCF\r\n"
                              "\t%extra.kcf      ;  second\n"
                              "[\r\n"
                              "#0.12  body.cel   *0 :0 1 2      ;%t0 %u1 body\r\n"
                              "#59.   Jar3.cel*11:\r\n"
                              "  #1 eye.cel :0 : eyes open\r\n"
                              ";#44 beta.cel\r\n"
                              "#2 jar3.cel *1 ;\x81\x85\x82\xA0\r\n"
                              ";@EventHandler\r\n"
                              ";@initialize()\r\n"
                              ";@ unmap(#2)\r\n"
                              "$0 110,31 *  -7,356\r\n"
                              "  0,0\t\t ; padded\r\n"
                              "$1 *\r\n"
                              "$0 *\r"
                              "garbage\n"
                              "\x1A"s;

TEST(CnfRoundTrip, MessyFileKeepsEveryByte) {
    CnfDocument document = CnfDocument::Parse(MessyFile);
    EXPECT_EQ(document.bytes(), MessyFile);
    EXPECT_FALSE(document.modified());
    // Moving an object to where it is changes nothing.
    document.SetObjectPosition(0, 0, {110, 31});
    EXPECT_EQ(document.bytes(), MessyFile);
    EXPECT_FALSE(document.modified());
    EXPECT_EQ(document.width(), 448);
    EXPECT_EQ(document.cells().size(), 4u);
    EXPECT_EQ(document.objectPosition(0, 2), (Point{-7, 356}));
    EXPECT_EQ(document.objectPosition(0, 3), (Point{0, 0}));
    EXPECT_TRUE(document.objectPlaced(0, 3));
}

TEST(CnfMove, OnlyTheMovedEntriesChange) {
    CnfDocument document = CnfDocument::Parse("#0 a.cel\r\n"
                                              "#1 b.cel\r\n"
                                              "#2 c.cel\r\n"
                                              "#3 d.cel\r\n"
                                              "$0 10,20   *\t-7,356   ; far comment\r\n"
                                              "  3,4\r\n"
                                              "$1 * 5,5 ;c\r\n"
                                              "\x1A"s);
    document.SetObjectPosition(0, 1, {100, -2});
    document.SetObjectPosition(0, 3, {-1, 0});
    document.SetObjectPosition(0, 2, {7, 8});
    document.SetObjectPosition(1, 0, {5, 5});
    EXPECT_EQ(document.bytes(), "#0 a.cel\r\n"
                                "#1 b.cel\r\n"
                                "#2 c.cel\r\n"
                                "#3 d.cel\r\n"
                                "$0 10,20   100,-2\t7,8 -1,0   ; far comment\r\n"
                                "  \r\n"
                                "$1 5,5 5,5 ;c\r\n"
                                "\x1A"s);
    EXPECT_TRUE(document.modified());
    // A line starting "-1,0" would not continue the list: the place joined
    // the line before, and reads back where it was put.
    EXPECT_EQ(CnfDocument::Parse(document.bytes()).objectPosition(0, 3), (Point{-1, 0}));
    EXPECT_EQ(document.objectPosition(0, 1), (Point{100, -2}));
    EXPECT_EQ(document.objectPosition(0, 2), (Point{7, 8}));
    EXPECT_EQ(document.objectPosition(1, 0), (Point{5, 5}));
    document.MarkSaved();
    EXPECT_FALSE(document.modified());
}

TEST(CnfMove, AppendsEntriesThePageLacks) {
    CnfDocument document = CnfDocument::Parse("#0 a.cel\n"
                                              "#1 b.cel\n"
                                              "#2 c.cel\n"
                                              "#3 d.cel\n"
                                              "$0 1,1\n"
                                              " 2,2 ; second line\n"
                                              "$1\n");
    document.SetObjectPosition(0, 3, {9, 9});
    document.SetObjectPosition(1, 1, {4, -4});
    // The appended entries are entries like any other.
    document.SetObjectPosition(1, 0, {3, 3});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n"
                                "#1 b.cel\n"
                                "#2 c.cel\n"
                                "#3 d.cel\n"
                                "$0 1,1\n"
                                " 2,2 0,0 9,9 ; second line\n"
                                "$1 3,3 4,-4\n");
    EXPECT_EQ(document.objectPosition(0, 3), (Point{9, 9}));
    EXPECT_EQ(document.objectPosition(1, 1), (Point{4, -4}));
}

TEST(CnfMove, APlaceNeverRunsIntoTextGluedToTheEntry) {
    // "*3" reads as "*" followed by a word that ends the list: what is
    // written before the word keeps a blank from it.
    const std::string text = "#0 a.cel\n#1 b.cel\n#2 c.cel\n$0 *3 1,4\n";
    CnfDocument replaced = CnfDocument::Parse(text);
    replaced.SetObjectPosition(0, 0, {5, 6});
    EXPECT_EQ(replaced.bytes(), "#0 a.cel\n#1 b.cel\n#2 c.cel\n$0 5,6 3 1,4\n");
    EXPECT_EQ(CnfDocument::Parse(replaced.bytes()).objectPosition(0, 0), (Point{5, 6}));

    CnfDocument appended = CnfDocument::Parse(text);
    appended.SetObjectPosition(0, 2, {7, 8});
    EXPECT_EQ(appended.bytes(), "#0 a.cel\n#1 b.cel\n#2 c.cel\n$0 * 0,0 7,8 3 1,4\n");
    const CnfDocument again = CnfDocument::Parse(appended.bytes());
    EXPECT_EQ(again.objectPosition(0, 2), (Point{7, 8}));
    EXPECT_FALSE(again.objectPlaced(0, 0));
}

TEST(CnfMove, APlaceNextToTheGroupKeepsABlankFromIt) {
    CnfDocument document = CnfDocument::Parse("#0 a.cel\n#1 b.cel\n$*0\n$1*\n");
    document.SetObjectPosition(0, 0, {11, 12});
    document.SetObjectPosition(1, 0, {13, 14});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n#1 b.cel\n$ 11,12 0\n$1 13,14\n");
    const CnfDocument again = CnfDocument::Parse(document.bytes());
    EXPECT_EQ(again.pageGroup(0), 0);
    EXPECT_EQ(again.pageGroup(1), 1);
    EXPECT_EQ(again.objectPosition(0, 0), (Point{11, 12}));
    EXPECT_EQ(again.objectPosition(1, 0), (Point{13, 14}));
}

TEST(CnfMove, ANegativePlaceThatWouldStartALineTakesTheLineAlong) {
    CnfDocument document = CnfDocument::Parse("#0 a.cel\n#1 b.cel\n#2 c.cel\n#3 d.cel\n"
                                              "$0\n 1,1 -2,-2 3,3 ; c\n");
    document.SetObjectPosition(0, 0, {-5, 5});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n#1 b.cel\n#2 c.cel\n#3 d.cel\n"
                                "$0 -5,5 -2,-2 3,3 ; c\n \n");
    document.SetObjectPosition(0, 3, {9, 9});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n#1 b.cel\n#2 c.cel\n#3 d.cel\n"
                                "$0 -5,5 -2,-2 3,3 9,9 ; c\n \n");
    const CnfDocument again = CnfDocument::Parse(document.bytes());
    EXPECT_EQ(again.objectPosition(0, 0), (Point{-5, 5}));
    EXPECT_EQ(again.objectPosition(0, 1), (Point{-2, -2}));
    EXPECT_EQ(again.objectPosition(0, 2), (Point{3, 3}));
    EXPECT_EQ(again.objectPosition(0, 3), (Point{9, 9}));
}

TEST(CnfMove, WordsAfterAPlaceGoAlongWithIt) {
    // The continuation line's word ends its list; the line after the remark
    // goes on with it.  After the move both still read as before.
    CnfDocument document = CnfDocument::Parse("#0 a.cel\n#1 b.cel\n#2 c.cel\n"
                                              "$0 1,1(x\n 2,2 junk\n; remark\n 3,3\n");
    document.SetObjectPosition(0, 1, {-4, 4});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n#1 b.cel\n#2 c.cel\n"
                                "$0 1,1 -4,4 junk ;(x\n \n; remark\n 3,3\n");
    const CnfDocument again = CnfDocument::Parse(document.bytes());
    EXPECT_EQ(again.objectPosition(0, 0), (Point{1, 1}));
    EXPECT_EQ(again.objectPosition(0, 1), (Point{-4, 4}));
    EXPECT_EQ(again.objectPosition(0, 2), (Point{3, 3}));
}

TEST(CnfMove, JoinedTextNeverMakesANewPlaceOfWhatWasNotOne) {
    // "133" and "00," are read as nothing; side by side they would read as
    // a place.
    CnfDocument document = CnfDocument::Parse("#0 a.cel\n#1 b.cel\n$1 133\n * 00,\n");
    document.SetObjectPosition(0, 0, {-4, -3});
    EXPECT_EQ(document.bytes(), "#0 a.cel\n#1 b.cel\n$1 -4,-3 00, ; 133\n \n");
    const CnfDocument again = CnfDocument::Parse(document.bytes());
    EXPECT_EQ(again.objectPosition(0, 0), (Point{-4, -3}));
    EXPECT_FALSE(again.objectPlaced(0, 1));
}

TEST(CnfMove, AddsPageLinesAfterTheLastPage) {
    CnfDocument document = CnfDocument::Parse("#0 a.cel :0 1 2 3\r\n"
                                              "#1 b.cel\r\n"
                                              "$0 1,1\r\n"
                                              " 2,2\r\n"
                                              "; after\r\n"
                                              "\x1A"s);
    document.SetObjectPosition(3, 1, {6, 7});
    document.SetObjectPosition(2, 0, {1, 2});
    EXPECT_EQ(document.bytes(), "#0 a.cel :0 1 2 3\r\n"
                                "#1 b.cel\r\n"
                                "$0 1,1\r\n"
                                " 2,2\r\n"
                                "$0\r\n"
                                "$0 1,2\r\n"
                                "$0 0,0 6,7\r\n"
                                "; after\r\n"
                                "\x1A"s);
    EXPECT_EQ(document.objectPosition(3, 1), (Point{6, 7}));
    EXPECT_EQ(document.objectPosition(2, 0), (Point{1, 2}));
    EXPECT_EQ(document.cells()[1].line, 1u);
}

TEST(CnfMove, AddsPageLinesAtTheEnd) {
    CnfDocument unterminated = CnfDocument::Parse("#0 a.cel\n#1 b.cel");
    unterminated.SetObjectPosition(0, 0, {3, 4});
    EXPECT_EQ(unterminated.bytes(), "#0 a.cel\n#1 b.cel\n$0 3,4");

    CnfDocument marked = CnfDocument::Parse("#0 a.cel\r\n\x1A"s);
    marked.SetObjectPosition(1, 0, {2, 2});
    EXPECT_EQ(marked.bytes(), "#0 a.cel\r\n$0\r\n$0 2,2\r\n\x1A"s);
    EXPECT_TRUE(marked.pageExists(1));
}

} // namespace
} // namespace celdo
