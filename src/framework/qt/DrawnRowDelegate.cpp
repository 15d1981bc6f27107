#include "framework/qt/DrawnRowDelegate.h"

#include "framework/qt/DrawnRowPainter.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <utility>

namespace celdo {

DrawnRowDelegate::DrawnRowDelegate(std::function<const DrawnRow*(int row)> rowAt, QObject* parent)
    : QStyledItemDelegate(parent), m_rowAt(std::move(rowAt)) {}

void DrawnRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const DrawnRow* row = m_rowAt ? m_rowAt(index.row()) : nullptr;
    if (!row) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    const bool chosen = option.state & QStyle::State_Selected;
    if (chosen)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setFont(option.font);
    PaintDrawnRow(*painter, option.rect, *row,
                  option.palette.color(group, chosen ? QPalette::HighlightedText : QPalette::Text));
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor =
            option.palette.color(group, chosen ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

QSize DrawnRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const DrawnRow* row = m_rowAt ? m_rowAt(index.row()) : nullptr;
    if (!row)
        return QStyledItemDelegate::sizeHint(option, index);
    const QFontMetrics metrics(option.font);
    const int height = drawnLineHeight(metrics);
    return QSize(drawnRowWidth(*row, metrics, height), height);
}

} // namespace celdo
