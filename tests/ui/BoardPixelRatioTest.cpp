#include "BoardTestSupport.h"

#include "ui/PaletteBoard.h"
#include "ui/TileBoard.h"

#include <QApplication>

using namespace celdo;
using namespace celdo::testing;

namespace {

// Whether the 2 × 2 device pixels of logical pixel (x, y) all hold `colour`:
// a blurred swatch would mix in its neighbour's colour at the edges.
bool sharp(const QImage& shot, int x, int y, QRgb colour) {
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
            if ((shot.pixel(2 * x + dx, 2 * y + dy) & 0xFFFFFF) != colour)
                return false;
    return true;
}

} // namespace

// The boards at a device pixel ratio of 2 (the program is started with a
// scale factor of 2 below): every swatch, tone and tile pixel covers whole
// device pixels of its own colour.
class BoardPixelRatioTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BoardHost::realTemp(); }

    void paletteBoardSwatchesAndTonesStaySharp() {
        BoardHost f;
        AppState& app = f.host->app();
        for (int i = 0; i < 256; ++i)
            app.palette.current()[i] = rgb(i, 100, 255 - i);
        app.colours.leftColor = 20;  // rgb(20, 100, 235)
        app.colours.rightColor = 30; // rgb(30, 100, 225)
        PaletteBoard board(*f.host);
        showAt(board, {306, 348});
        board.select(5, ColourSelection::Tone);
        const QImage shot = board.grab().toImage();
        QCOMPARE(shot.devicePixelRatio(), 2.0);
        QCOMPARE(shot.size(), QSize(612, 696));
        // Colour 17's cell spans x 20–35, y 20–35; the gap beside it is white.
        QVERIFY(sharp(shot, 20, 20, 0x1164EE));
        QVERIFY(sharp(shot, 35, 35, 0x1164EE));
        QVERIFY(sharp(shot, 36, 35, 0xFFFFFF));
        // Tone 5 from x 97: threshold 1 is a zero (right), 9 a one (left).
        QVERIFY(sharp(shot, 97, 330, 0x1E64E1));
        QVERIFY(sharp(shot, 98, 330, 0x1464EB));
        QVERIFY(sharp(shot, 97, 329, 0x000000));
    }

    void tileBoardPixelsStaySharp() {
        BoardHost f;
        AppState& app = f.host->app();
        auto set = CellImage::Create(64, 64, 8);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                set->at(x, y) = static_cast<std::uint8_t>((x + y) % 2 ? 200 : 10);
        writeBitmap(*set, f.file("CTILE.BMP"));
        for (int i = 0; i < 256; ++i)
            app.palette.current()[i] = rgb(i, 0, 0);
        TileBoard board(*f.host);
        showAt(board, {88, 92});
        board.leftButton()->click();
        const QImage shot = board.grab().toImage();
        // Tile 0 drawn from (2, 2): a checkerboard of 10 and 200.
        QVERIFY(sharp(shot, 2, 2, 0x0A0000));
        QVERIFY(sharp(shot, 3, 2, 0xC80000));
        QVERIFY(sharp(shot, 17, 17, 0x0A0000));
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    BoardPixelRatioTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BoardPixelRatioTest.moc"
