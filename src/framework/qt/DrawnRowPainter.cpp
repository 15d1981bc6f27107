#include "framework/qt/DrawnRowPainter.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>

namespace celdo {

namespace {

QColor colourOf(unsigned value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void paintSwatch(QPainter& painter, const QRect& area, const RowPart& part) {
    if (part.tileSize == 1) {
        painter.fillRect(area, colourOf(part.colourAt(0, 0)));
        return;
    }
    // One rectangle a pattern cell: a scaled or smoothed image would blur the
    // mix into a colour that is not in the palette.
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            painter.fillRect(QRect(area.left() + x, area.top() + y, 1, 1),
                             colourOf(part.colourAt(x, y)));
}

} // namespace

int drawnLineHeight(const QFontMetrics& metrics) {
    return metrics.height() + 4;
}

int drawnRowWidth(const DrawnRow& row, const QFontMetrics& metrics, int lineHeight) {
    int right = 0;
    for (const RowPart& part : row) {
        const int width = part.kind == RowPart::Kind::Swatch
                              ? lineHeight
                              : metrics.horizontalAdvance(QString::fromStdString(part.text));
        right = std::max(right, part.left(lineHeight) + width);
    }
    return right;
}

void PaintDrawnRow(QPainter& painter, const QRect& line, const DrawnRow& row,
                   const QColor& textColour) {
    const int height = line.height();
    painter.save();
    painter.setClipRect(line);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const RowPart& part : row) {
        const int left = line.left() + part.left(height);
        if (part.kind == RowPart::Kind::Swatch) {
            paintSwatch(painter, QRect(left, line.top(), height, height), part);
        } else {
            painter.setPen(textColour);
            painter.drawText(QRect(left, line.top(), std::max(0, line.right() + 1 - left), height),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QString::fromStdString(part.text));
        }
    }
    painter.restore();
}

} // namespace celdo
