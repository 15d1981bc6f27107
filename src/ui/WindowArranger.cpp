#include "ui/WindowArranger.h"

#include "app/WindowLayout.h"
#include "ui/ChildFrame.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace celdo {

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

WindowArranger::WindowArranger(QMdiArea& area, std::function<void()> closed)
    : m_area(area), m_closed(std::move(closed)) {}

void WindowArranger::registerCommands(CommandHandlers& handlers) {
    handlers.on(Command::CascadeWindows, [this] { cascade(); });
    handlers.on(Command::TileSideBySide, [this] { tile(Qt::Horizontal); });
    handlers.on(Command::TileStacked, [this] { tile(Qt::Vertical); });
    handlers.on(Command::ArrangeIcons, [this] { arrangeIcons(); });
    handlers.on(Command::CloseAllWindows, [this] { closeAll(); });
    handlers.on(Command::NextWindow, [this] { activateNext(); });
}

QList<QMdiSubWindow*> WindowArranger::normalChildren() const {
    QList<QMdiSubWindow*> children;
    for (QMdiSubWindow* w : m_area.subWindowList(m_area.activationOrder())) {
        if (!w->isVisible() || w->isMinimized())
            continue;
        if (w->isMaximized() || w->isShaded())
            w->showNormal();
        children.append(w);
    }
    return children;
}

int WindowArranger::cascadeStep() const {
    // A title bar's text line, centred in the bar, and the focus frame's
    // margin: each child's caption stays readable below the one before.
    const QStyle* style = m_area.style();
    QStyleOptionTitleBar options;
    options.initFrom(&m_area);
    const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight, &options, &m_area);
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    return std::max(titleBar - (titleBar - metrics.height()) / 2, 1) +
           style->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, &m_area);
}

void WindowArranger::cascade() {
    const QList<QMdiSubWindow*> children = normalChildren();
    std::vector<WindowSize> sizes;
    for (QMdiSubWindow* w : children)
        sizes.push_back({w->sizeHint().width(), w->sizeHint().height()});
    const QSize room = m_area.viewport()->size();
    const auto placed = Cascade(sizes, room.width(), room.height(), cascadeStep());
    for (qsizetype i = 0; i < children.size(); ++i)
        children[i]->setGeometry(toQRect(placed[static_cast<std::size_t>(i)]));
}

void WindowArranger::tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* w : m_area.subWindowList(QMdiArea::CreationOrder))
        if (!w->isMinimized())
            shown.append(w);
    const QSize room = m_area.viewport()->size();
    const int n = static_cast<int>(shown.size());
    const auto placed = orientation == Qt::Horizontal
                            ? TileSideBySide(n, room.width(), room.height())
                            : TileStacked(n, room.width(), room.height());
    for (int i = 0; i < n; ++i) {
        shown[i]->showNormal();
        shown[i]->setGeometry(toQRect(placed[static_cast<std::size_t>(i)]));
    }
}

void WindowArranger::arrangeIcons() {
    QList<QMdiSubWindow*> minimised;
    std::vector<WindowSize> sizes;
    for (QMdiSubWindow* w : m_area.subWindowList(QMdiArea::CreationOrder))
        if (w->isMinimized()) {
            minimised.append(w);
            sizes.push_back({w->width(), w->height()});
        }
    const QSize room = m_area.viewport()->size();
    const auto placed = ArrangeIcons(sizes, room.width(), room.height());
    for (qsizetype i = 0; i < minimised.size(); ++i) {
        const Point p = placed[static_cast<std::size_t>(i)];
        minimised[i]->move(p.x, p.y);
    }
}

void WindowArranger::closeAll() {
    const auto list = m_area.subWindowList(QMdiArea::StackingOrder);
    std::vector<ChildFrame*> fromTop;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto* frame = qobject_cast<ChildFrame*>(*it))
            fromTop.push_back(frame);
    for (ChildFrame* frame : fromTop) {
        if (frame->refusesToClose())
            break;
        frame->closeAgreed();
    }
    if (m_closed)
        m_closed();
}

void WindowArranger::activateNext() {
    m_area.activateNextSubWindow();
}

} // namespace celdo
