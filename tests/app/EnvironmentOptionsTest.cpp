#include "app/EnvironmentOptions.h"

#include <gtest/gtest.h>

using namespace celdo;

TEST(EnvironmentOptions, ThePageShowsAndReturnsTheAutoSaveSetting) {
    ControlTable on = EnvironmentOptionPage(1);
    EXPECT_EQ(on.name, "EnvOption");
    EXPECT_EQ(on.title, "環境");
    EXPECT_EQ(on.value(envoption::AutoSave), 1);
    EXPECT_EQ(ReadEnvironmentOptionPage(on), 1);
    on.setValue(envoption::AutoSave, 0);
    EXPECT_EQ(ReadEnvironmentOptionPage(on), 0);

    ControlTable off = EnvironmentOptionPage(0);
    EXPECT_EQ(off.value(envoption::AutoSave), 0);
    off.setValue(envoption::AutoSave, 1);
    EXPECT_EQ(ReadEnvironmentOptionPage(off), 1);
}
