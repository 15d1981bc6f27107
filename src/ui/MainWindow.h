#pragma once

#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/FilterCommands.h"
#include "app/LoadSaveDispatch.h"
#include "framework/qt/QtUi.h"
#include "ui/EditorHost.h"
#include "ui/FrameDialogs.h"

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMenu;
class QAction;

namespace celdo {

class ChildFrame;
class MainMenu;
class ImageWindow;
struct PaintSurface;
class ToolBarWidget;

// The main window of both builds.  The multiple-document build ("CeldoM")
// keeps its pictures in child frames of an MDI client area; the
// single-document build ("Celdos") hosts one image window directly on a
// white background and starts further instances for further pictures.
// Every menu, accelerator and toolbar command reaches executeCommand, which
// offers it to the handlers in the program's order before the active child.
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
    void postCommand(int command) override;
    void refreshToolbar() override;
    FilterState& filters() override { return m_filters; }
    void startInstance(const std::vector<std::string>& arguments) override {
        m_startInstance(arguments);
    }

    FrameVariant variant() const { return m_app.variant(); }

    // A command as the menu, an accelerator or the toolbar sends it.
    void executeCommand(int command);

    // UM_STARTUP: the command-line words, then the boards that were open.
    void startUp(const std::vector<CommandWord>& words);
    // Command-line words and dropped files of the multiple-document build,
    // in order: KCF files as the palette, everything else as pictures.
    void openFiles(const std::vector<CommandWord>& words);
    // The single-document build's rule for its words (dropped: the last
    // palette wins).
    void openFilesSingle(const std::vector<CommandWord>& words, bool dropped);
    // Files dropped on the window, in drop order.
    void dropFiles(const std::vector<std::string>& names);
    // UM_OPEN_NAMED_FILE and history entries: the already-open question,
    // then the load and a new image window.
    void openNamedFile(const std::string& path, bool showInfo);

    // The image windows, top of the stacking order first.
    std::vector<ImageWindow*> imageWindows() const;
    // UM_GET_ACTIVE_VIEW: the active image window (holding a picture), or null.
    ImageWindow* activeImageWindow() const;
    std::vector<ChildFrame*> childFrames() const;
    QMdiArea* clientArea() const { return m_mdi; }
    ToolBarWidget* toolBar() const { return m_toolBar; }
    QLabel* toolPane() const { return m_pane0; }
    QLabel* coordinatePane() const { return m_pane1; }
    QAction* action(int command) const;
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

    // The program's path, for starting further instances (single-document
    // build); tests replace the starter.
    using InstanceStarter = std::function<void(const std::vector<std::string>& arguments)>;
    void setInstanceStarter(InstanceStarter starter) { m_startInstance = std::move(starter); }

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

    bool handleHelpAndPalette(int command);
    bool handleToolsAndDialogs(int command);
    bool handleFileAndBars(int command);
    bool handleWindowCommands(int command);
    void handleDeclined(int command);

    void openLoadedImage();
    void paletteChanged();
    void selectTool(int code);
    void showDisplayInfo();
    void showHelp();
    void showOptions();
    PropertyPage addInPage();
    void newImage();
    void openClipboardImage();
    void fillOptions();
    void toggleToolBar();
    void toggleStatusBar();
    void customiseToolBar();
    void chooseStatusBarFont();
    void closeAll();
    void fitMainWindow();
    bool clipboardHasImage() const;
    std::vector<PaintSurface*> surfaces() const;
    int askAlreadyOpen(const QString& displayName);
    void shutDown();

    AppState& m_app;
    QtUi m_ui;
    LoadSaveDispatch m_dispatch;

    QMdiArea* m_mdi = nullptr;   // multiple-document build
    QWidget* m_single = nullptr; // single-document build: the white client
    ImageWindow* m_singleImage = nullptr;
    MainMenu* m_menu = nullptr;
    ToolBarWidget* m_toolBar = nullptr;
    QLabel* m_pane0 = nullptr;
    QLabel* m_pane1 = nullptr;
    QString m_toolName;

    InstanceStarter m_startInstance;
    // The plug-ins from start-up to shutdown.
    FilterState m_filters;
    bool m_shutDown = false;
};

} // namespace celdo
