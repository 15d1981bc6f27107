#include "ui/ChildFrame.h"

#include "ui/ImageWindow.h"

#include <QCloseEvent>
#include <QMdiArea>

#include <algorithm>

namespace celdo {

ChildFrame::ChildFrame(EditorHost& host, QWidget* parent) : QMdiSubWindow(parent) {
    setObjectName(QStringLiteral("Gchild"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_image = new ImageWindow(host, this);
    setWidget(m_image);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());
    setWindowTitle(m_image->displayName());
    connect(m_image, &ImageWindow::titleChanged, this,
            [this](const QString& title) { setWindowTitle(title); });
    connect(m_image, &ImageWindow::fitRequested, this, &ChildFrame::fitToImage);
}

bool ChildFrame::refusesToClose() {
    return !m_image->QueryClose();
}

void ChildFrame::closeAgreed() {
    m_closeAgreed = true;
    close();
}

void ChildFrame::fitToImage() {
    if (isMinimized() || isMaximized())
        return;
    // UM_FIT_CHILD: the client takes the size the image window wants; the
    // frame adds its borders and title bar (held as contents margins).  The
    // frame stays wide enough to show its caption.
    ensurePolished();
    const QMargins m = contentsMargins();
    const int border = 2 * m_image->frameWidth();
    QSize frame =
        m_image->extentSize() + QSize(m.left() + m.right() + border, m.top() + m.bottom() + border);
    frame.setWidth(std::max(frame.width(), MinimumWidth));
    if (QMdiArea* area = mdiArea()) {
        const QSize room = area->viewport()->size();
        frame = frame.boundedTo(room.expandedTo(QSize(80, 60)));
    }
    resize(frame);
}

bool ChildFrame::handleCommand(int command) {
    if (command == 1010) {
        fitToImage();
        return true;
    }
    return m_image->handleCommand(command);
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_closeAgreed && !m_image->QueryClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace celdo
