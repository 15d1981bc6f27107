#pragma once

#include "app/CommandHandlers.h"
#include "canvas/Canvas.h"
#include "canvas/ToolGestures.h"
#include "history/UndoHistory.h"

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;

namespace celdo {

class AppState;
class EditorHost;

// The canvas of an image window ("Paper"): shows the picture (the mask view
// in mask edit mode) at its zoom, hands mouse input to the current tool and
// draws the rubber bands.  Only the exposed rectangle is rendered, so a huge
// magnified picture scrolls and repaints at the cost of the visible part.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    CanvasView(EditorHost& host, QWidget* parent = nullptr);
    ~CanvasView() override;

    Canvas& canvas() { return m_canvas; }
    const Canvas& canvas() const { return m_canvas; }

    // Takes the zoom's view size.
    void syncSize();
    // An image rectangle in window pixels of this widget.
    QRect windowRect(const Rect& image) const;
    // Repaints the window pixels over changed image pixels (at once with `now`).
    void invalidateImage(const Rect& changed, bool now = false);
    // The whole picture changed (or was replaced).
    void invalidateWhole();

    // A mouse message whose position is a pixel of the picture, from another
    // window that shows it (the set window): the same tools, masks and undo
    // steps as this canvas's own messages.  The gesture works at 1:1
    // whatever this canvas's zoom; its rubber band is the other window's to
    // draw (remoteRubberBands, in picture pixels).
    ToolResponse handleRemoteMouse(MouseEvent::Kind kind, Point pixel, bool leftDown);
    std::vector<OverlayShape> remoteRubberBands();
    // A gesture from another window is under way.
    bool remoteGesture() const { return m_remote; }

    // A mouse message in this widget's coordinates (the frame forwards the
    // ones over its margin too).
    void handleMouse(MouseEvent::Kind kind, QPoint position, bool leftDown);
    // The key handling of "+", "-" and space with the pointer at `pointer`
    // (widget coordinates).  False for other keys.
    bool handleKey(const QString& text, QPoint pointer);

    // The lane of the undo history the canvas's gestures are recorded in.
    void setUndoLane(UndoHistory::Lane lane) { m_lane = lane; }
    // Ends a gesture under way as cancelling it would: the rubber band goes
    // and what the gesture painted is taken back.
    void cancelGesture();

    // Where the view's centre of interest lies for the next zoom.
    Point zoomCentre() const { return m_zoomCentre; }
    void setZoomCentre(Point p) { m_zoomCentre = p; }

    // The popup menu for a right press at `position`: sets the zoom centre
    // and checks the present zoom.  The caller owns the menu.
    std::unique_ptr<QMenu> makePopupMenu(QPoint position);
    // Carries out a popup menu command: eyedropper, a zoom or save.
    void popupCommand(Command command);

    // The frame's visible client area in this widget's coordinates; by
    // default the widget's own rectangle.
    std::function<QRect()> visibleArea;

signals:
    // A zoom command from the popup menu or the keys, centred on zoomCentre.
    void zoomRequested(celdo::Command command);
    // The popup menu's 保存.
    void saveRequested();
    // The pointer's image position for the status bar changed.
    void pictureChanged();
    // Pixels of the picture changed (image pixels, right and bottom
    // exclusive): other views of the picture repaint them.
    void imageChanged(const celdo::Rect& changed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect overlayBounds() const;
    void act(const ToolResponse& response, QPoint position, const QRect& overlayBefore);
    void openPopup(QPoint position);
    bool pointerOverVisiblePicture(QPoint position) const;
    // A gesture's pixels into the history; when no gesture is under way any
    // more, its step closes.
    void record(const Rect& changed);
    void registerPopupCommands();

    EditorHost& m_host;
    Canvas m_canvas;
    Point m_zoomCentre;
    const char* m_cursor = nullptr;
    qreal m_cursorRatio = 0;
    CommandHandlers m_popupCommands;
    UndoHistory::Lane m_lane = UndoHistory::PaletteLane;
    bool m_remote = false;
};

// Connects the tools' hooks that the canvas side provides (soft dab, copy of
// a region) for the program's tool state; hooks already set are kept.
void WireCanvasHooks(AppState& app);

} // namespace celdo
