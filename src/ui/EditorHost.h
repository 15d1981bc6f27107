#pragma once

#include "app/Command.h"

#include <QString>

#include <string>
#include <vector>

class QKeyEvent;
class QWidget;

namespace celdo {

class AppState;
class LoadSaveDispatch;
struct FilterState;
class Ui;

// What an image window needs from the main window of either build: the
// program-wide state, the Ui port, the load/save dispatch, the status bar and
// the command queue, the plug-ins and the start of further instances.  The
// main window implements it.
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
    virtual void postCommand(Command command) = 0;
    // Command::RefreshToolbar at once.
    virtual void refreshToolbar() = 0;

    // The registered plug-ins and their filter lists.
    virtual FilterState& filters() = 0;
    // Starts another instance of the program with these arguments.
    virtual void startInstance(const std::vector<std::string>& arguments) = 0;

    // A key typed in a board that the board does not use: the main window
    // takes it as if it had been typed there.
    virtual void forwardKey(QKeyEvent* event) = 0;
    // Selects a palette index (paint kind 0) or a tone (1), or makes the tile
    // pattern current (2): through the palette board when it is open, so it
    // shows the choice, else directly in the colour selection.
    virtual void selectColour(int index, int paintKind) = 0;
};

} // namespace celdo
