#include "app/AppState.h"
#include "canvas/FloodFill.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace celdo;

namespace {

// An editor state started from a settings file that stores both fill option
// sets with the mask searched and the border used.
struct FillOptionsStartUp : ::testing::Test {
    test::TempDir dir;
    std::unique_ptr<AppState> app;

    void SetUp() override {
        const std::string text = "[CELDOM]\r\nSearchPlane1=1\r\nUseBorder1=1\r\n"
                                 "SearchPlane2=1\r\nUseBorder2=1\r\nMaskBorder=0\r\n";
        test::writeFileBytes(dir.file("CELDO.INI"), {text.begin(), text.end()});
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        app = std::make_unique<AppState>(FrameVariant::MultipleDocument, dir.path());
        app->readSettings();
    }
};

} // namespace

TEST_F(FillOptionsStartUp, OptionsInForceStartAtZeroWhateverIsStored) {
    EXPECT_EQ(app->editing.fill.searchPlane, 0);
    EXPECT_FALSE(app->editing.fill.useBorder);
    // The border value on the mask plane is a plain setting.
    EXPECT_EQ(app->editing.fill.maskBorder, 0);
    // The stored sets still fill the dialogs.
    EXPECT_EQ(app->fillSettings.searchPlane1, 1);
    EXPECT_TRUE(app->fillSettings.useBorder1);
    EXPECT_EQ(MakePaintOptionDialog(false, app->fillSettings).checkedRadio(241, 242), 242);
}

TEST_F(FillOptionsStartUp, ConfirmedDialogSetsTheOptionsInForce) {
    ControlTable image = MakePaintOptionDialog(false, app->fillSettings);
    ApplyPaintOptionDialog(image, false, app->fillSettings, app->editing.fill);
    EXPECT_EQ(app->editing.fill.searchPlane, 1);
    EXPECT_TRUE(app->editing.fill.useBorder);

    ControlTable mask = MakePaintOptionDialog(true, app->fillSettings);
    mask.setValue(241, 1);
    mask.setValue(242, 0);
    mask.setValue(280, 0);
    ApplyPaintOptionDialog(mask, true, app->fillSettings, app->editing.fill);
    EXPECT_EQ(app->editing.fill.searchPlane, 0);
    EXPECT_FALSE(app->editing.fill.useBorder);
    EXPECT_EQ(app->fillSettings.searchPlane2, 0);
    // The image-mode set stays as confirmed before.
    EXPECT_EQ(app->fillSettings.searchPlane1, 1);
}
