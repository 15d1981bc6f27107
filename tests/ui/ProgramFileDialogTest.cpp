#include "framework/FileDialog.h"
#include "framework/qt/ControlTableDialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace celdo;

namespace {

// root/a/b/c: a double click that entered twice would show root/a/b.
struct Tree {
    QTemporaryDir dir;
    Tree() { QDir(dir.path()).mkpath(QStringLiteral("a/b/c")); }
    std::string path(const char* below = "") const {
        return QDir(dir.path()).canonicalPath().toStdString() + "/" + below;
    }
};

FileDialog::Request openIn(const std::string& directory) {
    FileDialog::Request r;
    r.mode = FileDialog::Load;
    r.title = "画像の読込";
    r.types = {{"全て", "*.*"}};
    r.directory = directory;
    return r;
}

QListWidget* directoryList(ControlTableDialog& dialog) {
    return qobject_cast<QListWidget*>(dialog.widgetFor(FileDialog::DirectoryList));
}

QPoint centreOf(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? QPoint(-1, -1) : list->visualItemRect(found.first()).center();
}

// What a double click delivers to a widget: press, release, double-click
// press, release.
void doubleClick(QListWidget* list, const char* name) {
    const QPoint at = centreOf(list, name);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class ProgramFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void oneClickSelectsADirectoryADoubleClickEntersIt() {
        Tree tree;
        FileDialog files(openIn(tree.path()));
        ControlTableDialog dialog(files.table());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidget* list = directoryList(dialog);
        QVERIFY(list);
        QCOMPARE(list->count(), 2); // ".." and "a"

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, "a"));
        QCOMPARE(files.directory(), tree.path());
        QCOMPARE(files.table().value(FileDialog::DirectoryList), 1);
        QCOMPARE(list->currentRow(), 1);

        doubleClick(list, "a");
        QCOMPARE(files.directory(), tree.path("a/"));
        QCOMPARE(qobject_cast<QLabel*>(dialog.widgetFor(FileDialog::DirectoryText))->text(),
                 QString::fromStdString(tree.path("a/")));
        QCOMPARE(list->item(1)->text(), QString("b"));
        QVERIFY(dialog.isVisible());
    }

    void enterOnAChosenDirectoryEntersItAndKeepsTheDialogOpen() {
        Tree tree;
        FileDialog files(openIn(tree.path("a/")));
        ControlTableDialog dialog(files.table());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidget* list = directoryList(dialog);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, "b"));
        QCOMPARE(files.directory(), tree.path("a/"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(files.directory(), tree.path("a/b/"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);

        // ".." goes back up the same way.
        doubleClick(list, "..");
        QCOMPARE(files.directory(), tree.path("a/"));
    }

    void labelMnemonicsReachTheirFields() {
        Tree tree;
        FileDialog files(openIn(tree.path()));
        ControlTableDialog dialog(files.table());
        auto* label = qobject_cast<QLabel*>(dialog.widgetFor(401));
        QVERIFY(label);
        QCOMPARE(label->text(), QString("File&name"));
        QCOMPARE(label->buddy(), dialog.widgetFor(FileDialog::FileNameEdit));
        // Drawn with the mnemonic: the visible text is one character shorter
        // than the literal "File&name".
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY(label->sizeHint().width() < metrics.horizontalAdvance(QStringLiteral("File&name")) +
                                                2 * label->margin() + 2 * label->frameWidth());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        directoryList(dialog)->setFocus();
        QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), dialog.widgetFor(FileDialog::FileNameEdit));
    }
};

QTEST_MAIN(ProgramFileDialogTest)
#include "ProgramFileDialogTest.moc"
