#include "app/StatusBarFont.h"
#include "app/Settings.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace celdo;
using celdo::test::TempDir;

TEST(StatusBarFont, NoneUntilAFaceIsStored) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_FALSE(StatusBarFont::read(settings));
    settings.writeInt("Font1:lfHeight", -12);
    EXPECT_FALSE(StatusBarFont::read(settings));
}

TEST(StatusBarFont, StoredAsALogicalFontRecord) {
    TempDir dir;
    const std::string path = dir.file("CELDO.INI");
    {
        Settings settings(path, "CELDOM");
        LogicalFont font;
        font.faceName = "IPAGothic";
        font.height = -13;
        font.weight = 700;
        font.underline = true;
        font.charSet = 128;
        font.outPrecision = 3;
        font.clipPrecision = 2;
        font.quality = 1;
        StatusBarFont::write(settings, font);
    }
    // Written through to the file: a fresh reader sees every field.
    Settings again(path, "CELDOM");
    EXPECT_EQ(again.readString("Font1:lfFaceName"), "IPAGothic");
    EXPECT_EQ(again.readInt("Font1:lfHeight", 0), -13);
    EXPECT_EQ(again.readInt("Font1:lfWeight", 0), 700);
    EXPECT_EQ(again.readInt("Font1:lfItalic", -1), 0);
    EXPECT_EQ(again.readInt("Font1:lfUnderline", -1), 1);
    EXPECT_EQ(again.readInt("Font1:lfStrikeOut", -1), 0);
    EXPECT_EQ(again.readInt("Font1:lfWidth", -1), 0);
    EXPECT_EQ(again.readInt("Font1:lfEscapement", -1), 0);
    EXPECT_EQ(again.readInt("Font1:lfCharSet", -1), 128);
    EXPECT_EQ(again.readInt("Font1:lfOutPrecision", -1), 3);
    EXPECT_EQ(again.readInt("Font1:lfClipPrecision", -1), 2);
    EXPECT_EQ(again.readInt("Font1:lfQuality", -1), 1);

    const auto read = StatusBarFont::read(again);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->faceName, "IPAGothic");
    EXPECT_EQ(read->height, -13);
    EXPECT_EQ(read->weight, 700);
    EXPECT_FALSE(read->italic);
    EXPECT_TRUE(read->underline);
    EXPECT_FALSE(read->strikeOut);
    EXPECT_EQ(read->charSet, 128);
    EXPECT_EQ(read->quality, 1);
}

TEST(StatusBarFont, MissingFieldsTakeTheirDefaults) {
    TempDir dir;
    Settings settings(dir.file("CELDO.INI"), "CELDOM");
    settings.writeString("Font1:lfFaceName", "Sans");
    const auto read = StatusBarFont::read(settings);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->height, 16);
    EXPECT_EQ(read->weight, 0);
    EXPECT_FALSE(read->italic);
    EXPECT_EQ(read->charSet, 0);
    EXPECT_EQ(read->outPrecision, 0);
}
