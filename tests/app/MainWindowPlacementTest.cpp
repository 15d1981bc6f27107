#include "app/MainWindowPlacement.h"
#include "app/Settings.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace celdo;
using celdo::test::TempDir;

namespace {

// Two screens side by side: 1600 × 1170 (a panel takes 30 rows) and
// 1280 × 1024 to its right.
const std::vector<Rect> Screens{{0, 0, 1600, 1170}, {1600, 0, 2880, 1024}};

} // namespace

TEST(MainWindowPlacement, NothingStoredGivesTheDefault) {
    EXPECT_EQ(MainWindowPlacement({}, Screens), std::nullopt);
    EXPECT_EQ(MainWindowPlacement({10, 10, 0, 300}, Screens), std::nullopt);
    EXPECT_EQ(MainWindowPlacement({10, 10, 300, -5}, Screens), std::nullopt);
}

TEST(MainWindowPlacement, AStoredPlaceOnAScreenIsKept) {
    EXPECT_EQ(MainWindowPlacement({100, 50, 800, 600}, Screens), (Rect{100, 50, 900, 650}));
    // On the second screen.
    EXPECT_EQ(MainWindowPlacement({2000, 100, 640, 480}, Screens), (Rect{2000, 100, 2640, 580}));
    // Half off the first screen's left edge still shows 400 × 600.
    EXPECT_EQ(MainWindowPlacement({-400, 50, 800, 600}, Screens), (Rect{-400, 50, 400, 650}));
}

TEST(MainWindowPlacement, APlaceOffEveryScreenGivesTheDefault) {
    EXPECT_EQ(MainWindowPlacement({5000, 50, 800, 600}, Screens), std::nullopt);
    EXPECT_EQ(MainWindowPlacement({100, -900, 800, 600}, Screens), std::nullopt);
    // Below the second screen's bottom but beside the first: 1100 … 1700 is
    // under 1024 on the second screen, and right of 1600 on the first.
    EXPECT_EQ(MainWindowPlacement({1700, 1100, 800, 600}, Screens), std::nullopt);
    EXPECT_EQ(MainWindowPlacement({100, 50, 800, 600}, {}), std::nullopt);
}

TEST(MainWindowPlacement, ASlimOverlapIsNotEnough) {
    // 31 columns on the first screen (1569 … 1600) and none on the
    // second, whose rows end at 1024.
    EXPECT_EQ(MainWindowPlacement({1569, 1100, 800, 600}, Screens), std::nullopt);
    // 32 columns are.
    EXPECT_EQ(MainWindowPlacement({1568, 1100, 800, 600}, Screens), (Rect{1568, 1100, 2368, 1700}));
    // 31 rows above the first screen's bottom, and the second ends higher.
    EXPECT_EQ(MainWindowPlacement({100, 1139, 800, 600}, Screens), std::nullopt);
    EXPECT_EQ(MainWindowPlacement({100, 1138, 800, 600}, Screens), (Rect{100, 1138, 900, 1738}));
}

TEST(MainWindowPlacement, TheKeysGoToTheSettingsAndBack) {
    TempDir dir;
    const std::string ini = dir.file("CELDO.INI");
    {
        Settings settings(ini, "CELDOM");
        EXPECT_EQ(StoredPlacement::Read(settings), (StoredPlacement{0, 0, 0, 0}));
        StoredPlacement{-12, 34, 560, 780}.Write(settings);
        settings.flush();
    }
    Settings settings(ini, "CELDOM");
    EXPECT_EQ(settings.readInt("MainXpos", 0), -12);
    EXPECT_EQ(settings.readInt("MainYpos", 0), 34);
    EXPECT_EQ(settings.readInt("MainWidth", 0), 560);
    EXPECT_EQ(settings.readInt("MainHeight", 0), 780);
    EXPECT_EQ(StoredPlacement::Read(settings), (StoredPlacement{-12, 34, 560, 780}));
}
