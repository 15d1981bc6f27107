#include "FakeEditorHost.h"
#include "FileDialogAnswer.h"

#include "app/ImageWindowDialogs.h"
#include "formats/KissCellFile.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"
#include "ui/MaskDensityWindow.h"

#include <QScrollBar>
#include <QtTest>

#include <filesystem>

using namespace celdo;
using namespace celdo::testing;

namespace {

// A w × h picture whose pixel (x, y) is index (x + w·y) mod `modulo`, with a
// palette entry i of red i, green 255 − i, blue 7.
CellImagePtr numbered(int w, int h, int modulo = 256) {
    auto p = CellImage::Create(w, h, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, 255 - i, 7);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->at(x, y) = static_cast<std::uint8_t>((x + w * y) % modulo);
    return p;
}

CellImagePtr readBack(const std::string& path) {
    auto file = CreateFormatFor(path);
    if (file->readHeader() != 0 || file->selectPage() != 0)
        return nullptr;
    auto image = file->readImage();
    if (image && image->bitsPerPixel() < 8)
        image = image->ConvertTo8(nullptr);
    return image;
}

} // namespace

class ImageWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeEditorHost> host;
    std::unique_ptr<ImageWindow> window;
    std::unique_ptr<QTemporaryDir> dir;

    std::string file(const char* name) { return dir->filePath(name).toStdString(); }
    void open(CellImagePtr picture) {
        window->SetPicture(std::move(picture), false);
        window->resize(300, 300);
        window->show();
    }

private slots:
    void init() {
        host = std::make_unique<FakeEditorHost>();
        window = std::make_unique<ImageWindow>(*host);
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        window.reset();
        host.reset();
    }

    void closingAnUnchangedPictureAsksNothing() {
        open(numbered(8, 8));
        QVERIFY(window->QueryClose());
        QVERIFY(host->scripted.messages.empty());
    }

    void untitledQuestionNamesTheWindowAndCancelKeepsIt() {
        open(numbered(8, 8));
        window->canvas().surface().modified = true;
        host->scripted.answerMessage(answer::Cancel);
        QVERIFY(!window->QueryClose());
        QCOMPARE(host->scripted.messages.size(), size_t(1));
        const auto& m = host->scripted.messages[0];
        QCOMPARE(m.text, std::string("(無題) は変更されてます。保存しますか？"));
        QCOMPARE(m.caption, std::string("Celdos"));
        QVERIFY(m.icon == MessageIcon::Question);
        QVERIFY(m.buttons == MessageButtons::YesNoCancel);
    }

    void answeringNoClosesWithoutSaving() {
        open(numbered(8, 8));
        window->canvas().surface().modified = true;
        host->scripted.answerMessage(answer::No);
        QVERIFY(window->QueryClose());
        QVERIFY(host->scripted.dialogs.empty());
    }

    void answeringYesForAnUntitledPictureSavesUnderANewName() {
        open(numbered(8, 8));
        window->canvas().surface().modified = true;
        const std::string path = file("NEW.BMP");
        host->scripted.answerMessage(answer::Yes);
        host->scripted.answerDialog("FSAVE", typeName(path));
        QVERIFY(window->QueryClose());
        auto saved = readBack(path);
        QVERIFY(saved);
        QCOMPARE(saved->at(3, 2), std::uint8_t(19));
        // The document of that save does not stay with the closing window.
        QVERIFY(!window->document());
    }

    void answeringYesWritesThroughTheDocument() {
        open(numbered(8, 8));
        const std::string path = file("PIC.BMP");
        host->scripted.answerDialog("FSAVE", typeName(path));
        QVERIFY(window->handleCommand(Command::SaveAs));
        QVERIFY(window->document());
        QCOMPARE(window->displayName(), QString("PIC.BMP"));
        QVERIFY(!window->canvas().surface().modified);

        window->canvas().picture()->at(1, 1) = 200;
        window->canvas().surface().modified = true;
        host->scripted.answerMessage(answer::Yes);
        QVERIFY(window->QueryClose());
        QCOMPARE(host->scripted.dialogs.size(), size_t(1));
        QCOMPARE(readBack(path)->at(1, 1), std::uint8_t(200));
        QVERIFY(!window->canvas().surface().modified);
    }

    void aFailedSaveKeepsTheWindowOpen() {
        open(numbered(8, 8));
        const QString sub = dir->filePath("gone");
        QDir().mkpath(sub);
        const std::string path = (sub + "/PIC.BMP").toStdString();
        host->scripted.answerDialog("FSAVE", typeName(path));
        QVERIFY(window->SaveAs());
        std::filesystem::remove_all(sub.toStdString());
        window->canvas().surface().modified = true;
        host->scripted.answerMessage(answer::Yes);
        QVERIFY(!window->QueryClose());
        QCOMPARE(host->scripted.messages.size(), size_t(2));
        QVERIFY(window->canvas().surface().modified);
    }

    void overwriteSaveKeepsTheCellKindAndOffsets() {
        const std::string path = file("CELL.CEL");
        {
            auto picture = numbered(6, 4, 16);
            KissCellFile cell(path);
            cell.setFromImage(*picture);
            cell.setKind(1);
            cell.setOffsets(12, 34);
            QCOMPARE(int(cell.saveTo(*picture, nullptr)), 0);
        }
        auto loaded = host->dispatch().OpenImage(path, false);
        QVERIFY(loaded);
        open(std::move(loaded->picture));
        window->SetDocument(std::move(loaded->document));
        window->canvas().picture()->at(0, 0) = 9;
        window->canvas().surface().modified = true;
        QVERIFY(window->handleCommand(Command::Save));
        QVERIFY(host->scripted.dialogs.empty());
        QVERIFY(host->scripted.messages.empty());
        QVERIFY(!window->canvas().surface().modified);

        KissCellFile check(path);
        QCOMPARE(int(check.readHeader()), 0);
        QCOMPARE(check.kind(), 1);
        QCOMPARE(check.offsetX(), 12);
        QCOMPARE(check.offsetY(), 34);
        QCOMPARE(readBack(path)->at(0, 0), std::uint8_t(9));
    }

    void overwriteSaveAsksBeforeIndicesBeyondTheKindChangeColour() {
        const std::string path = file("CELL.CEL");
        {
            auto picture = numbered(6, 4, 16);
            KissCellFile cell(path);
            cell.setFromImage(*picture);
            cell.setKind(1);
            QCOMPARE(int(cell.saveTo(*picture, nullptr)), 0);
        }
        auto loaded = host->dispatch().OpenImage(path, false);
        QVERIFY(loaded);
        open(std::move(loaded->picture));
        window->SetDocument(std::move(loaded->document));
        // A stroke in colours 20 and 17 over pixels 0 and 1.
        window->canvas().picture()->at(0, 0) = 20;
        window->canvas().picture()->at(1, 0) = 17;
        window->canvas().surface().modified = true;

        host->scripted.answerMessage(answer::No);
        window->handleCommand(Command::Save);
        QCOMPARE(host->scripted.messages.size(), size_t(1));
        const auto& question = host->scripted.messages[0];
        QCOMPARE(question.text, std::string("2個の点の色が変わります。保存しますか？"));
        QCOMPARE(question.caption, std::string("Celdos"));
        QVERIFY(question.icon == MessageIcon::Question);
        QVERIFY(question.buttons == MessageButtons::YesNo);
        QVERIFY(window->canvas().surface().modified);
        QCOMPARE(readBack(path)->at(0, 0), std::uint8_t(0));

        host->scripted.answerMessage(answer::Yes);
        window->handleCommand(Command::Save);
        QCOMPARE(host->scripted.messages.size(), size_t(2));
        QVERIFY(!window->canvas().surface().modified);
        // The file keeps the low four bits: 20 becomes 4, 17 becomes 1.
        QCOMPARE(readBack(path)->at(0, 0), std::uint8_t(4));
        QCOMPARE(readBack(path)->at(1, 0), std::uint8_t(1));
    }

    void saveAsInSixteenColoursAnsweredNoWritesNothing() {
        // Indices 0-63: 48 of them lie beyond 16 colours.
        open(numbered(8, 8));
        window->canvas().surface().modified = true;
        host->app().fileOptions.saveOption = 1;
        const std::string path = file("PIC.BMP");
        host->scripted.answerDialog("FSAVE", typeName(path));
        host->scripted.answerDialog("BmpSave", [](ControlTable& t) {
            for (int id = 241; id <= 244; ++id)
                t.setValue(id, id == 242 ? 1 : 0);
            return 1;
        });
        host->scripted.answerMessage(answer::No);
        QVERIFY(!window->SaveAs());
        QVERIFY(host->scripted.allAnswered());
        QCOMPARE(host->scripted.messages.size(), size_t(1));
        QCOMPARE(host->scripted.messages[0].text,
                 std::string("48個の点の色が変わります。保存しますか？"));
        QVERIFY(!std::filesystem::exists(path));
        QCOMPARE(window->displayName(), QString("(無題)"));
        QVERIFY(window->canvas().surface().modified);
    }

    void saveAsEveryFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("optionsDialog");
        for (const char* ext : {"BMP", "MAG", "ICO", "CUR", "CEL", "PNG"}) {
            QTest::addRow("%s plain", ext) << QString("PIC.%1").arg(ext) << QString();
        }
        QTest::addRow("BMP options") << "PIC.BMP"
                                     << "BmpSave";
        QTest::addRow("MAG options") << "PIC.MAG"
                                     << "MagSave";
        QTest::addRow("ICO options") << "PIC.ICO"
                                     << "IconSave";
        QTest::addRow("CUR options") << "PIC.CUR"
                                     << "CursorSave";
        QTest::addRow("CEL options") << "PIC.CEL"
                                     << "KissCellSave";
        QTest::addRow("PNG options") << "PIC.PNG"
                                     << "PngSave";
    }
    void saveAsEveryFormat() {
        QFETCH(QString, name);
        QFETCH(QString, optionsDialog);
        // Cursors hold two colours.
        const int colours = name.endsWith("CUR") ? 2 : 16;
        open(numbered(32, 32, colours));
        window->canvas().surface().modified = true;
        host->app().fileOptions.saveOption = optionsDialog.isEmpty() ? 0 : 1;
        const std::string path = dir->filePath(name).toStdString();
        QSignalSpy titles(window.get(), &ImageWindow::titleChanged);
        host->scripted.answerDialog("FSAVE", typeName(path));
        if (!optionsDialog.isEmpty())
            host->scripted.answerDialog(optionsDialog.toStdString(), 1);
        QVERIFY(window->SaveAs());
        QVERIFY(host->scripted.allAnswered());
        QVERIFY(host->scripted.messages.empty());
        QCOMPARE(window->displayName(), name);
        QCOMPARE(titles.size(), 1);
        QVERIFY(!window->canvas().surface().modified);
        auto saved = readBack(path);
        QVERIFY(saved);
        QCOMPARE(saved->width(), 32);
        QCOMPARE(saved->height(), 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(saved->at(x, y), std::uint8_t((x + 32 * y) % colours));
    }

    void cancellingTheOptionsDialogSavesNothing() {
        open(numbered(8, 8));
        window->canvas().surface().modified = true;
        host->app().fileOptions.saveOption = 1;
        const std::string path = file("PIC.BMP");
        host->scripted.answerDialog("FSAVE", typeName(path));
        host->scripted.answerDialog("BmpSave", 2);
        QVERIFY(!window->SaveAs());
        QVERIFY(!std::filesystem::exists(path));
        QCOMPARE(window->displayName(), QString("(無題)"));
        QVERIFY(window->canvas().surface().modified);
        QVERIFY(host->scripted.messages.empty());
    }

    void imageInformation() {
        open(numbered(10, 7));
        host->scripted.answerDialog("GraphInfo0", 1);
        QVERIFY(window->handleCommand(Command::ImageInfo));
        QCOMPARE(host->scripted.tables.size(), size_t(1));
        const ControlTable& t = host->scripted.tables[0];
        QCOMPARE(t.title, std::string("画像情報"));
        QCOMPARE(t.text(201), std::string("10 × 7"));
        QCOMPARE(t.text(202), std::string("8 bit"));
    }

    void sizeChangeUpdatedTwiceChangesPictureAndMask() {
        open(numbered(10, 10));
        auto mask = CellImage::Create(10, 10, 8);
        mask->at(5, 5) = 255;
        window->AttachMask(std::move(mask));
        std::string textAfterFirst;
        int leftMinimumAfterFirst = 0;
        host->scripted.answerDialog("SizeChange", [&](ControlTable& t) {
            using namespace imagedialog;
            t.setValue(LeftBar, -1);
            t.setValue(TopBar, -1);
            t.setValue(RightBar, -1);
            t.setValue(BottomBar, -1);
            if (t.press(Update) != 0)
                return 1;
            textAfterFirst = t.text(SizeText);
            leftMinimumAfterFirst = t.find(LeftBar)->minimum;
            if (t.value(LeftBar) != 0 || t.text(LeftValue) != "0")
                return 1;
            t.setValue(LeftBar, 2);
            if (t.press(Update) != 0)
                return 1;
            return t.press(Close);
        });
        window->handleCommand(Command::ChangeSize);
        QCOMPARE(textAfterFirst, std::string("(無題)  (8 × 8)"));
        QCOMPARE(leftMinimumAfterFirst, 1 - 8);
        const CellImage* p = window->canvas().picture();
        QCOMPARE(p->width(), 10);
        QCOMPARE(p->height(), 8);
        QCOMPARE(p->at(0, 0), std::uint8_t(0));
        QCOMPARE(p->at(1, 7), std::uint8_t(0));
        QCOMPARE(p->at(2, 0), std::uint8_t(11));     // old (1, 1)
        QCOMPARE(p->at(9, 7), std::uint8_t(8 + 80)); // old (8, 8)
        const CellImage* m = window->canvas().surface().mask.get();
        QVERIFY(m);
        QCOMPARE(m->width(), 10);
        QCOMPARE(m->height(), 8);
        QCOMPARE(m->at(6, 4), std::uint8_t(255));
        QCOMPARE(m->at(5, 5), std::uint8_t(0));
        QVERIFY(window->canvas().surface().modified);
        QCOMPARE(window->canvasView()->size(), QSize(10, 8));
    }

    void sizeChangeProposalAndRefusals() {
        auto picture = CellImage::Create(6, 5, 8);
        for (int y = 1; y < 4; ++y)
            for (int x = 1; x < 5; ++x)
                picture->at(x, y) = 3;
        open(std::move(picture));
        Margins proposed;
        host->scripted.answerDialog("SizeChange", [&](ControlTable& t) {
            t.press(imagedialog::Propose);
            proposed = SizeChangeMargins(t);
            t.setValue(imagedialog::LeftBar, -5);
            t.setValue(imagedialog::RightBar, -5);
            // Refused: the dialog stays open.
            if (t.press(imagedialog::Apply) != 0)
                return 1;
            return t.press(imagedialog::Close);
        });
        window->handleCommand(Command::ChangeSize);
        QCOMPARE(proposed, (Margins{-1, -1, -1, -1}));
        QCOMPARE(host->scripted.messages.size(), size_t(1));
        QCOMPARE(host->scripted.messages[0].text, std::string("変更後の大きさが負になります"));
        QCOMPARE(window->canvas().picture()->width(), 6);
        QVERIFY(!window->canvas().surface().modified);
    }

    void colourGroupChangeRepaintsWithIndicesUnchanged() {
        auto picture = CellImage::Create(4, 4, 8);
        for (int x = 0; x < 4; ++x)
            picture->at(x, 0) = 1;
        open(std::move(picture));
        PaletteSet& palette = host->app().palette;
        palette.group(0)[1] = rgb(255, 0, 0);
        palette.group(3)[1] = rgb(0, 0, 255);
        palette.setCurrentGroup(0);
        window->paletteChanged();
        QCOMPARE(window->canvasView()->grab().toImage().pixel(2, 0), qRgb(255, 0, 0));
        palette.setCurrentGroup(3);
        QVERIFY(window->handleCommand(Command::PaletteChanged));
        QCOMPARE(window->canvasView()->grab().toImage().pixel(2, 0), qRgb(0, 0, 255));
        QCOMPARE(window->canvas().picture()->at(2, 0), std::uint8_t(1));
        QVERIFY(!window->canvas().surface().modified);
    }

    void scrollPositionsSnapToTheZoomFactor() {
        open(numbered(200, 200));
        window->resize(120, 120);
        QVERIFY(window->handleCommand(Command::ZoomFour)); // 4×
        QCOMPARE(window->canvasView()->size(), QSize(800, 800));
        QCOMPARE(window->extentSize(), QSize(832, 832));
        QScrollBar* h = window->horizontalScrollBar();
        QCOMPARE(h->maximum(), 832 - window->viewport()->width());
        QCOMPARE(h->singleStep(), 4);
        h->setValue(13);
        QCOMPARE(h->value(), 12);
        QCOMPARE(window->canvasView()->pos().x(), 8 - 12);
        window->verticalScrollBar()->setValue(23);
        QCOMPARE(window->verticalScrollBar()->value(), 20);
        QCOMPARE(window->canvasView()->pos().y(), 8 - 20);
        // Back at 1:1 any position is allowed.
        QVERIFY(window->handleCommand(Command::ZoomOne));
        h->setValue(3);
        QCOMPARE(h->value(), 3);
    }

    void zoomCentresOnThePointOfInterest() {
        open(numbered(64, 64));
        window->resize(120, 120);
        QSignalSpy fit(window.get(), &ImageWindow::fitRequested);
        window->canvasView()->setZoomCentre({40, 20});
        window->ZoomTo(Command::ZoomEight, 2); // 8×
        QCOMPARE(fit.size(), 1);
        const int area = window->viewport()->width() - 8;
        const int expectedX = 40 * 8 - area / 2;
        QCOMPARE(window->horizontalScrollBar()->value(), expectedX - expectedX % 8);
        QCOMPARE(host->toolbarRefreshes, 1);
        // The same zoom again changes nothing.
        window->ZoomTo(Command::ZoomEight, 2);
        QCOMPARE(fit.size(), 1);
    }

    void arrowKeysMoveThePointerOnePixelAndDoNotScroll() {
        open(numbered(200, 200));
        window->resize(120, 120);
        QScrollBar* h = window->horizontalScrollBar();
        QScrollBar* v = window->verticalScrollBar();
        h->setValue(40);
        v->setValue(30);
        QCursor::setPos(500, 400);
        QWidget* canvas = window->canvasView();
        QTest::keyClick(canvas, Qt::Key_Left);
        QCOMPARE(QCursor::pos(), QPoint(499, 400));
        QTest::keyClick(canvas, Qt::Key_Up);
        QCOMPARE(QCursor::pos(), QPoint(499, 399));
        QTest::keyClick(canvas, Qt::Key_Right);
        QTest::keyClick(canvas, Qt::Key_Right);
        QCOMPARE(QCursor::pos(), QPoint(501, 399));
        QTest::keyClick(canvas, Qt::Key_Down);
        QTest::keyClick(canvas, Qt::Key_Down);
        QTest::keyClick(canvas, Qt::Key_Down);
        QCOMPARE(QCursor::pos(), QPoint(501, 402));
        // A release alone moves nothing.
        QTest::keyRelease(canvas, Qt::Key_Left);
        QCOMPARE(QCursor::pos(), QPoint(501, 402));
        QCOMPARE(h->value(), 40);
        QCOMPARE(v->value(), 30);
    }

    void maskCommands() {
        open(numbered(4, 4));
        auto mask = CellImage::Create(4, 4, 8);
        mask->at(1, 1) = 7;
        window->AttachMask(std::move(mask));
        QVERIFY(window->handleCommand(Command::MaskEdit));
        QVERIFY(window->maskMode());
        QVERIFY(MaskDensityWindow::instance());
        QVERIFY(window->handleCommand(Command::ImageEdit));
        QVERIFY(!window->maskMode());
        QCOMPARE(window->canvas().surface().mask->at(1, 1), std::uint8_t(255));
        QVERIFY(window->handleCommand(Command::MaskInvert));
        QCOMPARE(window->canvas().surface().mask->at(1, 1), std::uint8_t(0));
        QCOMPARE(window->canvas().surface().mask->at(0, 0), std::uint8_t(255));
        QVERIFY(window->handleCommand(Command::MaskDisable));
        QVERIFY(!window->maskEnabled());
        QVERIFY(window->handleCommand(Command::MaskClear));
        QVERIFY(!window->canvas().surface().mask);
        QVERIFY(window->canvas().surface().modified);
    }
};

QTEST_MAIN(ImageWindowTest)
#include "ImageWindowTest.moc"
