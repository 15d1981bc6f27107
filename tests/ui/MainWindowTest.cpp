#include "EditorTestSupport.h"

#include "app/Settings.h"
#include "app/ToolButtonTable.h"
#include "canvas/Canvas.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"
#include "ui/ToolBarWidget.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QToolButton>

using namespace celdo;
using namespace celdo::testing;

namespace {

// The pixels of a picture, row by row.
std::vector<std::uint8_t> pixelsOf(const CellImage& image) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.at(x, y));
    return pixels;
}

CellImagePtr readCell(const std::string& path, const ColourValue* palette) {
    KissCellFile file(path);
    file.setSourcePalette(palette);
    if (file.readHeader() != 0 || file.selectPage() != 0)
        return nullptr;
    return file.readImage();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void withoutAPictureTheImageCommandsAreGreyed() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.updateMenuState();
        for (int command : {103, 104, 112, 1940, 1300, 1303, 1230, 1240, 1235, 1010, 1021, 130, 134,
                            135, 1600, 1604, 1200, 114})
            QVERIFY2(!w.action(command)->isEnabled(), qPrintable(QString::number(command)));
        for (int command : {101, 102, 108, 1900, 1400, 1700, 1500, 1840, 121, 120})
            QVERIFY2(w.action(command)->isEnabled(), qPrintable(QString::number(command)));
        // The current tool (free curve) and group 0 carry the check marks;
        // without a picture the 1:1 zoom item is checked.
        QVERIFY(w.action(1401)->isChecked());
        QVERIFY(!w.action(1400)->isChecked());
        QVERIFY(w.action(1500)->isChecked());
        QVERIFY(w.action(1240)->isChecked());
        QVERIFY(w.action(1120)->isChecked());

        // Toolbar: save (3), zoom 1:1 (26) and close-all (46) disabled, open
        // (0) normal, free curve (7) pressed.
        editor->state().toolbarList = {0, 3, 26, 46, 7, ToolButtonTable::End};
        w.toolBar()->setList(editor->state().toolbarList);
        w.refreshToolbar();
        QCOMPARE(w.toolBar()->buttonState(3), int(ToolButtonTable::Disabled));
        QCOMPARE(w.toolBar()->buttonState(26), int(ToolButtonTable::Disabled));
        QCOMPARE(w.toolBar()->buttonState(46), int(ToolButtonTable::Disabled));
        QCOMPARE(w.toolBar()->buttonState(0), int(ToolButtonTable::Normal));
        QCOMPARE(w.toolBar()->buttonState(7), int(ToolButtonTable::Pressed));

        // With a picture the same items come alive.
        w.openFiles(ParseWords({f.copy("doll.cel")}));
        f.settle();
        w.updateMenuState();
        QVERIFY(w.action(103)->isEnabled());
        QVERIFY(w.action(134)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(3), int(ToolButtonTable::Normal));
        QCOMPARE(w.toolBar()->buttonState(26), int(ToolButtonTable::Pressed));
    }

    void toolCommandsChooseTheToolAndShowItsName() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        QCOMPARE(w.toolPane()->text(), QStringLiteral("自由曲線"));
        w.executeCommand(1321);
        f.settle();
        QCOMPARE(editor->state().editing.currentTool, 769);
        QCOMPARE(w.toolPane()->text(), QStringLiteral("楕円"));
        w.setToolPaneText(QStringLiteral("一時"));
        QCOMPARE(w.toolPane()->text(), QStringLiteral("一時"));
        w.restoreToolPaneText();
        QCOMPARE(w.toolPane()->text(), QStringLiteral("楕円"));

        // 塗潰し with PopupPaintOption follows with the fill options dialog.
        editor->state().fillSettings.popupPaintOption = true;
        f.ui.answerDialog("PAINTOPTION1", 2);
        w.executeCommand(1700);
        f.settle();
        QCOMPARE(editor->state().editing.currentTool, 1536);
        QCOMPARE(f.ui.dialogs.back(), std::string("PAINTOPTION1"));
        QVERIFY(f.ui.allAnswered());
    }

    void droppedPaletteAndTwoPicturesOpenInDropOrder() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string kcf = f.copy("doll.kcf");
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");

        // The groups the file does not hold keep their start-up colours.
        PaletteSet expected = editor->state().palette;
        w.dropFiles({kcf, doll, dress});
        f.settle();

        const auto frames = w.clientArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames[0]->windowTitle(), QStringLiteral("doll.cel"));
        QCOMPARE(frames[1]->windowTitle(), QStringLiteral("dress.cel"));
        QVERIFY(f.ui.messages.empty());

        // The palette set holds the file's colours, read independently.
        KissPaletteFile file(kcf);
        QCOMPARE(int(file.readHeader()), 0);
        QCOMPARE(int(file.readGroups(expected)), 0);
        QVERIFY(std::equal(expected.all(), expected.all() + 2560, editor->state().palette.all()));
        // A cell takes the current group as its palette.
        const CellImage* picture = w.imageWindows().front()->canvas().picture();
        QVERIFY(std::equal(expected.group(0), expected.group(0) + 256, picture->palette()));
    }

    void colourGroupSwitchRepaintsWithIndicesUnchanged() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.openFiles(ParseWords({f.copy("doll.cel"), f.copy("dress.cel")}));
        f.settle();
        const auto windows = w.imageWindows();
        QCOMPARE(windows.size(), std::size_t(2));
        // Group 3 is a ramp unlike any other group.
        ColourValue* group3 = editor->state().palette.group(3);
        for (int i = 0; i < 256; ++i)
            group3[i] = rgb(i, 255 - i, 7);
        std::vector<std::vector<std::uint8_t>> before;
        for (ImageWindow* iw : windows)
            before.push_back(pixelsOf(*iw->canvas().picture()));

        w.executeCommand(1503);
        f.settle();
        QCOMPARE(editor->state().palette.currentGroup(), 3);
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const CellImage& picture = *windows[i]->canvas().picture();
            QCOMPARE(pixelsOf(picture), before[i]);
            QCOMPARE(picture.paletteEntry(200), rgb(200, 55, 7));
            QVERIFY(!windows[i]->canvas().surface().modified);
        }
        w.updateMenuState();
        QVERIFY(w.action(1503)->isChecked());
        QVERIFY(!w.action(1500)->isChecked());
    }

    void closeAsksEachModifiedPicture() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");
        w.openFiles(ParseWords({doll, dress}));
        f.settle();
        for (ImageWindow* iw : w.imageWindows())
            iw->canvas().surface().modified = true;
        // The top window (dress.cel, opened last) is asked first.
        w.imageWindows().front()->canvas().picture()->at(0, 0) = 5;

        // Cancel at the first question: nothing closes, nothing is written.
        f.ui.answerMessage(answer::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, std::string("dress.cel は変更されてます。保存しますか？"));
        QCOMPARE(w.imageWindows().size(), std::size_t(2));
        QVERIFY(!w.shutDownDone());

        // Yes saves the first, No leaves the second: the close goes ahead.
        f.ui.answerMessage(answer::Yes);
        f.ui.answerMessage(answer::No);
        QVERIFY(w.close());
        QVERIFY(w.shutDownDone());
        QCOMPARE(f.ui.messages.size(), std::size_t(3));
        const CellImagePtr saved = readCell(dress, editor->state().palette.current());
        QVERIFY(saved);
        QCOMPARE(int(saved->at(0, 0)), 5);
        QVERIFY(f.ui.allAnswered());
    }

    void closeAllAsksAndStopsAtCancel() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        w.openFiles(ParseWords({f.copy("doll.cel"), f.copy("dress.cel"), f.copy("ribbon.cel")}));
        f.settle();
        const auto windows = w.imageWindows(); // ribbon, dress, doll
        windows[1]->canvas().surface().modified = true;
        f.ui.answerMessage(answer::Cancel);
        w.executeCommand(134);
        f.settle();
        // ribbon (unmodified) went without a question, dress refused, doll stays.
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(w.imageWindows().size(), std::size_t(2));

        f.ui.answerMessage(answer::No);
        w.executeCommand(134);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(0));
    }

    void openingAnOpenFileAsksFirst() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        w.openNamedFile(doll, false);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QVERIFY(f.ui.messages.empty());

        // The same name in other letter case: No activates the holder.
        std::string upper = doll;
        upper.replace(upper.size() - 8, 8, "DOLL.CEL");
        f.ui.answerMessage(answer::No);
        w.openNamedFile(upper, false);
        f.settle();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, std::string("doll.cel は既に編集中です。読込ますか？"));
        QCOMPARE(f.ui.messages[0].caption, std::string("CELDO"));
        QVERIFY(f.ui.messages[0].buttons == MessageButtons::YesNo);
        QCOMPARE(w.imageWindows().size(), std::size_t(1));

        // Yes loads a second copy.
        f.ui.answerMessage(answer::Yes);
        w.openNamedFile(doll, false);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(2));
    }

    void historyMovesAReopenedFileToTheTop() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");
        w.openNamedFile(doll, false);
        w.openNamedFile(dress, false);
        f.settle();
        const auto& history = editor->state().imageHistory;
        QCOMPARE(history.size(), 2);
        QCOMPARE(*history.entry(0), dress);

        // The "ファイル" menu lists them after 終了 with 1800, 1801.
        w.rebuildFileHistoryMenu();
        const auto items = w.popup(0)->actions();
        QCOMPARE(items[items.size() - 2]->text(), QString::fromStdString(dress));
        QCOMPARE(items.back()->data().toInt(), 1801);
        QVERIFY(items[items.size() - 3]->isSeparator());

        // Entry 1 (doll.cel) again: already open, load anyway.
        f.ui.answerMessage(answer::Yes);
        w.executeCommand(1801);
        f.settle();
        QCOMPARE(history.size(), 2);
        QCOMPARE(*history.entry(0), doll);
        QCOMPARE(*history.entry(1), dress);
        QCOMPARE(w.imageWindows().size(), std::size_t(3));
        // Rebuilding replaces the old entries rather than adding to them.
        w.rebuildFileHistoryMenu();
        QCOMPARE(w.popup(0)->actions().size(), items.size());

        // MaxMenuFile 0: neither separator nor entries.
        editor->state().fileOptions.maxMenuFile = 0;
        w.rebuildFileHistoryMenu();
        QCOMPARE(w.popup(0)->actions().back(), w.action(108));
    }

    void newImageWithTheSizeListWritten() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        f.ui.answerDialog("NewGraph", [](ControlTable& t) {
            t.setText(newgraph::WidthEdit, "48");
            t.setText(newgraph::HeightEdit, "40");
            t.setValue(newgraph::AddToList, 1);
            t.setValue(newgraph::UseNextTime, 1);
            return t.press(1);
        });
        w.executeCommand(101);
        f.settle();
        QVERIFY(f.ui.allAnswered());
        const auto windows = w.imageWindows();
        QCOMPARE(windows.size(), std::size_t(1));
        QCOMPARE(windows[0]->canvas().picture()->width(), 48);
        QCOMPARE(windows[0]->canvas().picture()->height(), 40);
        QCOMPARE(windows[0]->displayName(), QStringLiteral("(無題)"));

        // Written at once: the default size and the list with 48 × 40 first.
        const Settings written(f.ini, "CELDOM");
        QCOMPARE(written.readInt("NewSizeX", 0), 48);
        QCOMPARE(written.readInt("NewSizeY", 0), 40);
        QCOMPARE(written.readInt("sizex1", 0), 48);
        QCOMPARE(written.readInt("sizey1", 0), 40);
        QCOMPARE(written.readInt("sizex2", 0), 320);
        QCOMPARE(written.readInt("sizex5", 0), -1);
    }

    void optionsSheetWritesTheFilePageBack() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        f.ui.answerDialog("FileOption", [](ControlTable& t) {
            t.setValue(fileoption::ViewHeader, 1);
            t.setValue(fileoption::MaxMenuFile, 4);
            t.setValue(fileoption::Remove, 1);
            return 1;
        });
        w.executeCommand(1900);
        QCOMPARE(editor->state().fileOptions.viewHeader, 1);
        QCOMPARE(editor->state().fileOptions.maxMenuFile, 4);
        QCOMPARE(editor->state().fileOptions.deleteErrorMenuFile, 2);

        f.ui.answerDialog("FileOption", [](ControlTable& t) {
            t.setValue(fileoption::MaxMenuFile, 9);
            return 2;
        });
        w.executeCommand(1900);
        QCOMPARE(editor->state().fileOptions.maxMenuFile, 4);
    }

    void displayInformationTexts() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        f.ui.answerDialog("DisplayInfo", 1);
        editor->mainWindow()->executeCommand(1020);
        QCOMPARE(f.ui.tables.back().title, std::string("ディスプレイ情報"));
        QVERIFY(!f.ui.tables.back().text(displayinfo::SystemVersion).empty());
        QCOMPARE(ColourDepthText(1), std::string("モノクロ"));
        QCOMPARE(ColourDepthText(4), std::string("16 色"));
        QCOMPARE(ColourDepthText(8), std::string("256 色"));
        QCOMPARE(ColourDepthText(15), std::string("32K色"));
        QCOMPARE(ColourDepthText(16), std::string("64K色"));
        QCOMPARE(ColourDepthText(24), std::string("1678万色"));
        QCOMPARE(ColourDepthText(32), std::string("32 bit"));
        DisplayMetrics m;
        m.width = 1280;
        m.height = 1024;
        m.bitsPerPixel = 24;
        const ControlTable t = DisplayInfoDialog(m, "Linux 6.1");
        QCOMPARE(t.text(displayinfo::ScreenSize), std::string("1280 × 1024"));
        QCOMPARE(t.text(displayinfo::ColourDepth), std::string("1678万色"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
