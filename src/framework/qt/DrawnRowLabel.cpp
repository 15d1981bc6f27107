#include "framework/qt/DrawnRowLabel.h"

#include "framework/qt/DrawnRowPainter.h"

#include <QPainter>

#include <utility>

namespace celdo {

DrawnRowLabel::DrawnRowLabel(DrawnRow row, QWidget* parent)
    : QWidget(parent), m_row(std::move(row)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void DrawnRowLabel::setRow(DrawnRow row) {
    if (row == m_row)
        return;
    m_row = std::move(row);
    updateGeometry();
    update();
}

QSize DrawnRowLabel::sizeHint() const {
    const int height = drawnLineHeight(fontMetrics());
    return QSize(drawnRowWidth(m_row, fontMetrics(), height), height);
}

void DrawnRowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int height = drawnLineHeight(fontMetrics());
    const QRect line(0, (this->height() - height) / 2, width(), height);
    PaintDrawnRow(
        painter, line, m_row,
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
}

} // namespace celdo
