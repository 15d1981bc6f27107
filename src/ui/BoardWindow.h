#pragma once

#include "app/BoardPlacement.h"

#include <QSize>
#include <QWidget>

namespace celdo {

class EditorHost;

// What the three boards (palette, brushes, tiles) share: a small tool window
// with caption and close box that stays above the main window, opens at its
// stored offset from the main window, snaps every size to whole cells, passes
// the keys it does not use on to the main window, and records its place when
// it closes.  A board is deleted when it closes; its data lives on in the
// application state.
class BoardWindow : public QWidget {
    Q_OBJECT
public:
    // `state` is the board's stored place in the application state; it is
    // updated on every settled resize and when the board closes.
    BoardWindow(EditorHost& host, BoardState& state, const QString& objectName,
                const QString& caption);

    // Moves and sizes the board by the board placement rule beside the main
    // window (before it is shown); the snapping then settles the size.
    void placeBesideMainWindow();
    // Stores the offset from the main window and the size into the state.
    void recordPlacement();

protected:
    EditorHost& host() const { return m_host; }

    // The client size the board takes for a wanted size.  When a resize
    // arrives at another size the board resizes itself to this one.
    virtual QSize snappedSize(const QSize& wanted) const = 0;
    // The size is the snapped one: place the child widgets.
    virtual void layoutBoard() = 0;

    void resizeEvent(QResizeEvent* event) override;
    // Every key goes to the main window; boards that use a key handle it
    // first and call this for the rest.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    EditorHost& m_host;
    BoardState& m_state;
    // The last size asked for by snapping, so a window manager that refuses
    // it cannot make the board ask again and again.
    QSize m_asked;
};

} // namespace celdo
