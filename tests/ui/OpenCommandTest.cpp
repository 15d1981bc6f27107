#include "EditorTestSupport.h"
#include "FileDialogAnswer.h"

#include "canvas/Canvas.h"
#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/MagFile.h"
#include "formats/PngFile.h"
#include "ui/ImageWindow.h"

using namespace celdo;
using namespace celdo::testing;

namespace {

// An 8 × 4 picture whose pixel (x, y) holds 1 + x + 8y: 16 colours, so every
// format keeps every index.
CellImagePtr numbered() {
    auto image = CellImage::Create(8, 4, 8);
    std::array<ColourValue, 256> colours{};
    for (int i = 0; i < 256; ++i)
        colours[i] = static_cast<ColourValue>(i * 0x010203);
    image->SetPalette(colours.data(), 256);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            image->at(x, y) = static_cast<std::uint8_t>((1 + x + 8 * y) & 0x0F);
    return image;
}

bool write(GraphicFile&& file, const CellImage& image) {
    file.setFromImage(image);
    return file.saveTo(image, nullptr) == status::Ok;
}

} // namespace

class OpenCommandTest : public QObject {
    Q_OBJECT
private slots:
    // Open with the information dialogs on: cancelling each format's
    // dialog opens nothing and says nothing; confirming it opens the picture
    // with its indices.
    void everyFormatThroughTheOpenCommand() {
        for (FrameVariant variant :
             {FrameVariant::MultipleDocument, FrameVariant::SingleDocument}) {
            EditorFixture f;
            const std::string folder = f.dir.path().toStdString() + "/";
            const auto picture = numbered();
            struct Case {
                std::string path;
                const char* dialog;
            };
            const std::vector<Case> cases = {
                {folder + "p.cel", "KissCellLoad"}, {folder + "p.bmp", "BmpLoad"},
                {folder + "p.mag", "MagLoad"},      {folder + "p.ico", "IconLoad"},
                {folder + "p.cur", "CurLoad"},      {folder + "p.png", "PngLoad"},
            };
            QVERIFY(write(KissCellFile(cases[0].path), *picture));
            QVERIFY(write(BmpFile(cases[1].path), *picture));
            QVERIFY(MagFile::Save(cases[2].path, *picture, "") == status::Ok);
            QVERIFY(write(IconFile(cases[3].path, IconFile::IconVariant), *picture));
            QVERIFY(write(IconFile(cases[4].path, IconFile::CursorVariant), *picture));
            QVERIFY(write(PngFile(cases[5].path), *picture));

            auto editor = f.start(variant);
            MainWindow& w = *editor->mainWindow();
            editor->state().fileOptions.viewHeader = 1;
            for (const Case& c : cases) {
                f.ui.answerDialog("FLOAD", typeName(c.path));
                f.ui.answerDialog(c.dialog, 2);
                w.executeCommand(Command::OpenImage);
                f.settle();
                QVERIFY2(w.imageWindows().empty(), c.dialog);
                QVERIFY2(f.ui.messages.empty(), c.dialog);
            }
            // celdos keeps one picture, so each opened file replaces the last.
            for (const Case& c : cases) {
                f.ui.answerDialog("FLOAD", typeName(c.path));
                f.ui.answerDialog(c.dialog, 1);
                w.executeCommand(Command::OpenImage);
                f.settle();
                ImageWindow* opened = w.activeImageWindow();
                QVERIFY2(opened && opened->canvas().picture(), c.dialog);
                const CellImage& shown = *opened->canvas().picture();
                if (c.path.ends_with(".cur")) {
                    // Cursors are always written 32 × 32.
                    QCOMPARE(shown.width(), 32);
                    continue;
                }
                QCOMPARE(shown.width(), 8);
                QCOMPARE(int(shown.at(0, 0)), 1);
                QCOMPARE(int(shown.at(7, 3)), 0); // 32 & 15
                QCOMPARE(int(shown.at(2, 1)), 11);
            }
            QVERIFY(f.ui.messages.empty());
            QVERIFY(f.ui.allAnswered());
            if (variant == FrameVariant::MultipleDocument)
                QCOMPARE(w.imageWindows().size(), cases.size());
            else
                QCOMPARE(w.imageWindows().size(), std::size_t(1));
        }
    }

    // A PNG shows its information only with View Header on, and opens with its
    // indices, palette and offsets either way.
    void pngInformationFollowsViewHeader() {
        EditorFixture f;
        const std::string path = f.dir.path().toStdString() + "/kiss.png";
        const auto picture = numbered();
        PngFile png(path);
        png.setFromImage(*picture);
        png.setSaveBits(4);
        png.setTransparentZero(true);
        png.setWriteOffsets(true);
        png.setOffsets(12, 34);
        QVERIFY(png.saveTo(*picture, nullptr) == status::Ok);

        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        editor->state().fileOptions.viewHeader = 1;
        f.ui.answerDialog("FLOAD", typeName(path));
        f.ui.answerDialog("PngLoad", 1);
        w.executeCommand(Command::OpenImage);
        f.settle();
        QVERIFY(f.ui.allAnswered());
        QVERIFY(f.ui.messages.empty());
        const ControlTable* info = nullptr;
        for (const ControlTable& t : f.ui.tables)
            if (t.name == "PngLoad")
                info = &t;
        QVERIFY(info);
        QCOMPARE(info->text(200), std::string("kiss.png"));
        QCOMPARE(info->text(201), std::string("8 × 4"));
        QCOMPARE(info->text(202), std::string("4"));
        QCOMPARE(info->text(203), std::string("パレット"));
        QCOMPARE(info->text(204), std::string("16"));
        QCOMPARE(info->text(205), std::string("1 色"));
        QCOMPARE(info->text(206), std::string("12  34"));
        ImageWindow* opened = w.activeImageWindow();
        QVERIFY(opened && opened->canvas().picture());
        QCOMPARE(int(opened->canvas().picture()->at(2, 1)), 11);
        QCOMPARE(opened->canvas().picture()->paletteEntry(5), picture->paletteEntry(5));

        // Without View Header the same file opens without a dialog.
        editor->state().fileOptions.viewHeader = 0;
        const std::size_t dialogs = f.ui.dialogs.size();
        f.ui.answerDialog("FLOAD", [path](ControlTable& t) {
            // The check box of the file dialog stays off.
            t.setValue(FileDialog::ViewHeaderCheck, 0);
            t.setText(400, path);
            return t.press(1);
        });
        // The file is open already; the user asks for it again.
        f.ui.answerMessage(answer::Yes);
        w.executeCommand(Command::OpenImage);
        f.settle();
        QCOMPARE(f.ui.dialogs.size(), dialogs + 1);
        QCOMPARE(f.ui.dialogs.back(), std::string("FLOAD"));
        QCOMPARE(w.imageWindows().size(), std::size_t(2));
        QVERIFY(f.ui.unscripted.empty());
    }

    // A full-colour picture asks first; No opens nothing.
    void fullColourAnsweredNoOpensNothing() {
        EditorFixture f;
        auto photo = CellImage::Create(3, 2, 24);
        photo->row(0)[2] = 255;
        const std::string path = f.dir.path().toStdString() + "/photo.bmp";
        QVERIFY(write(BmpFile(path), *photo));
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        f.ui.answerDialog("FLOAD", typeName(path));
        f.ui.answerMessage(answer::No);
        w.executeCommand(Command::OpenImage);
        f.settle();
        QVERIFY(w.imageWindows().empty());
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.ui.messages[0].text),
                 QStringLiteral("画像はフルカラーです。ロードしますか？"));
        // Yes reduces it onto the current group and opens it.
        f.ui.answerDialog("FLOAD", typeName(path));
        f.ui.answerMessage(answer::Yes);
        w.executeCommand(Command::OpenImage);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QCOMPARE(w.activeImageWindow()->canvas().picture()->bitsPerPixel(), 8);
    }
};

QTEST_MAIN(OpenCommandTest)
#include "OpenCommandTest.moc"
