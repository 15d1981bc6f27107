#include "BoardTestSupport.h"

#include "ui/BrushBoard.h"
#include "ui/BrushEditorWindow.h"

#include <QScrollBar>

using namespace celdo;
using namespace celdo::testing;

namespace {

// Cells (1, 0), (2, 0) and (1, 1): an L that no mirror or turn maps onto itself.
Brush ell() {
    Brush b;
    b.cells[1] = b.cells[2] = b.cells[16 + 1] = 1;
    b.updateExtent();
    return b;
}

} // namespace

class BrushBoardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BoardHost::realTemp(); }

    void clickSelectsTheBrushAndFramesIt() {
        BoardHost f;
        AppState& app = f.host->app();
        app.brushes.store(10, ell());
        BrushBoard board(*f.host);
        showAt(board, {160, 200});
        // 10 is column 2, row 1 of the eight columns.
        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(2, 1));
        QCOMPARE(app.indexBrush, 10);
        QVERIFY(app.brush.cells == ell().cells);
        // Frame from (37, 19) to (54, 36); brush 0's frame is gone.
        QCOMPARE(pixelAt(board, 37, 19), Black);
        QCOMPARE(pixelAt(board, 54, 36), Black);
        QCOMPARE(pixelAt(board, 1, 1), White);
        // The brush drawn from (38, 20): cell (1, 0) black, (3, 0) white.
        QCOMPARE(pixelAt(board, 39, 20), Black);
        QCOMPARE(pixelAt(board, 41, 20), White);
    }

    void sizesSnapToWholeRows() {
        BoardHost f;
        BrushBoard board(*f.host);
        showAt(board, {300, 100});
        // 8 columns: 18 · 8 + 16 wide; (100 − 18) / 18 = 4 rows: 18 + 72 + 2 high.
        QCOMPARE(board.size(), QSize(160, 92));
        QCOMPARE(board.scrollBar()->geometry(), QRect(148, 2, 12, 70));
        QCOMPARE(board.scrollBar()->maximum(), 4);
        QVERIFY(board.scrollBar()->isEnabled());
        QCOMPARE(board.leftButton()->geometry(), QRect(0, 74, 53, 18));
        QCOMPARE(board.middleButton()->geometry(), QRect(53, 74, 54, 18));
        QCOMPARE(board.rightButton()->geometry(), QRect(107, 74, 53, 18));
        board.resize(160, 1000);
        QCOMPARE(board.size(), QSize(160, 164));
        QVERIFY(!board.scrollBar()->isEnabled());
    }

    void scrollBarChoosesTheFirstRow() {
        BoardHost f;
        AppState& app = f.host->app();
        app.brushes.store(49, ell());
        BrushBoard board(*f.host);
        showAt(board, {160, 10});
        QCOMPARE(board.size(), QSize(160, 56)); // 2 rows at least
        QCOMPARE(board.scrollBar()->maximum(), 6);
        board.scrollBar()->setValue(6);
        // Row 6 on top: its second cell is brush 49.
        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(1, 0));
        QCOMPARE(app.indexBrush, 49);
        QVERIFY(app.brush.cells == ell().cells);
        QCOMPARE(pixelAt(board, 19, 1), Black);
    }

    void doubleClickAndEnterOpenTheEditor() {
        BoardHost f;
        BrushBoard board(*f.host);
        showAt(board, {160, 200});
        QTest::keyClick(&board, Qt::Key_A);
        QCOMPARE(f.host->forwardedKeys, std::vector<int>{Qt::Key_A});
        QTest::keyClick(&board, Qt::Key_Return);
        QVERIFY(board.editor());
        QCOMPARE(f.host->forwardedKeys.size(), std::size_t(1));
        board.editor()->reject();

        QTest::mouseDClick(&board, Qt::LeftButton, {}, cellCentre(3, 0));
        QCOMPARE(f.host->app().indexBrush, 3);
        BrushEditorWindow* editor = board.editor();
        QVERIFY(editor && editor->isVisible());
        QVERIFY(!board.isEnabled());
        // Opened at 100 × 100: 100 / 18 = 5, raised to 8, gives 144 × (64 + 136).
        QCOMPARE(editor->size(), QSize(144, 200));
        editor->resize(200, 300);
        // 200 / 18 = 11: 198 × (64 + 187).
        QCOMPARE(editor->size(), QSize(198, 251));
        QCOMPARE(buttonNamed(*editor, "保存")->geometry(), QRect(0, 233, 99, 18));
        QCOMPARE(buttonNamed(*editor, "反転")->geometry().top(), 197);
    }

    void editorOperations() {
        BoardHost f;
        AppState& app = f.host->app();
        app.brush = ell();
        BrushBoard board(*f.host);
        board.openEditor();
        BrushEditorWindow& editor = *board.editor();
        const auto press = [&](const char* text, int times = 1) {
            for (int i = 0; i < times; ++i)
                buttonNamed(editor, text)->click();
        };
        press("回転");
        QVERIFY(editor.workingBrush().cells != ell().cells);
        press("回転", 3);
        QVERIFY(editor.workingBrush().cells == ell().cells);

        press("左右");
        Brush mirrored;
        mirrored.cells[14] = mirrored.cells[13] = mirrored.cells[16 + 14] = 1;
        QVERIFY(editor.workingBrush().cells == mirrored.cells);
        press("左右");

        press("反転");
        QCOMPARE(editor.workingBrush().cell(0, 0), std::uint8_t(1));
        QCOMPARE(editor.workingBrush().cell(1, 0), std::uint8_t(0));
        press("反転");
        press("↓");
        QCOMPARE(editor.workingBrush().cell(1, 2), std::uint8_t(1));
        QCOMPARE(editor.workingBrush().cell(2, 0), std::uint8_t(0));
        press("↑");
        QVERIFY(editor.workingBrush().cells == ell().cells);

        // Cell (4, 6) spans (40 … 47, 56 … 63); a press sets it, drawn black
        // with a white dot.
        QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(43, 59));
        QCOMPARE(editor.workingBrush().cell(4, 6), std::uint8_t(1));
        const QImage shot = editor.grab().toImage();
        QCOMPARE(shot.pixel(40, 56) & 0xFFFFFF, Black);
        QCOMPARE(shot.pixel(43, 59) & 0xFFFFFF, White);
        QCOMPARE(shot.pixel(33, 57) & 0xFFFFFF, White); // cell (3, 6)
        QCOMPARE(shot.pixel(35, 59) & 0xFFFFFF, Black); // and its dot
        QCOMPARE(shot.pixel(7, 7) & 0xFFFFFF, Black);   // the frame
        QCOMPARE(shot.pixel(136, 136) & 0xFFFFFF, Black);

        press("取消");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!board.editor());
        QVERIFY(board.isEnabled());
        QVERIFY(app.brush.cells == ell().cells);
        QCOMPARE(app.brushes.brush(0).cell(4, 6), std::uint8_t(0));
    }

    void storeWritesTheBrushAndTheSet() {
        BoardHost f;
        AppState& app = f.host->app();
        BrushBoard board(*f.host);
        showAt(board, {160, 200});
        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(1, 1));
        board.openEditor();
        QTest::mouseClick(board.editor(), Qt::LeftButton, {}, QPoint(43, 59));
        buttonNamed(*board.editor(), "保存")->click();
        QCOMPARE(app.brush.cell(4, 6), std::uint8_t(1));
        QCOMPARE(app.brush.firstRow, 6);
        QCOMPARE(app.brushes.brush(9).cell(4, 6), std::uint8_t(1));
        // Brush 9's cell (4, 6) on the board: (2 + 18 + 4, 2 + 18 + 6).
        QCOMPARE(pixelAt(board, 24, 26), Black);
        QCOMPARE(pixelAt(board, 25, 26), White);

        board.rightButton()->click();
        auto saved = ReadBoardBitmap(f.file("CBRUSH.BMP"));
        QVERIFY(saved && saved->bitsPerPixel() == 1);
        // Brush 9 is x 16 … 31 of rows 16 … 31: pixel 20 of row 22 is bit 3 of byte 2.
        QCOMPARE(saved->row(22)[2], std::uint8_t(0x08));
    }

    void loadTakesASetOfAnotherSize() {
        BoardHost f;
        AppState& app = f.host->app();
        auto picture = CellImage::Create(200, 70, 1);
        picture->row(3 * 16 + 2)[(11 * 16 + 5) / 8] = 0x04; // brush 47, cell (5, 2)
        writeBitmap(*picture, f.file("CBRUSH.BMP"));
        app.indexBrush = 60;
        BrushBoard board(*f.host);
        showAt(board, {160, 200});
        board.leftButton()->click();
        QVERIFY(f.host->scripted.messages.empty());
        QCOMPARE(app.brushes.count(), 48); // 12 × 4
        QCOMPARE(app.indexBrush, 47);
        QCOMPARE(app.brush.cell(5, 2), std::uint8_t(1));
        QCOMPARE(board.size(), QSize(232, 92));
    }

    void loadOfABadFileKeepsTheSet() {
        BoardHost f;
        writeBitmap(*CellImage::Create(64, 64, 8), f.file("CBRUSH.BMP"));
        f.host->app().indexBrush = 60;
        BrushBoard board(*f.host);
        board.leftButton()->click();
        QCOMPARE(f.host->scripted.messages.size(), std::size_t(1));
        QCOMPARE(f.host->scripted.messages[0].text, std::string("筆箱を読込めませんでした"));
        QCOMPARE(f.host->scripted.messages[0].caption, std::string("Celdo"));
        QCOMPARE(f.host->app().brushes.count(), 64);
        QCOMPARE(f.host->app().indexBrush, 60);
    }
};

QTEST_MAIN(BrushBoardTest)
#include "BrushBoardTest.moc"
