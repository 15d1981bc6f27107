#pragma once

#include "framework/DrawnRow.h"

#include <QWidget>

namespace celdo {

// A static whose look is an owner-drawn line (a colour swatch and its text).
class DrawnRowLabel : public QWidget {
    Q_OBJECT
public:
    explicit DrawnRowLabel(DrawnRow row, QWidget* parent = nullptr);

    const DrawnRow& row() const { return m_row; }
    void setRow(DrawnRow row);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawnRow m_row;
};

} // namespace celdo
