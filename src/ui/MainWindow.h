#pragma once

#include "app/AppState.h"
#include "app/CommandHandlers.h"
#include "app/FilterCommands.h"
#include "app/LoadSaveDispatch.h"
#include "framework/qt/QtUi.h"
#include "ui/AutoSaver.h"
#include "ui/BoardWindows.h"
#include "ui/DocumentController.h"
#include "ui/EditorHost.h"
#include "ui/FrameDialogs.h"
#include "ui/SetController.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMenu;
class QAction;
class QUrl;

namespace celdo {

class ChildFrame;
class MainMenu;
class ImageWindow;
struct PaintSurface;
class ToolBarWidget;
class WindowArranger;

// The main window of both builds.  The multiple-document build ("CeldoM")
// keeps its pictures in child frames of an MDI client area; the
// single-document build ("Celdos") hosts one image window directly on a
// white background and starts further instances for further pictures.
// Every menu, accelerator and toolbar command reaches executeCommand, which
// offers it to the main window's handlers, then to the active child, then
// to the handlers of what the children decline.  Pictures arrive through
// documents(); the window commands are the arranger's.
class MainWindow : public QMainWindow, public EditorHost {
    Q_OBJECT
public:
    explicit MainWindow(AppState& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    // EditorHost
    AppState& app() override { return m_app; }
    Ui& ui() override { return m_ui; }
    LoadSaveDispatch& dispatch() override { return m_dispatch; }
    QWidget* hostWindow() override { return this; }
    void setStatusText(const QString& text) override;
    void setToolPaneText(const QString& text) override;
    void restoreToolPaneText() override;
    void postCommand(Command command) override;
    void refreshToolbar() override;
    FilterState& filters() override { return m_filters; }
    void startInstance(const std::vector<std::string>& arguments) override {
        m_startInstance(arguments);
    }
    void forwardKey(QKeyEvent* event) override;
    void selectColour(int index, int paintKind) override;

    BoardWindows& boards() { return m_boards; }
    // After the command-line files at start-up: the boards open that were
    // open at the last exit.
    void openBoardsAtStartUp();

    FrameVariant variant() const { return m_app.variant(); }

    // A command as the menu, an accelerator or the toolbar sends it.
    void executeCommand(Command command);

    DocumentController& documents() { return m_documents; }
    SetController& sets() { return m_sets; }
    // Undo (or redo) of a lane's latest step, after ending the gestures and
    // pastes under way.
    void StepHistory(UndoHistory::Lane lane, bool redo);
    AutoSaver& autoSaver() { return m_autoSaver; }

    // The image windows, top of the stacking order first.
    std::vector<ImageWindow*> imageWindows() const;
    // Command::GetActiveView: the active image window (holding a picture), or
    // null.
    ImageWindow* activeImageWindow() const;
    std::vector<ChildFrame*> childFrames() const;
    // The client area of the multiple-document build, else null.
    QMdiArea* clientArea() const { return m_mdi; }
    // The one image window of the single-document build, else null.
    ImageWindow* singleImageWindow() const { return m_singleImage; }
    ToolBarWidget* toolBar() const { return m_toolBar; }
    QLabel* toolPane() const { return m_pane0; }
    QLabel* coordinatePane() const { return m_pane1; }
    QAction* action(Command command) const;
    QMenu* popup(int position) const;

    // Recomputes the enable and check marks of every item (what happens
    // whenever a popup of the menu bar opens).
    void updateMenuState();
    // The "ファイル" popup's file history and the "パレット" popup's palette
    // history, rebuilt when they open.
    void rebuildFileHistoryMenu();
    void rebuildPaletteHistoryMenu();

    // Shows the current tool's name in status pane 0.
    void showToolName();
    // Re-lays out the client area after a bar was shown or hidden.
    void layoutClientArea();
    // Single-document build: the window fits itself around its picture.
    void fitMainWindow();

    // The program's path, for starting further instances (single-document
    // build); tests replace the starter.
    using InstanceStarter = std::function<void(const std::vector<std::string>& arguments)>;
    void setInstanceStarter(InstanceStarter starter) { m_startInstance = std::move(starter); }

    // Hands a document to the desktop (the help); false when it failed.
    // Tests replace the opener.
    using UrlOpener = std::function<bool(const QUrl& url)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // True once the close was agreed and the settings were written.
    bool shutDownDone() const { return m_shutDown; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    void buildAccelerators();
    void buildStatusBar();
    void buildClientArea();
    // The handlers in the program's order: the main window's own, then (in
    // executeCommand) the active child, then what the child declined.
    void registerCommands();
    ChildFrame* activeChildFrame() const;
    void dispatchCommand(Command command);

    void paletteChanged();
    // A palette board command through the engine, then to every picture.
    void runPaletteCommand(Command command);
    // The lane Ctrl+Z and Ctrl+Y work on: the palette's while the palette
    // board is the active window or no picture is open, else the active
    // image window's.
    UndoHistory::Lane undoLane() const;
    // Undo (or redo) on the lane of the active window.
    void stepHistory(bool redo) { StepHistory(undoLane(), redo); }
    // The pictures' lanes, for a step over all of them.
    std::vector<UndoHistory::Lane> pictureLanes() const;
    void selectTool(int code);
    void showDisplayInfo();
    void showHelp();
    void showOptions();
    PropertyPage addInPage();
    void fillOptions();
    void toggleToolBar();
    void toggleStatusBar();
    void customiseToolBar();
    void chooseStatusBarFont();
    // Pane 0 is wide enough for every tool's name in the bar's font.
    void fitToolPane();
    std::vector<PaintSurface*> surfaces() const;
    void shutDown();
    // The stored place from the last run, when it is on a screen.
    void restorePlacement();
    // The place and size to write at exit.
    void rememberPlacement();

    AppState& m_app;
    QtUi m_ui;
    LoadSaveDispatch m_dispatch;
    DocumentController m_documents{*this};
    BoardWindows m_boards{*this};
    SetController m_sets{*this};

    QMdiArea* m_mdi = nullptr;   // multiple-document build
    QWidget* m_single = nullptr; // single-document build: the white client
    ImageWindow* m_singleImage = nullptr;
    std::unique_ptr<WindowArranger> m_arranger; // multiple-document build
    MainMenu* m_menu = nullptr;
    ToolBarWidget* m_toolBar = nullptr;
    QLabel* m_pane0 = nullptr;
    QLabel* m_pane1 = nullptr;
    QString m_toolName;

    CommandHandlers m_commands;
    CommandHandlers m_declined;
    InstanceStarter m_startInstance;
    UrlOpener m_openUrl;
    // The plug-ins from start-up to shutdown.
    FilterState m_filters;
    bool m_shutDown = false;
    // Last, so it is gone before the windows whose close it watches.
    AutoSaver m_autoSaver{*this};
};

} // namespace celdo
