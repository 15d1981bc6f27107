#include "sets/SetFileRemap.h"

#include "formats/SaveIo.h"
#include "sets/KissSet.h"
#include "sets/SetFixture.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::kissHeader;
using test::listDir;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

// Counts the calls of every write.
class CountingIo : public SaveIo {
public:
    int calls = 0;
    int open(const char* path, int flags, mode_t mode) override {
        ++calls;
        return SaveIo::open(path, flags, mode);
    }
    int rename(const char* from, const char* to) override {
        ++calls;
        return SaveIo::rename(from, to);
    }
};

// Fails every rename onto one file.
class RenameFailingIo : public SaveIo {
public:
    std::string refused;
    int rename(const char* from, const char* to) override {
        if (refused != to)
            return SaveIo::rename(from, to);
        errno = EIO;
        return -1;
    }
};

TEST(RestoreSetFiles, UndoWritesTheBytesBeforeAndRedoTheBytesAfter) {
    TempDir dir;
    const std::vector<SetFileChange> changes{
        {dir.file("a.cel"), {0x02, 0x00, 0x01, 0x00, 0x12}, {0x02, 0x00, 0x01, 0x00, 0x21}},
        {dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x30}, {0x01, 0x00, 0x01, 0x00, 0x40}},
    };
    writeFileBytes(dir.file("a.cel"), {0x02, 0x00, 0x01, 0x00, 0x21});
    writeFileBytes(dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x40});

    ASSERT_EQ(RestoreSetFiles(changes, false), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("a.cel")), (Bytes{0x02, 0x00, 0x01, 0x00, 0x12}));
    EXPECT_EQ(readFileBytes(dir.file("b.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x30}));

    ASSERT_EQ(RestoreSetFiles(changes, true), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("a.cel")), (Bytes{0x02, 0x00, 0x01, 0x00, 0x21}));
    EXPECT_EQ(readFileBytes(dir.file("b.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x40}));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"a.cel", "b.cel"}));
}

TEST(RestoreSetFiles, AFileThatCannotBeWrittenPutsBackTheOnesWritten) {
    TempDir dir;
    const std::vector<SetFileChange> changes{
        {dir.file("a.cel"), {0x01, 0x00, 0x01, 0x00, 0x10}, {0x01, 0x00, 0x01, 0x00, 0x20}},
        {dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x30}, {0x01, 0x00, 0x01, 0x00, 0x40}},
        {dir.file("c.cel"), {0x01, 0x00, 0x01, 0x00, 0x50}, {0x01, 0x00, 0x01, 0x00, 0x60}},
    };
    writeFileBytes(dir.file("a.cel"), {0x01, 0x00, 0x01, 0x00, 0x20});
    writeFileBytes(dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x40});
    writeFileBytes(dir.file("c.cel"), {0x01, 0x00, 0x01, 0x00, 0x60});
    ASSERT_EQ(::chmod(dir.file("b.cel").c_str(), 0444), 0);

    EXPECT_EQ(RestoreSetFiles(changes, false), status::CannotWrite);
    EXPECT_EQ(readFileBytes(dir.file("a.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x20}));
    EXPECT_EQ(readFileBytes(dir.file("b.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x40}));
    EXPECT_EQ(readFileBytes(dir.file("c.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x60}));
}

TEST(RestoreSetFiles, AFailedReplacementPutsBackTheOnesWritten) {
    TempDir dir;
    const std::vector<SetFileChange> changes{
        {dir.file("a.cel"), {0x01, 0x00, 0x01, 0x00, 0x10}, {0x01, 0x00, 0x01, 0x00, 0x20}},
        {dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x30}, {0x01, 0x00, 0x01, 0x00, 0x40}},
    };
    writeFileBytes(dir.file("a.cel"), {0x01, 0x00, 0x01, 0x00, 0x10});
    writeFileBytes(dir.file("b.cel"), {0x01, 0x00, 0x01, 0x00, 0x30});
    RenameFailingIo io;
    io.refused = dir.file("b.cel");
    Status result;
    {
        ScopedSaveIo scoped(io);
        result = RestoreSetFiles(changes, true);
    }
    EXPECT_EQ(result, status::WriteError);
    EXPECT_EQ(readFileBytes(dir.file("a.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x10}));
    EXPECT_EQ(readFileBytes(dir.file("b.cel")), (Bytes{0x01, 0x00, 0x01, 0x00, 0x30}));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"a.cel", "b.cel"}));
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Three cells on two palettes: ONE.CEL (old kind, 3 × 1, pixels 1 2 3) and
// two.cel (256 colours, 2 × 1, pixels 1 200) on palette 0, three.cel (256
// colours, 2 × 1, pixels 1 2) on palette 1.
class SetFileRemapTest : public ::testing::Test {
protected:
    const Bytes one{0x03, 0x00, 0x01, 0x00, 0x12, 0x30};
    const Bytes two = join(kissHeader(0x20, 8, 2, 1), {0x01, 0xC8});
    const Bytes three = join(kissHeader(0x20, 8, 2, 1), {0x01, 0x02});

    void SetUp() override {
        const std::string cnf = "(64,32)\r\n"
                                "%pal0.kcf\r\n"
                                "%pal1.kcf\r\n"
                                "#0 ONE.CEL *0 :0\r\n"
                                "#1 two.cel *0 :0\r\n"
                                "#2 three.cel *1 :0\r\n"
                                "$0 0,0 4,0 8,0\r\n";
        writeFileBytes(dir.file("set.cnf"), Bytes(cnf.begin(), cnf.end()));
        writeFileBytes(dir.file("pal0.kcf"), test::palette24(16, {{0x000000, 0x404040}}));
        writeFileBytes(dir.file("pal1.kcf"), test::palette24(16, {{0x000000, 0x808080}}));
        writeFileBytes(dir.file("ONE.CEL"), one);
        writeFileBytes(dir.file("two.cel"), two);
        writeFileBytes(dir.file("three.cel"), three);
        ASSERT_EQ(KissSet::Load(dir.file("set.cnf"), set), status::Ok);
        ASSERT_TRUE(set);
        ASSERT_EQ(set->files().size(), 3u);
        for (const SetCellFile& file : set->files())
            ASSERT_TRUE(file.loaded) << file.path;
    }

    // The index into files() of the file with this name.
    int indexOf(const std::string& name) const {
        for (std::size_t i = 0; i < set->files().size(); ++i)
            if (std::filesystem::path(set->files()[i].path).filename() == name)
                return static_cast<int>(i);
        ADD_FAILURE() << name << " is none of the set's files";
        return -1;
    }

    Bytes bytesOf(const std::string& name) const { return readFileBytes(dir.file(name)); }

    TempDir dir;
    std::unique_ptr<KissSet> set;
};

TEST_F(SetFileRemapTest, APaletteIsUsedByTheFilesOfItsCellLines) {
    std::vector<int> expected{indexOf("ONE.CEL"), indexOf("two.cel")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesUsingPalette(*set, 0), expected);
    EXPECT_EQ(filesUsingPalette(*set, 1), std::vector<int>{indexOf("three.cel")});
    EXPECT_TRUE(filesUsingPalette(*set, 2).empty());
}

TEST(SetFileRemap, TrueColourCellsAndMissingFilesUseNoPalette) {
    test::SetFolder folder;
    folder.put("set.cnf", "%pal.kcf\n#0 deep.cel *0\n#1 flat.cel *0\n#2 gone.cel *0\n");
    folder.put("pal.kcf", test::palette24(16, {{0x000000, 0xFFFFFF}}));
    // One pixel each: 0xFF102030 stored blue, green, red, alpha; index 1.
    folder.put("deep.cel", join(kissHeader(0x20, 32, 1, 1), {0x30, 0x20, 0x10, 0xFF}));
    folder.put("flat.cel", join(kissHeader(0x20, 8, 1, 1), {0x01}));
    const std::unique_ptr<KissSet> set = folder.load();
    ASSERT_TRUE(set);
    const int deep = set->fileIndex(folder.file("deep.cel"));
    ASSERT_GE(deep, 0);
    ASSERT_TRUE(set->files()[deep].loaded);
    const std::vector<int> files = filesUsingPalette(*set, 0);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(set->files()[files[0]].path).filename(), "flat.cel");
}

TEST_F(SetFileRemapTest, TheFilesOfAPaletteAreRemappedAndCanBeUndone) {
    std::vector<SetFileChange> changes;
    ASSERT_EQ(
        RemapSetFiles(*set, filesUsingPalette(*set, 0), PaletteRemap::exchange(1, 3), changes),
        status::Ok);
    const Bytes oneAfter{0x03, 0x00, 0x01, 0x00, 0x32, 0x10};
    const Bytes twoAfter = join(kissHeader(0x20, 8, 2, 1), {0x03, 0xC8});
    EXPECT_EQ(bytesOf("ONE.CEL"), oneAfter);
    EXPECT_EQ(bytesOf("two.cel"), twoAfter);
    EXPECT_EQ(bytesOf("three.cel"), three);

    ASSERT_EQ(changes.size(), 2u);
    std::sort(changes.begin(), changes.end(),
              [](const SetFileChange& a, const SetFileChange& b) { return a.path < b.path; });
    // "ONE.CEL" sorts before "two.cel".
    EXPECT_EQ(changes[0].path, set->files()[indexOf("ONE.CEL")].path);
    EXPECT_EQ(changes[0].before, one);
    EXPECT_EQ(changes[0].after, oneAfter);
    EXPECT_EQ(changes[1].before, two);
    EXPECT_EQ(changes[1].after, twoAfter);

    ASSERT_EQ(RestoreSetFiles(changes, false), status::Ok);
    EXPECT_EQ(bytesOf("ONE.CEL"), one);
    EXPECT_EQ(bytesOf("two.cel"), two);
    ASSERT_EQ(RestoreSetFiles(changes, true), status::Ok);
    EXPECT_EQ(bytesOf("ONE.CEL"), oneAfter);
    EXPECT_EQ(bytesOf("two.cel"), twoAfter);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"ONE.CEL", "pal0.kcf", "pal1.kcf",
                                                             "set.cnf", "three.cel", "two.cel"}));
}

TEST_F(SetFileRemapTest, FilesTheRemapLeavesAloneAreNotWritten) {
    CountingIo io;
    std::vector<SetFileChange> changes{{"left over", {1}, {2}}};
    {
        ScopedSaveIo scoped(io);
        ASSERT_EQ(
            RemapSetFiles(*set, filesUsingPalette(*set, 0), PaletteRemap::exchange(7, 8), changes),
            status::Ok);
    }
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(io.calls, 0);
    EXPECT_EQ(bytesOf("ONE.CEL"), one);
    EXPECT_EQ(bytesOf("two.cel"), two);
}

TEST_F(SetFileRemapTest, A16ColourCellThatCannotHoldTheIndexStopsEverything) {
    // two.cel alone could take it, and comes first; ONE.CEL has a 2.
    PaletteRemap remap;
    remap.map(2, 20);
    remap.map(200, 5);
    CountingIo io;
    std::vector<SetFileChange> changes;
    {
        ScopedSaveIo scoped(io);
        EXPECT_EQ(RemapSetFiles(*set, {indexOf("two.cel"), indexOf("ONE.CEL")}, remap, changes),
                  status::DepthNotSavable);
    }
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(io.calls, 0);
    EXPECT_EQ(bytesOf("ONE.CEL"), one);
    EXPECT_EQ(bytesOf("two.cel"), two);
}

TEST_F(SetFileRemapTest, AFileThatCannotBeWrittenPutsBackTheOthers) {
    ASSERT_EQ(::chmod(dir.file("two.cel").c_str(), 0444), 0);
    std::vector<SetFileChange> changes;
    EXPECT_EQ(RemapSetFiles(*set, {indexOf("ONE.CEL"), indexOf("two.cel")},
                            PaletteRemap::exchange(1, 3), changes),
              status::CannotWrite);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(bytesOf("ONE.CEL"), one);
    EXPECT_EQ(bytesOf("two.cel"), two);
}

TEST_F(SetFileRemapTest, AFileListedTwiceIsRemappedOnce) {
    std::vector<SetFileChange> changes;
    const int file = indexOf("three.cel");
    ASSERT_EQ(RemapSetFiles(*set, {file, file}, PaletteRemap::exchange(1, 2), changes), status::Ok);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(bytesOf("three.cel"), join(kissHeader(0x20, 8, 2, 1), {0x02, 0x01}));
}

} // namespace
} // namespace celdo
