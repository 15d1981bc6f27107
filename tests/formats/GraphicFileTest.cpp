#include "formats/GraphicFile.h"

#include "framework/ScriptedUi.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace celdo {
namespace {

using test::listDir;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

bool hasTemporaryFile(const std::filesystem::path& dir) {
    for (const auto& name : listDir(dir))
        if (name.rfind("@@gf", 0) == 0)
            return true;
    return false;
}

// Writes `bytes` in pieces of `piece`; after `failAfter` bytes (when set) it
// stops and returns `failCode`, as a format whose row writes go wrong would.
class BodyWriter : public GraphicFile {
public:
    BodyWriter(std::string path, std::vector<std::uint8_t> bytes)
        : GraphicFile(std::move(path)), m_bytes(std::move(bytes)) {}
    std::size_t piece = 1000;
    long long failAfter = -1;
    Status failCode = status::WriteError;
    Status writeBody() override {
        for (std::size_t at = 0; at < m_bytes.size(); at += piece) {
            if (failAfter >= 0 && static_cast<long long>(at) >= failAfter)
                return fail(failCode);
            const Status s = write(m_bytes.data() + at, std::min(piece, m_bytes.size() - at));
            if (s != status::Ok)
                return s;
        }
        return status::Ok;
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

std::unique_ptr<CellImage> anyImage() {
    return CellImage::Create(1, 1, 8);
}

// --- buffered and unbuffered access ---------------------------------------

TEST(GraphicFileAccess, ReadsAcrossBufferBoundariesInOddPieces) {
    TempDir dir;
    const auto bytes = pattern(3 * GraphicFile::BufferSize + 1234);
    writeFileBytes(dir.file("data.bin"), bytes);
    for (const bool buffered : {true, false}) {
        GraphicFile file(dir.file("data.bin"));
        ASSERT_EQ(file.open('R', buffered), status::Ok);
        std::vector<std::uint8_t> got;
        const std::size_t pieces[] = {
            1, 3, GraphicFile::BufferSize - 5, 7, GraphicFile::BufferSize + 9, 2, 100000};
        std::size_t at = 0;
        for (int i = 0; at < bytes.size(); ++i) {
            const std::size_t n = std::min(pieces[i % 7], bytes.size() - at);
            std::vector<std::uint8_t> chunk(n);
            ASSERT_EQ(file.read(chunk.data(), n), status::Ok) << "at " << at;
            got.insert(got.end(), chunk.begin(), chunk.end());
            at += n;
            EXPECT_EQ(file.position(), static_cast<long long>(at));
        }
        EXPECT_EQ(got, bytes) << "buffered " << buffered;
        std::uint8_t extra;
        EXPECT_EQ(file.read(&extra, 1), status::ReadError);
        EXPECT_EQ(file.close(), status::Ok);
    }
}

TEST(GraphicFileAccess, ScatteredReadsFollowBufferedBytesAndStopAtTheEnd) {
    TempDir dir;
    // More pieces than one system call takes, so the read is split.
    const std::size_t each = 37;
    const std::size_t count = 3000;
    const auto bytes = pattern(5 + each * count + 2);
    writeFileBytes(dir.file("rows.bin"), bytes);
    for (const bool buffered : {true, false}) {
        GraphicFile file(dir.file("rows.bin"));
        ASSERT_EQ(file.open('R', buffered), status::Ok);
        std::uint8_t head[5];
        ASSERT_EQ(file.read(head, 5), status::Ok);
        // Targets in reverse order, as bottom-up picture rows are.
        std::vector<std::uint8_t> out(each * count);
        std::vector<std::uint8_t*> targets(count);
        for (std::size_t i = 0; i < count; ++i)
            targets[i] = out.data() + (count - 1 - i) * each;
        ASSERT_EQ(file.readInto(targets, each), status::Ok);
        EXPECT_EQ(file.position(), static_cast<long long>(5 + each * count));
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_TRUE(std::equal(targets[i], targets[i] + each, bytes.begin() + 5 + i * each))
                << "piece " << i << " buffered " << buffered;
        std::uint8_t tail[2];
        ASSERT_EQ(file.read(tail, 2), status::Ok);
        EXPECT_EQ(tail[1], bytes.back());
        std::uint8_t* one[] = {tail};
        EXPECT_EQ(file.readInto(one, 1), status::ReadError);
    }
}

TEST(GraphicFileAccess, GatheredWritesFollowBufferedBytes) {
    TempDir dir;
    const std::size_t each = 37;
    const std::size_t count = 3000;
    const auto bytes = pattern(each * count);
    for (const bool buffered : {true, false}) {
        const std::string path = dir.file(buffered ? "b.bin" : "u.bin");
        GraphicFile file(path);
        ASSERT_EQ(file.open('W', buffered), status::Ok);
        ASSERT_EQ(file.write("head", 4), status::Ok);
        // Sources in reverse order, as bottom-up picture rows are.
        std::vector<const std::uint8_t*> sources(count);
        for (std::size_t i = 0; i < count; ++i)
            sources[i] = bytes.data() + (count - 1 - i) * each;
        ASSERT_EQ(file.writeFrom(sources, each), status::Ok);
        EXPECT_EQ(file.position(), static_cast<long long>(4 + each * count));
        ASSERT_EQ(file.write("!", 1), status::Ok);
        ASSERT_EQ(file.close(), status::Ok);

        const auto written = readFileBytes(path);
        ASSERT_EQ(written.size(), 5 + each * count);
        EXPECT_EQ(std::string(written.begin(), written.begin() + 4), "head");
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_TRUE(std::equal(sources[i], sources[i] + each, written.begin() + 4 + i * each))
                << "piece " << i;
        EXPECT_EQ(written.back(), '!');
    }
}

TEST(GraphicFileAccess, LittleEndianHelpersAndSeek) {
    TempDir dir;
    writeFileBytes(dir.file("le.bin"), {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xAB});
    GraphicFile file(dir.file("le.bin"));
    ASSERT_EQ(file.open('R', true), status::Ok);
    EXPECT_EQ(file.measureFileSize(), 7);
    std::uint16_t word = 0;
    std::uint32_t dword = 0;
    std::uint8_t byte = 0;
    EXPECT_EQ(file.readWord(word), status::Ok);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(file.readDword(dword), status::Ok);
    EXPECT_EQ(dword, 0x12345678u);
    EXPECT_EQ(file.seek(-1, SEEK_CUR), 5);
    EXPECT_EQ(file.readByte(byte), status::Ok);
    EXPECT_EQ(byte, 0x12);
    EXPECT_EQ(file.seek(-10, SEEK_SET), -1);
    EXPECT_EQ(file.error(), status::SeekError);
    EXPECT_EQ(file.open('R', true), status::AlreadyOpen);
}

TEST(GraphicFileAccess, ThreeBytesFromATwoByteFileIsAReadError) {
    TempDir dir;
    writeFileBytes(dir.file("two.bin"), {1, 2});
    for (const bool buffered : {true, false}) {
        GraphicFile file(dir.file("two.bin"));
        ASSERT_EQ(file.open('R', buffered), status::Ok);
        std::uint8_t three[3];
        EXPECT_EQ(file.read(three, 3), status::ReadError);
        EXPECT_EQ(file.error(), status::ReadError);
        EXPECT_EQ(errorMessageText(file.error()), "読込エラー");
    }
}

TEST(GraphicFileAccess, WritesAcrossBufferBoundaries) {
    TempDir dir;
    const auto bytes = pattern(2 * GraphicFile::BufferSize + 777);
    for (const bool buffered : {true, false}) {
        const std::string path = dir.file(buffered ? "b.bin" : "u.bin");
        GraphicFile file(path);
        ASSERT_EQ(file.open('W', buffered), status::Ok);
        // Single bytes, then a piece larger than the buffer, then odd pieces.
        std::size_t at = 0;
        for (; at < 1001; ++at)
            ASSERT_EQ(file.writeByte(bytes[at]), status::Ok);
        ASSERT_EQ(file.write(&bytes[at], GraphicFile::BufferSize + 3), status::Ok);
        at += GraphicFile::BufferSize + 3;
        while (at < bytes.size()) {
            const std::size_t n = std::min<std::size_t>(4093, bytes.size() - at);
            ASSERT_EQ(file.write(&bytes[at], n), status::Ok);
            at += n;
        }
        ASSERT_EQ(file.close(), status::Ok);
        EXPECT_EQ(readFileBytes(path), bytes) << "buffered " << buffered;
    }
}

TEST(GraphicFileAccess, WordsAreWrittenLittleEndian) {
    TempDir dir;
    GraphicFile file(dir.file("w.bin"));
    ASSERT_EQ(file.open('W', true), status::Ok);
    EXPECT_EQ(file.writeWord(0xBEEF), status::Ok);
    EXPECT_EQ(file.writeDword(0x01020304), status::Ok);
    ASSERT_EQ(file.close(), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("w.bin")),
              (std::vector<std::uint8_t>{0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01}));
}

TEST(GraphicFileAccess, UpdateWritesAtTheLogicalPositionAfterABufferedRead) {
    TempDir dir;
    writeFileBytes(dir.file("u.bin"), pattern(5000));
    GraphicFile file(dir.file("u.bin"));
    ASSERT_EQ(file.open('U', true), status::Ok);
    std::uint8_t head[10];
    ASSERT_EQ(file.read(head, 10), status::Ok);
    ASSERT_EQ(file.writeByte(0xEE), status::Ok);
    std::uint8_t next = 0;
    ASSERT_EQ(file.readByte(next), status::Ok);
    ASSERT_EQ(file.close(), status::Ok);
    auto expected = pattern(5000);
    expected[10] = 0xEE;
    EXPECT_EQ(next, expected[11]);
    EXPECT_EQ(readFileBytes(dir.file("u.bin")), expected);
}

TEST(GraphicFileAccess, OpeningAMissingFileFails) {
    TempDir dir;
    GraphicFile file(dir.file("missing.bin"));
    EXPECT_EQ(file.open('R', true), status::OpenError);
    EXPECT_FALSE(file.isOpen());
}

// --- error texts -------------------------------------------------------------

TEST(GraphicFileMessages, FixedTexts) {
    EXPECT_EQ(errorMessageText(0), "");
    EXPECT_EQ(errorMessageText(8), "メモリー不足");
    EXPECT_EQ(errorMessageText(11), "フォーマット異常");
    EXPECT_EQ(errorMessageText(13), "ファイルに書き込めません");
    EXPECT_EQ(errorMessageText(25), "シークエラー");
    EXPECT_EQ(errorMessageText(0x4001), "ファイルオープンエラー");
    EXPECT_EQ(errorMessageText(0x4003), "書込エラー");
    EXPECT_EQ(errorMessageText(0x4004), "印刷に失敗しました");
    EXPECT_EQ(errorMessageText(-2), "サポートしてない画像形式です");
    EXPECT_EQ(errorMessageText(-3), "このビット長の画像はセーブできません");
    EXPECT_EQ(errorMessageText(-4), "この画像のサイズはセーブできません");
    EXPECT_EQ(errorMessageText(-5), "画像形式に誤りがあります");
    EXPECT_EQ(errorMessageText(-6), "プラグインが読込めません");
}

TEST(GraphicFileMessages, OtherCodesInHexadecimalWithTheirSign) {
    EXPECT_EQ(errorMessageText(-1), "エラー　FFFFFFFF");
    EXPECT_EQ(errorMessageText(5), "エラー　0005（入出力エラー）");
    EXPECT_EQ(errorMessageText(0x4A2B), "エラー　4A2B");
}

TEST(GraphicFileMessages, ShownInAnInformationBoxCaptionedCeldos) {
    ScriptedUi ui;
    ShowErrorMessage(ui, 0);
    EXPECT_TRUE(ui.messages.empty());
    ui.answerMessage(answer::Ok);
    ShowErrorMessage(ui, 11);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "フォーマット異常");
    EXPECT_EQ(ui.messages[0].caption, "Celdos");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
}

// --- safe save ---------------------------------------------------------------

class GraphicFileSave : public ::testing::Test {
protected:
    TempDir dir;
    std::string target = dir.file("picture.dat");
    std::vector<std::uint8_t> previous = pattern(3000);
    void SetUp() override { writeFileBytes(target, previous); }
    Status save(BodyWriter& writer) {
        const auto picture = anyImage();
        return writer.saveTo(*picture, nullptr);
    }
};

TEST_F(GraphicFileSave, ReplacesTheFileAndLeavesNoTemporaryFile) {
    BodyWriter writer(target, pattern(200000));
    EXPECT_EQ(save(writer), status::Ok);
    EXPECT_EQ(readFileBytes(target), pattern(200000));
    EXPECT_FALSE(hasTemporaryFile(dir.path()));
    EXPECT_EQ(std::filesystem::path(writer.temporaryPath()).parent_path(), dir.path());
}

TEST_F(GraphicFileSave, NewFileIsWritten) {
    BodyWriter writer(dir.file("new.dat"), pattern(10));
    EXPECT_EQ(save(writer), status::Ok);
    EXPECT_EQ(readFileBytes(dir.file("new.dat")), pattern(10));
}

TEST_F(GraphicFileSave, BodyFailingHalfwayKeepsThePreviousFile) {
    // Every code a body may return, including ones that look like open
    // failures or a taken temporary name.
    for (const Status code : {status::WriteError, status::OutOfMemory, status::CannotWrite,
                              status::OpenError, status::AlreadyOpen, Status{1}}) {
        BodyWriter writer(target, pattern(150000));
        writer.failAfter = 80000;
        writer.failCode = code;
        EXPECT_EQ(save(writer), code);
        EXPECT_EQ(writer.error(), code);
        EXPECT_EQ(readFileBytes(target), previous) << code;
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"picture.dat"}) << code;
    }
}

TEST_F(GraphicFileSave, FailingNewFileLeavesNoFile) {
    BodyWriter writer(dir.file("new.dat"), pattern(5000));
    writer.failAfter = 2000;
    EXPECT_EQ(save(writer), status::WriteError);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"picture.dat"});
}

// The file size limit makes the kernel refuse writes past it, as a full disk
// would; the limit is restored whatever the test's outcome.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

TEST_F(GraphicFileSave, FullDiskKeepsThePreviousFile) {
    for (const std::size_t size : {std::size_t{20000}, 3 * GraphicFile::BufferSize}) {
        Status result;
        {
            FileSizeLimit limit(10000);
            ASSERT_TRUE(limit.active());
            BodyWriter writer(target, pattern(size));
            result = save(writer);
        }
        EXPECT_EQ(result, status::WriteError) << size;
        EXPECT_EQ(readFileBytes(target), previous);
        EXPECT_FALSE(hasTemporaryFile(dir.path()));
    }
}

TEST_F(GraphicFileSave, ReadOnlyTargetIsNotTouched) {
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    BodyWriter writer(target, pattern(10));
    EXPECT_EQ(save(writer), status::CannotWrite);
    EXPECT_EQ(errorMessageText(writer.error()), "ファイルに書き込めません");
    EXPECT_EQ(readFileBytes(target), previous);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"picture.dat"});
}

TEST_F(GraphicFileSave, DirectoryTargetIsRefused) {
    std::filesystem::create_directory(dir.path() / "folder");
    BodyWriter writer(dir.file("folder"), pattern(10));
    EXPECT_EQ(save(writer), status::CannotWrite);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));
    EXPECT_TRUE(listDir(dir.path() / "folder").empty());
    EXPECT_FALSE(hasTemporaryFile(dir.path()));
}

TEST_F(GraphicFileSave, ReplacedFileKeepsItsPermissions) {
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    BodyWriter writer(target, pattern(10));
    EXPECT_EQ(save(writer), status::Ok);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(GraphicFileSave, TakenTemporaryNameIsSkipped) {
    BodyWriter first(target, pattern(10));
    ASSERT_EQ(save(first), status::Ok);
    int number = -1;
    ASSERT_EQ(std::sscanf(std::filesystem::path(first.temporaryPath()).filename().c_str(),
                          "@@gf%4d.$$$", &number),
              1);
    // The counter runs on, so the next name would be number + 1: take it.
    char taken[32];
    std::snprintf(taken, sizeof taken, "@@gf%04d.$$$", (number + 1) % 10000);
    const std::vector<std::uint8_t> stranger{9, 9, 9};
    writeFileBytes(dir.file(taken), stranger);

    BodyWriter second(target, pattern(20));
    ASSERT_EQ(save(second), status::Ok);
    char expected[32];
    std::snprintf(expected, sizeof expected, "@@gf%04d.$$$", (number + 2) % 10000);
    EXPECT_EQ(std::filesystem::path(second.temporaryPath()).filename().string(), expected);
    EXPECT_EQ(readFileBytes(target), pattern(20));
    EXPECT_EQ(readFileBytes(dir.file(taken)), stranger);
}

TEST_F(GraphicFileSave, BaseObjectCannotWriteABody) {
    GraphicFile plain(target);
    const auto picture = anyImage();
    EXPECT_EQ(plain.saveTo(*picture, nullptr), 1);
    EXPECT_EQ(readFileBytes(target), previous);
    EXPECT_FALSE(hasTemporaryFile(dir.path()));
}

// --- memory -------------------------------------------------------------------

TEST(GraphicFileMemory, ReadsGiveTheSameCodesAsAFile) {
    const std::vector<std::uint8_t> bytes{0x34, 0x12};
    GraphicFile file("memory.bin");
    file.readFromMemory(bytes);
    ASSERT_EQ(file.open('R', true), status::Ok);
    EXPECT_EQ(file.open('R', true), status::AlreadyOpen);
    EXPECT_EQ(file.measureFileSize(), 2);
    std::uint8_t three[3];
    EXPECT_EQ(file.read(three, 3), status::ReadError);
    EXPECT_EQ(file.error(), status::ReadError);
    std::uint16_t word = 0;
    EXPECT_EQ(file.readWord(word), status::Ok);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(file.seek(-3, SEEK_END), -1);
    EXPECT_EQ(file.error(), status::SeekError);
    EXPECT_EQ(file.writeByte(1), status::WriteError);
    EXPECT_EQ(file.close(), status::Ok);
    // Memory is only ever read, and reopening reads it again from the start.
    EXPECT_EQ(file.open('W', true), status::OpenError);
    EXPECT_EQ(file.open('U', true), status::OpenError);
    ASSERT_EQ(file.open('R', false), status::Ok);
    std::uint8_t first = 0;
    EXPECT_EQ(file.readByte(first), status::Ok);
    EXPECT_EQ(first, 0x34);
}

TEST(GraphicFileMemory, ScatteredReadsFromMemory) {
    const auto bytes = pattern(5 + 37 * 300);
    GraphicFile file("memory.bin");
    file.readFromMemory(bytes);
    ASSERT_EQ(file.open('R', true), status::Ok);
    ASSERT_EQ(file.seek(5, SEEK_SET), 5);
    std::vector<std::uint8_t> out(37 * 300);
    std::vector<std::uint8_t*> targets(300);
    for (std::size_t i = 0; i < 300; ++i)
        targets[i] = out.data() + (299 - i) * 37;
    ASSERT_EQ(file.readInto(targets, 37), status::Ok);
    for (std::size_t i = 0; i < 300; ++i)
        ASSERT_TRUE(std::equal(targets[i], targets[i] + 37, bytes.begin() + 5 + i * 37)) << i;
    EXPECT_EQ(file.readInto(targets, 1), status::ReadError);
}

TEST(GraphicFileMemory, SaveToMemoryHoldsTheBodyAndTouchesNoFile) {
    TempDir dir;
    BodyWriter writer(dir.file("picture.dat"), pattern(3 * GraphicFile::BufferSize + 5));
    const auto picture = anyImage();
    std::vector<std::uint8_t> bytes{7};
    ASSERT_EQ(writer.saveToMemory(*picture, nullptr, bytes), status::Ok);
    EXPECT_EQ(bytes, pattern(3 * GraphicFile::BufferSize + 5));
    EXPECT_TRUE(listDir(dir.path()).empty());
    EXPECT_FALSE(writer.isOpen());
}

TEST(GraphicFileMemory, FailingBodyLeavesTheBytesAsTheyWere) {
    for (const Status code : {status::WriteError, status::OutOfMemory, Status{1}}) {
        BodyWriter writer("memory.dat", pattern(5000));
        writer.failAfter = 2000;
        writer.failCode = code;
        const auto picture = anyImage();
        std::vector<std::uint8_t> bytes{7, 7};
        EXPECT_EQ(writer.saveToMemory(*picture, nullptr, bytes), code);
        EXPECT_EQ(writer.error(), code);
        EXPECT_EQ(bytes, (std::vector<std::uint8_t>{7, 7}));
    }
    GraphicFile plain("memory.dat");
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(plain.saveToMemory(*anyImage(), nullptr, bytes), 1);
    EXPECT_TRUE(bytes.empty());
}

} // namespace
} // namespace celdo
