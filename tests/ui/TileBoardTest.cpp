#include "BoardTestSupport.h"

#include "ui/TileBoard.h"

using namespace celdo;
using namespace celdo::testing;

namespace {

// Palette entry i := red i, green 255 − i, blue 7, in the tiles too.
void rampPalette(AppState& app) {
    for (int i = 0; i < 256; ++i)
        app.palette.current()[i] = rgb(i, 255 - i, 7);
    app.tiles.applyPalette(app.palette.current());
}

} // namespace

class TileBoardTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BoardHost::realTemp(); }

    void clickMakesTheTileThePattern() {
        BoardHost f;
        AppState& app = f.host->app();
        // 4 × 4 tiles; tile 5 (column 1, row 1) holds x + 16y at its (x, y).
        auto set = CellImage::Create(64, 64, 8);
        for (int i = 0; i < 256; ++i)
            set->at(16 + i % 16, 16 + i / 16) = static_cast<std::uint8_t>(i);
        writeBitmap(*set, f.file("CTILE.BMP"));
        rampPalette(app);
        TileBoard board(*f.host);
        showAt(board, {200, 200});
        board.leftButton()->click();
        QVERIFY(f.host->scripted.messages.empty());
        QCOMPARE(board.size(), QSize(88, 92)); // 18 · 4 + 16, 18 + 72 + 2

        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(1, 1));
        QCOMPARE(app.tiles.current(), 5);
        QCOMPARE(app.colours.paintKind, 2);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(int(app.colours.tilePattern[i]), i);
        QCOMPARE(f.host->selections, (std::vector<std::pair<int, int>>{{5, 2}}));
        QCOMPARE(pixelAt(board, 19, 19), Black);
        // Tile 5's pixel (3, 2) is index 35; tile 0's are index 0.
        QCOMPARE(pixelAt(board, 20 + 3, 20 + 2), QRgb(0x23DC07));
        QCOMPARE(pixelAt(board, 2, 2), QRgb(0x00FF07));

        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(0, 0));
        QCOMPARE(app.tiles.current(), 0);
        QCOMPARE(int(app.colours.tilePattern[35]), 0);
        QCOMPARE(f.host->selections.back(), std::make_pair(0, 2));
        QCOMPARE(pixelAt(board, 1, 1), Black);
        QCOMPARE(pixelAt(board, 19, 19), White);
    }

    void captureAndPaletteRepaint() {
        BoardHost f;
        AppState& app = f.host->app();
        rampPalette(app);
        TileBoard board(*f.host);
        showAt(board, {160, 200});
        QTest::mouseClick(&board, Qt::LeftButton, {}, cellCentre(2, 0));
        auto picture = CellImage::Create(16, 16, 8);
        std::fill_n(picture->pixels(), picture->imageSize(), 7);
        app.tiles.capture(*picture, 8, 8, app.colours);
        board.tileChanged();
        // Tile 2 is drawn from x = 38.
        QCOMPARE(pixelAt(board, 40, 5), QRgb(0x07F807));
        app.palette.current()[7] = rgb(10, 200, 30);
        app.tiles.applyPalette(app.palette.current());
        board.paletteChanged();
        QCOMPARE(pixelAt(board, 40, 5), QRgb(0x0AC81E));
    }

    void buttonsAndKeys() {
        BoardHost f;
        TileBoard board(*f.host);
        showAt(board, {160, 200});
        board.middleButton()->click();
        QCOMPARE(f.host->posted, std::vector<Command>{Command::TileCapture});
        QTest::keyClick(&board, Qt::Key_B);
        QTest::keyClick(&board, Qt::Key_Return);
        QCOMPARE(f.host->forwardedKeys, (std::vector<int>{Qt::Key_B, Qt::Key_Return}));

        board.rightButton()->click();
        auto saved = ReadBoardBitmap(f.file("CTILE.BMP"));
        QVERIFY(saved && saved->bitsPerPixel() == 8 && saved->width() == 128);
        // A 1-bit file is no tile set.
        writeBitmap(*CellImage::Create(256, 128, 1), f.file("CTILE.BMP"));
        board.leftButton()->click();
        QCOMPARE(f.host->scripted.messages.size(), std::size_t(1));
        QCOMPARE(f.host->scripted.messages[0].text, std::string("タイルを読込めませんでした"));
        QCOMPARE(f.host->app().tiles.count(), 64);
        QCOMPARE(board.width(), 160);
    }
};

QTEST_MAIN(TileBoardTest)
#include "TileBoardTest.moc"
