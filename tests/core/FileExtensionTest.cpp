#include "core/FileExtension.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(FileExtension, TextAfterTheLastDotInUpperCase) {
    EXPECT_EQ(FileExtension("doll.cel"), "CEL");
    EXPECT_EQ(FileExtension("doll.v2.cel"), "CEL");
    EXPECT_EQ(FileExtension("a.v2.bmp"), "BMP");
    EXPECT_EQ(FileExtension("/work/dolls/Doll.V2.Mag"), "MAG");
}

TEST(FileExtension, NoDotInTheNameGivesNone) {
    EXPECT_EQ(FileExtension("doll"), "");
    EXPECT_EQ(FileExtension("/work/a.b/file"), "");
    EXPECT_EQ(FileExtension("a.b/"), "");
    EXPECT_EQ(FileExtension(""), "");
}

TEST(FileExtension, DotPosition) {
    EXPECT_EQ(extensionDot("doll.v2.cel"), 7u);
    EXPECT_EQ(extensionDot("/w/a.b/x.y.z"), 10u);
    EXPECT_EQ(extensionDot("/w/a.b/file"), std::string::npos);
    // A hidden file's leading dot starts no extension.
    EXPECT_EQ(extensionDot("/tmp/.profile"), std::string::npos);
    EXPECT_EQ(FileExtension("/tmp/.profile"), "");
    EXPECT_EQ(FileExtension("trail."), "");
}
