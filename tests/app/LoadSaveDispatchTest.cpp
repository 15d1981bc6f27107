#include "app/LoadSaveDispatch.h"
#include "app/AppState.h"
#include "formats/BmpFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "formats/PngFile.h"
#include "framework/ScriptedUi.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace celdo;

namespace {

// An editor state whose settings live in the test's temporary folder.
struct Fixture {
    test::TempDir dir;
    std::unique_ptr<AppState> app;
    ScriptedUi ui;
    std::unique_ptr<LoadSaveDispatch> dispatch;

    Fixture() {
        ::setenv("CELDO_INI", dir.file("CELDO.INI").c_str(), 1);
        app = std::make_unique<AppState>(FrameVariant::MultipleDocument, dir.path());
        for (int i = 0; i < 256; ++i)
            app->palette.group(0)[i] = rgb(i, 255 - i, i / 2);
        dispatch = std::make_unique<LoadSaveDispatch>(*app, ui);
    }

    // Writes `image` through the format of `name` and returns the path.
    std::string save(const std::string& name, const CellImage& image,
                     const CellImage* mask = nullptr) {
        const std::string path = dir.file(name);
        auto file = CreateFormatFor(path, app->palette.current());
        file->setFromImage(image);
        EXPECT_EQ(file->saveTo(image, mask), 0) << name;
        return path;
    }
};

CellImagePtr picture8(int w, int h) {
    auto p = CellImage::Create(w, h, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, i, 255 - i);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->at(x, y) = static_cast<std::uint8_t>((x * 7 + y) % 16);
    return p;
}

} // namespace

TEST(LoadSaveDispatch, FormatFollowsTheTextAfterTheLastDot) {
    EXPECT_NE(dynamic_cast<KissCellFile*>(CreateFormatFor("p.cel").get()), nullptr);
    EXPECT_NE(dynamic_cast<KissCellFile*>(CreateFormatFor("p.tar.cel").get()), nullptr);
    EXPECT_NE(dynamic_cast<KissCellFile*>(CreateFormatFor("/d/doll.v2.cel").get()), nullptr);
    EXPECT_NE(dynamic_cast<BmpFile*>(CreateFormatFor("p").get()), nullptr);
    EXPECT_NE(dynamic_cast<BmpFile*>(CreateFormatFor("/d/x.cel/p").get()), nullptr);
    EXPECT_NE(dynamic_cast<BmpFile*>(CreateFormatFor("p.cel.bmp").get()), nullptr);
    EXPECT_NE(dynamic_cast<MagFile*>(CreateFormatFor("p.mag").get()), nullptr);
}

TEST(LoadSaveDispatch, CellOpensWithoutDialogsAndOtherNamesAsBitmaps) {
    Fixture f;
    auto image = picture8(5, 3);
    const std::string cell = f.save("PICTURE.cel", *image);
    const auto loaded = f.dispatch->OpenImage(cell, false);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(f.ui.dialogs.empty());
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_TRUE(loaded->picture->samePixels(*image));
    // A cell takes the current colour group as its palette.
    EXPECT_EQ(loaded->picture->palette()[3], f.app->palette.current()[3]);
    EXPECT_EQ(f.app->imageHistory.entries().front(), cell);

    // Several dots: the last one decides.
    std::filesystem::copy_file(cell, f.dir.file("doll.v2.cel"));
    const auto second = f.dispatch->OpenImage(f.dir.file("doll.v2.cel"), false);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->picture->samePixels(*image));
    EXPECT_TRUE(f.ui.messages.empty());

    std::filesystem::copy_file(cell, f.dir.file("PICTURE"));
    EXPECT_FALSE(f.dispatch->OpenImage(f.dir.file("PICTURE"), false));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "フォーマット異常");
    EXPECT_EQ(f.ui.messages[0].caption, "Celdos");
}

TEST(LoadSaveDispatch, CancellingTheInformationDialogOpensNothingQuietly) {
    Fixture f;
    const std::string cell = f.save("doll.cel", *picture8(4, 4));
    f.ui.answerDialog("KissCellLoad", 2);
    EXPECT_FALSE(f.dispatch->OpenImage(cell, true));
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.dialogs, std::vector<std::string>{"KissCellLoad"});
}

TEST(LoadSaveDispatch, FullColourQuestion) {
    Fixture f;
    auto truecolour = CellImage::Create(3, 2, 24);
    truecolour->row(0)[2] = 255; // a red pixel
    const std::string path = f.save("photo.bmp", *truecolour);

    f.ui.answerMessage(answer::No);
    EXPECT_FALSE(f.dispatch->OpenImage(path, false));
    EXPECT_EQ(f.ui.messages.back().text, "画像はフルカラーです。ロードしますか？");

    // A group holding black at 7 and red at 9, everything else one green:
    // exact colours win, and the result shows the group's colours.
    for (int i = 0; i < 256; ++i)
        f.app->palette.current()[i] = rgb(60, 200, 60);
    f.app->palette.current()[7] = rgb(0, 0, 0);
    f.app->palette.current()[9] = rgb(255, 0, 0);
    f.ui.answerMessage(answer::Yes);
    const auto loaded = f.dispatch->OpenImage(path, false);
    ASSERT_TRUE(loaded);
    const CellImage& opened = *loaded->picture;
    EXPECT_EQ(opened.bitsPerPixel(), 8);
    EXPECT_EQ(opened.at(0, 0), 9);
    EXPECT_EQ(opened.at(1, 0), 7);
    EXPECT_EQ(opened.at(0, 1), 7);
    EXPECT_EQ(opened.palette()[9], rgb(255, 0, 0));
}

TEST(LoadSaveDispatch, OneBitPicturesWidenWithTheirOwnTwoColours) {
    Fixture f;
    auto one = CellImage::Create(9, 2, 1);
    const ColourValue two[2] = {rgb(10, 20, 30), rgb(200, 100, 50)};
    one->SetPalette(two, 2);
    one->row(0)[0] = 0x80;
    const std::string path = f.save("mono.bmp", *one);
    const auto loaded = f.dispatch->OpenImage(path, false);
    ASSERT_TRUE(loaded);
    const CellImage& opened = *loaded->picture;
    EXPECT_EQ(opened.bitsPerPixel(), 8);
    EXPECT_EQ(opened.palette()[0], two[0]);
    EXPECT_EQ(opened.palette()[1], two[1]);
    EXPECT_EQ(opened.palette()[2], f.app->palette.current()[2]);
    EXPECT_EQ(opened.at(0, 0), 1);
    EXPECT_EQ(opened.at(1, 0), 0);
}

TEST(LoadSaveDispatch, SaveAsCancelledKeepsTheDocument) {
    Fixture f;
    auto image = picture8(4, 4);
    std::unique_ptr<GraphicFile> document = CreateFormatFor(f.dir.file("old.cel"));
    f.ui.answerDialog("BmpSave", 2);
    bool saved = true;
    EXPECT_EQ(
        f.dispatch->SaveImageAs(f.dir.file("new.bmp"), *image, nullptr, document, true, &saved), 0);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("new.bmp")));
    EXPECT_EQ(document->name(), "old.cel");
    EXPECT_TRUE(f.ui.messages.empty());

    EXPECT_EQ(
        f.dispatch->SaveImageAs(f.dir.file("new.bmp"), *image, nullptr, document, false, &saved),
        0);
    EXPECT_TRUE(saved);
    EXPECT_EQ(document->name(), "new.bmp");
    EXPECT_EQ(f.app->imageHistory.entries().front(), f.dir.file("new.bmp"));
}

TEST(LoadSaveDispatch, MaskTravelsInAFileBesideThePicture) {
    Fixture f;
    auto image = picture8(6, 4);
    PaintSurface surface;
    surface.picture = image->Duplicate();
    surface.mask = CellImage::Create(6, 4, 8);
    surface.mask->at(2, 1) = 0xFF;
    std::unique_ptr<GraphicFile> document;
    ASSERT_EQ(f.dispatch->SaveImageAs(f.dir.file("masked.bmp"), *surface.picture,
                                      surface.mask.get(), document, false),
              0);
    f.dispatch->SaveMaskFor(*document, surface);
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("masked.MSK")));

    const auto loaded = f.dispatch->OpenImage(f.dir.file("masked.bmp"), false);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(loaded->mask);
    EXPECT_EQ(loaded->mask->at(2, 1), 0xFF);
    EXPECT_EQ(loaded->mask->at(3, 1), 0);
}

TEST(LoadSaveDispatch, FailedHistoryEntryFollowsTheSetting) {
    Fixture f;
    const std::string missing = f.dir.file("gone.cel");
    f.app->imageHistory.add(missing);

    // Ask, answered No: the entry stays and no further message follows.
    f.app->fileOptions.deleteErrorMenuFile = 1;
    f.ui.answerMessage(answer::No);
    EXPECT_FALSE(f.dispatch->OpenImage(missing, false));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "gone.cel は開けません。メニューから外しますか？");
    EXPECT_EQ(f.app->imageHistory.size(), 1);

    // Remove: the entry goes and the loader's message is still shown.
    f.app->fileOptions.deleteErrorMenuFile = 2;
    EXPECT_FALSE(f.dispatch->OpenImage(missing, false));
    EXPECT_EQ(f.app->imageHistory.size(), 0);
    EXPECT_EQ(f.ui.messages.back().text, "ファイルオープンエラー");
}

TEST(LoadSaveDispatch, PaletteCommands) {
    Fixture f;
    // A palette file with two groups.
    PaletteSet source;
    for (int i = 0; i < 256; ++i) {
        source.group(0)[i] = rgb(i, 0, 0);
        source.group(1)[i] = rgb(0, i, 0);
    }
    KissPaletteFile writer(f.dir.file("SET.KCF"));
    writer.setKind(2);
    writer.setGroupCount(2);
    writer.setColourSource(&source);
    ASSERT_EQ(writer.saveWithoutImage(), 0);

    // A dropped palette replaces the groups without a dialog.
    ASSERT_TRUE(f.dispatch->LoadPalette(f.dir.file("SET.KCF"), false));
    EXPECT_TRUE(f.ui.dialogs.empty());
    EXPECT_EQ(f.app->palette.group(1)[200], rgb(0, 200, 0));
    EXPECT_EQ(f.app->paletteHistory.entries().front(), f.dir.file("SET.KCF"));

    // Overwrite save through the current palette file.
    f.app->palette.group(0)[5] = rgb(1, 2, 3);
    f.dispatch->PaletteCommand(Command::SavePalette);
    EXPECT_TRUE(f.ui.dialogs.empty());
    KissPaletteFile check(f.dir.file("SET.KCF"));
    ASSERT_EQ(check.readHeader(), 0);
    EXPECT_EQ(check.groupCount(), 2);
}

TEST(LoadSaveDispatch, PaletteOverwriteWithoutAFileAsksForAName) {
    Fixture f;
    const std::string target = f.dir.file("NEW.KCF");
    f.ui.answerDialog("FSAVE", [&](ControlTable& t) {
        t.setText(400, target);
        return t.press(1);
    });
    f.dispatch->PaletteCommand(Command::SavePalette);
    EXPECT_EQ(f.ui.dialogs, std::vector<std::string>{"FSAVE"});
    EXPECT_EQ(f.ui.tables[0].title, "パレットの保存");
    EXPECT_TRUE(std::filesystem::exists(target));
    ASSERT_TRUE(f.app->currentPaletteFile);
    EXPECT_EQ(f.app->paletteHistory.entries().front(), target);
}

TEST(LoadSaveDispatch, IconPagesAreChosenWithThePageDialog) {
    CELDO_REQUIRE_TESTDATA("ico/indexed");
    Fixture f;
    const auto dir = test::testDataDir() / "ico" / "indexed";
    std::string multi;
    for (const auto& name : test::listDir(dir)) {
        auto file = CreateFormatFor((dir / name).string());
        if (file->readHeader() == 0 && file->pageCount() > 1) {
            multi = (dir / name).string();
            break;
        }
    }
    if (multi.empty())
        GTEST_SKIP() << "no icon with several pages";
    f.ui.answerDialog("PageSelect", [](ControlTable& t) {
        EXPECT_EQ(t.title, "読込ページの選択");
        EXPECT_EQ(t.value(360), 1);
        t.setValue(360, 2);
        return t.press(1);
    });
    f.ui.answerDialog("IconLoad", 1);
    const auto loaded = f.dispatch->OpenImage(multi, true);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->document->page(), 1);
}

TEST(LoadSaveDispatch, PngIsTheLastTypeOfBothLists) {
    EXPECT_NE(dynamic_cast<PngFile*>(CreateFormatFor("p.png").get()), nullptr);
    EXPECT_NE(dynamic_cast<PngFile*>(CreateFormatFor("/d/P.PNG").get()), nullptr);
    // Earlier entries keep their places: GraphicFileType stores the index.
    const auto& open = ImageOpenTypes();
    ASSERT_EQ(open.size(), 7u);
    EXPECT_EQ(open[4].pattern, "*.CEL");
    EXPECT_EQ(open[5].pattern, "*.*");
    EXPECT_EQ(open[6].description + " (" + open[6].pattern + ")", "PNG (*.PNG)");
    const auto& save = ImageSaveTypes();
    ASSERT_EQ(save.size(), 6u);
    EXPECT_EQ(save[4].pattern, "*.CEL");
    EXPECT_EQ(save[5].description + " (" + save[5].pattern + ")", "PNG (*.PNG)");
}

TEST(LoadSaveDispatch, FullColourPngAsksReducesAndKeepsItsAlphaAsTheMask) {
    Fixture f;
    auto truecolour = CellImage::Create(3, 2, 24);
    truecolour->row(0)[2] = 255; // a red pixel
    auto mask = CellImage::Create(3, 2, 8);
    mask->at(1, 1) = 200;
    const std::string path = f.save("photo.png", *truecolour, mask.get());

    f.ui.answerMessage(answer::No);
    EXPECT_FALSE(f.dispatch->OpenImage(path, false));
    EXPECT_EQ(f.ui.messages.back().text, "画像はフルカラーです。ロードしますか？");

    for (int i = 0; i < 256; ++i)
        f.app->palette.current()[i] = rgb(60, 200, 60);
    f.app->palette.current()[7] = rgb(0, 0, 0);
    f.app->palette.current()[9] = rgb(255, 0, 0);
    f.ui.answerMessage(answer::Yes);
    const auto loaded = f.dispatch->OpenImage(path, false);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->picture->bitsPerPixel(), 8);
    EXPECT_EQ(loaded->picture->at(0, 0), 9);
    EXPECT_EQ(loaded->picture->at(1, 0), 7);
    ASSERT_TRUE(loaded->mask);
    EXPECT_EQ(loaded->mask->at(1, 1), 200);
    EXPECT_EQ(loaded->mask->at(0, 0), 0);
}

TEST(LoadSaveDispatch, PalettePngShowsItsInformationAndBringsItsColours) {
    Fixture f;
    const auto picture = picture8(6, 5);
    const std::string path = f.save("pal.png", *picture);
    f.ui.answerDialog("PngLoad", 2);
    EXPECT_FALSE(f.dispatch->OpenImage(path, true));
    EXPECT_TRUE(f.ui.messages.empty());
    f.ui.answerDialog("PngLoad", 1);
    auto loaded = f.dispatch->OpenImage(path, true);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->picture->samePixels(*picture));
    EXPECT_TRUE(CarriesOwnPalette(*loaded));
    std::vector<ColourValue> group(256);
    ReconcileLoadedPalette(*loaded, group.data(), false);
    EXPECT_EQ(group[3], rgb(3, 3, 252));
}

TEST(LoadSaveDispatch, AnIndexedPngKeepsItsMaskInAFileBesideIt) {
    Fixture f;
    PaintSurface surface;
    surface.picture = picture8(6, 4);
    surface.mask = CellImage::Create(6, 4, 8);
    surface.mask->at(2, 1) = 0xFF;
    std::unique_ptr<GraphicFile> document;
    ASSERT_EQ(f.dispatch->SaveImageAs(f.dir.file("masked.png"), *surface.picture,
                                      surface.mask.get(), document, false),
              0);
    f.dispatch->SaveMaskFor(*document, surface);
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("masked.MSK")));
    const auto loaded = f.dispatch->OpenImage(f.dir.file("masked.png"), false);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(loaded->mask);
    EXPECT_EQ(loaded->mask->at(2, 1), 0xFF);

    // A true-colour picture carries its mask as alpha and writes no file.
    PaintSurface photo;
    photo.picture = CellImage::Create(6, 4, 24);
    photo.mask = CellImage::Create(6, 4, 8);
    photo.mask->at(1, 1) = 0x80;
    std::unique_ptr<GraphicFile> photoDocument;
    ASSERT_EQ(f.dispatch->SaveImageAs(f.dir.file("photo.png"), *photo.picture, photo.mask.get(),
                                      photoDocument, false),
              0);
    f.dispatch->SaveMaskFor(*photoDocument, photo);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("photo.MSK")));
}
