#include "canvas/qt/PictureRenderer.h"
#include "canvas/Zoom.h"
#include "core/CellImage.h"

#include <QtTest>

using namespace celdo;

namespace {

// A 4 × 4 picture whose pixel (x, y) is index x + 4y, and whose palette entry
// i has red i, green 2i, blue 3i.
CellImagePtr numbered() {
    auto p = CellImage::Create(4, 4, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(i, 2 * i, 3 * i);
    p->SetPalette(palette.data(), 256);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            p->at(x, y) = static_cast<std::uint8_t>(x + 4 * y);
    return p;
}

// A zoom by code (1 … 7 magnify by 2, 3, 4, 6, 8, 12, 16; −1 … −5 reduce by
// 2, 3, 4, 6, 8) for the 4 × 4 picture.
Zoom zoomed(int code) {
    Zoom zoom;
    zoom.Reset(4, 4);
    if (code != 0)
        zoom.SetZoom(code, 4, 4);
    return zoom;
}

QRgb colourOf(int index) {
    return qRgb(index, 2 * index, 3 * index);
}

} // namespace

class PictureRendererTest : public QObject {
    Q_OBJECT
private slots:
    void oneToOneShowsEveryPixel() {
        auto p = numbered();
        const QImage image = renderPicture(*p, zoomed(0), QRect(0, 0, 4, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(image.pixel(x, y), colourOf(x + 4 * y));
    }

    void oneToOnePartlyPastTheRightEdge() {
        // Window columns 2…5 over a picture 4 wide: columns 2 and 3 show the
        // picture, 4 and 5 stay background.
        auto p = numbered();
        const QImage image = renderPicture(*p, zoomed(0), QRect(2, 1, 4, 2));
        QCOMPARE(image.pixel(0, 0), colourOf(2 + 4));
        QCOMPARE(image.pixel(1, 1), colourOf(3 + 8));
        QCOMPARE(image.pixel(2, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(3, 1), qRgb(255, 255, 255));
    }

    void magnifiedRectangleMapsToWholeBlocks() {
        // At 3× the window rectangle (1,1)-(5,5) lies over image pixels
        // (0,0)-(1,1): window pixels 1-2 show column 0, 3-5 column 1.
        auto p = numbered();
        const QImage image = renderPicture(*p, zoomed(2), QRect(1, 1, 5, 5));
        QCOMPARE(image.size(), QSize(5, 5));
        QCOMPARE(image.pixel(0, 0), colourOf(0));
        QCOMPARE(image.pixel(1, 1), colourOf(0));
        QCOMPARE(image.pixel(2, 0), colourOf(1));
        QCOMPARE(image.pixel(4, 4), colourOf(5));
        QCOMPARE(image.pixel(0, 2), colourOf(4));
    }

    void reducedTakesEveryFactorthPixel() {
        auto p = numbered();
        const QImage image = renderPicture(*p, zoomed(-1), QRect(0, 0, 2, 2));
        QCOMPARE(image.pixel(0, 0), colourOf(0));
        QCOMPARE(image.pixel(1, 0), colourOf(2));
        QCOMPARE(image.pixel(1, 1), colourOf(10));
    }

    void outsideThePictureStaysBackground() {
        auto p = numbered();
        const QImage image = renderPicture(*p, zoomed(1), QRect(6, 6, 4, 4));
        QCOMPARE(image.pixel(0, 0), colourOf(15));
        QCOMPARE(image.pixel(3, 3), qRgb(255, 255, 255));
    }

    void fittedStretchesTheWholePictureOverTheView() {
        // Stretched to 6 × 2: window column w shows image column w·4/6
        // (0, 0, 1, 2, 2, 3), window row r shows image row r·4/2 (0, 2).
        auto p = numbered();
        Zoom zoom = zoomed(0);
        zoom.SetFitted(6, 2);
        const QImage image = renderPicture(*p, zoom, QRect(0, 0, 6, 2));
        const int columns[6] = {0, 0, 1, 2, 2, 3};
        for (int x = 0; x < 6; ++x) {
            QCOMPARE(image.pixel(x, 0), colourOf(columns[x]));
            QCOMPARE(image.pixel(x, 1), colourOf(columns[x] + 8));
        }
        // A part of the view maps the same way.
        const QImage part = renderPicture(*p, zoom, QRect(3, 1, 3, 1));
        QCOMPARE(part.pixel(0, 0), colourOf(2 + 8));
        QCOMPARE(part.pixel(2, 0), colourOf(3 + 8));
    }
};

QTEST_MAIN(PictureRendererTest)
#include "PictureRendererTest.moc"
