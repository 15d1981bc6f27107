#include "EditorTestSupport.h"

#include "app/LoadedImage.h"
#include "app/Settings.h"
#include "canvas/Canvas.h"
#include "palette/PaletteDialogs.h"
#include "ui/BrushBoard.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"
#include "ui/PaletteBoard.h"
#include "ui/TileBoard.h"

#include <QLabel>
#include <QtTest>

#include <functional>
#include <vector>

using namespace celdo;
using namespace celdo::testing;

namespace {

ColourValue grey(int i) {
    return rgb(i, i, i);
}

// A 16-colour picture, 4 × 4: one pixel of 1, two of 2 … five of 5 and one
// of 0, so the pixel counts differ from index to index.
const std::uint8_t SixteenPixels[16] = {1, 2, 2, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 5, 0};

CellImagePtr picture(int width, int height, const std::function<int(int, int)>& value) {
    auto image = CellImage::Create(width, height, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = grey(i);
    image->SetPalette(palette.data(), 256);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(value(x, y));
    return image;
}

ImageWindow* openPicture(MainWindow& w, CellImagePtr image) {
    LoadedImage loaded;
    loaded.picture = std::move(image);
    w.documents().show(std::move(loaded));
    EditorFixture::settle();
    return w.activeImageWindow();
}

// What a picture shows: the colour of every pixel.
std::vector<ColourValue> look(const CellImage& image) {
    std::vector<ColourValue> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.push_back(image.paletteEntry(image.at(x, y)));
    return colours;
}

std::vector<int> indices(const CellImage& image) {
    std::vector<int> values;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            values.push_back(image.at(x, y));
    return values;
}

} // namespace

class BoardWiringTest : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<EditorApplication> editor;
    MainWindow* w = nullptr;
    ImageWindow* full = nullptr;    // 16 × 16, pixel x + 16y: every index once
    ImageWindow* sixteen = nullptr; // the 16-colour picture, active
    std::vector<int> fullBefore;
    std::vector<int> sixteenBefore;

    AppState& app() { return editor->state(); }
    CellImage& fullPicture() { return *full->canvas().picture(); }
    CellImage& sixteenPicture() { return *sixteen->canvas().picture(); }

    // Runs a board command with the current colour 5 and drag target 9.
    void run(Command command, int current = 5, int target = 9) {
        app().colours.drawColor = current;
        app().colours.dragTarget = target;
        w->executeCommand(command);
        f->settle();
    }

    // Every pixel value v of both pictures became map(v).
    void expectIndices(const std::function<int(int)>& map) {
        for (auto [window, before] : {std::pair{full, &fullBefore}, {sixteen, &sixteenBefore}}) {
            const std::vector<int> now = indices(*window->canvas().picture());
            for (std::size_t i = 0; i < now.size(); ++i)
                QCOMPARE(now[i], map((*before)[i]));
        }
    }
    // Both pictures show the grey of map(v) where they had index v.
    void expectLook(const std::function<int(int)>& map) {
        for (auto [window, before] : {std::pair{full, &fullBefore}, {sixteen, &sixteenBefore}}) {
            const std::vector<ColourValue> now = look(*window->canvas().picture());
            for (std::size_t i = 0; i < now.size(); ++i)
                QCOMPARE(now[i], grey(map((*before)[i])));
            QVERIFY(window->canvas().surface().modified);
        }
    }
    static int same(int v) { return v; }

private slots:
    void init() {
        editor.reset();
        f.reset();
        f = std::make_unique<EditorFixture>();
        editor = f->start(FrameVariant::MultipleDocument);
        w = editor->mainWindow();
        full = openPicture(*w, picture(16, 16, [](int x, int y) { return x + 16 * y; }));
        sixteen =
            openPicture(*w, picture(4, 4, [](int x, int y) { return SixteenPixels[x + 4 * y]; }));
        QVERIFY(full && sixteen && full != sixteen);
        QCOMPARE(w->activeImageWindow(), sixteen);
        for (int i = 0; i < 256; ++i)
            app().palette.current()[i] = grey(i);
        w->executeCommand(Command::PaletteChanged);
        full->canvas().surface().modified = false;
        sixteen->canvas().surface().modified = false;
        fullBefore = indices(fullPicture());
        sixteenBefore = indices(sixteenPicture());
    }
    void cleanup() {
        editor.reset();
        f.reset();
    }

    void theBoardCommandsAreAvailableAndOpenTheirBoards() {
        w->updateMenuState();
        for (Command command : {Command::PaletteBoard, Command::BrushBoard, Command::TileBoard})
            QVERIFY(w->action(command)->isEnabled());
        w->executeCommand(Command::PaletteBoard);
        w->executeCommand(Command::BrushBoard);
        w->executeCommand(Command::TileBoard);
        QVERIFY(w->boards().paletteBoard() && w->boards().paletteBoard()->isVisible());
        QVERIFY(w->boards().brushBoard() && w->boards().brushBoard()->isVisible());
        QVERIFY(w->boards().tileBoard() && w->boards().tileBoard()->isVisible());
        // A second command activates the board there is.
        PaletteBoard* board = w->boards().paletteBoard();
        w->executeCommand(Command::PaletteBoard);
        QCOMPARE(w->boards().paletteBoard(), board);
        QCOMPARE(board->windowTitle(), QStringLiteral("パレット"));
        // Closing deletes it; the colours stay.
        app().colours.drawColor = 77;
        board->close();
        f->settle();
        QVERIFY(!w->boards().paletteBoard());
        QCOMPARE(app().colours.drawColor, 77);
    }

    void copyChangesTheLookOfTheTargetOnly() {
        run(Command::PaletteCopy);
        QCOMPARE(app().palette.current()[9], grey(5));
        expectIndices(same);
        expectLook([](int v) { return v == 9 ? 5 : v; });
    }

    void swapKeepsTheLookAndSwapPaletteOnlyKeepsTheIndices() {
        const auto exchange = [](int v) { return v == 5 ? 9 : v == 9 ? 5 : v; };
        run(Command::PaletteSwap);
        QCOMPARE(app().palette.current()[5], grey(9));
        QCOMPARE(app().palette.current()[9], grey(5));
        expectIndices(exchange);
        expectLook(same);

        // Back to grey order, then the palette-only swap.
        init();
        run(Command::PaletteSwapPaletteOnly);
        expectIndices(same);
        expectLook(exchange);
    }

    void mergeFiveIntoNineKeepsTheTargetsColour() {
        run(Command::PaletteMerge);
        // Pixels of 5 and of 9 end as 8, which holds the old colour of 9;
        // 6 … 255 move down by one; 255 is black now.
        expectIndices([](int v) { return v == 5 ? 8 : v > 5 ? v - 1 : v; });
        expectLook([](int v) { return v == 5 ? 9 : v; });
        QCOMPARE(app().palette.current()[8], grey(9));
        QCOMPARE(app().palette.current()[255], grey(0));
    }

    void pixelOnlyMergeAndSwapLeaveThePalette() {
        run(Command::PalettePixelMerge);
        expectIndices([](int v) { return v == 5 ? 9 : v; });
        expectLook([](int v) { return v == 5 ? 9 : v; });
        QCOMPARE(app().palette.current()[5], grey(5));

        init();
        run(Command::PalettePixelSwap);
        expectIndices([](int v) { return v == 5 ? 9 : v == 9 ? 5 : v; });
        QCOMPARE(app().palette.current()[9], grey(9));
    }

    void deleteAsksAndNoChangesNothing() {
        f->ui.answerMessage(answer::No);
        run(Command::PaletteDelete);
        QCOMPARE(f->ui.messages.back().text, std::string("5番目の色を削除しますか？"));
        expectIndices(same);
        QCOMPARE(app().palette.current()[5], grey(5));
        QVERIFY(!full->canvas().surface().modified);

        f->ui.answerMessage(answer::Yes);
        run(Command::PaletteDelete);
        // Pixels of 5 become 0; those above it move down and keep their look.
        expectIndices([](int v) { return v == 5 ? 0 : v > 5 ? v - 1 : v; });
        expectLook([](int v) { return v == 5 ? 0 : v; });
        QCOMPARE(app().colours.drawColor, 5);
    }

    void setColourChangesTheEntrysLookEverywhere() {
        f->ui.answerDialog("SetColor", [](ControlTable& t) {
            t.setValue(set_color::Red, 200);
            t.setValue(set_color::Green, 100);
            t.setValue(set_color::Blue, 50);
            return t.press(1);
        });
        run(Command::PaletteEditColour);
        QCOMPARE(app().palette.current()[5], rgb(200, 100, 50));
        expectIndices(same);
        QCOMPARE(sixteenPicture().paletteEntry(5), rgb(200, 100, 50));
        QCOMPARE(fullPicture().paletteEntry(5), rgb(200, 100, 50));

        f->ui.answerDialog("SetColor", 2);
        run(Command::PaletteEditColour, 6);
        QCOMPARE(app().palette.current()[6], grey(6));
    }

    void leftRightAndBorderTakeTheCurrentColour() {
        run(Command::PaletteSetLeft, 12);
        run(Command::PaletteSetRight, 13);
        run(Command::PaletteSetBorder, 14);
        QCOMPARE(app().colours.leftColor, 12);
        QCOMPARE(app().colours.rightColor, 13);
        QCOMPARE(app().colours.borderColor, 14);
        expectIndices(same);
        QVERIFY(!full->canvas().surface().modified);
    }

    void sortByBrightnessAndByCountKeepsEveryLook() {
        const auto sortWith = [this](int method) {
            f->ui.answerDialog("SortColor", [method](ControlTable& t) {
                t.checkRadio(method);
                return t.press(1);
            });
            run(Command::PaletteSort);
        };
        // 明るい順 over 1 … 255 of a grey ramp reverses it; entry 0 stays.
        sortWith(sort_color::BrightFirst);
        QCOMPARE(app().palette.current()[0], grey(0));
        QCOMPARE(app().palette.current()[1], grey(255));
        QCOMPARE(app().palette.current()[255], grey(1));
        expectIndices([](int v) { return v == 0 ? 0 : 256 - v; });
        expectLook(same);

        // 暗い順 of a ramp that is dark first already changes nothing.
        init();
        sortWith(sort_color::DarkFirst);
        expectIndices(same);

        // 多い順 counts the active (16-colour) picture: 5 × five, 4 × four …
        init();
        sortWith(sort_color::MostUsedFirst);
        const auto mostUsed = [](int v) { return v >= 1 && v <= 5 ? 6 - v : v; };
        expectIndices(mostUsed);
        expectLook(same);
        QCOMPARE(app().palette.current()[1], grey(5));
        QCOMPARE(app().palette.current()[4], grey(2));

        // 少ない順: the 250 unused entries first, then 1, 2 … 5 at the end.
        init();
        sortWith(sort_color::LeastUsedFirst);
        for (int v = 1; v <= 5; ++v)
            QCOMPARE(app().palette.current()[250 + v], grey(v));
        QCOMPARE(sixteenPicture().at(0, 0), std::uint8_t(251)); // was 1
        QCOMPARE(fullPicture().at(5, 0), std::uint8_t(255));    // was 5
        expectLook(same);
    }

    void countOrdersNeedAnActivePicture() {
        editor.reset();
        f.reset();
        f = std::make_unique<EditorFixture>();
        editor = f->start(FrameVariant::MultipleDocument);
        w = editor->mainWindow();
        f->ui.answerDialog("SortColor", 2);
        w->executeCommand(Command::PaletteSort);
        f->settle();
        const ControlTable& table = f->ui.tables.back();
        QVERIFY(!const_cast<ControlTable&>(table).find(sort_color::MostUsedFirst)->enabled);
        QVERIFY(!const_cast<ControlTable&>(table).find(sort_color::LeastUsedFirst)->enabled);
        QVERIFY(const_cast<ControlTable&>(table).find(sort_color::BrightFirst)->enabled);
    }

    void theEyedropperPicksThroughTheOpenBoard() {
        w->executeCommand(Command::PaletteBoard);
        app().colours.paintKind = ColourSelection::Tone;
        QVERIFY(app().editing.hooks.pickColour(33));
        QCOMPARE(app().colours.drawColor, 33);
        QCOMPARE(app().colours.paintKind, int(ColourSelection::PlainColour));
        w->boards().paletteBoard()->close();
        f->settle();
        QVERIFY(!app().editing.hooks.pickColour(34));
    }

    void tileCaptureTakesTheAreaAroundThePoint() {
        // Tile 0 filled with 77 and the pattern with 66 first, so the kept
        // parts show.
        w->executeCommand(Command::TileBoard);
        CellImage& tiles = const_cast<CellImage&>(app().tiles.image());
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                tiles.at(x, y) = 77;
        app().colours.tilePattern.fill(66);
        w->executeCommand(Command::TileCapture);
        f->settle();
        QCOMPARE(app().editing.currentTool, 1280);
        QCOMPARE(w->toolPane()->text(), QStringLiteral("タイル取得"));

        CanvasView* view = full->canvasView();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3, 3));
        f->settle();
        // Tile rows and columns 5–15 come from picture (0, 0)–(10, 10); the
        // rest keeps 77.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int want = x >= 5 && y >= 5 ? (x - 5) + 16 * (y - 5) : 77;
                QCOMPARE(int(tiles.at(x, y)), want);
                // The pattern keeps its own content where the tile kept 77.
                QCOMPARE(int(app().colours.tilePattern[y * 16 + x]), want == 77 ? 66 : want);
            }
    }

    void theBrushChosenOnTheBoardIsWhatTheToolsPaint() {
        w->executeCommand(Command::BrushBoard);
        BrushBoard* board = w->boards().brushBoard();
        QVERIFY(board);
        // Brush 9: the second row's second cell of the delivered eight-wide set.
        QTest::mouseClick(board, Qt::LeftButton, {}, QPoint(2 + 18 + 8, 2 + 18 + 8));
        QCOMPARE(app().indexBrush, 9);
        const Brush chosen = app().brushes.brush(9);
        int cells = 0;
        for (std::uint8_t c : chosen.cells)
            cells += c;
        QVERIFY(cells > 1);

        // One press of 手書き at (8, 8) lays cell (8, 8) on the pointer.
        app().editing.currentTool = 257;
        app().colours.paintKind = ColourSelection::PlainColour;
        app().colours.drawColor = 250;
        QTest::mouseClick(full->canvasView(), Qt::LeftButton, {}, QPoint(8, 8));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                QCOMPARE(fullPicture().at(x, y) == 250,
                         chosen.cell(x, y) != 0 || x + 16 * y == 250);

        // 水滴 softens exactly the pixels under the same brush.
        init();
        w->executeCommand(Command::BrushBoard);
        QTest::mouseClick(w->boards().brushBoard(), Qt::LeftButton, {},
                          QPoint(2 + 18 + 8, 2 + 18 + 8));
        app().editing.currentTool = 259;
        QTest::mouseClick(full->canvasView(), Qt::LeftButton, {}, QPoint(8, 8));
        int changed = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (fullPicture().at(x, y) != x + 16 * y) {
                    QVERIFY(chosen.cell(x, y));
                    ++changed;
                }
        QVERIFY(changed > 1);
    }

    void tonesAndTilesArePaintedAtOneAndThreeTimes() {
        app().editing.currentTool = 258; // 自由曲線: one brush dab per point
        app().brush = Brush::dot();
        app().colours.leftColor = 200;
        app().colours.rightColor = 100;
        w->selectColour(9, ColourSelection::Tone);
        QCOMPARE(app().colours.paintKind, int(ColourSelection::Tone));
        CanvasView* view = full->canvasView();
        // Tone 9: thresholds 1 9 3 11 on row 0, so (3, 0) is left, (2, 0) right.
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3, 0));
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(2, 0));
        QCOMPARE(int(fullPicture().at(3, 0)), 200);
        QCOMPARE(int(fullPicture().at(2, 0)), 100);

        // A tile at three times: every pixel takes the pattern at (x mod 16,
        // y mod 16).
        for (int i = 0; i < 256; ++i)
            app().colours.tilePattern[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(255 - i);
        w->selectColour(0, ColourSelection::Tile);
        full->handleCommand(Command::ZoomThree);
        f->settle();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3 * 7 + 1, 3 * 11 + 2));
        QCOMPARE(int(fullPicture().at(7, 11)), 255 - (7 + 16 * 11));
        QCOMPARE(int(fullPicture().at(8, 11)), 8 + 16 * 11); // untouched
        app().colours.tilePattern[7 + 16 * 11] = 3;
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3 * 7 + 2, 3 * 11));
        QCOMPARE(int(fullPicture().at(7, 11)), 3);
    }
};

// The board keys at exit and the next start: a separate object, as it starts
// the editor twice with the same settings file.
class BoardSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void boardsAreWrittenAtExitAndReopenedAtTheNextStart() {
        EditorFixture f;
        {
            auto editor = f.start(FrameVariant::MultipleDocument);
            MainWindow& w = *editor->mainWindow();
            w.move(100, 80);
            w.show();
            w.executeCommand(Command::TileBoard);
            w.executeCommand(Command::BrushBoard);
            w.executeCommand(Command::PaletteBoard);
            f.settle();
            PaletteBoard* palette = w.boards().paletteBoard();
            palette->move(w.x() + 30, w.y() + 40);
            palette->resize(170, 76); // 8-pixel cells, 4 rows
            f.settle();
            QCOMPARE(palette->size(), QSize(170, 76));
            editor->state().colours.drawColor = 44;
            editor->state().colours.leftColor = 45;
            editor->state().colours.rightColor = 46;
            editor->state().colours.borderColor = 47;
            editor->state().indexBrush = 6;
            w.close();
            f.settle();
        }
        {
            Settings s(f.ini, "CELDOM");
            QCOMPARE(s.readInt("PaletteBoardOpen", -1), 1);
            QCOMPARE(s.readInt("BrushBoardPreOpen", -1), 1);
            QCOMPARE(s.readInt("TileBoardPreOpen", -1), 1);
            QCOMPARE(s.readInt("PaletteBoardXpos", -1), 30);
            QCOMPARE(s.readInt("PaletteBoardYpos", -1), 40);
            QCOMPARE(s.readInt("PaletteBoardWidth", -1), 170);
            QCOMPARE(s.readInt("PaletteBoardHeight", -1), 76);
            QCOMPARE(s.readInt("CurrentColor", -1), 44);
            QCOMPARE(s.readInt("LeftColor", -1), 45);
            QCOMPARE(s.readInt("RightColor", -1), 46);
            QCOMPARE(s.readInt("BorderColor", -1), 47);
            QCOMPARE(s.readInt("IndexBrush", -1), 6);
            for (const char* key :
                 {"BrushBoardXpos", "BrushBoardYpos", "BrushBoardWidth", "BrushBoardHeight",
                  "TileBoardXpos", "TileBoardYpos", "TileBoardWidth", "TileBoardHeight"})
                QVERIFY2(s.readInt(key, -12345) != -12345, key);
        }
        {
            auto editor = f.start(FrameVariant::MultipleDocument);
            MainWindow& w = *editor->mainWindow();
            f.settle();
            QVERIFY(w.boards().paletteBoard());
            QVERIFY(w.boards().brushBoard());
            QVERIFY(w.boards().tileBoard());
            QCOMPARE(w.boards().paletteBoard()->size(), QSize(170, 76));
            QCOMPARE(editor->state().colours.drawColor, 44);
            QCOMPARE(editor->state().indexBrush, 6);
            // Closed boards stay closed at the following start.
            w.boards().brushBoard()->close();
            f.settle();
            w.close();
            f.settle();
        }
        Settings s(f.ini, "CELDOM");
        QCOMPARE(s.readInt("BrushBoardPreOpen", -1), 0);
        QCOMPARE(s.readInt("PaletteBoardOpen", -1), 1);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int status = 0;
    {
        BoardWiringTest wiring;
        status |= QTest::qExec(&wiring, argc, argv);
    }
    {
        BoardSettingsTest settings;
        status |= QTest::qExec(&settings, argc, argv);
    }
    return status;
}

#include "BoardWiringTest.moc"
