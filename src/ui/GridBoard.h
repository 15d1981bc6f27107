#pragma once

#include "boards/BoardGeometry.h"
#include "ui/BoardWindow.h"

#include <QImage>

#include <string>

class QPushButton;
class QScrollBar;

namespace celdo {

class CellImage;

// The brush and tile boards: a set picture cut into 16 × 16 cells shown 18
// pixels apart, a scroll bar choosing the first visible row, the current
// cell framed in black, and three buttons along the bottom.  The derived
// board supplies the set and what a click does.
class GridBoard : public BoardWindow {
    Q_OBJECT
public:
    QScrollBar* scrollBar() const { return m_scrollBar; }
    QPushButton* leftButton() const { return m_left; }
    QPushButton* middleButton() const { return m_middle; }
    QPushButton* rightButton() const { return m_right; }
    int firstRow() const;
    // The layout for the present height.
    BoardGeometry grid() const;

protected:
    GridBoard(EditorHost& host, BoardState& state, const QString& objectName,
              const QString& caption, const QString& leftText, const QString& middleText,
              const QString& rightText);

    virtual const CellImage& setImage() const = 0;
    virtual int currentCell() const = 0;
    // A left press (or the press of a double click) on cell n.
    virtual void cellPressed(int n) = 0;
    virtual void cellDoubleClicked(int n) { cellPressed(n); }

    // The set was replaced or recoloured: it may have other columns and rows.
    void setChanged();
    // The pixels of cell n changed.
    void cellChanged(int n);
    // Repaints the frame area of cell n (when it is visible).
    void updateCell(int n);
    // The caption of messages: the main window's title.
    std::string messageCaption() const;

    QSize snappedSize(const QSize& wanted) const override;
    void layoutBoard() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int cellAt(const QPoint& point) const;

    QScrollBar* m_scrollBar = nullptr;
    QPushButton* m_left = nullptr;
    QPushButton* m_middle = nullptr;
    QPushButton* m_right = nullptr;
    // The set picture for painting; rebuilt on the next paint after a change.
    QImage m_picture;
};

} // namespace celdo
