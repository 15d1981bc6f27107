#include "ui/BrushBoard.h"

#include "app/AppState.h"
#include "boards/BoardFiles.h"
#include "ui/BrushEditorWindow.h"
#include "ui/EditorHost.h"

#include <QKeyEvent>
#include <QPushButton>

namespace celdo {

BrushBoard::BrushBoard(EditorHost& host)
    : GridBoard(host, host.app().brushBoard, QStringLiteral("BrushList"),
                QStringLiteral("筆の選択"), QStringLiteral("読込"), QStringLiteral("編集"),
                QStringLiteral("保存")) {
    connect(leftButton(), &QPushButton::clicked, this, &BrushBoard::load);
    connect(middleButton(), &QPushButton::clicked, this, &BrushBoard::openEditor);
    connect(rightButton(), &QPushButton::clicked, this, &BrushBoard::save);
}

void BrushBoard::brushSetChanged() {
    setChanged();
}

const CellImage& BrushBoard::setImage() const {
    return host().app().brushes.image();
}

int BrushBoard::currentCell() const {
    return host().app().indexBrush;
}

void BrushBoard::cellPressed(int n) {
    AppState& app = host().app();
    if (n == app.indexBrush)
        return;
    const int old = app.indexBrush;
    app.indexBrush = n;
    app.brush = app.brushes.brush(n);
    updateCell(old);
    updateCell(n);
}

void BrushBoard::cellDoubleClicked(int n) {
    cellPressed(n);
    openEditor();
}

void BrushBoard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openEditor();
        return;
    }
    GridBoard::keyPressEvent(event);
}

BrushEditorWindow* BrushBoard::editor() const {
    return m_editor;
}

void BrushBoard::openEditor() {
    if (m_editor) {
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    // The board takes no clicks while its brush is being edited; the editor,
    // its child, stays usable.
    setEnabled(false);
    m_editor = new BrushEditorWindow(host().app(), this);
    m_editor->setEnabled(true);
    connect(m_editor, &BrushEditorWindow::stored, this, [this](int n) { cellChanged(n); });
    connect(m_editor, &QDialog::finished, this, [this] {
        m_editor = nullptr;
        setEnabled(true);
    });
    m_editor->open();
}

void BrushBoard::load() {
    AppState& app = host().app();
    if (!LoadBrushSetFile(app.brushes, app.writtenDataFile(BrushSetFileName).string(), host().ui(),
                          messageCaption()))
        return;
    app.indexBrush = app.brushes.clampIndex(app.indexBrush);
    app.brush = app.brushes.brush(app.indexBrush);
    setChanged();
}

void BrushBoard::save() {
    AppState& app = host().app();
    SaveBrushSetFile(app.brushes, app.writableDataFile(BrushSetFileName).string(), host().ui(),
                     messageCaption());
}

} // namespace celdo
