#include "ui/SetView.h"

#include "app/AppState.h"
#include "canvas/ToolTable.h"
#include "framework/Ui.h"
#include "sets/SetPage.h"
#include "ui/CanvasView.h"
#include "ui/ImageWindow.h"
#include "ui/MainWindow.h"
#include "ui/SetController.h"
#include "ui/SetTexts.h"
#include "ui/SetWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace celdo {

namespace {

// Tools whose gestures paint the selected cell from the set window; the
// others (view only, region filter and copy, tile pick) keep to the image
// window.
bool paintsFromSet(int code) {
    switch (tool::ClassOf(code)) {
    case tool::BrushClass:
    case tool::EllipseClass:
    case tool::LineClass:
    case tool::FillClass:
        return true;
    case tool::RectClass:
        return code != tool::RegionFilter && code != tool::PartialCopy;
    default:
        return false;
    }
}

} // namespace

SetView::SetView(SetWindow& window) : QWidget(nullptr), m_window(window) {
    setObjectName(QStringLiteral("SetPage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    const CnfDocument& document = m_window.set().document();
    m_page = QImage(document.width(), document.height(), QImage::Format_RGB32);
    m_zoom.Reset(document.width(), document.height());
    syncSize();
}

void SetView::syncSize() {
    setFixedSize(m_zoom.viewWidth(), m_zoom.viewHeight());
}

bool SetView::SetZoomCode(int code) {
    if (!m_zoom.SetZoom(code, m_page.width(), m_page.height()))
        return false;
    syncSize();
    update();
    return true;
}

Point SetView::toPlayfield(QPoint position) const {
    return m_zoom.toImage(Point{position.x(), position.y()});
}

QRect SetView::windowRect(const Rect& playfield) const {
    const Rect w = m_zoom.toWindow(playfield);
    return QRect(w.left, w.top, w.width(), w.height());
}

void SetView::RedrawAll() {
    RedrawArea({0, 0, m_page.width(), m_page.height()});
}

void SetView::RedrawArea(const Rect& playfield) {
    const Rect area = playfield.intersected({0, 0, m_page.width(), m_page.height()});
    if (area.empty() || m_page.isNull())
        return;
    m_window.controller().Attach(m_window.set());
    const std::size_t stride = static_cast<std::size_t>(m_page.bytesPerLine()) / 4;
    auto* pixels = reinterpret_cast<std::uint32_t*>(m_page.bits()) +
                   static_cast<std::size_t>(area.top) * stride +
                   static_cast<std::size_t>(area.left);
    RenderSetPage(m_window.set(), m_window.pageView(), area, pixels, stride);
    // Reduced views round; a pixel more on each side covers the rounding.
    update(windowRect(area).adjusted(-1, -1, 1, 1));
}

void SetView::SelectCell(int cell) {
    if (cell == m_selected)
        return;
    const KissSet& set = m_window.set();
    const int page = m_window.page();
    if (m_selected >= 0)
        update(windowRect(set.cellBounds(page, m_selected)).adjusted(-2, -2, 2, 2));
    m_selected = cell;
    if (m_selected >= 0)
        update(windowRect(set.cellBounds(page, m_selected)).adjusted(-2, -2, 2, 2));
}

void SetView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    // The playfield pixels under the exposed part, drawn scaled without
    // smoothing so every pixel stays a sharp square.
    const Rect wanted = m_zoom.toImage(
        Rect{exposed.left(), exposed.top(), exposed.right() + 1, exposed.bottom() + 1});
    const Rect source =
        Rect{wanted.left - 1, wanted.top - 1, wanted.right + 1, wanted.bottom + 1}.intersected(
            {0, 0, m_page.width(), m_page.height()});
    if (!source.empty())
        painter.drawImage(windowRect(source), m_page,
                          QRect(source.left, source.top, source.width(), source.height()));

    if (m_selected >= 0) {
        const Rect bounds = m_window.set().cellBounds(m_window.page(), m_selected);
        if (!bounds.empty()) {
            QPen pen(Qt::white, 0, Qt::DashLine);
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(windowRect(bounds).adjusted(-1, -1, 0, 0));
        }
    }
    if (m_paintCell >= 0) {
        if (ImageWindow* holder = m_window.controller().windowOfCell(m_window.set(), m_paintCell)) {
            const Rect bounds = m_window.set().cellBounds(m_window.page(), m_paintCell);
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            painter.setPen(QPen(Qt::white, 0));
            painter.setBrush(Qt::NoBrush);
            const auto toWindow = [&](Point p) {
                const Point w = m_zoom.toWindow(Point{p.x + bounds.left, p.y + bounds.top});
                return QPoint(w.x, w.y);
            };
            for (const OverlayShape& s : holder->canvasView()->remoteRubberBands()) {
                if (s.kind == OverlayShape::Line)
                    painter.drawLine(toWindow(s.from), toWindow(s.to));
                else
                    painter.drawEllipse(QRect(toWindow(s.from), toWindow(s.to)));
            }
        }
    }
}

QRect SetView::overlayBounds() const {
    if (m_paintCell < 0)
        return {};
    return windowRect(m_window.set().cellBounds(m_window.page(), m_paintCell))
        .adjusted(-2, -2, 2, 2);
}

void SetView::describe(Point at) {
    const KissSet& set = m_window.set();
    QString text = QStringLiteral("(%1, %2)").arg(at.x).arg(at.y);
    Point pixel;
    const int cell = cellUnderPoint(set, m_window.pageView(), at, &pixel);
    if (cell >= 0) {
        const CnfCell& c = set.document().cells()[static_cast<std::size_t>(cell)];
        text += QStringLiteral("  セル %1  物体 #%2  セルの (%3, %4)")
                    .arg(cellNameText(c))
                    .arg(c.object)
                    .arg(pixel.x)
                    .arg(pixel.y);
        const int fix = set.document().objectFix(c.object);
        if (fix > 0)
            text += QStringLiteral("  固定 %1").arg(fix);
    }
    emit pointerText(text);
}

bool SetView::paint(MouseEvent::Kind kind, Point at, bool leftDown) {
    ImageWindow* holder = m_window.controller().windowOfCell(m_window.set(), m_paintCell);
    if (!holder)
        return false;
    const Rect bounds = m_window.set().cellBounds(m_window.page(), m_paintCell);
    const QRect before = overlayBounds();
    const ToolResponse response = holder->canvasView()->handleRemoteMouse(
        kind, Point{at.x - bounds.left, at.y - bounds.top}, leftDown);
    if (!response.changed.empty())
        m_painted = true;
    if (response.status)
        m_window.showStatus(QString::fromStdString(*response.status));
    if (response.overlayChanged)
        update(before.united(overlayBounds()));
    return true;
}

void SetView::startDrag(int cell, Point at) {
    KissSet& set = m_window.set();
    const CnfCell& c = set.document().cells()[static_cast<std::size_t>(cell)];
    const int fix = set.document().objectFix(c.object);
    if (fix > 0) {
        const QString text =
            QStringLiteral("物体 #%1 は固定されています（固定値 %2）。動かしますか？")
                .arg(c.object)
                .arg(fix);
        if (m_window.ui().messageBox(text.toStdString(), "CELDO", MessageIcon::Question,
                                     MessageButtons::YesNo) != answer::Yes)
            return;
    }
    m_dragObject = c.object;
    m_dragFrom = at;
    m_objectFrom = set.document().objectPosition(m_window.page(), c.object);
}

void SetView::drag(Point at) {
    KissSet& set = m_window.set();
    const int page = m_window.page();
    const Point to{m_objectFrom.x + at.x - m_dragFrom.x, m_objectFrom.y + at.y - m_dragFrom.y};
    if (to == set.document().objectPosition(page, m_dragObject))
        return;
    MoveObject(page, m_dragObject, to);
    m_window.ObjectMoved();
}

void SetView::MoveObject(int page, int object, Point to) {
    KissSet& set = m_window.set();
    const Rect before = set.objectBounds(page, object);
    set.document().SetObjectPosition(page, object, to);
    const Rect after = set.objectBounds(page, object);
    // The selection outline moves with the object.
    const auto outline = [](const Rect& r) {
        return Rect{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
    };
    RedrawArea(outline(before).united(outline(after)));
}

void SetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Point at = toPlayfield(event->position().toPoint());
    KissSet& set = m_window.set();
    const int code = m_window.controller().mainWindow().app().editing.currentTool;
    const bool moving = m_window.movingObjects() || code == tool::ViewOnly;
    if (!moving && paintsFromSet(code) && m_selected >= 0 &&
        set.cellBounds(m_window.page(), m_selected).contains(at.x, at.y)) {
        m_paintCell = m_selected;
        if (set.fileOf(m_paintCell) >= 0 && !m_window.controller().windowOfCell(set, m_paintCell)) {
            // The cell is painted where it is edited: its image window.
            m_window.OpenCell(m_paintCell);
            m_window.activateWindow();
        }
        if (!paint(MouseEvent::LeftPress, at, true))
            m_paintCell = -1;
        return;
    }
    const int cell = cellUnderPoint(set, m_window.pageView(), at, nullptr);
    SelectCell(cell);
    if (cell < 0)
        return;
    if (moving)
        startDrag(cell, at);
    else if (paintsFromSet(code))
        m_window.showStatus(
            QStringLiteral("セル %1 を選びました。その上で押すと塗れます")
                .arg(cellNameText(set.document().cells()[static_cast<std::size_t>(cell)])));
}

void SetView::mouseMoveEvent(QMouseEvent* event) {
    const Point at = toPlayfield(event->position().toPoint());
    const bool left = (event->buttons() & Qt::LeftButton) != 0;
    if (m_paintCell >= 0)
        paint(MouseEvent::Move, at, left);
    else if (m_dragObject >= 0 && left)
        drag(at);
    describe(at);
}

void SetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Point at = toPlayfield(event->position().toPoint());
    if (m_paintCell >= 0) {
        const QRect before = overlayBounds();
        paint(MouseEvent::LeftRelease, at, false);
        // A polyline goes on after the release; other gestures end here.
        ImageWindow* holder = m_window.controller().windowOfCell(m_window.set(), m_paintCell);
        if (!holder || !holder->canvasView()->remoteGesture()) {
            m_paintCell = -1;
            if (holder && m_painted)
                m_window.RecordPaint(holder->undoLane());
            m_painted = false;
        }
        update(before);
    }
    if (m_dragObject >= 0) {
        const Point now = m_window.set().document().objectPosition(m_window.page(), m_dragObject);
        if (now != m_objectFrom)
            m_window.RecordMove(m_window.page(), m_dragObject, m_objectFrom, now);
    }
    m_dragObject = -1;
}

void SetView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const Point at = toPlayfield(event->position().toPoint());
    if (m_paintCell >= 0) {
        paint(MouseEvent::LeftDoubleClick, at, true);
        return;
    }
    const int cell = cellUnderPoint(m_window.set(), m_window.pageView(), at, nullptr);
    if (cell < 0)
        return;
    SelectCell(cell);
    m_dragObject = -1;
    m_window.OpenCell(cell);
}

} // namespace celdo
