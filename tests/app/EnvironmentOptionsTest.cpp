#include "app/EnvironmentOptions.h"
#include "app/AppState.h"
#include "support/TestData.h"

#include <cstdlib>
#include <string>
#include <utility>

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

TEST(EnvironmentOptions, TheStoredUndoMemoryBoundsTheHistory) {
    test::TempDir dir;
    for (const auto& [stored, mib] : {std::pair{"UndoMemory=64\r\n", 64},
                                      {"UndoMemory=99999\r\n", 4096},
                                      {"UndoMemory=x\r\n", 256},
                                      {"", 256}}) {
        const std::string text = std::string("[CELDOM]\r\n") + stored;
        test::writeFileBytes(dir.file("CELDO.INI"), {text.begin(), text.end()});
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        AppState app(FrameVariant::MultipleDocument, dir.path());
        app.readSettings();
        EXPECT_EQ(app.undoMemory, mib) << stored;
        EXPECT_EQ(app.history.memoryLimit(), static_cast<std::size_t>(mib) << 20) << stored;
    }
}
