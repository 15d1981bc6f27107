#include "app/EnvironmentOptions.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(EnvironmentOptions, ThePageShowsAndReturnsItsSettings) {
    ControlTable on = EnvironmentOptionPage({1, 300});
    EXPECT_EQ(on.name, "EnvOption");
    EXPECT_EQ(on.title, "環境");
    EXPECT_EQ(on.value(envoption::AutoSave), 1);
    EXPECT_EQ(on.value(envoption::UndoMemory), 300);
    EXPECT_EQ(on.text(envoption::UndoMemoryLabel), "300");
    EXPECT_EQ(ReadEnvironmentOptionPage(on).autoSave, 1);
    EXPECT_EQ(ReadEnvironmentOptionPage(on).undoMemory, 300);
    on.setValue(envoption::AutoSave, 0);
    on.setValue(envoption::UndoMemory, 1024);
    EXPECT_EQ(ReadEnvironmentOptionPage(on).autoSave, 0);
    EXPECT_EQ(ReadEnvironmentOptionPage(on).undoMemory, 1024);

    // A stored value outside the range shows and comes back inside it.
    ControlTable off = EnvironmentOptionPage({0, 1});
    EXPECT_EQ(off.value(envoption::AutoSave), 0);
    EXPECT_EQ(off.value(envoption::UndoMemory), 16);
    off.setValue(envoption::AutoSave, 1);
    EXPECT_EQ(ReadEnvironmentOptionPage(off).autoSave, 1);
    EXPECT_EQ(ReadEnvironmentOptionPage(off).undoMemory, 16);
}
