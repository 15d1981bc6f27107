#include "ui/BoardWindow.h"

#include "ui/EditorHost.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>

namespace celdo {

BoardWindow::BoardWindow(EditorHost& host, BoardState& state, const QString& objectName,
                         const QString& caption)
    : QWidget(host.hostWindow(),
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_host(host), m_state(state) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void BoardWindow::placeBesideMainWindow() {
    const QWidget* main = m_host.hostWindow();
    const QPoint origin = main ? main->pos() : QPoint(0, 0);
    const QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const Rect place = PlaceBoard(
        m_state, {origin.x(), origin.y()},
        {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    move(place.left, place.top);
    resize(place.width(), place.height());
}

void BoardWindow::recordPlacement() {
    const QWidget* main = m_host.hostWindow();
    const QPoint origin = main ? main->pos() : QPoint(0, 0);
    const bool open = m_state.open;
    m_state =
        RecordBoard({x(), y(), x() + width(), y() + height()}, {origin.x(), origin.y()}, open);
}

void BoardWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize want = snappedSize(event->size());
    if (want != event->size() && want != m_asked) {
        m_asked = want;
        resize(want);
        // A shown window lays itself out in the resize event this sends; a
        // hidden one takes the size without an event, so it is laid out here.
        if (isVisible())
            return;
    }
    m_asked = QSize();
    layoutBoard();
    m_state.width = width();
    m_state.height = height();
    update();
}

void BoardWindow::keyPressEvent(QKeyEvent* event) {
    m_host.forwardKey(event);
}

void BoardWindow::closeEvent(QCloseEvent* event) {
    recordPlacement();
    QWidget::closeEvent(event);
}

} // namespace celdo
