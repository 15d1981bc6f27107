#include "ui/PasteWindow.h"

#include "app/AppState.h"
#include "canvas/Zoom.h"
#include "canvas/qt/PictureRenderer.h"
#include "framework/Ui.h"
#include "palette/ColourConverterDialogs.h"
#include "ui/CanvasView.h"
#include "ui/EditorHost.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <utility>

namespace celdo {

namespace {

constexpr const char* Caption = "Celdos";

PasteZoom pasteZoomOf(const Zoom& zoom) {
    return {zoom.mode(), zoom.factor()};
}

Qt::CursorShape cursorShapeOf(PasteCursor cursor) {
    switch (cursor) {
    case PasteCursor::DiagonalDown:
        return Qt::SizeFDiagCursor;
    case PasteCursor::DiagonalUp:
        return Qt::SizeBDiagCursor;
    case PasteCursor::Vertical:
        return Qt::SizeVerCursor;
    case PasteCursor::Horizontal:
        return Qt::SizeHorCursor;
    case PasteCursor::FourWay:
        break;
    }
    return Qt::SizeAllCursor;
}

struct MenuItem {
    int id;
    const char* text;
};

} // namespace

PasteWindow::PasteWindow(EditorHost& host, CanvasView& canvas,
                         std::unique_ptr<PasteSession> session)
    : QWidget(&canvas), m_host(host), m_canvas(canvas), m_session(std::move(session)) {
    setObjectName("PasteWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::SizeAllCursor);
    shownChanged();
    placeAtFrame();
}

PasteWindow::~PasteWindow() = default;

void PasteWindow::placeAtFrame() {
    const Rect& f = m_session->frame();
    setGeometry(f.left, f.top, f.width(), f.height());
}

void PasteWindow::shownChanged() {
    const CellImage* shown = m_session->shown();
    if (!shown) {
        m_shown = QImage();
    } else {
        Zoom actual;
        actual.Reset(shown->width(), shown->height());
        m_shown = renderPicture(*shown, actual, QRect(0, 0, shown->width(), shown->height()));
    }
    update();
}

void PasteWindow::showStatus() {
    m_host.setToolPaneText(QStringLiteral("貼付"));
    m_host.setStatusText(QString::fromStdString(m_session->statusText()));
}

void PasteWindow::canvasZoomChanged() {
    m_session->canvasZoomChanged(pasteZoomOf(m_canvas.canvas().zoom()));
    placeAtFrame();
    update();
}

void PasteWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_shown.isNull())
        painter.fillRect(event->rect(), Qt::black);
    else
        painter.drawImage(rect(), m_shown);
    if (!m_host.app().editing.drawPasteFrame)
        return;
    // Difference with white inverts what lies below.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PasteWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        setFocus();
        const QPoint at = mapToParent(p);
        m_session->press({p.x(), p.y()}, {at.x(), at.y()});
        return;
    }
    if (event->button() == Qt::RightButton) {
        raise();
        QPointer<PasteWindow> alive(this);
        std::unique_ptr<QMenu> menu = makePopupMenu();
        QAction* chosen = menu->exec(mapToGlobal(p));
        // The image window may have closed while the menu was open; the
        // menu then went with this window.
        if (!alive) {
            (void)menu.release();
            return;
        }
        if (chosen && chosen->data().isValid())
            popupCommand(chosen->data().toInt());
    }
}

void PasteWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_session->grabZone() < 0) {
        setCursor(cursorShapeOf(pasteZoneCursor(pasteZone(p.x(), p.y(), width(), height()))));
        return;
    }
    const QPoint at = mapToParent(p);
    const QSize before = size();
    if (!m_session->dragTo({at.x(), at.y()}))
        return;
    placeAtFrame();
    if (size() != before)
        update();
    showStatus();
}

void PasteWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_session->release();
}

void PasteWindow::keyPressEvent(QKeyEvent* event) {
    const int step = m_session->arrowStep();
    QPoint move;
    switch (event->key()) {
    case Qt::Key_Left:
        move = QPoint(-step, 0);
        break;
    case Qt::Key_Right:
        move = QPoint(step, 0);
        break;
    case Qt::Key_Up:
        move = QPoint(0, -step);
        break;
    case Qt::Key_Down:
        move = QPoint(0, step);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    QCursor::setPos(QCursor::pos() + move);
}

std::unique_ptr<QMenu> PasteWindow::makePopupMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const int overlayItem = pastemenu::OverlayPlain + m_session->overlayMode();
    auto add = [&](const MenuItem& item, bool checked) {
        QAction* a = menu->addAction(QString::fromUtf8(item.text));
        a->setData(item.id);
        if (checked) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    };
    add({pastemenu::Tentative, "仮貼付..."}, false);
    add({pastemenu::LayDown, "貼付"}, false);
    menu->addSeparator();
    for (const MenuItem& item : {MenuItem{pastemenu::OverlayPlain, "そのまま重ねる"},
                                 MenuItem{pastemenu::OverlayOver, "上から重ねる"},
                                 MenuItem{pastemenu::OverlayUnder, "下から重ねる"}})
        add(item, item.id == overlayItem);
    menu->addSeparator();
    add({pastemenu::Frame, "枠を描く"}, m_host.app().editing.drawPasteFrame);
    add({pastemenu::Colours, "色の変換"}, false);
    menu->addSeparator();
    add({pastemenu::Discard, "廃棄"}, false);
    return menu;
}

void PasteWindow::popupCommand(int id) {
    switch (id) {
    case pastemenu::Tentative:
        tentativePaste();
        break;
    case pastemenu::LayDown:
        pasteNow();
        break;
    case pastemenu::OverlayPlain:
    case pastemenu::OverlayOver:
    case pastemenu::OverlayUnder:
        m_session->setOverlayMode(id - pastemenu::OverlayPlain);
        break;
    case pastemenu::Frame: {
        bool& frame = m_host.app().editing.drawPasteFrame;
        frame = !frame;
        // Every paste window draws by the same flag.
        for (PasteWindow* w : m_canvas.findChildren<PasteWindow*>())
            w->update();
        break;
    }
    case pastemenu::Colours:
        RunColourConversionDialog(m_host.ui(), m_session->converter(),
                                  m_host.app().palette.current(), [this] { shownChanged(); });
        shownChanged();
        break;
    case pastemenu::Discard:
        finish();
        break;
    default:
        break;
    }
}

void PasteWindow::finish() {
    // The tool pane showed "貼付" while the paste was moved.
    m_host.restoreToolPaneText();
    close();
}

void PasteWindow::layDownAndClose() {
    const Rect changed = m_session->layDown(m_canvas.canvas().surface());
    finish();
    if (!changed.empty())
        emit laidDown(changed);
}

void PasteWindow::tentativePaste() {
    bool& frame = m_host.app().editing.drawPasteFrame;
    const bool framed = frame;
    frame = false;
    if (!m_session->compose(m_canvas.canvas().surface(), m_host.app().palette.current())) {
        frame = framed;
        return;
    }
    shownChanged();
    repaint();
    QPointer<PasteWindow> alive(this);
    const int reply = m_host.ui().messageBox("このまま貼付けますか？", Caption,
                                             MessageIcon::Question, MessageButtons::YesNo);
    frame = framed;
    if (!alive)
        return;
    if (reply == answer::Yes) {
        layDownAndClose();
        return;
    }
    m_session->dropPreview();
    shownChanged();
}

void PasteWindow::pasteNow() {
    if (m_session->compose(m_canvas.canvas().surface(), m_host.app().palette.current()))
        layDownAndClose();
    else
        finish();
}

} // namespace celdo
