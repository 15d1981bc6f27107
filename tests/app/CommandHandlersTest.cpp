#include "app/CommandHandlers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace celdo;

TEST(CommandHandlers, RunsWhatIsRegisteredAndPassesOnTheRest) {
    CommandHandlers handlers;
    int saves = 0;
    handlers.on(Command::Save, [&] { ++saves; });
    EXPECT_TRUE(handlers.run(Command::Save));
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(handlers.run(Command::SaveAs));
    EXPECT_FALSE(handlers.handles(Command::SaveAs));
    EXPECT_EQ(saves, 1);
}

TEST(CommandHandlers, ARuleDecidesWhetherTheCommandIsClaimed) {
    CommandHandlers handlers;
    bool picture = false;
    int fits = 0;
    handlers.on(
        Command::FitToImage, [&] { return picture; }, [&] { ++fits; });
    EXPECT_FALSE(handlers.handles(Command::FitToImage));
    EXPECT_FALSE(handlers.run(Command::FitToImage));
    EXPECT_EQ(fits, 0);
    picture = true;
    EXPECT_TRUE(handlers.handles(Command::FitToImage));
    EXPECT_TRUE(handlers.run(Command::FitToImage));
    EXPECT_EQ(fits, 1);
}

TEST(CommandHandlers, ARunHandsOverThePlaceInTheRun) {
    CommandHandlers handlers;
    std::vector<int> groups;
    handlers.onRun(Command::ColourGroupFirst, Command::ColourGroupLast,
                   [&](int group) { groups.push_back(group); });
    EXPECT_TRUE(handlers.run(commandAt(Command::ColourGroupFirst, 3)));
    EXPECT_TRUE(handlers.run(Command::ColourGroupLast));
    EXPECT_TRUE(handlers.run(Command::ColourGroupFirst));
    // 1510, one past the run, is the palette board.
    EXPECT_FALSE(handlers.run(Command::PaletteBoard));
    EXPECT_EQ(groups, (std::vector<int>{3, 9, 0}));
}

TEST(CommandHandlers, ALaterRegistrationReplacesTheEarlier) {
    CommandHandlers handlers;
    std::vector<int> calls;
    handlers.on(Command::Help, [&] { calls.push_back(1); });
    handlers.on(Command::Help, [&] { calls.push_back(2); });
    handlers.run(Command::Help);
    EXPECT_EQ(calls, (std::vector<int>{2}));
}

TEST(Command, RunsAndIdsAreTheProgramsNumbers) {
    EXPECT_EQ(commandId(Command::OpenImage), 102);
    EXPECT_EQ(commandId(Command::RefreshToolbar), 1960);
    EXPECT_EQ(commandAt(Command::ZoomOne, -5), Command::ZoomEighth);
    EXPECT_EQ(commandAt(Command::FileHistoryFirst, 19), Command::FileHistoryLast);
    EXPECT_EQ(indexInRun(Command::ZoomHalf, Command::ZoomEighth, Command::ZoomSixteen), 4);
    EXPECT_EQ(indexInRun(Command::PaletteHistoryLast, Command::PaletteHistoryFirst,
                         Command::PaletteHistoryLast),
              9);
    EXPECT_FALSE(
        indexInRun(Command::PaletteBoard, Command::ColourGroupFirst, Command::ColourGroupLast));
}
