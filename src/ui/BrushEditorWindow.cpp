#include "ui/BrushEditorWindow.h"

#include "app/AppState.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace celdo {

namespace {

constexpr int ButtonHeight = 18;

} // namespace

BrushEditorWindow::BrushEditorWindow(AppState& app, QWidget* parent)
    : QDialog(parent), m_app(app), m_brush(app.brush) {
    setObjectName(QStringLiteral("BrushEdit"));
    setWindowTitle(QStringLiteral("筆先の編集"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    m_rows[0] = {addButton(QStringLiteral("反転"), invertBrush),
                 addButton(QStringLiteral("回転"), rotateBrush),
                 addButton(QStringLiteral("上下"), flipBrushUpsideDown),
                 addButton(QStringLiteral("左右"), mirrorBrush)};
    m_rows[1] = {addButton(QStringLiteral("←"), [](Brush& b) { shiftBrush(b, -1, 0); }),
                 addButton(QStringLiteral("→"), [](Brush& b) { shiftBrush(b, 1, 0); }),
                 addButton(QStringLiteral("↑"), [](Brush& b) { shiftBrush(b, 0, -1); }),
                 addButton(QStringLiteral("↓"), [](Brush& b) { shiftBrush(b, 0, 1); })};
    auto* save = addButton(QStringLiteral("保存"), nullptr);
    auto* cancel = addButton(QStringLiteral("取消"), nullptr);
    connect(save, &QPushButton::clicked, this, &BrushEditorWindow::store);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_rows[2] = {save, cancel};

    // The editor opens small; the snapping gives it its smallest grid.
    resize(100, 100);
}

QPushButton* BrushEditorWindow::addButton(const QString& text, void (*operation)(Brush&)) {
    auto* button = new QPushButton(text, this);
    // Enter must not press whichever button had focus last.
    button->setAutoDefault(false);
    if (operation)
        connect(button, &QPushButton::clicked, this, [this, operation] {
            operation(m_brush);
            update();
        });
    return button;
}

void BrushEditorWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const BrushEditorGrid g = grid();
    const QSize want(g.expectedWidth(), g.expectedHeight());
    if (want != size() && want != m_asked) {
        m_asked = want;
        resize(want);
        // Hidden, the new size comes without another resize event.
        if (isVisible())
            return;
    }
    m_asked = QSize();
    layoutButtons();
    update();
}

void BrushEditorWindow::layoutButtons() {
    const int w = width();
    for (int row = 0; row < 3; ++row) {
        const auto& buttons = m_rows[row];
        const int top = height() - ButtonHeight * (3 - row);
        const auto count = static_cast<int>(buttons.size());
        for (int i = 0; i < count; ++i) {
            const int left = w * i / count;
            const int right = w * (i + 1) / count;
            buttons[i]->setGeometry(left, top, right - left, ButtonHeight);
        }
    }
}

void BrushEditorWindow::paintEvent(QPaintEvent*) {
    const int s = grid().cellSize;
    QPainter painter(this);
    painter.setPen(Qt::black);
    // The frame runs one pixel outside the cells: s − 1 … 17s.
    painter.drawRect(QRect(s - 1, s - 1, 16 * s + 1, 16 * s + 1));
    const int dot = std::max(1, s / 8);
    const int dotAt = (s - dot) / 2;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool set = m_brush.cell(x, y) != 0;
            const int left = s * (x + 1);
            const int top = s * (y + 1);
            painter.fillRect(left, top, s, s, set ? Qt::black : Qt::white);
            painter.fillRect(left + dotAt, top + dotAt, dot, dot, set ? Qt::white : Qt::black);
        }
}

void BrushEditorWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_painter.press(m_brush, grid(), at.x(), at.y()))
        update();
}

void BrushEditorWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && m_painter.drag(m_brush, grid(), at.x(), at.y()))
        update();
}

void BrushEditorWindow::store() {
    m_brush.updateExtent();
    m_app.brush = m_brush;
    m_app.brushes.store(m_app.indexBrush, m_brush);
    emit stored(m_app.indexBrush);
    accept();
}

} // namespace celdo
