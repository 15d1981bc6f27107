#include "FakeEditorHost.h"
#include "support/PositionCodedPicture.h"

#include "canvas/qt/Clipboard.h"
#include "ui/ImageWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

#include <memory>

using namespace celdo;

namespace {

CellImagePtr numbered(int w, int h) {
    return test::positionCodedPicture(w, h);
}

PaintSurface surfaceWithMask(int w, int h) {
    PaintSurface s;
    s.picture = numbered(w, h);
    s.mask = CellImage::Create(w, h, 8);
    s.mask->at(1, 0) = 255;
    return s;
}

} // namespace

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void copyAndReadBackKeepIndicesAndMask() {
        PaintSurface s = surfaceWithMask(5, 4);
        QVERIFY(CopyPictureToClipboard(s));
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime->hasFormat(BitmapMimeType));
        QVERIFY(mime->hasFormat(MaskMimeType));
        QVERIFY(mime->hasImage());
        ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->bitsPerPixel(), 8);
        QVERIFY(got.picture->samePixels(*s.picture));
        QCOMPARE(got.picture->paletteEntry(200), rgb(55, 200, 100));
        QVERIFY(got.mask);
        QCOMPARE(got.mask->at(1, 0), std::uint8_t(255));
        QCOMPARE(got.mask->at(0, 0), std::uint8_t(0));
    }

    void disabledOrEmptyMasksStayBehind() {
        PaintSurface s = surfaceWithMask(5, 4);
        s.maskEnabled = false;
        QVERIFY(CopyPictureToClipboard(s));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(MaskMimeType));
        s.maskEnabled = true;
        s.mask->at(1, 0) = 0;
        QVERIFY(CopyPictureToClipboard(s));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(MaskMimeType));
        QVERIFY(!ReadClipboardPicture().mask);
    }

    void lastRegionIsCopiedByTheWindow() {
        FakeEditorHost host;
        ImageWindow window(host);
        window.SetPicture(numbered(8, 8), false);
        auto mask = CellImage::Create(8, 8, 8);
        mask->at(3, 2) = 255;
        window.AttachMask(std::move(mask));
        host.app().editing.lastRegion = Rect{2, 1, 5, 4};
        QVERIFY(window.handleCommand(Command::CopyLastRegion));
        ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->width(), 3);
        QCOMPARE(got.picture->height(), 3);
        QCOMPARE(got.picture->at(0, 0), std::uint8_t(2 * 16 + 1));
        QCOMPARE(got.picture->at(2, 2), std::uint8_t(4 * 16 + 3));
        QVERIFY(got.mask);
        QCOMPARE(got.mask->at(1, 1), std::uint8_t(255));
    }

    void otherProgramsImages() {
        QImage colour(2, 1, QImage::Format_RGB32);
        colour.setPixel(0, 0, qRgb(1, 2, 3));
        colour.setPixel(1, 0, qRgb(200, 100, 50));
        QGuiApplication::clipboard()->setImage(colour);
        ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->bitsPerPixel(), 24);
        const std::uint8_t* row = got.picture->row(0);
        QCOMPARE(row[3], std::uint8_t(50));
        QCOMPARE(row[4], std::uint8_t(100));
        QCOMPARE(row[5], std::uint8_t(200));

        QImage indexed(2, 1, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(9, 8, 7), qRgb(1, 1, 1)});
        indexed.setPixel(0, 0, 2);
        indexed.setPixel(1, 0, 1);
        QGuiApplication::clipboard()->setImage(indexed);
        got = ReadClipboardPicture();
        QCOMPARE(got.picture->bitsPerPixel(), 8);
        QCOMPARE(got.picture->at(0, 0), std::uint8_t(2));
        QCOMPARE(got.picture->paletteEntry(1), rgb(9, 8, 7));
    }

    void bareBitmapFromAnotherProgram() {
        // A packed 2 × 1 8-bit bitmap (no file header) listing two colours:
        // indices 1 and 0, rgb(7, 8, 9) and rgb(1, 2, 3).
        // clang-format off
        const char dib[] = {
            40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, // header 40, width 2, height 1
            1, 0, 8, 0, 0, 0, 0, 0, 4, 0, 0, 0,  // planes 1, 8 bits, no compression
            0, 0, 0, 0, 0, 0, 0, 0,              // resolutions
            2, 0, 0, 0, 0, 0, 0, 0,              // 2 colours used
            9, 8, 7, 0, 3, 2, 1, 0,              // the colour table
            1, 0, 0, 0,                          // the row
        };
        // clang-format on
        auto mime = std::make_unique<QMimeData>();
        mime->setData(BitmapMimeType, QByteArray(dib, sizeof dib));
        QGuiApplication::clipboard()->setMimeData(mime.release());
        QVERIFY(ClipboardHasPicture());
        ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->bitsPerPixel(), 8);
        QCOMPARE(got.picture->at(0, 0), std::uint8_t(1));
        QCOMPARE(got.picture->at(1, 0), std::uint8_t(0));
        QCOMPARE(got.picture->paletteEntry(1), rgb(1, 2, 3));
        QVERIFY(!got.mask);
    }

    void damagedBitmapFallsBackToTheImage() {
        auto mime = std::make_unique<QMimeData>();
        mime->setData(BitmapMimeType, QByteArray("BM\x10\0\0\0", 6));
        QImage colour(1, 1, QImage::Format_RGB32);
        colour.setPixel(0, 0, qRgb(10, 20, 30));
        mime->setImageData(colour);
        QGuiApplication::clipboard()->setMimeData(mime.release());
        ClipboardPicture got = ReadClipboardPicture();
        QVERIFY(got.picture);
        QCOMPARE(got.picture->bitsPerPixel(), 24);
        QCOMPARE(got.picture->row(0)[0], std::uint8_t(30));
        QCOMPARE(got.picture->row(0)[2], std::uint8_t(10));
    }
};

QTEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
