#include "EditorTestSupport.h"
#include "FileDialogAnswer.h"

#include "canvas/Canvas.h"
#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/MagFile.h"
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
    // Open (102) with the information dialogs on: cancelling each format's
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
                {folder + "p.cur", "CurLoad"},
            };
            QVERIFY(write(KissCellFile(cases[0].path), *picture));
            QVERIFY(write(BmpFile(cases[1].path), *picture));
            QVERIFY(MagFile::Save(cases[2].path, *picture, "") == status::Ok);
            QVERIFY(write(IconFile(cases[3].path, IconFile::IconVariant), *picture));
            QVERIFY(write(IconFile(cases[4].path, IconFile::CursorVariant), *picture));

            auto editor = f.start(variant);
            MainWindow& w = *editor->mainWindow();
            editor->state().fileOptions.viewHeader = 1;
            for (const Case& c : cases) {
                f.ui.answerDialog("FLOAD", typeName(c.path));
                f.ui.answerDialog(c.dialog, 2);
                w.executeCommand(102);
                f.settle();
                QVERIFY2(w.imageWindows().empty(), c.dialog);
                QVERIFY2(f.ui.messages.empty(), c.dialog);
            }
            // celdos keeps one picture, so each opened file replaces the last.
            for (const Case& c : cases) {
                f.ui.answerDialog("FLOAD", typeName(c.path));
                f.ui.answerDialog(c.dialog, 1);
                w.executeCommand(102);
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
        w.executeCommand(102);
        f.settle();
        QVERIFY(w.imageWindows().empty());
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(f.ui.messages[0].text),
                 QStringLiteral("画像はフルカラーです。ロードしますか？"));
        // Yes reduces it onto the current group and opens it.
        f.ui.answerDialog("FLOAD", typeName(path));
        f.ui.answerMessage(answer::Yes);
        w.executeCommand(102);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QCOMPARE(w.activeImageWindow()->canvas().picture()->bitsPerPixel(), 8);
    }
};

QTEST_MAIN(OpenCommandTest)
#include "OpenCommandTest.moc"
