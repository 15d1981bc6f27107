#include "formats/FileReplace.h"

#include "support/FailingSaveIo.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace celdo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::listDir;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

using test::FailingSaveIo;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

bool isLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST(FileReplace, WritesANewFileAndReplacesAnOldOne) {
    TempDir dir;
    const std::string path = dir.file("a.cel");
    const Bytes first{0x01, 0x00, 0x02, 0x00, 0x5A, 0xA5};
    ASSERT_EQ(ReplaceFileBytes(path, first), status::Ok);
    EXPECT_EQ(readFileBytes(path), first);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"a.cel"});

    // A shorter file leaves nothing of the longer one behind.
    const Bytes second{0xFF, 0x00, 0x7E};
    ASSERT_EQ(ReplaceFileBytes(path, second), status::Ok);
    EXPECT_EQ(readFileBytes(path), second);
    ASSERT_EQ(ReplaceFileBytes(path, Bytes{}), status::Ok);
    EXPECT_EQ(readFileBytes(path), Bytes{});
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"a.cel"});
}

TEST(FileReplace, TheDataAndThenTheFolderReachTheDisk) {
    TempDir dir;
    const std::string path = dir.file("a.cel");
    writeFileBytes(path, {1});
    FailingSaveIo io;
    {
        ScopedSaveIo scoped(io);
        ASSERT_EQ(ReplaceFileBytes(path, Bytes{2, 3}), status::Ok);
    }
    EXPECT_EQ(io.calls, (std::vector<std::string>{"open", "write", "fsync", "close", "rename",
                                                  "open", "fsync", "close"}));
    // The temporary file lies in the target's folder, under another name.
    ASSERT_EQ(io.opened.size(), 2u);
    EXPECT_EQ(std::filesystem::path(io.opened[0]).parent_path(), dir.path());
    EXPECT_NE(io.opened[0], path);
}

TEST(FileReplace, ATakenTemporaryNameIsRetriedUnderAnother) {
    TempDir dir;
    const std::string path = dir.file("a.cel");
    FailingSaveIo io;
    io.failAt = 1;
    io.error = EEXIST;
    {
        ScopedSaveIo scoped(io);
        ASSERT_EQ(ReplaceFileBytes(path, Bytes{9}), status::Ok);
    }
    ASSERT_GE(io.opened.size(), 2u);
    EXPECT_NE(io.opened[0], io.opened[1]);
    EXPECT_EQ(readFileBytes(path), Bytes{9});
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"a.cel"});
}

TEST(FileReplace, TheReplacedFileKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.file("a.cel");
    writeFileBytes(path, {1, 2});
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(ReplaceFileBytes(path, Bytes{3}), status::Ok);
    EXPECT_EQ(modeOf(path), 0640u);

    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    ASSERT_EQ(ReplaceFileBytes(path, Bytes{4}), status::Ok);
    EXPECT_EQ(modeOf(path), 0604u);
    EXPECT_EQ(readFileBytes(path), Bytes{4});
}

TEST(FileReplace, ThroughALinkTheNamedFileIsReplacedAndTheLinkStays) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string real = dir.file("real/a.cel");
    writeFileBytes(real, {7, 7, 7});
    const std::string link = dir.file("link.cel");
    ASSERT_EQ(::symlink("real/a.cel", link.c_str()), 0);

    ASSERT_EQ(ReplaceFileBytes(link, Bytes{8, 9}), status::Ok);
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), "real/a.cel");
    EXPECT_EQ(readFileBytes(real), (Bytes{8, 9}));
    EXPECT_EQ(listDir(dir.path() / "real"), std::vector<std::string>{"a.cel"});
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"link.cel", "real"}));
}

TEST(FileReplace, AFolderOrAReadOnlyFileIsNotWritten) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder");
    EXPECT_EQ(ReplaceFileBytes(dir.file("folder"), Bytes{1}), status::CannotWrite);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));

    const std::string path = dir.file("a.cel");
    writeFileBytes(path, {5, 6});
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    FailingSaveIo io;
    {
        ScopedSaveIo scoped(io);
        EXPECT_EQ(ReplaceFileBytes(path, Bytes{1}), status::CannotWrite);
    }
    EXPECT_TRUE(io.calls.empty());
    EXPECT_EQ(readFileBytes(path), (Bytes{5, 6}));
    EXPECT_EQ(modeOf(path), 0444u);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"a.cel", "folder"}));
}

TEST(FileReplace, AFailingCallKeepsTheOldBytesAndLeavesNoTemporaryFile) {
    // The calls of a clean replacement, in order.
    const std::vector<std::string> calls{"open",   "write", "fsync", "close",
                                         "rename", "open",  "fsync", "close"};
    const Bytes previous{0x10, 0x20, 0x30};
    const Bytes next{0x40};
    for (const int error : {ENOSPC, EIO}) {
        for (int n = 1; n <= static_cast<int>(calls.size()); ++n) {
            SCOPED_TRACE("call " + std::to_string(n) + " " + calls[n - 1] + " errno " +
                         std::to_string(error));
            TempDir dir;
            const std::string path = dir.file("a.cel");
            writeFileBytes(path, previous);
            FailingSaveIo io;
            io.failAt = n;
            io.error = error;
            Status result;
            {
                ScopedSaveIo scoped(io);
                result = ReplaceFileBytes(path, next);
            }
            // Only a failure of the folder's own synchronisation comes after
            // the new bytes are in place.
            const bool afterRename = n > 5;
            EXPECT_EQ(result, n == 1 ? status::OpenError : status::WriteError);
            EXPECT_EQ(readFileBytes(path), afterRename ? next : previous);
            EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"a.cel"});
        }
    }
}

TEST(FileReplace, AFolderThatRefusesNewFilesCannotBeWritten) {
    TempDir dir;
    FailingSaveIo io;
    io.failAt = 1;
    io.error = EACCES;
    ScopedSaveIo scoped(io);
    EXPECT_EQ(ReplaceFileBytes(dir.file("a.cel"), Bytes{1}), status::CannotWrite);
    EXPECT_TRUE(listDir(dir.path()).empty());
}

TEST(FileReplace, ReadsAWholeFileUpToItsLimit) {
    TempDir dir;
    const std::string path = dir.file("a.cel");
    Bytes stored(5000);
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<std::uint8_t>(i * 7);
    writeFileBytes(path, stored);

    Bytes bytes{0xEE};
    ASSERT_EQ(ReadFileBytes(path, bytes, 5000), status::Ok);
    ASSERT_EQ(bytes.size(), 5000u);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x07);
    EXPECT_EQ(bytes[37], 0x03);   // 259 wraps
    EXPECT_EQ(bytes[4999], 0xB1); // 34993 = 136 × 256 + 177

    // One byte over the limit is refused and leaves the answer alone.
    Bytes refused{0xEE};
    EXPECT_EQ(ReadFileBytes(path, refused, 4999), status::ReadError);
    EXPECT_EQ(refused, Bytes{0xEE});

    writeFileBytes(path, {});
    ASSERT_EQ(ReadFileBytes(path, bytes, 0), status::Ok);
    EXPECT_TRUE(bytes.empty());
}

TEST(FileReplace, AMissingFileCannotBeOpenedAndAFolderCannotBeRead) {
    TempDir dir;
    Bytes bytes;
    EXPECT_EQ(ReadFileBytes(dir.file("missing.cel"), bytes, 100), status::OpenError);
    EXPECT_EQ(ReadFileBytes(dir.path().string(), bytes, 100), status::ReadError);
}

} // namespace
} // namespace celdo
