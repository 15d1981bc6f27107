#pragma once

#include <QString>

class QWidget;

namespace celdo {

class AppState;
class LoadSaveDispatch;
class Ui;

// What an image window needs from the main window of either build: the
// program-wide state, the Ui port, the load/save dispatch, the status bar and
// the command queue.  The main window implements it.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    virtual AppState& app() = 0;
    virtual Ui& ui() = 0;
    virtual LoadSaveDispatch& dispatch() = 0;
    // The top-level window, as the parent of dialogs.
    virtual QWidget* hostWindow() = 0;

    // Status pane 1: coordinates ("%d,%d" …).
    virtual void setStatusText(const QString& text) = 0;
    // Status pane 0: a temporary text, and back to the current tool's name.
    virtual void setToolPaneText(const QString& text) = 0;
    virtual void restoreToolPaneText() = 0;

    // Queues a command to the main window (as posting it would).
    virtual void postCommand(int command) = 0;
    // CM_REFRESH_TOOLBAR.
    virtual void refreshToolbar() = 0;
};

} // namespace celdo
