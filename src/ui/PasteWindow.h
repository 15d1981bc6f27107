#pragma once

#include "canvas/PasteSession.h"
#include "core/Rect.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QMenu;

namespace celdo {

class CanvasView;
class EditorHost;

// Ids of the paste window's popup menu.
namespace pastemenu {
inline constexpr int Tentative = 1188;    // "仮貼付..."
inline constexpr int LayDown = 1392;      // "貼付"
inline constexpr int OverlayPlain = 1393; // "そのまま重ねる"
inline constexpr int OverlayOver = 1394;  // "上から重ねる"
inline constexpr int OverlayUnder = 1395; // "下から重ねる"
inline constexpr int Frame = 1186;        // "枠を描く"
inline constexpr int Colours = 1184;      // "色の変換"
inline constexpr int Discard = 2;         // "廃棄"
} // namespace pastemenu

// The floating paste over a canvas: a child of the canvas view placed at the
// session's frame.  It turns mouse, key and menu input into session calls and
// draws what the session shows; composing and laying down are the session's.
class PasteWindow : public QWidget {
    Q_OBJECT
public:
    PasteWindow(EditorHost& host, CanvasView& canvas, std::unique_ptr<PasteSession> session);
    ~PasteWindow() override;

    PasteSession& session() { return *m_session; }

    // The canvas zoom changed: the frame keeps its place in image pixels.
    void canvasZoomChanged();

    // The popup menu with the present overlay mode and frame flag checked.
    // The caller owns the menu.
    std::unique_ptr<QMenu> makePopupMenu();
    // Carries out a popup menu item (pastemenu ids).
    void popupCommand(int id);

    // "仮貼付...": compose, ask, then lay down or go back.
    void tentativePaste();
    // "貼付": compose and lay down; the window closes either way.
    void pasteNow();
    // Closes without laying the paste down, as the menu's cancel does.
    void cancel() { finish(); }

signals:
    // The picture below changed in `changed` (image pixels).
    void laidDown(const celdo::Rect& changed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void placeAtFrame();
    void shownChanged();
    void showStatus();
    void layDownAndClose();
    // Closes the window and gives the tool pane back to the tool's name.
    void finish();

    EditorHost& m_host;
    CanvasView& m_canvas;
    std::unique_ptr<PasteSession> m_session;
    // The shown picture rendered once at 1:1; scaled without smoothing.
    QImage m_shown;
};

} // namespace celdo
