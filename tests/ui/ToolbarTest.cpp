#include "EditorTestSupport.h"

#include "app/Settings.h"
#include "app/ToolButtonTable.h"
#include "ui/ToolBarCustomizeDialog.h"
#include "ui/ToolBarWidget.h"

#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolButton>

using namespace celdo;
using namespace celdo::testing;

class ToolbarTest : public QObject {
    Q_OBJECT
private slots:
    void defaultListPlacesExitGapOpenNew() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        ToolBarWidget& bar = *editor->mainWindow()->toolBar();
        QCOMPARE(bar.height(), 32);
        // Exit at x 8, a gap of 8, then Open and New one button apart.
        QVERIFY(!bar.button(5)->isHidden());
        QCOMPARE(bar.button(5)->pos(), QPoint(8, 4));
        QCOMPARE(bar.button(0)->pos(), QPoint(8 + ToolBarWidget::ButtonSize + 8, 4));
        QCOMPARE(bar.button(2)->pos(), QPoint(8 + 2 * ToolBarWidget::ButtonSize + 8, 4));
        QVERIFY(bar.button(3)->isHidden());
        QCOMPARE(bar.button(0)->toolTip(), QStringLiteral("開く"));
    }

    void emptyStoredListGivesAnEmptyBar() {
        EditorFixture f;
        {
            Settings s(f.ini, "CELDOM");
            s.writeInt("ToolButton0", -1);
            s.flush();
        }
        auto editor = f.start(FrameVariant::MultipleDocument);
        ToolBarWidget& bar = *editor->mainWindow()->toolBar();
        for (int i = 0; i < ToolButtonTable::Count; ++i)
            QVERIFY(bar.button(i)->isHidden());
    }

    void togglesAreWrittenAtOnce() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.show();
        f.settle();
        const int areaBefore = w.clientArea()->height();
        w.executeCommand(Command::ToggleStatusBar);
        f.settle();
        QCOMPARE(Settings(f.ini, "CELDOM").readInt("UseStatusBar", 9), 0);
        QVERIFY(w.statusBar()->isHidden());
        // The status bar's height goes to the child-window area at once.
        QVERIFY(w.clientArea()->height() > areaBefore);
        w.executeCommand(Command::ToggleToolBar);
        QCOMPARE(Settings(f.ini, "CELDOM").readInt("UseToolBar", 9), 0);
        QVERIFY(w.toolBar()->isHidden());
        w.executeCommand(Command::ToggleToolBar);
        QCOMPARE(Settings(f.ini, "CELDOM").readInt("UseToolBar", 9), 1);
        w.updateMenuState();
        QVERIFY(w.action(Command::ToggleToolBar)->isChecked());
        QVERIFY(!w.action(Command::ToggleStatusBar)->isChecked());
    }

    void buttonClickRunsItsCommand() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        editor->state().toolbarList = {6, 16, -1};
        w.toolBar()->setList(editor->state().toolbarList);
        editor->state().fillSettings.popupPaintOption = false;
        w.toolBar()->button(6)->click();
        f.settle();
        QCOMPARE(editor->state().editing.currentTool, 257);
        QCOMPARE(w.toolBar()->buttonState(6), int(ToolButtonTable::Pressed));
        QCOMPARE(w.toolBar()->buttonState(16), int(ToolButtonTable::Normal));
        QCOMPARE(w.toolPane()->text(), QStringLiteral("手書き"));
    }

    void customisationEditsTheList() {
        ToolBarCustomizeDialog dialog({5, -2, 0, 2, -1});
        dialog.selectEntry(3);
        dialog.addButton(16); // after New
        dialog.selectEntry(1);
        dialog.removeSelected(); // the gap
        dialog.selectEntry(0);
        dialog.moveSelected(1); // Exit after Open
        dialog.addGap();
        QCOMPARE(dialog.list(), (std::vector<int>{0, 5, -2, 2, 16, -1}));
        // At most 99 entries.
        ToolBarCustomizeDialog full(std::vector<int>(120, 1));
        QCOMPARE(full.list().size(), std::size_t(100));
        full.addGap();
        QCOMPARE(full.list().size(), std::size_t(100));
    }
};

QTEST_MAIN(ToolbarTest)
#include "ToolbarTest.moc"
