#include "EditorTestSupport.h"
#include "support/PixelRows.h"
#include "support/PositionCodedPicture.h"

#include "app/CommandTable.h"
#include "app/ImageWindowDialogs.h"
#include "app/ToolButtonTable.h"
#include "canvas/Canvas.h"
#include "ui/BoardWindows.h"
#include "ui/CanvasView.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"
#include "ui/PaletteBoard.h"
#include "ui/PasteWindow.h"
#include "ui/ToolBarWidget.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>

using namespace celdo;
using namespace celdo::testing;

namespace {

// A freehand stroke with the mouse from `from` to `to` (canvas pixels).
void stroke(ImageWindow& window, QPoint from, QPoint to) {
    QWidget* canvas = window.canvasView();
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
}

// Types a key into the main window as the user would, the window active.
void type(MainWindow& w, const QKeySequence& keys) {
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keySequence(&w, keys);
    EditorFixture::settle();
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

    static void bothBuilds() {
        QTest::addColumn<FrameVariant>("variant");
        QTest::newRow("multiple documents") << FrameVariant::MultipleDocument;
        QTest::newRow("single document") << FrameVariant::SingleDocument;
    }

private slots:
    void theEditMenuStartsWithUndoAndRedo_data() { bothBuilds(); }
    void theEditMenuStartsWithUndoAndRedo() {
        QFETCH(FrameVariant, variant);
        EditorFixture f;
        auto editor = f.start(variant);
        MainWindow& w = *editor->mainWindow();
        const QList<QAction*> items = w.popup(1)->actions();
        QCOMPARE(items.at(0)->text(), QStringLiteral("元に戻す(&U)\tCtrl+Z"));
        QCOMPARE(items.at(1)->text(), QStringLiteral("やり直し(&R)\tCtrl+Y"));
        QVERIFY(items.at(2)->isSeparator());
        w.updateMenuState();
        QVERIFY(!w.action(Command::Undo)->isEnabled());
        QVERIFY(!w.action(Command::Redo)->isEnabled());
    }

    void menuAndKeysUndoAndRedoAStrokeInBothBuilds_data() { bothBuilds(); }
    void menuAndKeysUndoAndRedoAStrokeInBothBuilds() {
        QFETCH(FrameVariant, variant);
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(variant, {doll});
        MainWindow& w = *editor->mainWindow();
        w.show();
        editor->state().toolbarList = {57, 58, ToolButtonTable::End};
        w.toolBar()->setList(editor->state().toolbarList);
        ImageWindow* window = w.activeImageWindow();
        QVERIFY(window);
        const test::Rows before = test::rows(*window->canvas().picture());

        w.executeCommand(Command::ToolFreehand);
        stroke(*window, QPoint(3, 4), QPoint(20, 30));
        const test::Rows painted = test::rows(*window->canvas().picture());
        QVERIFY(painted != before);
        QVERIFY(window->canvas().surface().modified);
        w.updateMenuState();
        QVERIFY(w.action(Command::Undo)->isEnabled());
        QVERIFY(!w.action(Command::Redo)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(57), int(ToolButtonTable::Normal));
        QCOMPARE(w.toolBar()->buttonState(58), int(ToolButtonTable::Disabled));

        // The menu item.
        w.action(Command::Undo)->trigger();
        f.settle();
        QCOMPARE(test::rows(*window->canvas().picture()), before);
        QVERIFY(!window->canvas().surface().modified);
        w.updateMenuState();
        QVERIFY(!w.action(Command::Undo)->isEnabled());
        QVERIFY(w.action(Command::Redo)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(57), int(ToolButtonTable::Disabled));
        QCOMPARE(w.toolBar()->buttonState(58), int(ToolButtonTable::Normal));

        // The keys: Ctrl+Y and Ctrl+Shift+Z redo, Ctrl+Z undoes.
        type(w, QKeySequence(QStringLiteral("Ctrl+Y")));
        QCOMPARE(test::rows(*window->canvas().picture()), painted);
        QVERIFY(window->canvas().surface().modified);
        type(w, QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(test::rows(*window->canvas().picture()), before);
        type(w, QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        QCOMPARE(test::rows(*window->canvas().picture()), painted);

        // A save, then undo: modified again; redo back to the saved state.
        QVERIFY(window->Save());
        type(w, QKeySequence(QStringLiteral("Ctrl+Z")));
        QVERIFY(window->canvas().surface().modified);
        type(w, QKeySequence(QStringLiteral("Ctrl+Y")));
        QVERIFY(!window->canvas().surface().modified);
        QVERIFY(f.ui.messages.empty());
    }

    void undoDuringAPasteWindowCancelsThePasteFirst() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        ImageWindow* window = w.activeImageWindow();
        const test::Rows before = test::rows(*window->canvas().picture());
        w.executeCommand(Command::ToolFreehand);
        stroke(*window, QPoint(5, 5), QPoint(40, 12));
        const test::Rows painted = test::rows(*window->canvas().picture());

        window->startPaste(test::positionCodedPicture(12, 12), nullptr);
        QPointer<PasteWindow> paste = window->canvasView()->findChild<PasteWindow*>();
        QVERIFY(paste);
        w.executeCommand(Command::Undo);
        f.settle();
        // The paste went without being laid down, and the stroke was undone.
        QVERIFY(!paste);
        QCOMPARE(test::rows(*window->canvas().picture()), before);
        w.executeCommand(Command::Redo);
        f.settle();
        QCOMPARE(test::rows(*window->canvas().picture()), painted);

        // A paste laid down is a step of its own.
        window->startPaste(test::positionCodedPicture(12, 12), nullptr);
        paste = window->canvasView()->findChild<PasteWindow*>();
        QVERIFY(paste);
        paste->pasteNow();
        f.settle();
        QVERIFY(test::rows(*window->canvas().picture()) != painted);
        w.executeCommand(Command::Undo);
        f.settle();
        QCOMPARE(test::rows(*window->canvas().picture()), painted);
    }

    void undoDuringAStrokeTakesBackWhatItPainted() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        ImageWindow* window = w.activeImageWindow();
        w.executeCommand(Command::ToolFreehand);
        stroke(*window, QPoint(5, 5), QPoint(40, 12));
        const test::Rows first = test::rows(*window->canvas().picture());
        QWidget* canvas = window->canvasView();
        QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(30, 40));
        QTest::mouseMove(canvas, QPoint(50, 60));
        QVERIFY(test::rows(*window->canvas().picture()) != first);
        // Ended as a cancel, then the stroke before it undone.
        w.executeCommand(Command::Undo);
        f.settle();
        QTest::mouseMove(canvas, QPoint(60, 70));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(60, 70));
        QVERIFY(!editor->state().editing.strokeActive);
        w.executeCommand(Command::Redo);
        f.settle();
        QCOMPARE(test::rows(*window->canvas().picture()), first);
        QVERIFY(!editor->state().history.canRedo(window->undoLane()));
    }

    void aPaletteStepWaitsForLaterStepsOfTheOtherPicture() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.documents().openFiles(ParseWords({f.copy("doll.cel"), f.copy("dress.cel")}));
        f.settle();
        const auto windows = w.imageWindows();
        QCOMPARE(windows.size(), std::size_t(2));
        ImageWindow* dress = windows[0];
        ImageWindow* doll = windows[1];
        const test::Rows dollBefore = test::rows(*doll->canvas().picture());
        const test::Rows dressBefore = test::rows(*dress->canvas().picture());
        const std::vector<ColourValue> paletteBefore(editor->state().palette.current(),
                                                     editor->state().palette.current() + 256);

        auto activate = [&](ImageWindow* window) {
            for (ChildFrame* frame : w.childFrames())
                if (frame->imageWindow() == window)
                    w.clientArea()->setActiveSubWindow(frame);
            f.settle();
            QCOMPARE(w.activeImageWindow(), window);
        };

        // Swap entries 15 and 55, which the doll uses, with the pixels
        // following.
        editor->state().colours.drawColor = 15;
        editor->state().colours.dragTarget = 55;
        w.executeCommand(Command::PaletteSwap);
        f.settle();
        QVERIFY(test::rows(*doll->canvas().picture()) != dollBefore);
        // The active picture (the dress) gets a stroke of its own.
        QCOMPARE(w.activeImageWindow(), dress);
        w.executeCommand(Command::ToolFreehand);
        stroke(*dress, QPoint(2, 2), QPoint(9, 9));

        // From the doll the swap cannot be undone yet: the status bar says why.
        activate(doll);
        const test::Rows dollSwapped = test::rows(*doll->canvas().picture());
        w.executeCommand(Command::Undo);
        f.settle();
        QCOMPARE(w.coordinatePane()->text(),
                 QStringLiteral("「dress.cel」に後の変更があるため、元に戻せません"));
        QCOMPARE(test::rows(*doll->canvas().picture()), dollSwapped);

        // Undone in the dress first, then the swap from the doll: both
        // pictures and the palette as they were.
        activate(dress);
        w.executeCommand(Command::Undo);
        activate(doll);
        w.executeCommand(Command::Undo);
        f.settle();
        QCOMPARE(test::rows(*doll->canvas().picture()), dollBefore);
        QCOMPARE(test::rows(*dress->canvas().picture()), dressBefore);
        QCOMPARE(std::vector<ColourValue>(editor->state().palette.current(),
                                          editor->state().palette.current() + 256),
                 paletteBefore);
        QVERIFY(!doll->canvas().surface().modified);
        QVERIFY(!dress->canvas().surface().modified);
    }

    void thePaletteBoardUndoesThePalettesOwnSteps() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        w.show();
        w.executeCommand(Command::PaletteBoard);
        f.settle();
        PaletteBoard* board = w.boards().paletteBoard();
        QVERIFY(board);
        ColourValue* group = editor->state().palette.current();
        const ColourValue before = group[7];
        // A palette loaded from a file changes entries without remapping.
        group[7] = rgb(1, 2, 3);
        w.executeCommand(Command::PaletteChanged);
        f.settle();
        QVERIFY(!w.activeImageWindow()->canvas().surface().modified);
        QVERIFY(!editor->state().history.canUndo(w.activeImageWindow()->undoLane()));

        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board));
        QTest::keySequence(board, QKeySequence(QStringLiteral("Ctrl+Z")));
        f.settle();
        QCOMPARE(group[7], before);
        QCOMPARE(w.activeImageWindow()->canvas().picture()->paletteEntry(7), before);
        QTest::keySequence(board, QKeySequence(QStringLiteral("Ctrl+Y")));
        f.settle();
        QCOMPARE(group[7], rgb(1, 2, 3));
    }

    void withoutAPictureTheMainWindowUndoesThePalette() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        ColourValue* group = editor->state().palette.current();
        const ColourValue before = group[9];
        editor->state().colours.drawColor = 4;
        editor->state().colours.dragTarget = 9;
        w.executeCommand(Command::PaletteCopy);
        f.settle();
        QCOMPARE(group[9], group[4]);
        w.updateMenuState();
        QVERIFY(w.action(Command::Undo)->isEnabled());
        w.executeCommand(Command::Undo);
        f.settle();
        QCOMPARE(group[9], before);
    }

    void aSizeChangeIsUndoneWithTheWindowFollowing() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        ImageWindow* window = w.activeImageWindow();
        const int width = window->canvas().width();
        const test::Rows before = test::rows(*window->canvas().picture());
        f.ui.answerDialog("SizeChange", [](ControlTable& t) {
            t.setValue(imagedialog::RightBar, 10);
            return t.press(imagedialog::Apply);
        });
        w.executeCommand(Command::ChangeSize);
        f.settle();
        QCOMPARE(window->canvas().width(), width + 10);
        QCOMPARE(window->canvasView()->width(), width + 10);
        w.executeCommand(Command::Undo);
        f.settle();
        QCOMPARE(window->canvas().width(), width);
        QCOMPARE(window->canvasView()->width(), width);
        QCOMPARE(test::rows(*window->canvas().picture()), before);
    }
};

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
