#include "FakeEditorHost.h"

#include "canvas/ToolTable.h"
#include "ui/CanvasView.h"
#include "ui/ToolCursors.h"

#include <QtTest>

#include <cstring>

using namespace celdo;

namespace {

struct Expected {
    const char* name;
    QPoint hotSpot;
    bool blackTip; // the hot spot is a black mark
};

// Where each tool acts, worked out from the drawings: brush, drop and
// pipette tips, the cross centres, the drip's end, the palm, the fist.
constexpr Expected expected[] = {
    {"BrushCur", {3, 28}, true},  {"tearCur", {3, 3}, true},    {"RectCur", {15, 15}, true},
    {"ovalCur", {15, 15}, true},  {"SpoitCur", {3, 28}, true},  {"MoldCur", {7, 29}, true},
    {"HandCur", {16, 20}, false}, {"DragCur", {16, 16}, false},
};

bool drawn(const char* name) {
    for (const char* n : ToolCursors::names())
        if (!std::strcmp(n, name))
            return true;
    return false;
}

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

CellImagePtr plain() {
    auto p = CellImage::Create(16, 16, 8);
    std::vector<ColourValue> palette(256, rgb(0, 0, 0));
    p->SetPalette(palette.data(), 256);
    return p;
}

} // namespace

class ToolCursorsTest : public QObject {
    Q_OBJECT

private slots:
    void everyCursorOfTheToolTableIsDrawn() {
        for (const ToolInfo& info : ToolTable()) {
            if (!std::strcmp(info.cursor, ArrowCursor))
                continue;
            QVERIFY2(drawn(info.cursor), info.cursor);
        }
        QVERIFY(drawn("HandCur"));
        QVERIFY(drawn("DragCur"));
        QCOMPARE(ToolCursors::names().size(), std::size(expected));
    }

    void sizesAndHotSpots_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("ratio");
        for (int i = 0; i < int(std::size(expected)); ++i)
            for (int ratio : {1, 2})
                QTest::addRow("%s@%d", expected[i].name, ratio) << i << ratio;
    }

    void sizesAndHotSpots() {
        QFETCH(int, index);
        QFETCH(int, ratio);
        const Expected& e = expected[index];
        const QPixmap pixmap = ToolCursors::pixmap(e.name, ratio);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(32 * ratio, 32 * ratio));
        QCOMPARE(pixmap.devicePixelRatio(), qreal(ratio));
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(32, 32));
        QCOMPARE(ToolCursors::hotSpot(e.name), e.hotSpot);

        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(opaquePixels(image) > 40 * ratio * ratio);
        // Every device pixel of the hot spot's logical pixel is opaque, and
        // black where the drawing marks the tip or the centre.
        for (int dy = 0; dy < ratio; ++dy) {
            for (int dx = 0; dx < ratio; ++dx) {
                const QRgb p = image.pixel(e.hotSpot.x() * ratio + dx, e.hotSpot.y() * ratio + dy);
                QCOMPARE(qAlpha(p), 255);
                if (e.blackTip)
                    QCOMPARE(p, qRgba(0, 0, 0, 255));
            }
        }

        const QCursor cursor = ToolCursors::cursor(e.name, ratio);
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), e.hotSpot);
        QCOMPARE(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32), image);
    }

    void blackNeverTouchesTransparency_data() { sizesAndHotSpots_data(); }

    // The white outline: a black pixel is never next to a see-through one,
    // so every stroke shows on a black background too.
    void blackNeverTouchesTransparency() {
        QFETCH(int, index);
        QFETCH(int, ratio);
        const QImage image = ToolCursors::pixmap(expected[index].name, ratio)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != qRgba(0, 0, 0, 255))
                    continue;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint n(x + d.x(), y + d.y());
                    QVERIFY2(image.rect().contains(n), "black on the border");
                    QVERIFY2(qAlpha(image.pixel(n)) != 0, qPrintable(QString("%1 at %2,%3")
                                                                         .arg(expected[index].name)
                                                                         .arg(n.x())
                                                                         .arg(n.y())));
                }
            }
        }
    }

    void twoNamesNeverLookAlike() {
        for (int ratio : {1, 2}) {
            const auto names = ToolCursors::names();
            for (std::size_t i = 0; i < names.size(); ++i)
                for (std::size_t j = i + 1; j < names.size(); ++j)
                    QVERIFY2(ToolCursors::pixmap(names[i], ratio).toImage() !=
                                 ToolCursors::pixmap(names[j], ratio).toImage(),
                             qPrintable(QString("%1 %2").arg(names[i]).arg(names[j])));
        }
    }

    void theArrowAndUnknownNamesGiveTheArrow() {
        QCOMPARE(ToolCursors::cursor(ArrowCursor, 1).shape(), Qt::ArrowCursor);
        QCOMPARE(ToolCursors::cursor("NoSuchCur", 2).shape(), Qt::ArrowCursor);
        QCOMPARE(ToolCursors::cursor(nullptr, 1).shape(), Qt::ArrowCursor);
        QVERIFY(ToolCursors::pixmap("NoSuchCur", 1).isNull());
    }

    void theCanvasCursorFollowsTheTool() {
        FakeEditorHost host;
        CanvasView view(host);
        view.canvas().SetPicture(plain());
        view.syncSize();
        view.show();
        const qreal ratio = view.devicePixelRatioF();
        auto shown = [&] {
            return view.cursor().pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        };
        auto drawing = [&](const char* name) {
            return ToolCursors::pixmap(name, ratio)
                .toImage()
                .convertToFormat(QImage::Format_ARGB32);
        };

        host.app().editing.currentTool = tool::Fill;
        view.handleMouse(MouseEvent::Move, QPoint(4, 4), false);
        QCOMPARE(view.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(shown(), drawing("MoldCur"));
        QCOMPARE(view.cursor().hotSpot(), QPoint(7, 29));

        host.app().editing.currentTool = tool::TilePick;
        view.handleMouse(MouseEvent::Move, QPoint(5, 4), false);
        QCOMPARE(shown(), drawing("SpoitCur"));

        host.app().editing.currentTool = tool::WaterDrop;
        view.handleMouse(MouseEvent::Move, QPoint(6, 4), false);
        QCOMPARE(shown(), drawing("tearCur"));
        QCOMPARE(view.cursor().hotSpot(), QPoint(3, 3));

        host.app().editing.currentTool = tool::ViewOnly;
        view.handleMouse(MouseEvent::Move, QPoint(6, 5), false);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(ToolCursorsTest)
#include "ToolCursorsTest.moc"
