#include "ui/ToolCursors.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <array>
#include <cmath>
#include <cstring>

namespace celdo {

namespace {

constexpr int CursorSize = 32;

// Every cursor is drawn twice by the same code: first the white outline of
// all its parts, then their ink, so that no outline covers a stroke.
class CursorPen {
public:
    CursorPen(QPainter& painter, bool outline) : m_painter(painter), m_outline(outline) {}

    // A black line of `width` logical pixels along the path.
    void stroke(const QPainterPath& path, qreal width) {
        m_painter.strokePath(path,
                             pen(m_outline ? Qt::white : Qt::black, m_outline ? width + 2 : width));
    }
    // A shape filled with `fill` and edged by a black line; without `smooth`
    // a small curve keeps whole pixels instead of turning grey.
    void shape(const QPainterPath& path, const QColor& fill, bool smooth = true) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing, smooth);
        if (m_outline) {
            m_painter.fillPath(path, Qt::white);
            m_painter.strokePath(path, pen(Qt::white, 3));
        } else {
            m_painter.fillPath(path, fill);
            m_painter.strokePath(path, pen(Qt::black, 1));
        }
        m_painter.restore();
    }
    // A black shape.
    void solid(const QPainterPath& path) {
        if (m_outline) {
            m_painter.fillPath(path, Qt::white);
            m_painter.strokePath(path, pen(Qt::white, 2));
        } else {
            m_painter.fillPath(path, Qt::black);
        }
    }
    // A coloured detail inside a shape; it has no outline of its own.
    void detail(const QPainterPath& path, const QColor& fill) {
        if (!m_outline)
            m_painter.fillPath(path, fill);
    }
    // Whole black logical pixels, drawn without smoothing so that the pixels
    // a tool acts on show sharp at every ratio.
    void mark(const QRect& pixels) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        if (m_outline)
            m_painter.fillRect(pixels.adjusted(-1, -1, 1, 1), Qt::white);
        else
            m_painter.fillRect(pixels, Qt::black);
        m_painter.restore();
    }

private:
    static QPen pen(const QColor& colour, qreal width) {
        return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }

    QPainter& m_painter;
    bool m_outline;
};

// Paths of the slanted tools are made along +x from their tip at the origin
// and turned to point down and left at (tipX, tipY).
QTransform slantedFromTip(int tipX, int tipY) {
    QTransform t;
    t.translate(tipX + 0.5, tipY + 0.5);
    t.rotate(-45);
    return t;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h) {
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

void drawBrush(CursorPen& pen) {
    const QTransform t = slantedFromTip(3, 28);
    QPainterPath bristles;
    bristles.moveTo(0, 0);
    bristles.cubicTo(3, -1, 6, -3.5, 10, -3.5);
    bristles.lineTo(10, 3.5);
    bristles.cubicTo(6, 3.5, 3, 1, 0, 0);
    pen.solid(t.map(bristles));
    pen.shape(t.map(rect(10, -3, 5, 6)), Qt::white);
    pen.solid(t.map(roundedRect(15, -2, 17, 4, 2)));
    pen.mark({3, 28, 1, 1});
}

void drawWaterDrop(CursorPen& pen) {
    // A drop pointing up and left from its round body, like an arrow.
    QTransform t;
    t.translate(3.5, 3.5);
    t.rotate(45);
    const qreal centre = 17;
    const qreal radius = 8;
    const qreal reach = std::sqrt(centre * centre - radius * radius);
    const qreal angle = std::asin(radius / centre);
    QPainterPath body;
    body.addEllipse(QPointF(centre, 0), radius, radius);
    QPainterPath cone;
    cone.moveTo(0, 0);
    cone.lineTo(reach * std::cos(angle), reach * std::sin(angle));
    cone.lineTo(centre, 0);
    cone.lineTo(reach * std::cos(angle), -reach * std::sin(angle));
    cone.closeSubpath();
    pen.shape(t.map(body.united(cone)), QColor(120, 190, 255));
    QPainterPath shine;
    shine.addEllipse(QPointF(centre + 2, -3.5), 2.5, 1.6);
    pen.detail(t.map(shine), Qt::white);
    pen.mark({3, 3, 1, 1});
}

// The cross of the shape tools: four arms round the centre pixel (15, 15).
void drawCross(CursorPen& pen) {
    pen.mark({3, 15, 10, 1});
    pen.mark({18, 15, 10, 1});
    pen.mark({15, 3, 1, 10});
    pen.mark({15, 18, 1, 10});
    pen.mark({15, 15, 1, 1});
}

void drawRectangle(CursorPen& pen) {
    drawCross(pen);
    pen.mark({20, 20, 9, 1});
    pen.mark({20, 26, 9, 1});
    pen.mark({20, 20, 1, 7});
    pen.mark({28, 20, 1, 7});
}

void drawOval(CursorPen& pen) {
    drawCross(pen);
    QPainterPath oval;
    oval.addEllipse(QRectF(20.5, 20.5, 8, 6));
    pen.shape(oval, Qt::white, false);
}

void drawEyedropper(CursorPen& pen) {
    const QTransform t = slantedFromTip(3, 28);
    pen.shape(t.map(rect(6, -2.5, 8, 5)), Qt::white);
    QPainterPath nib;
    nib.moveTo(0, -0.6);
    nib.lineTo(6.5, -1.8);
    nib.lineTo(6.5, 1.8);
    nib.lineTo(0, 0.6);
    nib.closeSubpath();
    pen.solid(t.map(nib));
    pen.solid(t.map(rect(14, -3.5, 3, 7)));
    pen.solid(t.map(roundedRect(17, -4, 12, 8, 4)));
    pen.mark({3, 28, 1, 1});
}

void drawFill(CursorPen& pen) {
    // A bucket tipped to the left; its paint runs down from the lip to a
    // pointed drip.
    QTransform t;
    t.translate(17.5, 13.5);
    t.rotate(-45);
    QPainterPath handle;
    handle.moveTo(-7, -7);
    handle.cubicTo(-8, -14, 8, -14, 7, -7);
    pen.stroke(t.map(handle), 1);
    QPainterPath bucket;
    bucket.moveTo(-7, -7);
    bucket.lineTo(7, -7);
    bucket.lineTo(5.5, 6);
    bucket.lineTo(-5.5, 6);
    bucket.closeSubpath();
    pen.shape(t.map(bucket), Qt::white);
    QPainterPath surface;
    surface.addEllipse(QPointF(0, -7), 7, 1.5);
    QPainterPath drip;
    drip.moveTo(6, 13.5);
    drip.lineTo(9, 13.5);
    drip.lineTo(9, 23);
    drip.quadTo(9, 26, 7.5, 29.5);
    drip.quadTo(6, 26, 6, 23);
    drip.closeSubpath();
    pen.solid(t.map(surface).united(drip));
    pen.mark({7, 29, 1, 1});
}

// A hand: the union of its parts, then the lines between the fingers.
void drawHand(CursorPen& pen, const QPainterPath& hand, qreal fingerTop, qreal fingerBottom) {
    pen.shape(hand, Qt::white);
    for (const qreal x : {12.5, 16.5, 20.5}) {
        QPainterPath gap;
        gap.moveTo(x, fingerTop);
        gap.lineTo(x, fingerBottom);
        pen.stroke(gap, 1);
    }
}

void drawOpenHand(CursorPen& pen) {
    QPainterPath hand = roundedRect(8.5, 13.5, 16, 14, 4);
    const qreal tops[] = {5.5, 3.5, 4.5, 7.5};
    for (int i = 0; i < 4; ++i)
        hand = hand.united(roundedRect(8.5 + 4 * i, tops[i], 4, 16 - tops[i], 2));
    QTransform thumb;
    thumb.translate(11, 23);
    thumb.rotate(-140);
    hand = hand.united(thumb.map(roundedRect(0, -2, 11, 4, 2)));
    drawHand(pen, hand, 10, 14);
}

void drawClosedHand(CursorPen& pen) {
    QPainterPath hand = roundedRect(8.5, 10.5, 16, 14, 4);
    for (int i = 0; i < 4; ++i)
        hand = hand.united(roundedRect(8.5 + 4 * i, 7.5, 4, 6, 2));
    hand = hand.united(roundedRect(5.5, 14.5, 6, 5, 2));
    drawHand(pen, hand, 9.5, 12.5);
    QPainterPath fold;
    fold.moveTo(10.5, 14.5);
    fold.lineTo(22.5, 14.5);
    pen.stroke(fold, 1);
}

struct CursorArt {
    const char* name;
    QPoint hotSpot;
    void (*draw)(CursorPen&);
};

constexpr std::array<CursorArt, 8> arts{{
    {"BrushCur", {3, 28}, drawBrush},
    {"tearCur", {3, 3}, drawWaterDrop},
    {"RectCur", {15, 15}, drawRectangle},
    {"ovalCur", {15, 15}, drawOval},
    {"SpoitCur", {3, 28}, drawEyedropper},
    {"MoldCur", {7, 29}, drawFill},
    {"HandCur", {16, 20}, drawOpenHand},
    {"DragCur", {16, 16}, drawClosedHand},
}};

constexpr std::array<const char*, arts.size()> artNames = [] {
    std::array<const char*, arts.size()> names{};
    for (std::size_t i = 0; i < arts.size(); ++i)
        names[i] = arts[i].name;
    return names;
}();

const CursorArt* findArt(const char* name) {
    if (!name)
        return nullptr;
    for (const CursorArt& art : arts)
        if (!std::strcmp(art.name, name))
            return &art;
    return nullptr;
}

} // namespace

std::span<const char* const> ToolCursors::names() {
    return artNames;
}

QPixmap ToolCursors::pixmap(const char* name, qreal ratio) {
    const CursorArt* art = findArt(name);
    if (!art || ratio <= 0)
        return {};
    const int side = static_cast<int>(std::lround(CursorSize * ratio));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const bool outline : {true, false}) {
        CursorPen pen(painter, outline);
        art->draw(pen);
    }
    return pixmap;
}

QPoint ToolCursors::hotSpot(const char* name) {
    const CursorArt* art = findArt(name);
    return art ? art->hotSpot : QPoint();
}

QCursor ToolCursors::cursor(const char* name, qreal ratio) {
    const CursorArt* art = findArt(name);
    if (!art)
        return QCursor(Qt::ArrowCursor);
    return QCursor(pixmap(name, ratio), art->hotSpot.x(), art->hotSpot.y());
}

} // namespace celdo
