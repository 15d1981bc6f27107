#include "ui/ToolBarWidget.h"

#include "app/ToolButtonTable.h"
#include "ui/ToolBarPictures.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolButton>

namespace celdo {

ToolBarWidget::ToolBarWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToolBar"));
    setFixedHeight(Height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const auto& table = ToolButtonTable::buttons();
    for (int i = 0; i < ToolButtonTable::Count; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("ToolButton%1").arg(i));
        b->setIcon(toolBarIcon(table[i].picture));
        b->setIconSize(QSize(16, 16));
        b->setFixedSize(ButtonSize, ButtonSize);
        b->setToolTip(QString::fromUtf8(table[i].text));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        const Command command = table[i].command;
        connect(b, &QToolButton::clicked, this, [this, b, command] {
            // A pressed button stays pressed until the states are recomputed.
            if (b->isCheckable())
                b->setChecked(true);
            emit commandRequested(command);
        });
        m_buttons[i] = b;
    }
}

void ToolBarWidget::setList(const std::vector<int>& list) {
    m_list = list;
    for (QToolButton* b : m_buttons)
        b->hide();
    int x = Left;
    for (int entry : m_list) {
        if (entry == ToolButtonTable::End)
            break;
        if (entry == ToolButtonTable::Gap) {
            x += GapWidth;
            continue;
        }
        if (entry < 0 || entry >= ToolButtonTable::Count)
            continue;
        QToolButton* b = m_buttons[entry];
        b->move(x, Top);
        b->show();
        x += ButtonSize;
    }
    updateGeometry();
}

void ToolBarWidget::setButtonState(int index, int state) {
    if (index < 0 || index >= ToolButtonTable::Count)
        return;
    QToolButton* b = m_buttons[index];
    b->setEnabled(state != ToolButtonTable::Disabled);
    b->setCheckable(state == ToolButtonTable::Pressed);
    b->setChecked(state == ToolButtonTable::Pressed);
    // Making a button uncheckable clears its check mark without repainting it.
    b->update();
}

int ToolBarWidget::buttonState(int index) const {
    const QToolButton* b = m_buttons[index];
    if (!b->isEnabled())
        return ToolButtonTable::Disabled;
    return b->isChecked() ? ToolButtonTable::Pressed : ToolButtonTable::Normal;
}

QSize ToolBarWidget::sizeHint() const {
    return {Left * 2 + ButtonSize * 8, Height};
}

void ToolBarWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit customiseRequested();
}

void ToolBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 0, width(), 0);
}

} // namespace celdo
