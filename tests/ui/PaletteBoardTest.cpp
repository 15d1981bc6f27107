#include "FakeEditorHost.h"

#include "ui/PaletteBoard.h"

#include <QMenu>
#include <QScrollBar>
#include <QtTest>

#include <memory>

using namespace celdo;

namespace {

// Full size: 16-pixel cells 18 apart from (2, 2); the tone strip's cells 16
// wide from x 17, its top at 348 − 2 − 16 = 330.
QPoint centreOf(int colour) {
    return QPoint(2 + 18 * (colour % 16) + 8, 2 + 18 * (colour / 16) + 8);
}

void send(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, w.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void press(QWidget& w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    send(w, QEvent::MouseButtonPress, at, button, button);
}
void moveHeld(QWidget& w, QPoint at) {
    send(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
void release(QWidget& w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    send(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void typeKey(QWidget& w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

QStringList itemTexts(QMenu& menu) {
    QStringList texts;
    for (QAction* a : menu.actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

} // namespace

class PaletteBoardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeEditorHost> host;
    std::unique_ptr<PaletteBoard> board;
    QMenu* ranMenu = nullptr;
    QStringList ranTexts;
    QString choice; // the item the menu runner picks; empty picks none

    ColourSelection& colours() { return host->app().colours; }

private slots:
    void init() {
        host = std::make_unique<FakeEditorHost>();
        ColourValue* palette = host->app().palette.current();
        for (int i = 0; i < 256; ++i)
            palette[i] = rgb(i, 100, 255 - i);
        ranMenu = nullptr;
        ranTexts.clear();
        choice.clear();
        PaletteBoard::setMenuRunner([this](QMenu& menu, const QPoint&) -> QAction* {
            ranMenu = &menu;
            ranTexts = itemTexts(menu);
            for (QAction* a : menu.actions())
                if (!choice.isEmpty() && a->text() == choice)
                    return a;
            return nullptr;
        });
        board = std::make_unique<PaletteBoard>(*host);
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
    }
    void cleanup() {
        board.reset();
        host.reset();
        PaletteBoard::setMenuRunner({});
    }

    void clickingACellSelectsIt() {
        press(*board, centreOf(40));
        release(*board, centreOf(40));
        QCOMPARE(colours().drawColor, 40);
        QCOMPARE(colours().paintKind, int(ColourSelection::PlainColour));
        QVERIFY(ranMenu == nullptr);
    }

    void clickingToneFiveBuildsItsPattern() {
        colours().leftColor = 20;
        colours().rightColor = 30;
        press(*board, QPoint(17 + 5 * 16 + 3, 335));
        QCOMPARE(colours().paintKind, int(ColourSelection::Tone));
        QCOMPARE(colours().toneIndex, 5);
        // A one (left colour) where 5 lies below the threshold.
        QCOMPARE(int(colours().tilePattern[0]), 30);          // (0,0): 1
        QCOMPARE(int(colours().tilePattern[1]), 20);          // (1,0): 9
        QCOMPARE(int(colours().tilePattern[16 + 1]), 30);     // (1,1): 5
        QCOMPARE(int(colours().tilePattern[7 * 16 + 5]), 20); // (5,7): 8
        QCOMPARE(int(colours().tilePattern[3 * 16 + 3]), 20); // (3,3): 6
    }

    void endTonesCannotBeChosen() {
        colours().drawColor = 7;
        press(*board, QPoint(17 + 3, 335)); // tone 0
        release(*board, QPoint(17 + 3, 335));
        press(*board, QPoint(17 + 16 * 16 + 3, 335)); // tone 16
        QCOMPARE(colours().paintKind, int(ColourSelection::PlainColour));
        QCOMPARE(colours().drawColor, 7);
        QCOMPARE(colours().toneIndex, 0);
    }

    void draggingOntoAnotherColourOffersTheDropMenu() {
        choice = QStringLiteral("交換する");
        press(*board, centreOf(3));
        moveHeld(*board, centreOf(3) + QPoint(0, 16));
        QCOMPARE(board->cursor().shape(), Qt::BitmapCursor); // the drag cursor
        moveHeld(*board, centreOf(40));
        release(*board, centreOf(40));
        QCOMPARE(ranMenu, board->dropMenu());
        QCOMPARE(ranTexts, QStringList({"複写する", "交換する", "交換する(パレットのみ）",
                                        "併合する", "-", "色を併合する", "色を交換する"}));
        QCOMPARE(colours().dragTarget, 40);
        QCOMPARE(colours().drawColor, 3);
        QCOMPARE(host->posted, std::vector<Command>{Command::PaletteSwap});
        QCOMPARE(board->cursor().shape(), Qt::ArrowCursor);
    }

    void shortMovesAndReturnsNeverOpenTheDropMenu() {
        // 15 pixels right reaches cell 4 but is less than a cell.
        press(*board, centreOf(3));
        moveHeld(*board, centreOf(3) + QPoint(15, 0));
        release(*board, centreOf(3) + QPoint(15, 0));
        // Out to cell 19 and back to the pressed cell.
        press(*board, centreOf(3));
        moveHeld(*board, centreOf(19));
        moveHeld(*board, centreOf(3));
        release(*board, centreOf(3));
        QVERIFY(ranMenu == nullptr);
        QCOMPARE(colours().dragTarget, 0);
        QVERIFY(host->posted.empty());
    }

    void rightButtonOffersTheColourMenu() {
        choice = QStringLiteral("削除");
        press(*board, centreOf(50), Qt::RightButton);
        QCOMPARE(ranMenu, board->colourMenu());
        QCOMPARE(ranTexts, QStringList({"左に置く", "右に置く", "境界色にする", "編集...",
                                        "整列...", "-", "削除"}));
        QCOMPARE(colours().drawColor, 1);
        QCOMPARE(host->posted, std::vector<Command>{Command::PaletteDelete});
    }

    void doubleClickAndEnterEditTheColour() {
        press(*board, centreOf(9));
        release(*board, centreOf(9));
        send(*board, QEvent::MouseButtonDblClick, centreOf(9), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(host->posted, std::vector<Command>{Command::PaletteEditColour});
        // Not after a press beside the cells.
        press(*board, QPoint(1, 1));
        send(*board, QEvent::MouseButtonDblClick, QPoint(1, 1), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(host->posted.size(), std::size_t(1));
        typeKey(*board, Qt::Key_Return);
        typeKey(*board, Qt::Key_Enter);
        typeKey(*board, Qt::Key_A);
        QCOMPARE(host->posted, std::vector<Command>(3, Command::PaletteEditColour));
        QCOMPARE(host->forwardedKeys, std::vector<int>{Qt::Key_A});
    }

    void resizingSnapsToWholeCells() {
        QCOMPARE(board->objectName(), QStringLiteral("PaletteBoard"));
        QCOMPARE(board->windowTitle(), QStringLiteral("パレット"));
        QCOMPARE(board->size(), QSize(306, 348));
        board->resize(400, 500);
        QCoreApplication::processEvents();
        QCOMPARE(board->size(), QSize(306, 348));
        QVERIFY(!board->scrollBar()->isEnabled());
    }

    void fourRowsScroll() {
        // (100 − 2)/17 − 2 and (60 − 6)/19 − 2 both raise to 8; (60 − 14)/10 rows.
        board->resize(100, 60);
        QCoreApplication::processEvents();
        QCOMPARE(board->size(), QSize(170, 76));
        QCOMPARE(board->visibleRows(), 4);
        QScrollBar* bar = board->scrollBar();
        QVERIFY(bar->isEnabled());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 12);
        QCOMPARE(bar->geometry(), QRect(162, 2, 8, 40));
        bar->setValue(1);
        QCOMPARE(board->firstRow(), 1);
        press(*board, QPoint(5, 5));
        QCOMPARE(colours().drawColor, 16);
    }

    void theCurrentColourIsFramed() {
        colours().drawColor = 17; // cell at (20, 20), frame from 19 to 36
        board->update();
        const QImage shot = board->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        auto at = [&](int x, int y) { return shot.pixelColor(int(x * ratio), int(y * ratio)); };
        QCOMPARE(at(19, 25), QColor(Qt::black));
        QCOMPARE(at(36, 25), QColor(Qt::black));
        QCOMPARE(at(25, 19), QColor(Qt::black));
        QCOMPARE(at(25, 36), QColor(Qt::black));
        QCOMPARE(at(18, 25), QColor(Qt::white)); // the gap's other pixel
        QCOMPARE(at(28, 28), QColor(17, 100, 238));
        QCOMPARE(at(2, 2), QColor(0, 100, 255));
        // The preview (20, 294)–(51, 325) and the border swatch (242, 298)–
        // (265, 321) carry a grey outline, so a white colour shows too.
        QCOMPARE(at(19, 294), QColor(128, 128, 128));
        QCOMPARE(at(52, 325), QColor(128, 128, 128));
        QCOMPARE(at(20, 294), QColor(17, 100, 238));
        QCOMPARE(at(241, 300), QColor(128, 128, 128));
        QCOMPARE(at(266, 321), QColor(128, 128, 128));
    }

    void theChosenToneIsMarkedAndPreviewed() {
        colours().leftColor = 20;  // rgb(20, 100, 235)
        colours().rightColor = 30; // rgb(30, 100, 225)
        board->paletteChanged();
        board->select(5, ColourSelection::Tone);
        const QImage shot = board->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        auto at = [&](int x, int y) { return shot.pixelColor(int(x * ratio), int(y * ratio)); };
        // Tone cell 5 spans x 97–112, y 330–345; lines just above and below.
        QCOMPARE(at(97, 329), QColor(Qt::black));
        QCOMPARE(at(112, 346), QColor(Qt::black));
        QCOMPARE(at(96, 329), QColor(Qt::white));
        QCOMPARE(at(97, 330), QColor(30, 100, 225)); // threshold 1: a zero
        QCOMPARE(at(98, 330), QColor(20, 100, 235)); // threshold 9: a one
        // Tone 0 is all ones.
        QCOMPARE(at(17, 330), QColor(20, 100, 235));
        // The preview at (20, 294) repeats the pattern after 16 pixels.
        QCOMPARE(at(20, 294), QColor(30, 100, 225));
        QCOMPARE(at(21, 294), QColor(20, 100, 235));
        QCOMPARE(at(37, 294), QColor(20, 100, 235));
        // Colour 1 (cell x 20–35) has lost its frame.
        QCOMPARE(at(19, 5), QColor(Qt::white));
    }
};

QTEST_MAIN(PaletteBoardTest)
#include "PaletteBoardTest.moc"
