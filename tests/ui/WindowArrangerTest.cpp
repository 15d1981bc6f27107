#include "EditorTestSupport.h"

#include "ui/ChildFrame.h"
#include "ui/WindowArranger.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

using namespace celdo;
using celdo::testing::EditorFixture;

namespace {

// Opens `count` small pictures, each in its own child frame.
void openPictures(MainWindow& w, int count) {
    for (int i = 0; i < count; ++i) {
        LoadedImage loaded;
        loaded.picture = CellImage::Create(20 + 10 * i, 16, 8);
        w.documents().show(std::move(loaded));
    }
    EditorFixture::settle();
}

QList<QMdiSubWindow*> inCreationOrder(MainWindow& w) {
    return w.clientArea()->subWindowList(QMdiArea::CreationOrder);
}

} // namespace

class WindowArrangerTest : public QObject {
    Q_OBJECT
private slots:
    void tileSideBySideSharesTheWidth() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.resize(800, 600);
        w.show();
        openPictures(w, 3);
        w.executeCommand(Command::TileSideBySide);
        const QSize room = w.clientArea()->viewport()->size();
        const auto children = inCreationOrder(w);
        QCOMPARE(children.size(), qsizetype(3));
        QCOMPARE(children[0]->geometry(), QRect(0, 0, room.width() / 3, room.height()));
        QCOMPARE(children[2]->geometry().right(), room.width() - 1);
        QCOMPARE(children[1]->geometry().left(), room.width() / 3);
    }

    void tileStackedSharesTheHeightAndLeavesMinimisedChildren() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.resize(800, 600);
        w.show();
        openPictures(w, 3);
        auto children = inCreationOrder(w);
        children[1]->showMinimized();
        const QRect minimised = children[1]->geometry();
        w.executeCommand(Command::TileStacked);
        const QSize room = w.clientArea()->viewport()->size();
        QCOMPARE(children[0]->geometry(), QRect(0, 0, room.width(), room.height() / 2));
        QCOMPARE(children[2]->geometry(),
                 QRect(0, room.height() / 2, room.width(), room.height() - room.height() / 2));
        QVERIFY(children[1]->isMinimized());
        QCOMPARE(children[1]->geometry(), minimised);
    }

    void cascadeStepsOneTitleBarDown() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.resize(800, 600);
        w.show();
        openPictures(w, 3);
        w.executeCommand(Command::CascadeWindows);
        const int step = WindowArranger(*w.clientArea(), {}).cascadeStep();
        QVERIFY(step > 1);
        const auto children = inCreationOrder(w);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(children[i]->pos(), QPoint(10 * i, step * i));
            QCOMPARE(children[i]->size(), children[i]->sizeHint());
        }
    }

    void arrangeIconsLinesUpTheMinimisedChildren() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.resize(800, 600);
        w.show();
        openPictures(w, 3);
        auto children = inCreationOrder(w);
        children[0]->showMinimized();
        children[2]->showMinimized();
        children[0]->move(300, 10);
        children[2]->move(40, 20);
        const QRect normal = children[1]->geometry();
        w.executeCommand(Command::ArrangeIcons);
        const QSize room = w.clientArea()->viewport()->size();
        QCOMPARE(children[0]->pos(), QPoint(0, room.height() - children[0]->height()));
        QCOMPARE(children[2]->pos(),
                 QPoint(children[0]->width(), room.height() - children[2]->height()));
        QCOMPARE(children[1]->geometry(), normal);
    }

    void theSingleDocumentBuildHasNoWindowCommands() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::SingleDocument);
        MainWindow& w = *editor->mainWindow();
        QVERIFY(!w.clientArea());
        openPictures(w, 1);
        const QSize before = w.size();
        w.executeCommand(Command::TileSideBySide);
        w.executeCommand(Command::CascadeWindows);
        QCOMPARE(w.size(), before);
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
    }
};

QTEST_MAIN(WindowArrangerTest)
#include "WindowArrangerTest.moc"
