#include "app/SaveColourCheck.h"
#include "app/AppState.h"
#include "app/LoadSaveDispatch.h"
#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/MagFile.h"
#include "framework/ScriptedUi.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace celdo;

namespace {

// A 4 × 3 picture of 8 bits a pixel with the given indices, row by row.
CellImagePtr picture8(std::initializer_list<int> indices) {
    auto p = CellImage::Create(4, 3, 8);
    int i = 0;
    for (int value : indices) {
        p->at(i % 4, i / 4) = static_cast<std::uint8_t>(value);
        ++i;
    }
    return p;
}

// Indices beyond 15: 16, 17, 200, 254, 255 (five); beyond 1: those and 2,
// 3, 15 (eight).
CellImagePtr painted() {
    return picture8({0, 1, 2, 16,  //
                     15, 17, 3, 0, //
                     200, 254, 255, 1});
}

} // namespace

TEST(SaveColourCheck, CountsIndicesTheDepthCannotHold) {
    const auto p = painted();
    EXPECT_EQ(pixelsBeyondDepth(*p, 4), 5);
    EXPECT_EQ(pixelsBeyondDepth(*p, 1), 8);
    EXPECT_EQ(pixelsBeyondDepth(*p, 8), 0);
    // Only the top-left 2 × 2: 17 in the second row.
    EXPECT_EQ(pixelsBeyondDepth(*p, 4, 2, 2), 1);
    // 254 and 255 spared: 16, 17, 200.
    EXPECT_EQ(pixelsBeyondDepth(*p, 4, 4, 3, 254), 3);
    EXPECT_EQ(pixelsBeyondDepth(*picture8({0, 15, 3, 9, 0, 0, 0, 0, 1, 2, 4, 8}), 4), 0);
}

TEST(SaveColourCheck, PackedAndTrueColourPictures) {
    // A 16-colour picture loses nothing as 16 colours, and its indices 2-15
    // as 2 colours.
    auto p4 = CellImage::Create(3, 2, 4);
    const std::uint8_t row0[] = {0, 1, 2, 0, 0, 0, 0, 0};
    const std::uint8_t row1[] = {15, 0, 1, 0, 0, 0, 0, 0};
    p4->PackRow4(p4->row(0), row0);
    p4->PackRow4(p4->row(1), row1);
    EXPECT_EQ(pixelsBeyondDepth(*p4, 4), 0);
    EXPECT_EQ(pixelsBeyondDepth(*p4, 1), 2);
    // True colour has no indices to lose.
    EXPECT_EQ(pixelsBeyondDepth(*CellImage::Create(3, 2, 24), 1), 0);
}

TEST(SaveColourCheck, DepthOfEachKind) {
    BmpFile bmp("a.bmp");
    bmp.setSaveBits(4);
    EXPECT_EQ(savedIndexBits(bmp), 4);
    bmp.setSaveBits(1);
    EXPECT_EQ(savedIndexBits(bmp), 1);
    bmp.setSaveBits(24);
    EXPECT_EQ(savedIndexBits(bmp), 8);
    MagFile mag("a.mag");
    mag.setSaveBits(4);
    EXPECT_EQ(savedIndexBits(mag), 4);
    mag.setSaveBits(8);
    EXPECT_EQ(savedIndexBits(mag), 8);
    KissCellFile cell("a.cel");
    cell.setKind(0);
    EXPECT_EQ(savedIndexBits(cell), 4);
    cell.setKind(1);
    EXPECT_EQ(savedIndexBits(cell), 4);
    cell.setKind(2);
    EXPECT_EQ(savedIndexBits(cell), 8);
    IconFile icon("a.ico", IconFile::IconVariant);
    icon.setColours(2);
    EXPECT_EQ(savedIndexBits(icon), 1);
    icon.setColours(16);
    EXPECT_EQ(savedIndexBits(icon), 4);
    icon.setColours(256);
    EXPECT_EQ(savedIndexBits(icon), 8);
}

TEST(SaveColourCheck, IconsKeepTheirTransparencyAndWriteTheirOwnSize) {
    const auto p = painted();
    IconFile icon("a.ico", IconFile::IconVariant);
    icon.setColours(16);
    icon.setSize(4, 3);
    EXPECT_EQ(pixelsChangingColour(icon, *p), 3);
    icon.setSize(2, 2);
    EXPECT_EQ(pixelsChangingColour(icon, *p), 1);
    KissCellFile cell("a.cel");
    cell.setKind(1);
    EXPECT_EQ(pixelsChangingColour(cell, *p), 5);
}

TEST(SaveColourCheck, QuestionText) {
    EXPECT_EQ(colourChangeQuestion(12), "12個の点の色が変わります。保存しますか？");
}

namespace {

struct Fixture {
    test::TempDir dir;
    std::unique_ptr<AppState> app;
    ScriptedUi ui;
    std::unique_ptr<LoadSaveDispatch> dispatch;

    Fixture() {
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        app = std::make_unique<AppState>(FrameVariant::MultipleDocument, dir.path());
        dispatch = std::make_unique<LoadSaveDispatch>(*app, ui);
    }
};

// Chooses 16 colours (4 bits) in the BMP options dialog.
void chooseFourBits(ControlTable& t) {
    for (int id = 241; id <= 244; ++id)
        t.setValue(id, id == 242 ? 1 : 0);
}

} // namespace

TEST(SaveColourCheck, SaveAsAsksAfterTheOptionsAndNoWritesNothing) {
    Fixture f;
    const auto p = painted();
    std::unique_ptr<GraphicFile> document;
    f.ui.answerDialog("BmpSave", [](ControlTable& t) {
        chooseFourBits(t);
        return 1;
    });
    f.ui.answerMessage(answer::No);
    bool saved = true;
    EXPECT_EQ(f.dispatch->SaveImageAs(f.dir.file("p.bmp"), *p, nullptr, document, true, &saved), 0);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(document);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("p.bmp")));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "5個の点の色が変わります。保存しますか？");
    EXPECT_EQ(f.ui.messages[0].caption, "Celdos");
    EXPECT_EQ(f.ui.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(f.ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(f.app->imageHistory.entries().empty());

    f.ui.answerDialog("BmpSave", [](ControlTable& t) {
        chooseFourBits(t);
        return 1;
    });
    f.ui.answerMessage(answer::Yes);
    EXPECT_EQ(f.dispatch->SaveImageAs(f.dir.file("p.bmp"), *p, nullptr, document, true, &saved), 0);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("p.bmp")));
    EXPECT_EQ(f.ui.messages.size(), 2u);
}

TEST(SaveColourCheck, PicturesThatFitAreSavedWithoutAQuestion) {
    Fixture f;
    const auto p = picture8({0, 15, 3, 9, 0, 0, 0, 0, 1, 2, 4, 8});
    std::unique_ptr<GraphicFile> document;
    f.ui.answerDialog("BmpSave", [](ControlTable& t) {
        chooseFourBits(t);
        return 1;
    });
    bool saved = false;
    EXPECT_EQ(f.dispatch->SaveImageAs(f.dir.file("p.bmp"), *p, nullptr, document, true, &saved), 0);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(f.ui.messages.empty());
    // 256 colours hold every index.
    EXPECT_EQ(
        f.dispatch->SaveImageAs(f.dir.file("q.bmp"), *painted(), nullptr, document, false, &saved),
        0);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(SaveColourCheck, OverwriteAsksWithTheKindChosenEarlier) {
    Fixture f;
    const auto p = painted();
    BmpFile document(f.dir.file("old.bmp"));
    document.setSaveBits(1);
    f.ui.answerMessage(answer::No);
    bool saved = true;
    EXPECT_EQ(f.dispatch->SaveImage(document, *p, nullptr, &saved), 0);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("old.bmp")));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "8個の点の色が変わります。保存しますか？");

    f.ui.answerMessage(answer::Yes);
    EXPECT_EQ(f.dispatch->SaveImage(document, *p, nullptr, &saved), 0);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("old.bmp")));
}
