#include "ui/CanvasView.h"

#include "app/AppState.h"
#include "app/CommandTable.h"
#include "canvas/SoftDab.h"
#include "canvas/qt/Clipboard.h"
#include "canvas/qt/PictureRenderer.h"
#include "framework/Ui.h"
#include "ui/EditorHost.h"
#include "ui/ToolCursors.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace celdo {

namespace {

QRect shapeBounds(const OverlayShape& s) {
    return QRect(QPoint(std::min(s.from.x, s.to.x), std::min(s.from.y, s.to.y)),
                 QPoint(std::max(s.from.x, s.to.x), std::max(s.from.y, s.to.y)))
        .adjusted(-2, -2, 2, 2);
}

struct ZoomItem {
    Command command;
    const char* text;
};
constexpr ZoomItem MagnifyItems[] = {{Command::ZoomTwo, "２倍"},    {Command::ZoomThree, "３倍"},
                                     {Command::ZoomFour, "４倍"},   {Command::ZoomSix, "６倍"},
                                     {Command::ZoomEight, "８倍"},  {Command::ZoomTwelve, "12倍"},
                                     {Command::ZoomSixteen, "16倍"}};
constexpr ZoomItem ReduceItems[] = {{Command::ZoomHalf, "1/2倍"},
                                    {Command::ZoomThird, "1/3倍"},
                                    {Command::ZoomQuarter, "1/4倍"},
                                    {Command::ZoomSixth, "1/6倍"},
                                    {Command::ZoomEighth, "1/8倍"}};

} // namespace

void WireCanvasHooks(AppState& app) {
    ToolHooks& hooks = app.editing.hooks;
    if (!hooks.softDab)
        hooks.softDab = [&app](Canvas& canvas, int x, int y) {
            return SoftDab(canvas.surface(), x, y, canvas.state().brush, app.palette.current(),
                           app.softDabSettings());
        };
    if (!hooks.copyRegion)
        hooks.copyRegion = [](Canvas& canvas, const Rect& region) {
            CopyRegionToClipboard(canvas.surface(), region);
        };
}

CanvasView::CanvasView(EditorHost& host, QWidget* parent)
    : QWidget(parent), m_host(host), m_canvas(host.app().editing) {
    setObjectName("Paper");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    syncSize();
    registerPopupCommands();
}

CanvasView::~CanvasView() {
    if (m_canvas.gesture().rubberEllipse || m_canvas.gesture().rubberRect ||
        m_canvas.gesture().rubberPolyline)
        m_canvas.state().strokeActive = false;
}

void CanvasView::syncSize() {
    resize(m_canvas.zoom().viewWidth(), m_canvas.zoom().viewHeight());
}

QRect CanvasView::windowRect(const Rect& image) const {
    const Rect w = m_canvas.zoom().toWindow(image);
    return QRect(w.left, w.top, w.width(), w.height());
}

void CanvasView::invalidateWhole() {
    update();
    if (const CellImage* picture = m_canvas.picture())
        emit imageChanged({0, 0, picture->width(), picture->height()});
}

void CanvasView::invalidateImage(const Rect& changed, bool now) {
    if (changed.empty())
        return;
    emit imageChanged(changed);
    QRect r = windowRect(changed);
    if (m_canvas.zoom().mode() == Zoom::Reduced || m_canvas.zoom().mode() == Zoom::Fitted)
        r = r.adjusted(-1, -1, 1, 1);
    if (m_canvas.zoom().mode() == Zoom::Fitted)
        r = rect();
    if (now)
        repaint(r);
    else
        update(r);
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    const PaintSurface& surface = m_canvas.surface();
    const CellImage* plane =
        surface.maskMode && surface.maskView ? surface.maskView.get() : surface.picture.get();
    if (!plane) {
        painter.fillRect(exposed, palette().window());
        return;
    }
    painter.drawImage(exposed.topLeft(), renderPicture(*plane, m_canvas.zoom(), exposed));

    // Another window's gesture keeps its points at 1:1; it draws them.
    const std::vector<OverlayShape> shapes =
        m_remote ? std::vector<OverlayShape>{} : RubberBandShapes(m_canvas);
    if (shapes.empty())
        return;
    // Difference with white inverts what lies below, like the inverting
    // raster operation: drawing the same band twice restores the picture.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 0));
    painter.setBrush(Qt::NoBrush);
    for (const OverlayShape& s : shapes) {
        if (s.kind == OverlayShape::Line)
            painter.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
        else
            painter.drawEllipse(QRect(QPoint(s.from.x, s.from.y), QPoint(s.to.x, s.to.y)));
    }
}

QRect CanvasView::overlayBounds() const {
    QRect bounds;
    for (const OverlayShape& s : RubberBandShapes(m_canvas))
        bounds = bounds.united(shapeBounds(s));
    return bounds;
}

void CanvasView::handleMouse(MouseEvent::Kind kind, QPoint position, bool leftDown) {
    if (!m_canvas.picture())
        return;
    // The pointer here ends a gesture another window started.
    if (m_remote && kind != MouseEvent::Move) {
        cancelGesture();
        m_remote = false;
    }
    if (m_remote)
        return;
    const QRect before = overlayBounds();
    MouseEvent event;
    event.kind = kind;
    event.position = {position.x(), position.y()};
    event.leftDown = leftDown;
    // A fill of a big picture takes a moment.
    std::optional<WaitCursor> wait;
    if (kind == MouseEvent::LeftPress &&
        tool::ClassOf(m_canvas.state().currentTool) == tool::FillClass)
        wait.emplace(m_host.ui());
    const ToolResponse response = HandleMouse(m_canvas, event);
    wait.reset();
    record(response.changed);
    act(response, position, before);
}

namespace {

// The canvas's zoom set to 1:1 while another window's gesture is handled.
class OneToOne {
public:
    explicit OneToOne(Canvas& canvas) : m_canvas(canvas), m_kept(canvas.zoom()) {
        const CellImage* picture = canvas.picture();
        canvas.zoom().Reset(picture ? picture->width() : 0, picture ? picture->height() : 0);
    }
    ~OneToOne() { m_canvas.zoom() = m_kept; }
    OneToOne(const OneToOne&) = delete;
    OneToOne& operator=(const OneToOne&) = delete;

private:
    Canvas& m_canvas;
    Zoom m_kept;
};

} // namespace

ToolResponse CanvasView::handleRemoteMouse(MouseEvent::Kind kind, Point pixel, bool leftDown) {
    if (!m_canvas.picture())
        return {};
    if (!m_remote) {
        // A gesture of this window's own gives way first.
        cancelGesture();
        m_remote = true;
    }
    MouseEvent event;
    event.kind = kind;
    event.position = pixel;
    event.leftDown = leftDown;
    ToolResponse response;
    {
        const OneToOne oneToOne(m_canvas);
        response = HandleMouse(m_canvas, event);
    }
    record(response.changed);
    if (!response.changed.empty()) {
        invalidateImage(response.changed, false);
        emit pictureChanged();
    }
    const GestureState& gesture = m_canvas.gesture();
    if (!m_canvas.state().strokeActive && !gesture.rubberEllipse && !gesture.rubberRect &&
        !gesture.rubberPolyline)
        m_remote = false;
    return response;
}

std::vector<OverlayShape> CanvasView::remoteRubberBands() {
    if (!m_remote)
        return {};
    const OneToOne oneToOne(m_canvas);
    return RubberBandShapes(m_canvas);
}

void CanvasView::record(const Rect& changed) {
    UndoHistory& history = m_host.app().history;
    if (!changed.empty())
        history.Touched(m_lane, changed);
    if (m_canvas.state().strokeActive)
        return;
    const bool couldUndo = history.canUndo(m_lane);
    const bool couldRedo = history.canRedo(m_lane);
    history.Commit(m_lane, true);
    if (history.canUndo(m_lane) != couldUndo || history.canRedo(m_lane) != couldRedo)
        m_host.refreshToolbar();
}

void CanvasView::cancelGesture() {
    m_remote = false;
    GestureState& gesture = m_canvas.gesture();
    const bool rubber = gesture.rubberEllipse || gesture.rubberRect || gesture.rubberPolyline;
    if (!m_canvas.state().strokeActive && !rubber)
        return;
    const QRect overlay = overlayBounds();
    m_canvas.state().strokeActive = false;
    gesture.clearRubber();
    gesture.pointCount = 0;
    m_host.app().history.Discard(m_lane);
    m_host.restoreToolPaneText();
    update(overlay);
    update();
}

void CanvasView::act(const ToolResponse& r, QPoint position, const QRect& overlayBefore) {
    // Redrawn too when the window moves to a screen of another pixel ratio.
    if (r.cursor != m_cursor || devicePixelRatioF() != m_cursorRatio) {
        m_cursor = r.cursor;
        m_cursorRatio = devicePixelRatioF();
        setCursor(ToolCursors::cursor(r.cursor, m_cursorRatio));
    }
    if (r.status)
        m_host.setStatusText(QString::fromStdString(*r.status));
    if (r.restoreToolName)
        m_host.restoreToolPaneText();
    if (r.overlayChanged) {
        const QRect area = overlayBefore.united(overlayBounds());
        if (!area.isEmpty())
            update(area);
    }
    if (!r.changed.empty()) {
        invalidateImage(r.changed, r.updateNow);
        emit pictureChanged();
    }
    if (r.openPopup)
        openPopup(position);
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        handleMouse(MouseEvent::LeftPress, p, true);
    else if (event->button() == Qt::RightButton)
        handleMouse(MouseEvent::RightPress, p, (event->buttons() & Qt::LeftButton) != 0);
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    handleMouse(MouseEvent::Move, event->position().toPoint(),
                (event->buttons() & Qt::LeftButton) != 0);
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        handleMouse(MouseEvent::LeftRelease, event->position().toPoint(), false);
}

void CanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        handleMouse(MouseEvent::LeftDoubleClick, event->position().toPoint(), true);
    else if (event->button() == Qt::RightButton)
        handleMouse(MouseEvent::RightPress, event->position().toPoint(), false);
}

void CanvasView::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event->text(), mapFromGlobal(QCursor::pos())))
        QWidget::keyPressEvent(event);
}

bool CanvasView::pointerOverVisiblePicture(QPoint position) const {
    const QRect area = visibleArea ? visibleArea() : rect();
    const Rect visible{area.left(), area.top(), area.left() + area.width(),
                       area.top() + area.height()};
    return PointerOverVisiblePicture(m_canvas.zoom(), {position.x(), position.y()}, visible,
                                     m_canvas.width(), m_canvas.height());
}

bool CanvasView::handleKey(const QString& text, QPoint pointer) {
    if (text.size() != 1 || !m_canvas.picture())
        return false;
    const QChar key = text.at(0);
    if (key != '+' && key != '-' && key != ' ')
        return false;
    const Point image = m_canvas.zoom().toImage(Point{pointer.x(), pointer.y()});
    const bool over = pointerOverVisiblePicture(pointer);
    if (key == ' ') {
        if (over) {
            m_zoomCentre = image;
            popupCommand(Command::Eyedropper);
        }
        return true;
    }
    if (over) {
        m_zoomCentre = image;
    } else {
        const QRect area = visibleArea ? visibleArea() : rect();
        m_zoomCentre = m_canvas.zoom().toImage(
            Point{area.left() + area.width() / 2, area.top() + area.height() / 2});
    }
    const Command command =
        CommandTable::commandForZoomCode(m_canvas.zoom().code() + (key == '+' ? 1 : -1));
    if (command != Command::None)
        QTimer::singleShot(0, this, [this, command] { emit zoomRequested(command); });
    return true;
}

std::unique_ptr<QMenu> CanvasView::makePopupMenu(QPoint position) {
    m_zoomCentre = m_canvas.zoom().toImage(Point{position.x(), position.y()});
    const Command checked = CommandTable::commandForZoomCode(m_canvas.zoom().code());
    auto menu = std::make_unique<QMenu>(this);
    auto addItem = [&](QMenu* to, Command command, const char* text) {
        QAction* a = to->addAction(QString::fromUtf8(text));
        a->setData(commandId(command));
        if (command == checked) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    };
    addItem(menu.get(), Command::Eyedropper, "スポイト");
    menu->addSeparator();
    QMenu* magnify = menu->addMenu(QStringLiteral("拡大"));
    for (const ZoomItem& item : MagnifyItems)
        addItem(magnify, item.command, item.text);
    addItem(menu.get(), Command::ZoomOne, "１倍");
    QMenu* reduce = menu->addMenu(QStringLiteral("縮小"));
    for (const ZoomItem& item : ReduceItems)
        addItem(reduce, item.command, item.text);
    menu->addSeparator();
    addItem(menu.get(), Command::Save, "保存");
    return menu;
}

void CanvasView::openPopup(QPoint position) {
    std::unique_ptr<QMenu> menu = makePopupMenu(position);
    QAction* chosen = menu->exec(mapToGlobal(position));
    if (chosen && chosen->data().isValid())
        popupCommand(commandFromId(chosen->data().toInt()));
}

void CanvasView::popupCommand(Command command) {
    m_popupCommands.run(command);
}

void CanvasView::registerPopupCommands() {
    m_popupCommands.on(Command::Eyedropper, [this] {
        const bool maskMode = m_canvas.surface().maskMode;
        if (m_canvas.Eyedropper(m_zoomCentre.x, m_zoomCentre.y) && !maskMode)
            m_host.refreshToolbar();
    });
    m_popupCommands.on(Command::Save, [this] { emit saveRequested(); });
    m_popupCommands.onRun(Command::ZoomEighth, Command::ZoomSixteen, [this](int index) {
        emit zoomRequested(commandAt(Command::ZoomEighth, index));
    });
}

} // namespace celdo
