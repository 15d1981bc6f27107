#include "ui/ToolBarPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace celdo {

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kFolder(232, 184, 64);
const QColor kBlue(48, 96, 200);
const QColor kRed(210, 50, 50);
const QColor kGreen(40, 150, 70);
const QColor kWood(190, 130, 70);
const QColor kGrey(150, 150, 160);
const QColor kMagenta(190, 60, 190);

void page(QPainter& p, int x, int y, int w, int h) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(x, y, w - 1, h - 1);
}

void pencil(QPainter& p, int x, int y) {
    // A pencil from top right to bottom left ending at (x, y).
    p.setPen(QPen(kInk, 1));
    p.setBrush(kFolder);
    p.drawPolygon(QPolygon({QPoint(x + 2, y - 5), QPoint(x + 9, y - 12), QPoint(x + 12, y - 9),
                            QPoint(x + 5, y - 2)}));
    p.setBrush(kWood);
    p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 2, y - 5), QPoint(x + 5, y - 2)}));
    p.drawPoint(x, y);
}

void magnifier(QPainter& p, const QString& label, bool reduce) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    p.setPen(QPen(kWood, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont font;
    font.setPixelSize(label.size() > 1 ? 7 : 9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(reduce ? kRed : kBlue);
    p.drawText(QRect(0, 0, 12, 12), Qt::AlignCenter, label);
}

void windows(QPainter& p, const QRect& a, const QRect& b) {
    for (const QRect& r : {a, b}) {
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.fillRect(r.x() + 1, r.y() + 1, r.width() - 2, 2, kBlue);
    }
}

void maskPicture(QPainter& p, const QColor& fill) {
    p.setPen(kInk);
    p.setBrush(fill);
    p.drawRect(1, 2, 13, 11);
    p.setBrush(kPaper);
    p.drawEllipse(4, 4, 7, 7);
}

void draw(QPainter& p, int picture) {
    switch (picture) {
    case 1: // open: a folder
        p.setPen(kInk);
        p.setBrush(kFolder.darker(115));
        p.drawRect(1, 3, 6, 2);
        p.setBrush(kFolder);
        p.drawPolygon(QPolygon({QPoint(1, 5), QPoint(14, 5), QPoint(14, 13), QPoint(1, 13)}));
        p.setPen(QPen(kGreen, 2));
        p.drawLine(9, 2, 13, 2);
        p.drawLine(13, 2, 11, 0);
        break;
    case 2: // clipboard picture
        p.setPen(kInk);
        p.setBrush(kWood);
        p.drawRect(2, 2, 11, 13);
        p.setBrush(kGrey);
        p.drawRect(5, 1, 5, 2);
        p.fillRect(4, 5, 8, 8, kPaper);
        p.fillRect(5, 8, 3, 4, kRed);
        p.fillRect(8, 6, 3, 6, kBlue);
        break;
    case 3: // new: a blank page with a folded corner
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawPolygon(
            QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
        p.drawLine(10, 1, 10, 4);
        p.drawLine(10, 4, 13, 4);
        p.fillRect(1, 10, 5, 5, kFolder);
        break;
    case 4:   // save: a floppy disk
    case 5: { // save as: a floppy with a pencil
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(1, 1, 13, 13);
        p.fillRect(4, 2, 8, 5, kPaper);
        p.fillRect(9, 3, 2, 3, kInk);
        p.fillRect(4, 9, 8, 5, kGrey);
        if (picture == 5)
            pencil(p, 7, 15);
        break;
    }
    case 7: // exit: a door with an arrow
        p.setPen(kInk);
        p.setBrush(kWood);
        p.drawRect(6, 1, 8, 14);
        p.fillRect(8, 8, 1, 2, kInk);
        p.setPen(QPen(kRed, 2));
        p.drawLine(1, 8, 6, 8);
        p.drawLine(1, 8, 4, 5);
        p.drawLine(1, 8, 4, 11);
        break;
    case 8: // freehand: pencil and a scribble
        p.setPen(kBlue);
        p.drawLine(1, 14, 4, 11);
        pencil(p, 3, 13);
        break;
    case 9: { // free curve: a smooth stroke
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath path(QPointF(1.5, 13.5));
        path.cubicTo(QPointF(4, 2), QPointF(10, 16), QPointF(14.5, 2.5));
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        break;
    }
    case 10:   // water drop
    case 11: { // blur brush
        p.setRenderHint(QPainter::Antialiasing, true);
        if (picture == 10) {
            QPainterPath drop(QPointF(8, 1));
            drop.cubicTo(QPointF(8, 5), QPointF(13, 8), QPointF(13, 10.5));
            drop.cubicTo(QPointF(13, 13.5), QPointF(10.5, 15), QPointF(8, 15));
            drop.cubicTo(QPointF(5.5, 15), QPointF(3, 13.5), QPointF(3, 10.5));
            drop.cubicTo(QPointF(3, 8), QPointF(8, 5), QPointF(8, 1));
            p.setPen(QPen(kBlue.darker(130), 1));
            p.setBrush(QColor(120, 180, 250));
            p.drawPath(drop);
        } else {
            QRadialGradient glow(QPointF(6, 10), 6);
            glow.setColorAt(0, QColor(200, 60, 160, 230));
            glow.setColorAt(1, QColor(200, 60, 160, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(QRectF(0, 4, 12, 12));
            p.setPen(QPen(kWood, 2));
            p.drawLine(QPointF(9, 7), QPointF(14, 2));
        }
        break;
    }
    case 12: // line segments
        p.setPen(QPen(kBlue, 2));
        p.drawLine(2, 13, 13, 2);
        p.fillRect(1, 12, 3, 3, kInk);
        p.fillRect(12, 1, 3, 3, kInk);
        break;
    case 13: // straight line through points
        p.setPen(QPen(kBlue, 2));
        p.drawPolyline(QPolygon({QPoint(1, 13), QPoint(6, 4), QPoint(10, 11), QPoint(14, 2)}));
        break;
    case 15: // rectangle
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(2, 3, 11, 9);
        break;
    case 16: // ellipse
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 3.5, 12, 9));
        break;
    case 17: // filled rectangle
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(2, 3, 11, 9);
        break;
    case 18: // filled ellipse
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(1.5, 3.5, 12, 9));
        break;
    case 19:   // flood fill: a tipped paint bucket
    case 59: { // fill options
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(kInk);
        p.setBrush(kGrey.lighter(120));
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(8, 1), QPointF(13, 6), QPointF(7, 12)}));
        p.setBrush(kRed);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(10.5, 8.5, 4, 6));
        if (picture == 59) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.fillRect(0, 12, 8, 4, kPaper);
            p.fillRect(1, 13, 1, 2, kInk);
            p.fillRect(3, 13, 1, 2, kInk);
            p.fillRect(5, 13, 1, 2, kInk);
        }
        break;
    }
    case 20:   // whole-picture filter: a wand over a page
    case 21: { // region filter
        if (picture == 20) {
            page(p, 1, 3, 11, 12);
        } else {
            p.setPen(QPen(kInk, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(1, 5, 9, 9);
        }
        p.setPen(QPen(kInk, 2));
        p.drawLine(5, 10, 13, 2);
        p.fillRect(12, 0, 3, 3, kFolder);
        p.fillRect(14, 4, 1, 1, kFolder);
        p.fillRect(9, 1, 1, 1, kFolder);
        break;
    }
    case 24: // copy: two pages
        page(p, 1, 1, 9, 10);
        page(p, 6, 5, 9, 10);
        break;
    case 25: // region copy: dashed frame and a page
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 9, 9);
        page(p, 7, 6, 8, 9);
        break;
    case 26: // paste: clipboard with a page
        p.setPen(kInk);
        p.setBrush(kWood);
        p.drawRect(1, 2, 10, 12);
        p.setBrush(kGrey);
        p.drawRect(4, 1, 4, 2);
        page(p, 7, 6, 8, 9);
        break;
    case 27: { // text paste
        QFont font;
        font.setPixelSize(14);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kBlue);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("あ"));
        break;
    }
    case 29: { // palette: a grid of colours
        const QColor colours[] = {kRed,
                                  kFolder,
                                  kGreen,
                                  kBlue,
                                  kMagenta,
                                  kWood,
                                  kInk,
                                  kGrey,
                                  kPaper,
                                  kRed.darker(),
                                  kGreen.lighter(),
                                  kBlue.lighter(),
                                  kFolder.darker(),
                                  kMagenta.lighter(),
                                  QColor(0, 170, 170),
                                  QColor(250, 140, 0)};
        for (int i = 0; i < 16; ++i)
            p.fillRect(1 + 3 * (i % 4) + (i % 4), 1 + 3 * (i / 4) + (i / 4), 3, 3, colours[i]);
        break;
    }
    case 30: // brush box: a brush
        p.setPen(kInk);
        p.setBrush(kWood);
        p.drawRect(1, 10, 14, 4);
        p.setPen(QPen(kWood.darker(), 2));
        p.drawLine(4, 9, 11, 2);
        p.fillRect(10, 1, 4, 3, kInk);
        break;
    case 31: // tiles: a checker of two colours
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                p.fillRect(x * 4, y * 4, 4, 4, (x + y) % 2 ? kBlue : kFolder);
        break;
    case 32:
        magnifier(p, "1", false);
        break;
    case 33:
        magnifier(p, "2", false);
        break;
    case 34:
        magnifier(p, "3", false);
        break;
    case 35:
        magnifier(p, "4", false);
        break;
    case 36:
        magnifier(p, "6", false);
        break;
    case 37:
        magnifier(p, "8", false);
        break;
    case 38:
        magnifier(p, "12", false);
        break;
    case 39:
        magnifier(p, "16", false);
        break;
    case 40:
        magnifier(p, "½", true);
        break;
    case 41:
        magnifier(p, "⅓", true);
        break;
    case 42:
        magnifier(p, "¼", true);
        break;
    case 43:
        magnifier(p, "⅙", true);
        break;
    case 44:
        magnifier(p, "⅛", true);
        break;
    case 45: // fit: a frame with arrows to its corners
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawRect(3, 3, 9, 9);
        p.setPen(QPen(kBlue, 1));
        p.drawLine(0, 0, 4, 4);
        p.drawLine(15, 15, 11, 11);
        p.drawLine(0, 0, 3, 0);
        p.drawLine(0, 0, 0, 3);
        p.drawLine(15, 15, 12, 15);
        p.drawLine(15, 15, 15, 12);
        break;
    case 46: { // image information
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(7, 3, 2, 2, kPaper);
        p.fillRect(7, 6, 2, 7, kPaper);
        break;
    }
    case 47: // display: a monitor
        p.setPen(kInk);
        p.setBrush(kGrey);
        p.drawRect(1, 1, 13, 10);
        p.fillRect(3, 3, 10, 7, QColor(120, 180, 250));
        p.fillRect(6, 12, 4, 2, kGrey);
        p.fillRect(4, 14, 8, 1, kInk);
        break;
    case 48:
        windows(p, QRect(1, 1, 9, 8), QRect(5, 6, 10, 9));
        break;
    case 49:
        windows(p, QRect(0, 1, 8, 14), QRect(8, 1, 8, 14));
        break;
    case 50:
        windows(p, QRect(1, 0, 14, 8), QRect(1, 8, 14, 8));
        break;
    case 51: // arrange icons
        for (int i = 0; i < 3; ++i) {
            p.setPen(kInk);
            p.setBrush(kPaper);
            p.drawRect(1 + 5 * i, 11, 4, 3);
            p.fillRect(2 + 5 * i, 12, 3, 1, kBlue);
        }
        break;
    case 52: // close all
        windows(p, QRect(1, 1, 9, 8), QRect(5, 6, 10, 9));
        p.setPen(QPen(kRed, 2));
        p.drawLine(7, 9, 12, 14);
        p.drawLine(12, 9, 7, 14);
        break;
    case 53: // next window
        windows(p, QRect(1, 1, 9, 9), QRect(1, 1, 9, 9));
        p.setPen(QPen(kGreen, 2));
        p.drawLine(8, 12, 14, 12);
        p.drawLine(14, 12, 11, 9);
        p.drawLine(14, 12, 11, 15);
        break;
    case 54: // mask edit: the protected area in magenta
        maskPicture(p, kMagenta);
        break;
    case 55: // image edit: the picture in colour
        maskPicture(p, kGreen);
        break;
    case 56: // mask disabled
        maskPicture(p, kMagenta.lighter(150));
        p.setPen(QPen(kRed, 2));
        p.drawLine(1, 14, 14, 1);
        break;
    case 57: // invert mask: half and half
        p.setPen(kInk);
        p.setBrush(kMagenta);
        p.drawRect(1, 2, 13, 11);
        p.fillRect(2, 3, 6, 10, kPaper);
        p.setPen(QPen(kInk, 1));
        p.drawLine(10, 5, 10, 10);
        p.drawLine(10, 5, 8, 7);
        break;
    case 58: // clear mask: an eraser
        p.setPen(kInk);
        p.setBrush(QColor(250, 160, 180));
        p.drawPolygon(QPolygon({QPoint(1, 10), QPoint(8, 3), QPoint(14, 9), QPoint(7, 15)}));
        p.setBrush(kPaper);
        p.drawPolygon(QPolygon({QPoint(1, 10), QPoint(4, 7), QPoint(10, 13), QPoint(7, 15)}));
        break;
    case 60: // size change: a page with outward arrows
        page(p, 4, 4, 8, 8);
        p.setPen(kBlue);
        p.drawLine(0, 8, 3, 8);
        p.drawLine(12, 8, 15, 8);
        p.drawLine(8, 0, 8, 3);
        p.drawLine(8, 12, 8, 15);
        break;
    case 61: { // options: a gear
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kGrey.darker(130));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * i);
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.restore();
        }
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
        break;
    }
    case 63: { // help
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QFont font;
        font.setPixelSize(12);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kPaper);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case 64:   // undo: an arrow bending back to the left
    case 65: { // redo: the same arrow mirrored
        p.setRenderHint(QPainter::Antialiasing, true);
        if (picture == 65) {
            p.translate(16, 0);
            p.scale(-1, 1);
        }
        QPen pen(kBlue, 2.0);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPainterPath bend;
        bend.moveTo(4.5, 6.5);
        bend.lineTo(10.0, 6.5);
        bend.cubicTo(15.0, 6.5, 15.0, 13.5, 10.0, 13.5);
        bend.lineTo(6.0, 13.5);
        p.drawPath(bend);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(0.5, 6.5), QPointF(6.0, 2.0), QPointF(6.0, 11.0)}));
        break;
    }
    default: // an unused picture index: an empty frame
        p.setPen(kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 13, 13);
        break;
    }
}

} // namespace

QPixmap toolBarPixmap(int picture, int scale) {
    QPixmap pixmap(16 * scale, 16 * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.scale(scale, scale);
    draw(painter, picture);
    return pixmap;
}

QIcon toolBarIcon(int picture) {
    QIcon icon;
    icon.addPixmap(toolBarPixmap(picture, 1));
    icon.addPixmap(toolBarPixmap(picture, 2));
    return icon;
}

} // namespace celdo
