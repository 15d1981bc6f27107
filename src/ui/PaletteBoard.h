#pragma once

#include "app/Command.h"
#include "boards/PaletteBoardLayout.h"
#include "ui/BoardWindow.h"

#include <QImage>
#include <QPoint>

#include <functional>
#include <initializer_list>

class QAction;
class QMenu;
class QScrollBar;

namespace celdo {

// The palette board: the current colour group's 256 colours in a 16 × 16
// grid (as many rows as the size allows, the rest scrolled), the current
// colour or pattern, the border colour and the 17 tones of the left and right
// colours.  A press chooses a colour or a tone; dragging one colour onto
// another offers the two-colour operations; the right button offers the
// one-colour ones.  The board only chooses: the operations are commands the
// main window runs, and it calls paletteChanged() after them.
class PaletteBoard : public BoardWindow {
    Q_OBJECT
public:
    explicit PaletteBoard(EditorHost& host);

    // Select with drawing: index (kind 0) or tone number (kind 1), or kind 2
    // (the tile pattern as it stands).  Repaints the old and new marks and
    // the preview.
    void select(int index, int paintKind);
    // The palette, colour group, left/right/border colours or selection
    // changed: rebuild the swatches and repaint everything.
    void paletteChanged();

    QMenu* colourMenu() const { return m_colourMenu; }
    QMenu* dropMenu() const { return m_dropMenu; }

    // How a menu is run (QMenu::exec by default); tests replace it to choose
    // an action.  An empty runner restores the default.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
    static void setMenuRunner(MenuRunner runner);

    int cellWidth() const { return m_layout.cellWidth; }
    int cellHeight() const { return m_layout.cellHeight; }
    int visibleRows() const { return m_layout.visibleRows; }
    int firstRow() const { return m_firstRow; }
    QScrollBar* scrollBar() const { return m_scrollBar; }

protected:
    QSize snappedSize(const QSize& wanted) const override;
    void layoutBoard() override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Gesture { Idle, Pressed, Dragging };

    // A menu item; no text makes a separator.
    struct MenuItem {
        const char* text;
        Command command;
    };
    QMenu* buildMenu(std::initializer_list<MenuItem> items);
    // Runs a menu at the pointer and posts the chosen item's command.
    void runMenu(QMenu& menu, const QPoint& globalPos);
    void endDrag();
    // Where the mark of the paint kind shows: the frame round the current
    // colour, the lines at the current tone; empty when nothing shows.
    QRect markArea() const;
    void rebuildToneStrip();
    QImage previewPattern() const;

    PaletteBoardLayout m_layout;
    // The layout snappedSize() last asked for; taken by layoutBoard() when
    // the size arrives, since working it out again from its own size could
    // give other cells.
    mutable PaletteBoardLayout m_asked;
    int m_firstRow = 0;
    QScrollBar* m_scrollBar = nullptr;
    QMenu* m_colourMenu = nullptr;
    QMenu* m_dropMenu = nullptr;
    QImage m_toneStrip;

    Gesture m_gesture = Gesture::Idle;
    QPoint m_pressPoint;
    bool m_pressOnCell = false;
};

} // namespace celdo
