#pragma once

#include "ui/GridBoard.h"

#include <QPointer>

namespace celdo {

class BrushEditorWindow;

// "筆の選択": the brush set.  A click makes a brush the current tip; a double
// click, Enter or "編集" opens the brush editor on it; "読込" and "保存" read
// and write the set's file.
class BrushBoard : public GridBoard {
    Q_OBJECT
public:
    explicit BrushBoard(EditorHost& host);

    // The set was replaced: its size may differ.
    void brushSetChanged();
    // Opens the editor on the current brush (or raises the open one).
    void openEditor();
    // The open editor, null when none is.
    BrushEditorWindow* editor() const;

protected:
    const CellImage& setImage() const override;
    int currentCell() const override;
    void cellPressed(int n) override;
    void cellDoubleClicked(int n) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();
    void save();

    QPointer<BrushEditorWindow> m_editor;
};

} // namespace celdo
