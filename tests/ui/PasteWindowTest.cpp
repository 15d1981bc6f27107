#include "EditorTestSupport.h"
#include "FakeEditorHost.h"
#include "support/PositionCodedPicture.h"

#include "app/CommandTable.h"
#include "app/ToolButtonTable.h"
#include "canvas/MaskEdit.h"
#include "canvas/qt/Clipboard.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"
#include "ui/PasteWindow.h"
#include "ui/ToolBarWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QtTest>

#include <memory>

using namespace celdo;

namespace {

// An image window of a w × h picture in the position-coded palette, every
// pixel index `fill`.
std::unique_ptr<ImageWindow> windowOf(FakeEditorHost& host, int w, int h, std::uint8_t fill = 1) {
    auto window = std::make_unique<ImageWindow>(host);
    auto picture = test::positionCodedPicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture->at(x, y) = fill;
    window->SetPicture(std::move(picture), false);
    window->resize(520, 420);
    window->show();
    return window;
}

PasteWindow* pasteOf(ImageWindow& window) {
    return window.canvasView()->findChild<PasteWindow*>();
}

// Index of the position-coded picture at (x, y).
int coded(int x, int y) {
    return (x * 16 + y) & 0xFF;
}

void settle() {
    celdo::testing::EditorFixture::settle();
}

// A drag inside the paste window from client point `from` by (dx, dy).
void drag(PasteWindow& paste, QPoint from, QPoint delta) {
    QTest::mousePress(&paste, Qt::LeftButton, {}, from);
    QTest::mouseMove(&paste, from + delta);
    // The window moved under the pointer: release where the pointer is now.
    QTest::mouseRelease(&paste, Qt::LeftButton, {}, paste.mapFromParent(paste.pos() + from));
}

// Every pixel of the picture: the coded source at (px, py) where the paste
// lies, `fill` elsewhere.
bool laidAt(const CellImage& picture, int px, int py, int sw, int sh, int fill) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int sx = x - px;
            const int sy = y - py;
            const bool inside = sx >= 0 && sx < sw && sy >= 0 && sy < sh;
            const int expected = inside ? coded(sx, sy) : fill;
            if (picture.at(x, y) != expected) {
                qWarning("pixel (%d,%d) is %d, expected %d", x, y, picture.at(x, y), expected);
                return false;
            }
        }
    return true;
}

} // namespace

class PasteWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void copyWithoutAMaskPastesEveryPixel() {
        FakeEditorHost host;
        auto source = windowOf(host, 4, 4);
        source->SetPicture(test::positionCodedPicture(4, 4), false);
        QVERIFY(source->handleCommand(Command::Copy));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(MaskMimeType));

        auto target = windowOf(host, 12, 12);
        QVERIFY(target->handleCommand(Command::Paste));
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        // 4 window pixels into the unscrolled canvas, the source's size.
        QCOMPARE(paste->geometry(), QRect(4, 4, 4, 4));
        QVERIFY(!paste->session().pasteMask());
        paste->popupCommand(pastemenu::LayDown);
        QVERIFY(laidAt(*target->canvas().picture(), 4, 4, 4, 4, 1));
        QVERIFY(target->canvas().surface().modified);
        settle();
        QVERIFY(!pasteOf(*target));
    }

    void copyWithAMaskLeavesTheMaskedPixels() {
        FakeEditorHost host;
        auto source = windowOf(host, 4, 4);
        source->SetPicture(test::positionCodedPicture(4, 4), false);
        auto mask = CellImage::Create(4, 4, 8);
        mask->at(1, 0) = 255;
        mask->at(3, 2) = 255;
        source->AttachMask(std::move(mask));
        QVERIFY(source->handleCommand(Command::Copy));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(MaskMimeType));

        auto target = windowOf(host, 12, 12);
        target->handleCommand(Command::Paste);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste && paste->session().pasteMask());
        paste->popupCommand(pastemenu::LayDown);
        const CellImage& p = *target->canvas().picture();
        QCOMPARE(int(p.at(5, 4)), 1); // source (1, 0) masked
        QCOMPARE(int(p.at(7, 6)), 1); // source (3, 2) masked
        QCOMPARE(int(p.at(4, 4)), coded(0, 0));
        QCOMPARE(int(p.at(6, 4)), coded(2, 0));
        QCOMPARE(int(p.at(7, 7)), coded(3, 3));
    }

    void overlayModes_data() {
        QTest::addColumn<int>("mode");
        // Source columns 0 0 7 7 over picture columns 0 5 0 5.
        QTest::addColumn<QList<int>>("row");
        QTest::newRow("そのまま重ねる") << 0 << QList<int>{0, 0, 7, 7};
        QTest::newRow("上から重ねる") << 1 << QList<int>{0, 5, 7, 7};
        QTest::newRow("下から重ねる") << 2 << QList<int>{0, 5, 7, 5};
    }
    void overlayModes() {
        QFETCH(int, mode);
        QFETCH(QList<int>, row);
        FakeEditorHost host;
        auto target = windowOf(host, 12, 12);
        CellImage& picture = *target->canvas().picture();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                picture.at(x, y) = x % 2 ? 5 : 0;
        auto source = test::positionCodedPicture(4, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                source->at(x, y) = x < 2 ? 0 : 7;
        target->startPaste(std::move(source), nullptr);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        paste->popupCommand(pastemenu::OverlayPlain + mode);
        // The menu checks the chosen mode and the frame flag.
        std::unique_ptr<QMenu> menu = paste->makePopupMenu();
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 11);
        const QStringList texts{
            "仮貼付...",    "貼付", "",         "そのまま重ねる", "上から重ねる",
            "下から重ねる", "",     "枠を描く", "色の変換",       "",
            "廃棄"};
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i]->text(), texts[i]);
            const bool checked = i == 3 + mode || i == 7;
            QCOMPARE(items[i]->isChecked(), checked);
        }
        paste->popupCommand(pastemenu::LayDown);
        for (int y = 4; y < 8; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(int(picture.at(4 + x, y)), row[x]);
        QCOMPARE(int(picture.at(3, 4)), 5);
        QCOMPARE(int(picture.at(8, 4)), 0);
    }

    void stretchedToTwiceLaysTwoByTwoBlocks() {
        FakeEditorHost host;
        auto target = windowOf(host, 24, 24);
        target->startPaste(test::positionCodedPicture(8, 8), nullptr);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        QCOMPARE(paste->geometry(), QRect(4, 4, 8, 8));
        // The bottom-right corner (border 2 of an 8-pixel window) by 8.
        drag(*paste, QPoint(7, 7), QPoint(8, 8));
        QCOMPARE(paste->geometry(), QRect(4, 4, 16, 16));
        QVERIFY(paste->session().stretched());
        QCOMPARE(host.toolPaneTexts.last(), QStringLiteral("貼付"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral("(4,4)-(20,20)  (16,16) (2.000,2.000)"));
        paste->popupCommand(pastemenu::LayDown);
        QCOMPARE(host.toolNameRestores, 1);
        const CellImage& p = *target->canvas().picture();
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i)
                for (int b = 0; b < 2; ++b)
                    for (int a = 0; a < 2; ++a)
                        QCOMPARE(int(p.at(4 + 2 * i + a, 4 + 2 * j + b)), coded(i, j));
        QCOMPARE(int(p.at(20, 20)), 1);
        QCOMPARE(int(p.at(3, 3)), 1);
    }

    void hangingOverAnEdgeIsCut_data() {
        QTest::addColumn<int>("zoomCode");
        QTest::addColumn<QPoint>("towards");
        QTest::addColumn<QPoint>("laidAt"); // image pixels, worked out by hand
        const QPoint left(-1000, 0), up(0, -1000), right(1000, 0), down(0, 1000);
        // A 24 × 24 paste over a 20 × 20 picture.  1/2: a 12-pixel window
        // over a 10-pixel view keeps 10 inside: left −2 … 0.
        QTest::newRow("1/2 left") << -1 << left << QPoint(-4, 0);
        QTest::newRow("1/2 up") << -1 << up << QPoint(0, -4);
        QTest::newRow("1/2 right") << -1 << right << QPoint(0, 0);
        QTest::newRow("1/2 down") << -1 << down << QPoint(0, 0);
        // 1:1: −8 … 4.
        QTest::newRow("1 left") << 0 << left << QPoint(-8, 4);
        QTest::newRow("1 up") << 0 << up << QPoint(4, -8);
        QTest::newRow("1 right") << 0 << right << QPoint(4, 4);
        QTest::newRow("1 down") << 0 << down << QPoint(4, 4);
        // 3×: a 72-pixel window over 60: −56 … 44 on the grid, −54 … 42.
        QTest::newRow("3 left") << 2 << left << QPoint(-18, 2);
        QTest::newRow("3 up") << 2 << up << QPoint(2, -18);
        QTest::newRow("3 right") << 2 << right << QPoint(14, 2);
        QTest::newRow("3 down") << 2 << down << QPoint(2, 14);
        // 8×: 192 over 160: −176 … 144.
        QTest::newRow("8 left") << 5 << left << QPoint(-22, 1);
        QTest::newRow("8 up") << 5 << up << QPoint(1, -22);
        QTest::newRow("8 right") << 5 << right << QPoint(18, 1);
        QTest::newRow("8 down") << 5 << down << QPoint(1, 18);
    }
    void hangingOverAnEdgeIsCut() {
        QFETCH(int, zoomCode);
        QFETCH(QPoint, towards);
        QFETCH(QPoint, laidAt);
        FakeEditorHost host;
        auto target = windowOf(host, 20, 20);
        target->ZoomTo(CommandTable::commandForZoomCode(zoomCode), 0);
        QCOMPARE(target->canvas().zoom().code(), zoomCode);
        target->startPaste(test::positionCodedPicture(24, 24), nullptr);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        const QPoint middle(paste->width() / 2, paste->height() / 2);
        drag(*paste, middle, towards);
        paste->popupCommand(pastemenu::LayDown);
        QVERIFY(::laidAt(*target->canvas().picture(), laidAt.x(), laidAt.y(), 24, 24, 1));
    }

    void followsTheCanvasZoom() {
        FakeEditorHost host;
        auto target = windowOf(host, 40, 40);
        target->startPaste(test::positionCodedPicture(20, 10), nullptr);
        PasteWindow* paste = pasteOf(*target);
        QCOMPARE(paste->geometry(), QRect(4, 4, 20, 10));
        target->ZoomTo(Command::ZoomEight, 0);
        QCOMPARE(paste->geometry(), QRect(32, 32, 160, 80));
        target->ZoomTo(Command::ZoomHalf, 0);
        QCOMPARE(paste->geometry(), QRect(2, 2, 10, 5));
        target->ZoomTo(Command::ZoomOne, 0);
        QCOMPARE(paste->geometry(), QRect(4, 4, 20, 10));
    }

    void tentativePasteAnsweredNoThenYes() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        QPointer<PasteWindow> paste = pasteOf(*target);
        QVERIFY(paste);
        host.scripted.answerMessage(answer::No);
        paste->popupCommand(pastemenu::Tentative);
        QCOMPARE(host.scripted.messages.size(), std::size_t(1));
        QCOMPARE(host.scripted.messages[0].text, std::string("このまま貼付けますか？"));
        QVERIFY(host.scripted.messages[0].icon == MessageIcon::Question);
        QVERIFY(host.scripted.messages[0].buttons == MessageButtons::YesNo);
        settle();
        QVERIFY(paste);
        QVERIFY(!paste->session().hasPreview());
        QVERIFY(host.app().editing.drawPasteFrame);
        QVERIFY(laidAt(*target->canvas().picture(), 0, 0, 0, 0, 1));
        QVERIFY(!target->canvas().surface().modified);

        // Still movable: one pixel right, then Yes.
        drag(*paste, QPoint(2, 2), QPoint(1, 0));
        host.scripted.answerMessage(answer::Yes);
        paste->popupCommand(pastemenu::Tentative);
        QVERIFY(laidAt(*target->canvas().picture(), 5, 4, 4, 4, 1));
        settle();
        QVERIFY(!paste);
    }

    void arrowKeysMoveByOneImagePixel_data() {
        QTest::addColumn<int>("zoomCode");
        QTest::addColumn<int>("step");
        // Where the frame opens, in image pixels: window pixel 4, 6 and 8.
        QTest::addColumn<int>("origin");
        QTest::newRow("1:1") << 0 << 1 << 4;
        QTest::newRow("3×") << 2 << 3 << 2;
        QTest::newRow("8×") << 5 << 8 << 1;
    }
    void arrowKeysMoveByOneImagePixel() {
        QFETCH(int, zoomCode);
        QFETCH(int, step);
        QFETCH(int, origin);
        FakeEditorHost host;
        auto target = windowOf(host, 30, 30);
        target->ZoomTo(CommandTable::commandForZoomCode(zoomCode), 0);
        target->startPaste(test::positionCodedPicture(6, 6), nullptr);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        const QPoint start = paste->mapToGlobal(QPoint(paste->width() / 2, paste->height() / 2));
        QCursor::setPos(start);
        QTest::mousePress(paste, Qt::LeftButton, {}, paste->mapFromGlobal(start));
        QTest::keyClick(paste, Qt::Key_Right);
        QTest::keyClick(paste, Qt::Key_Down);
        QTest::keyClick(paste, Qt::Key_Down);
        QCOMPARE(QCursor::pos() - start, QPoint(step, 2 * step));
        QTest::mouseMove(paste, paste->mapFromGlobal(QCursor::pos()));
        QTest::mouseRelease(paste, Qt::LeftButton, {}, paste->mapFromGlobal(QCursor::pos()));
        paste->popupCommand(pastemenu::LayDown);
        QVERIFY(laidAt(*target->canvas().picture(), origin + 1, origin + 2, 6, 6, 1));
    }

    void maskStrokesAreCommittedBeforeComposing() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        PaintSurface& surface = target->canvas().surface();
        QVERIFY(!EnterMaskMode(surface).empty());
        // A stroke in mask edit mode lives in the mask view only.
        surface.maskView->at(5, 5) |= 0x80;
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        pasteOf(*target)->popupCommand(pastemenu::LayDown);
        QCOMPARE(int(surface.picture->at(5, 5)), 1);
        QCOMPARE(int(surface.picture->at(4, 4)), coded(0, 0));
        QCOMPARE(int(surface.picture->at(6, 5)), coded(2, 1));
        QVERIFY(surface.maskMode);
    }

    void discardAndClosingTheImageWindowLeaveThePicture() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        QPointer<PasteWindow> paste = pasteOf(*target);
        paste->popupCommand(pastemenu::Discard);
        settle();
        QVERIFY(!paste);
        QVERIFY(laidAt(*target->canvas().picture(), 0, 0, 0, 0, 1));
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        paste = pasteOf(*target);
        QVERIFY(paste);
        target.reset();
        QVERIFY(!paste);
    }

    void frameToggleIsSharedAndChecked() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        PasteWindow* paste = pasteOf(*target);
        paste->popupCommand(pastemenu::Frame);
        QVERIFY(!host.app().editing.drawPasteFrame);
        QVERIFY(!paste->makePopupMenu()->actions()[7]->isChecked());
        paste->popupCommand(pastemenu::Frame);
        QVERIFY(host.app().editing.drawPasteFrame);
    }

    void colourConversionOpensOnThisPaste() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        target->startPaste(test::positionCodedPicture(4, 4), nullptr);
        PasteWindow* paste = pasteOf(*target);
        host.scripted.answerDialog("cconv", 2);
        paste->popupCommand(pastemenu::Colours);
        QCOMPARE(host.scripted.dialogs.size(), std::size_t(1));
        QCOMPARE(host.scripted.dialogs[0], std::string("cconv"));
        QVERIFY(host.scripted.allAnswered());
    }

    void trueColourPasteAsksFirst() {
        FakeEditorHost host;
        auto target = windowOf(host, 16, 16);
        QImage colour(2, 2, QImage::Format_RGB32);
        colour.fill(qRgb(255 - 40, 40, 20)); // exactly entry 40 of the palette
        QGuiApplication::clipboard()->setImage(colour);
        host.scripted.answerMessage(answer::No);
        target->handleCommand(Command::Paste);
        QCOMPARE(host.scripted.messages.back().text,
                 std::string("画像はフルカラーです。ロードしますか？"));
        QVERIFY(!pasteOf(*target));
        host.scripted.answerMessage(answer::Yes);
        target->handleCommand(Command::Paste);
        PasteWindow* paste = pasteOf(*target);
        QVERIFY(paste);
        QCOMPARE(paste->session().source()->bitsPerPixel(), 8);
    }

    void pasteCommandNeedsAWindowAndAClipboardPicture() {
        celdo::testing::EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.documents().openFiles(ParseWords({f.copy("doll.cel")}));
        settle();
        int pasteButton = -1;
        const auto& buttons = ToolButtonTable::buttons();
        for (int i = 0; i < int(buttons.size()); ++i)
            if (buttons[i].command == Command::Paste)
                pasteButton = i;
        QVERIFY(pasteButton >= 0);
        editor->state().toolbarList = {pasteButton, ToolButtonTable::End};
        w.toolBar()->setList(editor->state().toolbarList);
        w.refreshToolbar();
        w.updateMenuState();
        QVERIFY(!w.action(Command::Paste)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(pasteButton), int(ToolButtonTable::Disabled));
        QImage colour(2, 2, QImage::Format_RGB32);
        colour.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(colour);
        // The button follows the clipboard by itself.
        QCOMPARE(w.toolBar()->buttonState(pasteButton), int(ToolButtonTable::Normal));
        w.updateMenuState();
        QVERIFY(w.action(Command::Paste)->isEnabled());
    }
};

QTEST_MAIN(PasteWindowTest)
#include "PasteWindowTest.moc"
