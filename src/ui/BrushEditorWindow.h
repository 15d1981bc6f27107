#pragma once

#include "boards/Brush.h"
#include "boards/BrushEditor.h"

#include <QDialog>

class QPushButton;

namespace celdo {

class AppState;

// "筆先の編集": edits a copy of the current brush tip, cell by cell and with
// whole-shape operations.  "保存" makes the copy the current brush and
// writes it into its cell of the brush set; "取消" and the close box leave
// both untouched.
class BrushEditorWindow : public QDialog {
    Q_OBJECT
public:
    BrushEditorWindow(AppState& app, QWidget* parent);

    const Brush& workingBrush() const { return m_brush; }
    BrushEditorGrid grid() const { return BrushEditorGrid::forClientWidth(width()); }

signals:
    // The working copy went into the current brush and the set (cell n).
    void stored(int n);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPushButton* addButton(const QString& text, void (*operation)(Brush&));
    void layoutButtons();
    void store();

    AppState& m_app;
    Brush m_brush;
    BrushCellPainter m_painter;
    // Rows of buttons from the top: operations, shifts, store and cancel.
    QList<QPushButton*> m_rows[3];
    QSize m_asked;
};

} // namespace celdo
