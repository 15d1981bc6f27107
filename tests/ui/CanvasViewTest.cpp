#include "FakeEditorHost.h"

#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"

#include <QMenu>
#include <QtTest>

using namespace celdo;

namespace {

// 16 × 16, every pixel index 2; palette entry i = (i, i, i) except entry 2
// (10, 20, 30) and entry 5 (250, 0, 0).
CellImagePtr plain() {
    auto p = CellImage::Create(16, 16, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, i, i);
    palette[2] = rgb(10, 20, 30);
    palette[5] = rgb(250, 0, 0);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            p->at(x, y) = 2;
    return p;
}

QStringList checkedItems(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->menu())
            out += checkedItems(a->menu());
        else if (a->isChecked())
            out << a->text();
    }
    return out;
}

} // namespace

class CanvasViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeEditorHost> host;
    std::unique_ptr<ImageWindow> window;
    CanvasView* view = nullptr;
    Canvas* canvas = nullptr;

private slots:
    void init() {
        host = std::make_unique<FakeEditorHost>();
        window = std::make_unique<ImageWindow>(*host);
        window->SetPicture(plain(), false);
        window->resize(400, 400);
        window->show();
        view = window->canvasView();
        canvas = &window->canvas();
        host->app().colours.drawColor = 5;
        host->app().colours.paintKind = ColourSelection::PlainColour;
    }
    void cleanup() {
        window.reset();
        host.reset();
    }

    void pencilPaintsAtOneToOne() {
        host->app().editing.currentTool = 258; // 自由曲線
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(3, 4));
        QCOMPARE(canvas->picture()->at(3, 4), std::uint8_t(5));
        QTest::mouseMove(view, QPoint(9, 4));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(9, 4));
        for (int x = 3; x <= 9; ++x)
            QCOMPARE(canvas->picture()->at(x, 4), std::uint8_t(5));
        QCOMPARE(canvas->picture()->at(10, 4), std::uint8_t(2));
        QCOMPARE(canvas->picture()->at(3, 5), std::uint8_t(2));
        QVERIFY(canvas->surface().modified);
        QVERIFY(host->statusTexts.contains("9,4"));
        // The repaint shows the new colour.
        QCOMPARE(view->grab().toImage().pixel(6, 4), qRgb(250, 0, 0));
    }

    void pencilPaintsAtEightTimes() {
        host->app().editing.currentTool = 257; // 手書き
        window->handleCommand(Command::ZoomEight);
        QCOMPARE(view->size(), QSize(128, 128));
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(8 * 3 + 7, 8 * 4 + 1));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(8 * 3 + 7, 8 * 4 + 1));
        QCOMPARE(canvas->picture()->at(3, 4), std::uint8_t(5));
        QCOMPARE(canvas->picture()->at(4, 4), std::uint8_t(2));
        // Every window pixel of the block shows the colour, unsmoothed.
        const QImage shot = view->grab().toImage();
        for (int y = 32; y < 40; ++y)
            for (int x = 24; x < 32; ++x)
                QCOMPARE(shot.pixel(x, y), qRgb(250, 0, 0));
        QCOMPARE(shot.pixel(32, 32), qRgb(10, 20, 30));
        QCOMPARE(shot.pixel(23, 39), qRgb(10, 20, 30));
    }

    void rubberRectangleIsInvertedAndFilledOnRelease() {
        host->app().editing.currentTool = 514; // 矩形塗り
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(view, QPoint(10, 8));
        QVERIFY(canvas->gesture().rubberRect);
        const QImage band = view->grab().toImage();
        QCOMPARE(band.pixel(2, 5), qRgb(255 - 10, 255 - 20, 255 - 30));
        QCOMPARE(band.pixel(5, 5), qRgb(10, 20, 30));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(10, 8));
        QVERIFY(!canvas->gesture().rubberRect);
        QCOMPARE(canvas->picture()->at(2, 2), std::uint8_t(5));
        QCOMPARE(canvas->picture()->at(10, 8), std::uint8_t(5));
        QCOMPARE(canvas->picture()->at(11, 8), std::uint8_t(2));
        QCOMPARE(view->grab().toImage().pixel(2, 5), qRgb(250, 0, 0));
        QVERIFY(canvas->state().lastRegion);
    }

    void fillShowsTheWaitCursorWhileItRuns() {
        host->app().editing.currentTool = 1536; // 塗潰し
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(4, 4));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(canvas->picture()->at(15, 15), std::uint8_t(5));
        QCOMPARE(host->scripted.waits, 1);
        QCOMPARE(host->scripted.waitsEnded, 1);
        QVERIFY(!QGuiApplication::overrideCursor());
        // Other tools paint without it.
        host->app().editing.currentTool = 257;
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(host->scripted.waits, 1);
    }

    void theMarginForwardsPositionsOutsideThePicture() {
        host->app().editing.currentTool = 257;
        QTest::mouseMove(window->viewport(), QPoint(3, 3));
        QVERIFY(host->statusTexts.contains("-5,-5"));
    }

    void popupChecksThePresentZoom() {
        auto menu = view->makePopupMenu(QPoint(6, 7));
        QCOMPARE(checkedItems(menu.get()), QStringList{"１倍"});
        QCOMPARE(view->zoomCentre(), (Point{6, 7}));
        window->handleCommand(Command::ZoomEight);
        menu = view->makePopupMenu(QPoint(16, 24));
        QCOMPARE(checkedItems(menu.get()), QStringList{"８倍"});
        QCOMPARE(view->zoomCentre(), (Point{2, 3}));
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(texts, (QStringList{"スポイト", "-", "拡大", "１倍", "縮小", "-", "保存"}));
    }

    void popupEyedropperAndZoom() {
        canvas->picture()->at(6, 7) = 9;
        view->makePopupMenu(QPoint(6, 7));
        view->popupCommand(Command::Eyedropper);
        QCOMPARE(host->app().colours.drawColor, 9);
        view->popupCommand(Command::ZoomQuarter); // 1/4
        QCOMPARE(canvas->zoom().mode(), int(Zoom::Reduced));
        QCOMPARE(view->size(), QSize(4, 4));
    }

    void keysStepTheZoom() {
        QSignalSpy zoom(view, &CanvasView::zoomRequested);
        QVERIFY(view->handleKey("+", QPoint(5, 5)));
        QVERIFY(zoom.wait(1000));
        QCOMPARE(zoom.takeFirst().at(0).value<Command>(), Command::ZoomTwo);
        QCOMPARE(canvas->zoom().factor(), 2);
        window->handleCommand(Command::ZoomSixteen);
        QVERIFY(view->handleKey("+", QPoint(5, 5)));
        QVERIFY(!zoom.wait(100));
        QCOMPARE(canvas->zoom().factor(), 16);
        QVERIFY(!view->handleKey("a", QPoint(5, 5)));
    }

    void spaceTakesTheColourUnderThePointer() {
        canvas->picture()->at(1, 2) = 77;
        QVERIFY(view->handleKey(" ", QPoint(1, 2)));
        QCOMPARE(host->app().colours.drawColor, 77);
        host->app().colours.drawColor = 5;
        QVERIFY(view->handleKey(" ", QPoint(100, 100)));
        QCOMPARE(host->app().colours.drawColor, 5);
    }

    void rectangleOutlineDraggedPastThePictureLeavesOutTheSideOutside() {
        // A press on the view's far edge lies one pixel past the 16-pixel
        // picture (column 16); the drag ends inside.
        host->app().editing.currentTool = 513; // 矩形
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(16, 3));
        QTest::mouseMove(view, QPoint(2, 9));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(2, 9));
        const CellImage& p = *canvas->picture();
        // Top, bottom and left sides up to the picture's edge…
        QCOMPARE(p.at(2, 3), std::uint8_t(5));
        QCOMPARE(p.at(15, 3), std::uint8_t(5));
        QCOMPARE(p.at(15, 9), std::uint8_t(5));
        QCOMPARE(p.at(2, 6), std::uint8_t(5));
        // …but no right side along the last column: it lies at column 16.
        QCOMPARE(p.at(15, 6), std::uint8_t(2));
        QCOMPARE(p.at(3, 6), std::uint8_t(2));
        // The region remembered for copying is the part inside the picture.
        QVERIFY(canvas->state().lastRegion);
        QCOMPARE(*canvas->state().lastRegion, (Rect{2, 3, 16, 10}));
    }
};

QTEST_MAIN(CanvasViewTest)
#include "CanvasViewTest.moc"
