#include "EditorTestSupport.h"
#include "FileDialogAnswer.h"

#include "canvas/Canvas.h"
#include "canvas/ToolTable.h"
#include "formats/KissPaletteFile.h"
#include "sets/KissSet.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"
#include "ui/SetController.h"
#include "ui/SetView.h"
#include "ui/SetWindow.h"

#include <QFile>

#include <cstdint>
#include <string>
#include <vector>

using namespace celdo;
using namespace celdo::testing;

namespace {

using Bytes = std::vector<std::uint8_t>;

void putWord(Bytes& b, int value) {
    b.push_back(static_cast<std::uint8_t>(value & 0xFF));
    b.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// An 8-bit cell with a "KiSS" header: mark 0x20, 8 bits, size, offsets, then
// the rows from the top, one byte a pixel.
Bytes cell(int width, int height, const std::vector<std::uint8_t>& pixels) {
    Bytes b = {'K', 'i', 'S', 'S', 0x20, 8, 0, 0};
    putWord(b, width);
    putWord(b, height);
    putWord(b, 0);
    putWord(b, 0);
    b.resize(32, 0);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// Two groups of 256 colours, 24 bits: group 0 has red, green, blue and
// yellow at 1–4; group 1 has cyan at 1.  Everything else black.
Bytes palette() {
    Bytes b = {'K', 'i', 'S', 'S', 0x10, 24, 0, 0};
    putWord(b, 256);
    putWord(b, 2);
    b.resize(32, 0);
    Bytes colours(2 * 256 * 3, 0);
    const std::uint8_t group0[][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            colours[static_cast<std::size_t>((i + 1) * 3 + c)] = group0[i][c];
    colours[256 * 3 + 3 + 1] = 255;
    colours[256 * 3 + 3 + 2] = 255;
    b.insert(b.end(), colours.begin(), colours.end());
    return b;
}

constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Cyan = 0xFF00FFFF;

const char* const SetText = "; test set\r\n"
                            "(16,12)\r\n"
                            "%pal.kcf\r\n"
                            "[0\r\n"
                            "#0 a.cel :0 1\r\n"
                            "#1 b.cel\r\n"
                            "#2 C.CEL :1 ; capitals in the file, small on disk\r\n"
                            "$0 2,2 8,4 0,0\r\n"
                            "$1 2,2 8,4 10,8\r\n";

struct SetFiles {
    std::string folder;
    std::string cnf;
    std::string path(const char* name) const { return folder + "/" + name; }

    explicit SetFiles(const QTemporaryDir& dir) {
        folder = dir.path().toStdString() + "/set";
        QDir().mkpath(QString::fromStdString(folder));
        cnf = path("doll.cnf");
        write(cnf, Bytes(SetText, SetText + std::strlen(SetText)));
        write(path("pal.kcf"), palette());
        write(path("a.cel"), cell(4, 3, std::vector<std::uint8_t>(12, 1)));
        write(path("b.cel"), cell(4, 3, std::vector<std::uint8_t>(12, 2)));
        write(path("c.cel"), cell(2, 2, {1, 2, 2, 1}));
    }
    static void write(const std::string& name, const Bytes& bytes) {
        QFile file(QString::fromStdString(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    Bytes read(const char* name) const {
        QFile file(QString::fromStdString(path(name)));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray all = file.readAll();
        return Bytes(all.begin(), all.end());
    }
};

SetWindow* onlySetWindow(MainWindow& w) {
    const std::vector<SetWindow*> windows = w.sets().setWindows();
    return windows.size() == 1 ? windows.front() : nullptr;
}

QRgb pixelAt(SetWindow& s, int x, int y) {
    return s.view()->pageImage().pixel(x, y);
}

// The centre of a playfield pixel in the set view's window pixels.
QPoint at(SetWindow& s, int x, int y) {
    return s.view()->windowRect({x, y, x + 1, y + 1}).center();
}

} // namespace

class SetWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensFromTheCommandLineTheMenuAndADrop() {
        EditorFixture f;
        const SetFiles files(f.dir);
        for (const FrameVariant variant :
             {FrameVariant::MultipleDocument, FrameVariant::SingleDocument}) {
            auto editor = f.start(variant, {files.cnf});
            MainWindow& w = *editor->mainWindow();
            SetWindow* s = onlySetWindow(w);
            QVERIFY(s);
            QCOMPARE(s->page(), 0);
            QVERIFY(s->windowTitle().startsWith(QStringLiteral("doll.cnf - ページ 0")));
            QCOMPARE(pixelAt(*s, 0, 0), Black);
            QCOMPARE(pixelAt(*s, 3, 3), Red);
            QCOMPARE(pixelAt(*s, 9, 5), Green);
            s->close();
            f.settle();
            QVERIFY(w.sets().setWindows().empty());

            // The open command, with the program's file dialog.
            f.ui.answerDialog("FLOAD", typeName(files.cnf));
            w.executeCommand(Command::OpenSet);
            f.settle();
            QVERIFY(onlySetWindow(w));
            QCOMPARE(f.ui.tables.back().title, std::string("セットを開く"));
            onlySetWindow(w)->close();
            f.settle();

            w.documents().dropFiles({files.cnf});
            f.settle();
            QVERIFY(onlySetWindow(w));
            // The same set again only comes to the front.
            w.documents().dropFiles({files.cnf});
            f.settle();
            QVERIFY(onlySetWindow(w));
            QVERIFY(f.ui.unscripted.empty());
        }
    }

    void pagesAndTheirGroupsFollowKeysAndMenu() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::MultipleDocument, {files.cnf});
        SetWindow* s = onlySetWindow(*editor->mainWindow());
        QVERIFY(s);
        s->show();
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));
        QTest::keyClick(s, Qt::Key_1);
        f.settle();
        QCOMPARE(s->page(), 1);
        // Page 1 draws with group 1: index 1 is cyan; the c cell appears.
        QCOMPARE(pixelAt(*s, 3, 3), Cyan);
        QCOMPARE(pixelAt(*s, 10, 8), Cyan);
        QVERIFY(s->windowTitle().contains(QStringLiteral("ページ 1（色組 1）")));
        QTest::keyClick(s, Qt::Key_0);
        f.settle();
        QCOMPARE(s->page(), 0);
        QCOMPARE(pixelAt(*s, 10, 8), Black);
    }

    void aDoubleClickOpensTheCellWithItsPaletteAndPaintingShowsInBothWindows() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::MultipleDocument, {files.cnf});
        MainWindow& w = *editor->mainWindow();
        SetWindow* s = onlySetWindow(w);
        QVERIFY(s);
        QTest::mouseDClick(s->view(), Qt::LeftButton, {}, at(*s, 3, 3));
        f.settle();
        QCOMPARE(s->view()->selectedCell(), 0);
        ImageWindow* a = w.sets().windowOfFile(files.path("a.cel"));
        QVERIFY(a);
        QCOMPARE(w.activeImageWindow(), a);
        QVERIFY(editor->state().currentPaletteFile);
        QCOMPARE(editor->state().currentPaletteFile->path(), files.path("pal.kcf"));
        QCOMPARE(editor->state().palette.currentGroup(), 0);

        // A dab of blue (3) in the image window at cell pixel (1, 1).
        w.executeCommand(Command::ToolFreehand);
        editor->state().colours.drawColor = 3;
        CanvasView* canvas = a->canvasView();
        const QPoint p = canvas->windowRect({1, 1, 2, 2}).center();
        QTest::mousePress(canvas, Qt::LeftButton, {}, p);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, p);
        f.settle();
        QCOMPARE(a->canvas().picture()->at(1, 1), 3);
        QCOMPARE(pixelAt(*s, 3, 3), Blue);
        QCOMPARE(pixelAt(*s, 4, 3), Red);

        // A dab in the set window at playfield (4, 3): cell pixel (2, 1).
        QTest::mousePress(s->view(), Qt::LeftButton, {}, at(*s, 4, 3));
        QTest::mouseRelease(s->view(), Qt::LeftButton, {}, at(*s, 4, 3));
        f.settle();
        QCOMPARE(a->canvas().picture()->at(2, 1), 3);
        QCOMPARE(pixelAt(*s, 4, 3), Blue);
        QVERIFY(a->canvas().surface().modified);

        // Undone from the set window: the cell's own step.
        s->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s));
        QTest::keySequence(s, QKeySequence(QStringLiteral("Ctrl+Z")));
        f.settle();
        QCOMPARE(a->canvas().picture()->at(2, 1), 1);
        QCOMPARE(a->canvas().picture()->at(1, 1), 3);
        QCOMPARE(pixelAt(*s, 4, 3), Red);
        QVERIFY(f.ui.unscripted.empty());
    }

    void aClickWithAPaintingToolSelectsBeforeItPaints() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::MultipleDocument, {files.cnf});
        MainWindow& w = *editor->mainWindow();
        SetWindow* s = onlySetWindow(w);
        w.executeCommand(Command::ToolFreehand);
        editor->state().colours.drawColor = 4;
        QTest::mouseClick(s->view(), Qt::LeftButton, {}, at(*s, 9, 5));
        f.settle();
        QCOMPARE(s->view()->selectedCell(), 1);
        QCOMPARE(s->statusText(),
                 QStringLiteral("セル b.cel を選びました。その上で押すと塗れます"));
        QVERIFY(!w.sets().windowOfFile(files.path("b.cel")));
        // The second press paints, opening the cell where it is edited.
        QTest::mouseClick(s->view(), Qt::LeftButton, {}, at(*s, 9, 5));
        f.settle();
        ImageWindow* b = w.sets().windowOfFile(files.path("b.cel"));
        QVERIFY(b);
        QCOMPARE(b->canvas().picture()->at(1, 1), 4);
        QCOMPARE(pixelAt(*s, 9, 5), qRgb(255, 255, 0));
    }

    void draggingMovesAnObjectAndTheSaveChangesOnlyItsPosition() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::MultipleDocument, {files.cnf});
        MainWindow& w = *editor->mainWindow();
        SetWindow* s = onlySetWindow(w);
        w.executeCommand(Command::ToolViewOnly);
        QTest::mousePress(s->view(), Qt::LeftButton, {}, at(*s, 9, 5));
        QTest::mouseMove(s->view(), at(*s, 10, 7));
        QTest::mouseRelease(s->view(), Qt::LeftButton, {}, at(*s, 10, 7));
        f.settle();
        QCOMPARE(s->set().document().objectPosition(0, 1), (Point{9, 6}));
        QCOMPARE(pixelAt(*s, 9, 6), Green);
        QCOMPARE(pixelAt(*s, 8, 4), Black);
        QVERIFY(s->windowTitle().endsWith(QStringLiteral(" *")));

        QVERIFY(s->Save());
        const std::string expected =
            std::string(SetText).replace(std::string(SetText).find("$0 2,2 8,4"), 10, "$0 2,2 9,6");
        const Bytes saved = files.read("doll.cnf");
        QCOMPARE(std::string(saved.begin(), saved.end()), expected);
        QVERIFY(!s->windowTitle().endsWith(QStringLiteral(" *")));

        // The set window's undo takes the move back, and redo makes it again.
        s->StepHistory(false);
        QCOMPARE(s->set().document().objectPosition(0, 1), (Point{8, 4}));
        QCOMPARE(pixelAt(*s, 8, 4), Green);
        QCOMPARE(pixelAt(*s, 12, 8), Black);
        s->StepHistory(true);
        QCOMPARE(s->set().document().objectPosition(0, 1), (Point{9, 6}));
        QCOMPARE(pixelAt(*s, 12, 8), Green);

        // A fixed object asks first; "No" leaves it.  Objects move with any
        // tool while "物体を動かす" is on.
        const char* fixed = "(16,12)\r\n%pal.kcf\r\n#0.3 a.cel\r\n$0 2,2\r\n";
        SetFiles::write(files.path("fixed.cnf"), Bytes(fixed, fixed + std::strlen(fixed)));
        SetWindow* second = w.sets().OpenSet(files.path("fixed.cnf"));
        QVERIFY(second);
        w.executeCommand(Command::ToolFreehand);
        second->SetMovingObjects(true);
        f.ui.answerMessage(answer::No);
        QTest::mousePress(second->view(), Qt::LeftButton, {}, at(*second, 3, 3));
        QTest::mouseMove(second->view(), at(*second, 6, 6));
        QTest::mouseRelease(second->view(), Qt::LeftButton, {}, at(*second, 6, 6));
        QCOMPARE(f.ui.messages.back().text,
                 std::string("物体 #0 は固定されています（固定値 3）。動かしますか？"));
        QCOMPARE(second->set().document().objectPosition(0, 0), (Point{2, 2}));
        QVERIFY(!second->set().document().modified());
        f.ui.answerMessage(answer::Yes);
        QTest::mousePress(second->view(), Qt::LeftButton, {}, at(*second, 3, 3));
        QTest::mouseMove(second->view(), at(*second, 6, 6));
        QTest::mouseRelease(second->view(), Qt::LeftButton, {}, at(*second, 6, 6));
        QCOMPARE(second->set().document().objectPosition(0, 0), (Point{5, 5}));
        QVERIFY(f.ui.allAnswered());
    }

    void aSetWideSwapRewritesTheClosedCellFilesAndUndoWritesThemBack() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::MultipleDocument, {files.cnf});
        MainWindow& w = *editor->mainWindow();
        SetWindow* s = onlySetWindow(w);
        ImageWindow* a = s->OpenCell(0);
        QVERIFY(a);
        f.settle();
        const Bytes aBefore = files.read("a.cel");
        const Bytes bBefore = files.read("b.cel");
        const Bytes cBefore = files.read("c.cel");

        editor->state().colours.drawColor = 1;
        editor->state().colours.dragTarget = 2;
        f.ui.answerMessage(answer::Yes);
        f.ui.answerMessage(answer::Ok);
        w.executeCommand(Command::PaletteSwap);
        f.settle();
        QVERIFY(f.ui.allAnswered());
        const std::size_t asked = f.ui.messages.size() - 2;
        QCOMPARE(
            f.ui.messages[asked].text,
            std::string("パレット「pal.kcf」はセットの閉じているセル 2 個でも使われています。\n"
                        "それらのファイルの画素も同じように書き換えますか？"));
        QCOMPARE(f.ui.messages[asked + 1].text,
                 std::string("次の 2 個のファイルを書き換えました:\nb.cel\nc.cel"));
        // The open cell followed in its window; its file waits for a save.
        QCOMPARE(a->canvas().picture()->at(0, 0), 2);
        QCOMPARE(files.read("a.cel"), aBefore);
        // The closed ones on disk: 1 and 2 exchanged, the header as it was.
        Bytes bSwapped = bBefore;
        std::fill(bSwapped.begin() + 32, bSwapped.end(), 1);
        QCOMPARE(files.read("b.cel"), bSwapped);
        Bytes cSwapped = cBefore;
        cSwapped[32] = 2;
        cSwapped[33] = 1;
        cSwapped[34] = 1;
        cSwapped[35] = 2;
        QCOMPARE(files.read("c.cel"), cSwapped);
        // The palette swapped too, so the page looks as before.
        QCOMPARE(pixelAt(*s, 3, 3), Red);
        QCOMPARE(pixelAt(*s, 9, 5), Green);

        // One step: undo brings back the palette, the open cell and the files.
        w.StepHistory(UndoHistory::PaletteLane, false);
        f.settle();
        QCOMPARE(files.read("b.cel"), bBefore);
        QCOMPARE(files.read("c.cel"), cBefore);
        QCOMPARE(a->canvas().picture()->at(0, 0), 1);
        QCOMPARE(pixelAt(*s, 3, 3), Red);
        QCOMPARE(pixelAt(*s, 9, 5), Green);
        w.StepHistory(UndoHistory::PaletteLane, true);
        f.settle();
        QCOMPARE(files.read("b.cel"), bSwapped);
        QCOMPARE(a->canvas().picture()->at(0, 0), 2);

        // "No" leaves the files alone and is still one step of the palette.
        editor->state().colours.drawColor = 3;
        editor->state().colours.dragTarget = 4;
        f.ui.answerMessage(answer::No);
        w.executeCommand(Command::PaletteSwap);
        f.settle();
        QCOMPARE(files.read("b.cel"), bSwapped);
        QVERIFY(f.ui.allAnswered());
    }

    void aPlayfieldTooLargeToDrawIsRefused() {
        EditorFixture f;
        const SetFiles files(f.dir);
        const char* huge = "(30000,30000)\r\n%pal.kcf\r\n#0 a.cel\r\n";
        SetFiles::write(files.path("huge.cnf"), Bytes(huge, huge + std::strlen(huge)));
        auto editor = f.start(FrameVariant::MultipleDocument, {files.path("huge.cnf")});
        QVERIFY(editor->mainWindow()->sets().setWindows().empty());
        QCOMPARE(
            f.ui.messages.back().text,
            std::string("セット「huge.cnf」の画面（30000 × 30000）は大きすぎて表示できません。"));
    }

    void theSingleDocumentBuildOpensACellInItsOneWindow() {
        EditorFixture f;
        const SetFiles files(f.dir);
        auto editor = f.start(FrameVariant::SingleDocument, {files.cnf});
        MainWindow& w = *editor->mainWindow();
        SetWindow* s = onlySetWindow(w);
        QVERIFY(s);
        QVERIFY(s->OpenCell(1));
        QCOMPARE(w.singleImageWindow()->originalPath(), files.path("b.cel"));
        QVERIFY(s->OpenCell(0));
        QCOMPARE(w.singleImageWindow()->originalPath(), files.path("a.cel"));
        QCOMPARE(pixelAt(*s, 9, 5), Green);
    }
};

QTEST_MAIN(SetWindowTest)
#include "SetWindowTest.moc"
