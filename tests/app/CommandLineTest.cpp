#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace celdo;
using Kind = CommandWord::Kind;

TEST(CommandLine, EachArgumentIsOneWord) {
    const char* argv[] = {
        "celdom",   "/home/a-b/my picture.cel", "-x", "/cb", "SET.kcf", "", "/tmp/pal.KCF", "noext",
        "a.tar.kcf"};
    const auto words = ParseCommandLine(9, argv);
    ASSERT_EQ(words.size(), 7u);
    EXPECT_EQ(words[0].kind, Kind::Image);
    EXPECT_EQ(words[0].text, "/home/a-b/my picture.cel");
    EXPECT_EQ(words[1].kind, Kind::Option);
    EXPECT_EQ(words[2].kind, Kind::Option);
    EXPECT_TRUE(IsClipboardOption(words[2]));
    EXPECT_FALSE(IsClipboardOption(words[1]));
    EXPECT_EQ(words[3].kind, Kind::Palette);
    EXPECT_EQ(words[3].text, (std::filesystem::current_path() / "SET.kcf").string());
    EXPECT_EQ(words[4].kind, Kind::Palette);
    EXPECT_EQ(words[5].kind, Kind::Image);
    // The last dot decides: KCF.
    EXPECT_EQ(words[6].kind, Kind::Palette);
    EXPECT_EQ(ClassifyWord("set.kcf.cel").kind, Kind::Image);
    EXPECT_EQ(ClassifyWord("/x.kcf/set").kind, Kind::Image);
    EXPECT_EQ(ClassifyWord("/sets/doll.CNF").kind, Kind::Set);
    EXPECT_EQ(ClassifyWord("doll.cnf.bak").kind, Kind::Image);
}

TEST(CommandLine, SetsOpenInTheSingleDocumentInstanceItself) {
    const auto plan = PlanSingleDocument(ParseWords({"a.cnf", "b.cel", "c.CNF"}));
    EXPECT_EQ(plan.sets, (std::vector<std::string>{"a.cnf", "c.CNF"}));
    EXPECT_EQ(plan.firstImage, "b.cel");
    EXPECT_TRUE(plan.instances.empty());
}

TEST(CommandLine, SlashWordsOtherThanCbAreFiles) {
    EXPECT_EQ(ClassifyWord("/CB").kind, Kind::Option);
    EXPECT_EQ(ClassifyWord("/Cb").kind, Kind::Option);
    EXPECT_EQ(ClassifyWord("/cbx").kind, Kind::Image);
    EXPECT_EQ(ClassifyWord("/c").kind, Kind::Image);
    EXPECT_TRUE(IsClipboardOption(ClassifyWord("-cB")));
    EXPECT_FALSE(IsClipboardOption(ClassifyWord("-cbx")));
}

TEST(CommandLine, Extension) {
    EXPECT_EQ(FileExtension("/x.y/PICTURE.cel"), "CEL");
    EXPECT_EQ(FileExtension("PICTURE.TAR.CEL"), "CEL");
    EXPECT_EQ(FileExtension("/dir.d/PICTURE"), "");
}

TEST(CommandLine, SingleDocumentPlan) {
    const auto words = ParseWords({"a.cel", "first.kcf", "b.bmp", "c.CEL", "second.kcf", "/CB"});
    const auto plan = PlanSingleDocument(words);
    EXPECT_EQ(plan.firstImage, "a.cel");
    EXPECT_EQ(plan.palette, "first.kcf");
    ASSERT_EQ(plan.instances.size(), 2u);
    EXPECT_EQ(plan.instances[0], (std::vector<std::string>{"b.bmp"}));
    EXPECT_EQ(plan.instances[1], (std::vector<std::string>{"c.CEL", "first.kcf"}));
    EXPECT_TRUE(plan.openClipboard);

    const auto dropped = PlanSingleDocument(words, true);
    EXPECT_EQ(dropped.palette, "second.kcf");
    EXPECT_EQ(dropped.instances[1], (std::vector<std::string>{"c.CEL", "second.kcf"}));

    const auto none = PlanSingleDocument(ParseWords({"x.cel", "y.cel"}));
    EXPECT_FALSE(none.openClipboard);
    EXPECT_EQ(none.instances[0], (std::vector<std::string>{"y.cel"}));
}
