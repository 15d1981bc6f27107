#include "canvas/MaskClipboard.h"
#include "canvas/PaintSurface.h"
#include "canvas/qt/Clipboard.h"
#include "core/Colour.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using namespace celdo;

namespace {

// A 4 × 3 picture: pixel (x, y) is index 3 + x + 4y.  Entries 3 and 7 are
// both pure red, so only the exact indices tell them apart.
CellImagePtr picture() {
    auto image = CellImage::Create(4, 3, 8);
    std::vector<ColourValue> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = rgb(i, 255 - i, (i * 7) & 0xFF);
    palette[3] = palette[7] = rgb(255, 0, 0);
    image->SetPalette(palette.data(), 256);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(3 + x + 4 * y);
    return image;
}

QRgb colourOf(const CellImage& image, int x, int y) {
    if (image.bitsPerPixel() == 24) {
        const std::uint8_t* p = image.row(y) + 3 * x;
        return qRgb(p[2], p[1], p[0]);
    }
    const ColourValue c = image.paletteEntry(image.at(x, y));
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

} // namespace

// The clipboard shared with another program (xclip) on a real X server.
// While this program owns the clipboard it must keep its event loop running
// for the other program to read, so xclip is always waited for with the
// loop turning.
class ClipboardExchangeTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QByteArray xclip(const QStringList& arguments, const QByteArray& input = {}) {
        QProcess process;
        process.start(QStringLiteral("xclip"),
                      QStringList{QStringLiteral("-selection"), QStringLiteral("clipboard")} +
                          arguments);
        if (!process.waitForStarted(5000))
            return {};
        if (!input.isEmpty())
            process.write(input);
        process.closeWriteChannel();
        QByteArray output;
        for (int i = 0; i < 1000 && process.state() != QProcess::NotRunning; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            output += process.readAllStandardOutput();
            process.waitForFinished(5);
        }
        output += process.readAllStandardOutput();
        return output;
    }

    // Hands `bytes` to xclip as the clipboard's `type`; xclip keeps offering
    // it in the background until another owner takes the clipboard.
    void offer(const QString& type, const QByteArray& bytes) {
        QGuiApplication::clipboard()->clear();
        xclip({QStringLiteral("-t"), type, QStringLiteral("-i")}, bytes);
        QTRY_VERIFY_WITH_TIMEOUT(ClipboardHasPicture() || type.startsWith("application"), 5000);
    }

private slots:
    void aPngFromAnotherProgramPastesWithItsColours() {
        QImage png(5, 2, QImage::Format_RGB32);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                png.setPixel(x, y, qRgb(40 * x, 100 + 50 * y, 200 - 30 * x));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(png.save(&buffer, "PNG"));
        offer(QStringLiteral("image/png"), bytes);

        const ClipboardPicture read = ReadClipboardPicture();
        QVERIFY(read.picture);
        QCOMPARE(read.picture->width(), 5);
        QCOMPARE(read.picture->height(), 2);
        QVERIFY(!read.mask);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                QCOMPARE(colourOf(*read.picture, x, y), qRgb(40 * x, 100 + 50 * y, 200 - 30 * x));
    }

    void aPictureCopiedHereReadsBackInAnotherProgram() {
        PaintSurface surface;
        surface.picture = picture();
        QVERIFY(CopyPictureToClipboard(surface));

        for (const char* type : {"image/png", "image/bmp"}) {
            const QImage back = QImage::fromData(xclip({"-t", type, "-o"}));
            QVERIFY2(!back.isNull(), type);
            QCOMPARE(back.size(), QSize(4, 3));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x)
                    QCOMPARE(back.pixel(x, y), colourOf(*surface.picture, x, y));
        }
    }

    void anotherInstanceGetsTheExactIndicesAndTheMask() {
        PaintSurface surface;
        surface.picture = picture();
        surface.mask = CellImage::Create(4, 3, 8);
        surface.mask->at(1, 0) = 255;
        surface.mask->at(3, 2) = 128;
        QVERIFY(CopyPictureToClipboard(surface));

        // What another instance reads: our own bitmap bytes and the mask.
        const QByteArray bitmap = xclip({"-t", BitmapMimeType, "-o"});
        const QByteArray maskBytes = xclip({"-t", MaskMimeType, "-o"});
        QVERIFY(!bitmap.isEmpty());
        const CellImagePtr mask =
            readMaskClipboardData(reinterpret_cast<const std::uint8_t*>(maskBytes.constData()),
                                  static_cast<std::size_t>(maskBytes.size()));
        QVERIFY(mask);
        QCOMPARE(mask->width(), 4);
        QCOMPARE(int(mask->at(1, 0)), 255);
        QCOMPARE(int(mask->at(3, 2)), 128);
        QCOMPARE(int(mask->at(0, 0)), 0);

        // Those bitmap bytes offered back by the other side keep every index:
        // 3 and 7 stay apart although they look the same.
        offer(QString::fromLatin1(BitmapMimeType), bitmap);
        const ClipboardPicture read = ReadClipboardPicture();
        QVERIFY(read.picture);
        QCOMPARE(read.picture->bitsPerPixel(), 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(int(read.picture->at(x, y)), 3 + x + 4 * y);
        QCOMPARE(read.picture->paletteEntry(200), rgb(200, 55, (200 * 7) & 0xFF));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        qCritical("the clipboard exchange needs an X server (run under xvfb-run)");
        return 1;
    }
    ClipboardExchangeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ClipboardExchangeTest.moc"
