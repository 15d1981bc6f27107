#include "EditorTestSupport.h"

#include "app/Settings.h"
#include "app/ToolButtonTable.h"
#include "canvas/Canvas.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "ui/CanvasView.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"
#include "ui/ToolBarWidget.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
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
        for (Command command :
             {Command::Save, Command::SaveAs, Command::Copy, Command::WholePictureFilter,
              Command::ToolRegionFilter, Command::ToolRegionCopy, Command::TextPaste,
              Command::ZoomOne, Command::ZoomEighth, Command::FitToImage, Command::ImageInfo,
              Command::CascadeWindows, Command::CloseAllWindows, Command::NextWindow,
              Command::MaskEdit, Command::MaskClear, Command::ChangeSize, Command::Paste})
            QVERIFY2(!w.action(command)->isEnabled(),
                     qPrintable(QString::number(commandId(command))));
        for (Command command :
             {Command::NewImage, Command::OpenImage, Command::Exit, Command::Options,
              Command::ToolFreehand, Command::ToolFill, commandAt(Command::ColourGroupFirst, 0),
              Command::OpenPalette, Command::Help, Command::About})
            QVERIFY2(w.action(command)->isEnabled(),
                     qPrintable(QString::number(commandId(command))));
        // The current tool (free curve) and group 0 carry the check marks;
        // without a picture the 1:1 zoom item is checked.
        QVERIFY(w.action(Command::ToolFreeCurve)->isChecked());
        QVERIFY(!w.action(Command::ToolFreehand)->isChecked());
        QVERIFY(w.action(commandAt(Command::ColourGroupFirst, 0))->isChecked());
        QVERIFY(w.action(Command::ZoomOne)->isChecked());
        QVERIFY(w.action(Command::ToggleToolBar)->isChecked());

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
        w.documents().openFiles(ParseWords({f.copy("doll.cel")}));
        f.settle();
        w.updateMenuState();
        QVERIFY(w.action(Command::Save)->isEnabled());
        QVERIFY(w.action(Command::CloseAllWindows)->isEnabled());
        QCOMPARE(w.toolBar()->buttonState(3), int(ToolButtonTable::Normal));
        QCOMPARE(w.toolBar()->buttonState(26), int(ToolButtonTable::Pressed));
    }

    void toolCommandsChooseTheToolAndShowItsName() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        QCOMPARE(w.toolPane()->text(), QStringLiteral("自由曲線"));
        w.executeCommand(Command::ToolEllipse);
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
        w.executeCommand(Command::ToolFill);
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
        w.documents().dropFiles({kcf, doll, dress});
        f.settle();

        const auto frames = w.clientArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames[0]->windowTitle(), QStringLiteral("doll.cel[*]"));
        QCOMPARE(frames[1]->windowTitle(), QStringLiteral("dress.cel[*]"));
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
        w.documents().openFiles(ParseWords({f.copy("doll.cel"), f.copy("dress.cel")}));
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

        w.executeCommand(commandAt(Command::ColourGroupFirst, 3));
        f.settle();
        QCOMPARE(editor->state().palette.currentGroup(), 3);
        for (std::size_t i = 0; i < windows.size(); ++i) {
            const CellImage& picture = *windows[i]->canvas().picture();
            QCOMPARE(pixelsOf(picture), before[i]);
            QCOMPARE(picture.paletteEntry(200), rgb(200, 55, 7));
            QVERIFY(!windows[i]->canvas().surface().modified);
        }
        w.updateMenuState();
        QVERIFY(w.action(commandAt(Command::ColourGroupFirst, 3))->isChecked());
        QVERIFY(!w.action(commandAt(Command::ColourGroupFirst, 0))->isChecked());
    }

    void closeAsksEachModifiedPicture() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");
        w.documents().openFiles(ParseWords({doll, dress}));
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
        w.documents().openFiles(
            ParseWords({f.copy("doll.cel"), f.copy("dress.cel"), f.copy("ribbon.cel")}));
        f.settle();
        const auto windows = w.imageWindows(); // ribbon, dress, doll
        windows[1]->canvas().surface().modified = true;
        f.ui.answerMessage(answer::Cancel);
        w.executeCommand(Command::CloseAllWindows);
        f.settle();
        // ribbon (unmodified) went without a question, dress refused, doll stays.
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(w.imageWindows().size(), std::size_t(2));

        f.ui.answerMessage(answer::No);
        w.executeCommand(Command::CloseAllWindows);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(0));
    }

    void openingAnOpenFileAsksFirst() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        w.documents().openNamedFile(doll, false);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(1));
        QVERIFY(f.ui.messages.empty());

        // The same name in other letter case: No activates the holder.
        std::string upper = doll;
        upper.replace(upper.size() - 8, 8, "DOLL.CEL");
        f.ui.answerMessage(answer::No);
        w.documents().openNamedFile(upper, false);
        f.settle();
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QCOMPARE(f.ui.messages[0].text, std::string("doll.cel は既に編集中です。読込ますか？"));
        QCOMPARE(f.ui.messages[0].caption, std::string("CELDO"));
        QVERIFY(f.ui.messages[0].buttons == MessageButtons::YesNo);
        QCOMPARE(w.imageWindows().size(), std::size_t(1));

        // Yes loads a second copy.
        f.ui.answerMessage(answer::Yes);
        w.documents().openNamedFile(doll, false);
        f.settle();
        QCOMPARE(w.imageWindows().size(), std::size_t(2));
    }

    void historyMovesAReopenedFileToTheTop() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string doll = f.copy("doll.cel");
        const std::string dress = f.copy("dress.cel");
        w.documents().openNamedFile(doll, false);
        w.documents().openNamedFile(dress, false);
        f.settle();
        const auto& history = editor->state().imageHistory;
        QCOMPARE(history.size(), 2);
        QCOMPARE(*history.entry(0), dress);

        // The "ファイル" menu lists them after 終了 as history entries 0 and 1.
        w.rebuildFileHistoryMenu();
        const auto items = w.popup(0)->actions();
        QCOMPARE(items[items.size() - 2]->text(), QString::fromStdString(dress));
        QCOMPARE(items.back()->data().toInt(), commandId(commandAt(Command::FileHistoryFirst, 1)));
        QVERIFY(items[items.size() - 3]->isSeparator());

        // Entry 1 (doll.cel) again: already open, load anyway.
        f.ui.answerMessage(answer::Yes);
        w.executeCommand(commandAt(Command::FileHistoryFirst, 1));
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
        QCOMPARE(w.popup(0)->actions().back(), w.action(Command::Exit));
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
        w.executeCommand(Command::NewImage);
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
        w.executeCommand(Command::Options);
        QCOMPARE(editor->state().fileOptions.viewHeader, 1);
        QCOMPARE(editor->state().fileOptions.maxMenuFile, 4);
        QCOMPARE(editor->state().fileOptions.deleteErrorMenuFile, 2);

        f.ui.answerDialog("FileOption", [](ControlTable& t) {
            t.setValue(fileoption::MaxMenuFile, 9);
            return 2;
        });
        w.executeCommand(Command::Options);
        QCOMPARE(editor->state().fileOptions.maxMenuFile, 4);
    }

    void displayInformationTexts() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        f.ui.answerDialog("DisplayInfo", 1);
        editor->mainWindow()->executeCommand(Command::DisplayInfo);
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

    void zoomFitsTheChildFrameOrCutsItToTheClientArea() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument, {f.copy("doll.cel")});
        MainWindow& w = *editor->mainWindow();
        w.resize(1000, 700);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        f.settle();
        ChildFrame* frame = w.childFrames().front();
        ImageWindow* image = frame->imageWindow();
        QCOMPARE(image->canvas().width(), 48);
        QCOMPARE(image->canvas().height(), 112);
        const QMargins m = frame->contentsMargins();
        const QSize decoration(m.left() + m.right() + 2 * image->frameWidth(),
                               m.top() + m.bottom() + 2 * image->frameWidth());
        frame->move(0, 0);

        // 4×: 48·4 + 32 = 224 by 112·4 + 32 = 480, well inside the area.
        image->ZoomTo(Command::ZoomFour, 1);
        f.settle();
        QCOMPARE(frame->size(), QSize(224, 480) + decoration);
        QCOMPARE(image->viewport()->size(), QSize(224, 480));
        QVERIFY(!image->horizontalScrollBar()->isVisible());
        QVERIFY(!image->verticalScrollBar()->isVisible());
        QCOMPARE(image->canvasView()->pos(), QPoint(8, 8));

        // 8×: 416 by 928 does not fit the height: the frame reaches the area's
        // bottom, and the width grows by the vertical bar.
        const QSize area = w.clientArea()->viewport()->size();
        QVERIFY(area.height() < 50 + 928 + decoration.height());
        frame->move(100, 50);
        image->ZoomTo(Command::ZoomEight, 1);
        f.settle();
        const int bar = image->scrollBarExtent().width();
        QCOMPARE(frame->geometry(),
                 QRect(100, 50, 416 + bar + decoration.width(), area.height() - 50));
        QVERIFY(image->verticalScrollBar()->isVisible());
        QVERIFY(!image->horizontalScrollBar()->isVisible());
        QCOMPARE(image->viewport()->width(), 416);

        // A minimised child is restored and fitted by 大きさの調整.
        frame->showMinimized();
        f.settle();
        QVERIFY(frame->handleCommand(Command::FitToImage));
        f.settle();
        QVERIFY(!frame->isMinimized());
        QCOMPARE(frame->width(), 416 + bar + decoration.width());
    }

    void theCaptionMarksAChangeUntilTheSave() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::MultipleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        ChildFrame* frame = w.childFrames().front();
        QVERIFY(!frame->isWindowModified());
        w.executeCommand(Command::ToolFreehand);
        QTest::mousePress(frame->imageWindow()->canvasView(), Qt::LeftButton, {}, QPoint(3, 4));
        QTest::mouseRelease(frame->imageWindow()->canvasView(), Qt::LeftButton, {}, QPoint(3, 4));
        QVERIFY(frame->isWindowModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("doll.cel[*]"));
        QVERIFY(frame->imageWindow()->Save());
        QVERIFY(!frame->isWindowModified());
        QVERIFY(f.ui.messages.empty());
    }

    void singleDocumentTitleNamesThePictureFirst() {
        EditorFixture f;
        const std::string doll = f.copy("doll.cel");
        auto editor = f.start(FrameVariant::SingleDocument, {doll});
        MainWindow& w = *editor->mainWindow();
        QCOMPARE(w.windowTitle(), QStringLiteral("doll.cel[*] - Celdo"));
        QVERIFY(!w.isWindowModified());
        ImageWindow* image = w.singleImageWindow();
        w.executeCommand(Command::ToolFreehand);
        QTest::mousePress(image->canvasView(), Qt::LeftButton, {}, QPoint(3, 4));
        QTest::mouseRelease(image->canvasView(), Qt::LeftButton, {}, QPoint(3, 4));
        QVERIFY(w.isWindowModified());
        w.executeCommand(Command::Save);
        QVERIFY(!w.isWindowModified());
    }

    void helpWithoutABrowserSaysWhereTheDocumentIs() {
        EditorFixture f;
        auto editor = f.start(FrameVariant::MultipleDocument);
        MainWindow& w = *editor->mainWindow();
        const std::string help = editor->state().dataFile("celdo.htm").string();
        QVERIFY(QFile::exists(QString::fromStdString(help)));
        QList<QUrl> opened;
        bool browser = true;
        w.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return browser;
        });

        w.executeCommand(Command::Help);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(help))});
        QVERIFY(f.ui.messages.empty());

        browser = false;
        w.executeCommand(Command::Help);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        QVERIFY(f.ui.messages[0].text.find(help) != std::string::npos);
        QCOMPARE(f.ui.messages[0].icon, MessageIcon::Information);
    }

    void theMainWindowOpensWhereItWasClosed() {
        EditorFixture f;
        QPoint defaultPlace;
        QSize defaultSize;
        {
            auto editor = f.start(FrameVariant::MultipleDocument);
            MainWindow& w = *editor->mainWindow();
            defaultPlace = w.pos();
            defaultSize = w.size();
            w.move(30, 40);
            w.resize(700, 500);
            QVERIFY(w.close());
        }
        {
            Settings ini(f.ini, "CELDOM");
            QCOMPARE(ini.readInt("MainXpos", 0), 30);
            QCOMPARE(ini.readInt("MainHeight", 0), 500);
        }
        {
            auto editor = f.start(FrameVariant::MultipleDocument);
            QCOMPARE(editor->mainWindow()->pos(), QPoint(30, 40));
            QCOMPARE(editor->mainWindow()->size(), QSize(700, 500));
        }
        {
            // Far right of every screen.
            Settings ini(f.ini, "CELDOM");
            ini.writeInt("MainXpos", 20000);
            QVERIFY(ini.flush());
        }
        auto editor = f.start(FrameVariant::MultipleDocument);
        QCOMPARE(editor->mainWindow()->pos(), defaultPlace);
        QCOMPARE(editor->mainWindow()->size(), defaultSize);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
