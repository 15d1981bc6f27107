#include "app/AppState.h"
#include "app/Settings.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace celdo;

namespace {

std::unique_ptr<AppState> startFrom(const test::TempDir& dir, const std::string& section) {
    const std::string text = "[CELDOM]\r\n" + section;
    test::writeFileBytes(dir.file("CELDO.INI"), {text.begin(), text.end()});
    ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
    auto app = std::make_unique<AppState>(FrameVariant::MultipleDocument, dir.path());
    app->readSettings();
    return app;
}

} // namespace

TEST(TextPasteFlags, DefaultsArePasteAtOnceAndNoMask) {
    test::TempDir dir;
    const auto app = startFrom(dir, "");
    EXPECT_FALSE(app->textPaste.maskBackground);
    EXPECT_FALSE(app->textPaste.maskText);
    EXPECT_TRUE(app->textPaste.pasteAtOnce);
    // The rest starts fresh every run.
    EXPECT_EQ(app->textPaste.text, "");
    EXPECT_EQ(app->textPaste.angle, 0);
    EXPECT_FALSE(app->textPaste.vertical);
    EXPECT_EQ(app->textPaste.font.height, 24);
    EXPECT_EQ(app->textPaste.font.weight, 400);
}

TEST(TextPasteFlags, ReadAtStartUpAndWrittenAtExit) {
    test::TempDir dir;
    const auto app =
        startFrom(dir, "GrpFontBackMask=1\r\nGrpFontForeMask=0\r\nGrpFontPostMsg=0\r\n");
    EXPECT_TRUE(app->textPaste.maskBackground);
    EXPECT_FALSE(app->textPaste.maskText);
    EXPECT_FALSE(app->textPaste.pasteAtOnce);

    app->textPaste.maskBackground = false;
    app->textPaste.maskText = true;
    app->textPaste.pasteAtOnce = true;
    app->writeSettings();
    Settings again(dir.file("CELDO.INI"), "CELDOM");
    EXPECT_EQ(again.readInt("GrpFontBackMask", -1), 0);
    EXPECT_EQ(again.readInt("GrpFontForeMask", -1), 1);
    EXPECT_EQ(again.readInt("GrpFontPostMsg", -1), 1);
}
