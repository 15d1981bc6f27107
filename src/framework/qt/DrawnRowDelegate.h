#pragma once

#include "framework/DrawnRow.h"

#include <QStyledItemDelegate>

#include <functional>

namespace celdo {

// Draws the items of a list as owner-drawn lines: line height from the
// list's font, the chosen item in the highlight colours.  Items without a
// drawn line are drawn as plain text.
class DrawnRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `rowAt` gives the drawn line of an item, or null.
    DrawnRowDelegate(std::function<const DrawnRow*(int row)> rowAt, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::function<const DrawnRow*(int row)> m_rowAt;
};

} // namespace celdo
