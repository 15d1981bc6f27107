#pragma once

#include "canvas/ToolGestures.h"
#include "canvas/Zoom.h"
#include "core/Point.h"
#include "core/Rect.h"

#include <QImage>
#include <QWidget>

namespace celdo {

class SetWindow;

// The page of a KiSS set at the set window's zoom.  The page is drawn by
// the engine into an image at 1:1 and scaled when shown; a change redraws
// only its rectangle.  While objects are being moved (or with the view-only
// tool) a drag moves the object under the pointer; otherwise, with a painting
// tool, a press on the selected cell paints it
// through its image window's canvas, so the same tools, masks and undo
// steps apply.  A double click opens the cell under the pointer.
class SetView : public QWidget {
    Q_OBJECT
public:
    explicit SetView(SetWindow& window);

    // Zoom codes as the image windows use them (−5 … 7, 0 is 1:1).
    bool SetZoomCode(int code);
    int zoomCode() const { return m_zoom.code(); }

    // Draws the whole page again (page, palette or set changed).
    void RedrawAll();
    // Draws a rectangle of the playfield again.
    void RedrawArea(const Rect& playfield);

    // Puts the object at `to` on the page and draws what it left and covers.
    void MoveObject(int page, int object, Point to);

    int selectedCell() const { return m_selected; }
    void SelectCell(int cell);

    // Window pixels of this widget to playfield pixels and back.
    Point toPlayfield(QPoint position) const;
    QRect windowRect(const Rect& playfield) const;
    const QImage& pageImage() const { return m_page; }

signals:
    // Text for the status bar: the pointer's place, the cell and object.
    void pointerText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void syncSize();
    void describe(Point at);
    // Hands a mouse message to the selected cell's canvas; false when there
    // is no window to paint in.
    bool paint(MouseEvent::Kind kind, Point at, bool leftDown);
    void startDrag(int cell, Point at);
    void drag(Point at);
    // The rubber band of a gesture started here, in window pixels.
    QRect overlayBounds() const;

    SetWindow& m_window;
    Zoom m_zoom;
    QImage m_page;
    int m_selected = -1;
    // A drag of an object: its number, where the press was and where the
    // object was then.
    int m_dragObject = -1;
    Point m_dragFrom;
    Point m_objectFrom;
    // The cell a gesture paints, while the gesture lasts.
    int m_paintCell = -1;
    bool m_painted = false;
    QRect m_overlay;
};

} // namespace celdo
