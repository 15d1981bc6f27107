#include "ui/MaskDensityWindow.h"

#include "canvas/EditingState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace celdo {

QPointer<MaskDensityWindow> MaskDensityWindow::s_instance;

MaskDensityWindow::MaskDensityWindow(EditingState& state, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_state(state) {
    setObjectName("MASKPALETTE");
    setWindowTitle(QStringLiteral("マスクの濃度"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_bar = new QScrollBar(Qt::Horizontal, this);
    m_bar->setObjectName("360");
    m_bar->setRange(0, Maximum);
    m_bar->setPageStep(10);
    m_bar->setMinimumWidth(160);
    m_label = new QLabel(this);
    m_label->setObjectName("361");
    m_label->setMinimumWidth(32);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_label);
    setValue(std::clamp(state.maskPaintValue, 0, Maximum));
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int v) {
        m_state.maskPaintValue = v;
        m_label->setText(QString::number(v));
    });
}

MaskDensityWindow* MaskDensityWindow::Open(EditingState& state, QWidget* parent) {
    if (!s_instance)
        s_instance = new MaskDensityWindow(state, parent);
    s_instance->show();
    s_instance->raise();
    return s_instance;
}

void MaskDensityWindow::CloseWindow() {
    if (s_instance)
        s_instance->close();
}

MaskDensityWindow* MaskDensityWindow::instance() {
    return s_instance;
}

void MaskDensityWindow::ShowValue(int value) {
    if (s_instance)
        s_instance->setValue(value);
}

int MaskDensityWindow::value() const {
    return m_bar->value();
}

void MaskDensityWindow::setValue(int value) {
    const QSignalBlocker block(m_bar);
    m_bar->setValue(std::clamp(value, 0, Maximum));
    m_label->setText(QString::number(m_bar->value()));
}

} // namespace celdo
