#include "ui/ChildFrame.h"

#include "core/qt/ImageWindow.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace celdo {

ChildFrame::ChildFrame(EditorHost& host, QWidget* parent) : QMdiSubWindow(parent) {
    setObjectName(QStringLiteral("Gchild"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_image = new ImageWindow(host, this);
    setWidget(m_image);
    setWindowTitle(m_image->displayName());
    connect(m_image, &ImageWindow::titleChanged, this,
            [this](const QString& title) { setWindowTitle(title); });
    connect(m_image, &ImageWindow::fitRequested, this, &ChildFrame::fitToImage);
}

bool ChildFrame::refusesToClose() { return !m_image->QueryClose(); }

void ChildFrame::closeAgreed() {
    m_closeAgreed = true;
    close();
}

void ChildFrame::fitToImage() {
    if (isMinimized() || isMaximized())
        return;
    // UM_FIT_CHILD: the frame grows by the difference between the client the
    // image window wants and the one it has.
    const QSize want = m_image->extentSize();
    const QSize have = m_image->size();
    QSize frame = size() + (want - have);
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
