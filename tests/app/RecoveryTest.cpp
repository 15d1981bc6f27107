#include "app/Recovery.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

using namespace celdo;
using celdo::test::listDir;
using celdo::test::TempDir;

namespace {

// 5 × 3, pixel (x, y) = 10 × y + x + 1; entry i of the table is (i, 255 − i, 7).
CellImagePtr recoveryPicture() {
    auto picture = CellImage::Create(5, 3, 8);
    std::array<ColourValue, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = rgb(i, 255 - i, 7);
    picture->SetPalette(table.data(), 256);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>(10 * y + x + 1);
    return picture;
}

// The mask protects the middle column and the corner (0, 2).
CellImagePtr recoveryMask() {
    auto mask = CellImage::Create(5, 3, 8);
    mask->SetGreyPalette();
    for (int y = 0; y < 3; ++y)
        mask->at(2, y) = 255;
    mask->at(0, 2) = 128;
    return mask;
}

std::array<ColourValue, 256> recoveryGroup() {
    std::array<ColourValue, 256> group{};
    for (int i = 0; i < 256; ++i)
        group[i] = 0x00010203u * static_cast<ColourValue>(i);
    return group;
}

// Files of the folder other than lock files.
std::vector<std::string> dataFiles(const TempDir& dir) {
    std::vector<std::string> names = listDir(dir.path());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) {
                                   return n.size() > 5 && n.substr(n.size() - 5) == ".lock";
                               }),
                names.end());
    return names;
}

int deadProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST(Recovery, FolderFollowsXdgStateHomeAndFallsBackToTheHomeFolder) {
    const char* oldState = std::getenv("XDG_STATE_HOME");
    const std::string kept = oldState ? oldState : "";
    ::setenv("XDG_STATE_HOME", "/var/tmp/st", 1);
    EXPECT_EQ(Recovery::DefaultFolder(), std::filesystem::path("/var/tmp/st/celdo/recovery"));
    ::setenv("XDG_STATE_HOME", "relative", 1);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(Recovery::DefaultFolder(),
                  std::filesystem::path(home) / ".local/state/celdo/recovery");
    }
    if (oldState)
        ::setenv("XDG_STATE_HOME", kept.c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

TEST(Recovery, ACrashedInstancesPictureMaskGroupAndNameComeBackExactly) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto mask = recoveryMask();
    const auto group = recoveryGroup();
    const std::string name = "/tmp/odd 100%\nname.cel";
    {
        Recovery crashed(dir.path());
        ASSERT_TRUE(crashed.valid());
        EXPECT_TRUE(crashed.AutoSave(4, name, 3, group.data(), *picture, mask.get()));
    } // the lock goes as it would with the process; the files stay

    Recovery next(dir.path());
    auto found = next.TakeOrphans();
    ASSERT_EQ(found.size(), 1u);
    const RecoveredPicture& back = found[0];
    EXPECT_EQ(back.originalPath, name);
    EXPECT_EQ(back.group, 3);
    EXPECT_EQ(back.colours, group);
    ASSERT_TRUE(back.picture);
    ASSERT_EQ(back.picture->bitsPerPixel(), 8);
    ASSERT_EQ(back.picture->width(), 5);
    ASSERT_EQ(back.picture->height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.picture->at(x, y), 10 * y + x + 1) << x << "," << y;
    EXPECT_EQ(back.picture->paletteEntry(0), rgb(0, 255, 7));
    EXPECT_EQ(back.picture->paletteEntry(200), rgb(200, 55, 7));
    ASSERT_TRUE(back.mask);
    EXPECT_EQ(back.mask->at(2, 0), 255);
    EXPECT_EQ(back.mask->at(2, 2), 255);
    EXPECT_EQ(back.mask->at(0, 2), 128);
    EXPECT_EQ(back.mask->at(0, 0), 0);
    EXPECT_EQ(back.mask->at(4, 1), 0);
    EXPECT_EQ(back.mask->at(1, 2), 0);
}

TEST(Recovery, APictureWithoutMaskComesBackWithoutOne) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    {
        Recovery crashed(dir.path());
        EXPECT_TRUE(crashed.AutoSave(1, "", 0, group.data(), *picture, nullptr));
    }
    Recovery next(dir.path());
    auto found = next.TakeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].originalPath, "");
    EXPECT_FALSE(found[0].mask);
    EXPECT_TRUE(found[0].picture->samePixels(*picture));
}

TEST(Recovery, AnUnchangedPictureIsNotWrittenAgainAndOnlyItsLatestFilesStay) {
    TempDir dir;
    auto picture = recoveryPicture();
    const auto mask = recoveryMask();
    const auto group = recoveryGroup();
    Recovery recovery(dir.path());
    EXPECT_TRUE(recovery.AutoSave(2, "a.cel", 0, group.data(), *picture, mask.get()));
    EXPECT_FALSE(recovery.AutoSave(2, "a.cel", 0, group.data(), *picture, mask.get()));
    // Another group, another name or another pixel each count as a change.
    EXPECT_TRUE(recovery.AutoSave(2, "a.cel", 1, group.data(), *picture, mask.get()));
    EXPECT_TRUE(recovery.AutoSave(2, "b.cel", 1, group.data(), *picture, mask.get()));
    picture->at(4, 2) = 99;
    EXPECT_TRUE(recovery.AutoSave(2, "b.cel", 1, group.data(), *picture, mask.get()));
    EXPECT_TRUE(recovery.AutoSave(2, "b.cel", 1, group.data(), *picture, nullptr));

    const std::string slot = recovery.instance() + "-2";
    EXPECT_EQ(dataFiles(dir), (std::vector<std::string>{slot + "-4.bmp", slot + ".rec"}));
}

TEST(Recovery, ALiveOwnersFilesAreNoOrphansAndADeadOnesAre) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    Recovery alive(dir.path());
    ASSERT_TRUE(alive.AutoSave(1, "live.cel", 0, group.data(), *picture, nullptr));
    std::string deadName;
    {
        Recovery dead(dir.path());
        ASSERT_TRUE(dead.AutoSave(1, "dead.cel", 0, group.data(), *picture, nullptr));
        deadName = dead.instance();
        Recovery meanwhile(dir.path());
        // While it runs, neither instance's files are offered.
        EXPECT_TRUE(meanwhile.FindOrphans().empty());
    }
    Recovery next(dir.path());
    EXPECT_EQ(next.FindOrphans(), std::vector<std::string>{deadName});
    // The live instance does not see its own files either.
    EXPECT_EQ(alive.FindOrphans(), std::vector<std::string>{deadName});
}

TEST(Recovery, AProcessNumberNoLongerRunningMeansADeadOwner) {
    EXPECT_TRUE(Recovery::processRunning(static_cast<int>(::getpid())));
    EXPECT_FALSE(Recovery::processRunning(deadProcess()));
    EXPECT_FALSE(Recovery::processRunning(0));
}

TEST(Recovery, ARecordOfADeadProcessIsAnOrphanEvenWithItsLockHeld) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    Recovery owner(dir.path());
    ASSERT_TRUE(owner.AutoSave(1, "x.cel", 0, group.data(), *picture, nullptr));
    // The record names a process that has ended.
    const std::string record = (dir.path() / (owner.instance() + "-1.rec")).string();
    auto bytes = celdo::test::readFileBytes(record);
    std::string text(bytes.begin(), bytes.end());
    const auto at = text.find("pid ");
    const auto end = text.find('\n', at);
    text.replace(at, end - at, "pid " + std::to_string(deadProcess()));
    celdo::test::writeFileBytes(record, std::vector<std::uint8_t>(text.begin(), text.end()));

    Recovery next(dir.path());
    EXPECT_EQ(next.FindOrphans(), std::vector<std::string>{owner.instance()});
}

TEST(Recovery, AnOrphanTakenByOneStartingEditorIsNotOfferedToAnother) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    {
        Recovery crashed(dir.path());
        ASSERT_TRUE(crashed.AutoSave(1, "x.cel", 0, group.data(), *picture, nullptr));
    }
    Recovery first(dir.path());
    Recovery second(dir.path());
    EXPECT_EQ(first.TakeOrphans().size(), 1u);
    EXPECT_TRUE(second.FindOrphans().empty());
    EXPECT_TRUE(second.TakeOrphans().empty());
}

TEST(Recovery, RemovingASlotDeletesItsFilesAndTheNextAutoSaveWritesAgain) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto mask = recoveryMask();
    const auto group = recoveryGroup();
    Recovery recovery(dir.path());
    ASSERT_TRUE(recovery.AutoSave(1, "one.cel", 0, group.data(), *picture, mask.get()));
    ASSERT_TRUE(recovery.AutoSave(12, "twelve.cel", 0, group.data(), *picture, nullptr));
    // Saved or closed: slot 1 goes, slot 12 (its name shares the digit) stays.
    recovery.Remove(1);
    const std::string twelve = recovery.instance() + "-12";
    EXPECT_EQ(dataFiles(dir), (std::vector<std::string>{twelve + "-0.bmp", twelve + ".rec"}));
    EXPECT_TRUE(recovery.AutoSave(1, "one.cel", 0, group.data(), *picture, mask.get()));
    EXPECT_EQ(dataFiles(dir).size(), 5u);
}

TEST(Recovery, AnOrderlyExitLeavesNothingBehind) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    {
        Recovery recovery(dir.path());
        ASSERT_TRUE(recovery.AutoSave(1, "a.cel", 0, group.data(), *picture, nullptr));
        ASSERT_TRUE(recovery.AutoSave(2, "b.cel", 0, group.data(), *picture, nullptr));
        recovery.RemoveAll();
    }
    EXPECT_TRUE(listDir(dir.path()).empty());
    Recovery next(dir.path());
    EXPECT_TRUE(next.FindOrphans().empty());
}

TEST(Recovery, DiscardingDeletesTheDeadInstancesFilesAndSparesTheLiveOnes) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto mask = recoveryMask();
    const auto group = recoveryGroup();
    Recovery alive(dir.path());
    ASSERT_TRUE(alive.AutoSave(1, "live.cel", 0, group.data(), *picture, nullptr));
    {
        Recovery dead(dir.path());
        ASSERT_TRUE(dead.AutoSave(1, "a.cel", 0, group.data(), *picture, mask.get()));
        ASSERT_TRUE(dead.AutoSave(2, "b.cel", 0, group.data(), *picture, nullptr));
    }
    Recovery next(dir.path());
    next.DiscardOrphans();
    const std::string live = alive.instance() + "-1";
    EXPECT_EQ(dataFiles(dir), (std::vector<std::string>{live + "-0.bmp", live + ".rec"}));
    EXPECT_TRUE(next.FindOrphans().empty());
}

TEST(Recovery, WithoutAWritableFolderNothingIsWritten) {
    TempDir dir;
    const auto picture = recoveryPicture();
    const auto group = recoveryGroup();
    const std::filesystem::path blocked = dir.path() / "file";
    celdo::test::writeFileBytes(blocked.string(), {1});
    Recovery recovery(blocked / "recovery");
    EXPECT_FALSE(recovery.valid());
    EXPECT_FALSE(recovery.AutoSave(1, "a.cel", 0, group.data(), *picture, nullptr));
}
