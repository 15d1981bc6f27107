#include "ui/ChildFrame.h"

#include "app/ChildFrameFit.h"
#include "ui/ImageWindow.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace celdo {

ChildFrame::ChildFrame(EditorHost& host, QWidget* parent) : QMdiSubWindow(parent) {
    setObjectName(QStringLiteral("Gchild"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_image = new ImageWindow(host, this);
    setWidget(m_image);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());
    setWindowTitle(CaptionFor(m_image->displayName()));
    connect(m_image, &ImageWindow::titleChanged, this,
            [this](const QString& title) { setWindowTitle(CaptionFor(title)); });
    connect(m_image, &ImageWindow::modifiedChanged, this, &QWidget::setWindowModified);
    connect(m_image, &ImageWindow::fitRequested, this, &ChildFrame::fitToImage);
    m_commands.on(Command::FitToImage, [this] { fitToImage(); });
}

bool ChildFrame::refusesToClose() {
    return !m_image->QueryClose();
}

void ChildFrame::closeAgreed() {
    m_closeAgreed = true;
    close();
}

QString ChildFrame::CaptionFor(const QString& displayName) {
    // Qt shows "*" in place of the placeholder while the window is modified.
    return displayName + QStringLiteral("[*]");
}

void ChildFrame::fitToImage() {
    if (isMinimized())
        showNormal();
    if (isMaximized())
        return;
    // The client takes the size the image window wants; the frame adds its
    // borders and title bar (held as contents margins) and is cut to the
    // client area from where it stands.
    ensurePolished();
    const QMargins m = contentsMargins();
    const int border = 2 * m_image->frameWidth();
    ChildFrameFitInput input;
    const QSize wanted = m_image->extentSize();
    input.wanted = {wanted.width(), wanted.height()};
    input.decoration = {m.left() + m.right() + border, m.top() + m.bottom() + border};
    const QSize bars = m_image->scrollBarExtent();
    input.verticalBarWidth = bars.width();
    input.horizontalBarHeight = bars.height();
    input.minimumWidth = MinimumWidth;
    input.available = {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    if (QMdiArea* area = mdiArea()) {
        const QSize room = area->viewport()->size();
        input.available = {room.width() - x(), room.height() - y()};
    }
    const WindowSize outer = ChildFrameFit(input);
    resize(outer.width, outer.height);
}

bool ChildFrame::handleCommand(Command command) {
    return m_commands.run(command) || m_image->handleCommand(command);
}

void ChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_closeAgreed && !m_image->QueryClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace celdo
