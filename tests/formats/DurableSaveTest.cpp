#include "app/Settings.h"
#include "boards/BoardFiles.h"
#include "canvas/MaskFileIo.h"
#include "formats/BmpFile.h"
#include "formats/GraphicFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "palette/PaletteSet.h"
#include "support/FailingSaveIo.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
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

CellImagePtr picture(int width, int height, int seed) {
    auto image = CellImage::Create(width, height, 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>((x * 3 + y * 7 + seed) % 16);
    ColourValue palette[256] = {};
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(static_cast<unsigned>(i), static_cast<unsigned>(seed), 9);
    image->SetPalette(palette, 256);
    return image;
}

// What a file and its folder look like right after a save, before anything
// that runs later (the settings retry a failed write when they close).
struct Observed {
    bool taken = false;
    Bytes bytes;
    std::vector<std::string> names;
};
Observed g_observed;
std::string g_observedFile;

void observe() {
    if (g_observed.taken || g_observedFile.empty())
        return;
    g_observed.taken = true;
    g_observed.bytes = readFileBytes(g_observedFile);
    g_observed.names = listDir(std::filesystem::path(g_observedFile).parent_path());
}

// One way of writing a file: the content depends on `version`; the answer
// is the status, 0 for success.
using Saver = std::function<Status(const std::string& path, int version)>;

struct Format {
    const char* name;
    const char* file;
    Saver save;
};

std::vector<Format> formats() {
    std::vector<Format> list;
    list.push_back({"KiSS cell", "a.cel", [](const std::string& path, int version) {
                        auto image = picture(9, 5, version);
                        KissCellFile file(path);
                        file.setFromImage(*image);
                        return file.saveTo(*image, nullptr);
                    }});
    list.push_back({"KiSS palette", "a.kcf", [](const std::string& path, int version) {
                        PaletteSet colours;
                        colours.group(0)[1] = rgb(static_cast<unsigned>(version), 2, 3);
                        KissPaletteFile file(path);
                        file.setColourSource(&colours);
                        return file.saveWithoutImage();
                    }});
    list.push_back({"BMP", "a.bmp", [](const std::string& path, int version) {
                        auto image = picture(9, 5, version);
                        BmpFile file(path);
                        file.setFromImage(*image);
                        return file.saveTo(*image, nullptr);
                    }});
    list.push_back({"MAG", "a.mag", [](const std::string& path, int version) {
                        return MagFile::Save(path, *picture(9, 5, version), "");
                    }});
    for (const int variant : {IconFile::IconVariant, IconFile::CursorVariant})
        list.push_back({variant == IconFile::IconVariant ? "ICO" : "CUR",
                        variant == IconFile::IconVariant ? "a.ico" : "a.cur",
                        [variant](const std::string& path, int version) {
                            auto image = picture(16, 16, version);
                            IconFile file(path, variant);
                            file.setFromImage(*image);
                            return file.saveTo(*image, nullptr);
                        }});
    list.push_back({"mask", "a.msk", [](const std::string& path, int version) {
                        return MagMaskWriter()(path, *picture(9, 5, version), "mask");
                    }});
    list.push_back({"brush and tile set", "brush.bmp", [](const std::string& path, int version) {
                        return BoardBitmapWriter(path)(*picture(32, 8, version));
                    }});
    list.push_back({"settings", "CELDO.INI", [](const std::string& path, int version) {
                        Settings settings(path, "CELDOM");
                        settings.writeInt("NewSizeX", version);
                        // The settings file answers with success or failure only.
                        const bool written = settings.flush();
                        observe();
                        return written ? status::Ok : status::WriteError;
                    }});
    return list;
}

// The status a save gives when the call `failed` fails with `error`.
Status expectedStatus(const std::string& failed, int error, bool settings, bool afterRename) {
    if (settings || afterRename)
        return status::WriteError;
    if (failed == "rename")
        return static_cast<Status>(error);
    if (failed == "open")
        return error == EACCES ? status::CannotWrite : status::OpenError;
    return status::WriteError;
}

TEST(DurableSave, EveryFailingCallKeepsThePreviousFileAndLeavesNothingBehind) {
    for (const Format& format : formats()) {
        SCOPED_TRACE(format.name);
        TempDir dir;
        const std::string path = dir.file(format.file);
        ASSERT_EQ(format.save(path, 1), status::Ok);
        const Bytes previous = readFileBytes(path);
        ASSERT_EQ(format.save(dir.file("second"), 2), status::Ok);
        const Bytes next = readFileBytes(dir.file("second"));
        std::filesystem::remove(dir.file("second"));
        ASSERT_NE(previous, next);

        // A clean run names the calls, the data's fsync among them before the
        // rename and the folder's after it.
        FailingSaveIo counting;
        {
            ScopedSaveIo scoped(counting);
            ASSERT_EQ(format.save(path, 2), status::Ok);
        }
        const std::vector<std::string> calls = counting.calls;
        const auto rename = std::find(calls.begin(), calls.end(), "rename");
        ASSERT_NE(rename, calls.end());
        EXPECT_NE(std::find(calls.begin(), rename, "fsync"), rename);
        EXPECT_NE(std::find(rename, calls.end(), "fsync"), calls.end());
        const int renameAt = static_cast<int>(rename - calls.begin()) + 1;

        for (const int error : {ENOSPC, EIO, EACCES}) {
            for (int n = 1; n <= static_cast<int>(calls.size()); ++n) {
                SCOPED_TRACE("call " + std::to_string(n) + " " + calls[n - 1] + " errno " +
                             std::to_string(error));
                writeFileBytes(path, previous);
                FailingSaveIo failing;
                failing.failAt = n;
                failing.error = error;
                Status result;
                g_observed = {};
                g_observedFile = path;
                {
                    ScopedSaveIo scoped(failing);
                    result = format.save(path, 2);
                    observe();
                }
                g_observedFile.clear();
                const bool afterRename = n > renameAt;
                EXPECT_EQ(result,
                          expectedStatus(calls[n - 1], error,
                                         std::string(format.file) == "CELDO.INI", afterRename));
                EXPECT_EQ(g_observed.bytes, afterRename ? next : previous);
                EXPECT_EQ(g_observed.names, std::vector<std::string>{format.file});
                EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{format.file});
            }
        }
    }
}

TEST(DurableSave, AFailedRenameNamesItsCause) {
    EXPECT_EQ(errorMessageText(ENOSPC), "エラー　001C（ディスクに空きがありません）");
    EXPECT_EQ(errorMessageText(EXDEV), "エラー　0012（別のファイルシステムへは移せません）");
    EXPECT_EQ(errorMessageText(EIO), "エラー　0005（入出力エラー）");
    // Codes with their own message keep it.
    EXPECT_EQ(errorMessageText(EACCES), "ファイルに書き込めません");
    EXPECT_EQ(errorMessageText(0x4A2B), "エラー　4A2B");

    TempDir dir;
    const std::string path = dir.file("a.bmp");
    writeFileBytes(path, {1, 2, 3});
    FailingSaveIo failing;
    failing.failAt = 4; // open, writev or write, fsync, close, rename
    {
        FailingSaveIo counting;
        ScopedSaveIo scoped(counting);
        auto image = picture(4, 4, 0);
        BmpFile file(dir.file("b.bmp"));
        file.setFromImage(*image);
        ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
        failing.failAt =
            static_cast<int>(std::find(counting.calls.begin(), counting.calls.end(), "rename") -
                             counting.calls.begin()) +
            1;
    }
    failing.error = EXDEV;
    ScopedSaveIo scoped(failing);
    auto image = picture(4, 4, 0);
    BmpFile file(path);
    file.setFromImage(*image);
    const Status result = file.saveTo(*image, nullptr);
    EXPECT_EQ(result, EXDEV);
    EXPECT_EQ(errorMessageText(result), "エラー　0012（別のファイルシステムへは移せません）");
    EXPECT_EQ(readFileBytes(path), (Bytes{1, 2, 3}));
}

bool isLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST(DurableSave, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string real = dir.file("real/a.bmp");
    writeFileBytes(real, {7, 7, 7});
    const std::string link = dir.file("link.bmp");
    ASSERT_EQ(::symlink("real/a.bmp", link.c_str()), 0);
    // A link to a link is followed to the end.
    const std::string second = dir.file("second.bmp");
    ASSERT_EQ(::symlink("link.bmp", second.c_str()), 0);

    auto image = picture(5, 3, 4);
    BmpFile file(second);
    file.setFromImage(*image);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    EXPECT_TRUE(isLink(link));
    EXPECT_TRUE(isLink(second));
    EXPECT_EQ(std::filesystem::read_symlink(link), "real/a.bmp");
    EXPECT_EQ(std::filesystem::path(file.temporaryPath()).parent_path(), dir.path() / "real");
    EXPECT_EQ(listDir(dir.path() / "real"), std::vector<std::string>{"a.bmp"});
    BmpFile back(link);
    ASSERT_EQ(back.readHeader(), status::Ok);
    auto read = back.readImage();
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->samePixels(*image));
}

TEST(DurableSave, ALinkToAMissingFileCreatesTheFile) {
    TempDir dir;
    const std::string link = dir.file("link.bmp");
    ASSERT_EQ(::symlink("made.bmp", link.c_str()), 0);
    auto image = picture(5, 3, 4);
    BmpFile file(link);
    file.setFromImage(*image);
    ASSERT_EQ(file.saveTo(*image, nullptr), status::Ok);
    EXPECT_TRUE(isLink(link));
    EXPECT_TRUE(
        std::filesystem::is_regular_file(std::filesystem::symlink_status(dir.file("made.bmp"))));
}

TEST(DurableSave, SettingsThroughALinkKeepTheLink) {
    TempDir dir;
    const std::string real = dir.file("real.ini");
    writeFileBytes(real, {'[', 'C', 'E', 'L', 'D', 'O', 'M', ']', '\n'});
    const std::string link = dir.file("CELDO.INI");
    ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
    {
        Settings settings(link, "CELDOM");
        settings.writeInt("A", 3);
        ASSERT_TRUE(settings.flush());
    }
    EXPECT_TRUE(isLink(link));
    const Bytes written = readFileBytes(real);
    EXPECT_EQ(std::string(written.begin(), written.end()), "[CELDOM]\nA=3\n");
}

} // namespace
} // namespace celdo
