#pragma once

#include "app/CommandTable.h"

#include <QList>
#include <QObject>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QMdiArea;
class QMenu;
class QMenuBar;

namespace celdo {

class AppState;
struct PaintSurface;

// The menu bar "MainMenu" of either build: popups and items from the command
// table, the enable and check rules recomputed whenever a popup opens, the
// file history after "終了", the palette history of "パレット" and the window
// list of "窓の操作".  Every item asks for its command through
// commandRequested.
class MainMenu : public QObject {
    Q_OBJECT
public:
    // What the rules read of the active picture; the main window supplies it
    // when a popup opens.
    struct PictureState {
        const PaintSurface* surface = nullptr; // null without an image window
        Command zoomCommand = Command::ZoomOne;
        bool clipboardHasPicture = false;
        bool canUndo = false;
        bool canRedo = false;
    };
    using PictureStateSource = std::function<PictureState()>;

    // `mdi` is the client area of the multiple-document build, else null.
    MainMenu(QMenuBar* bar, AppState& app, QMdiArea* mdi, PictureStateSource pictureState,
             QObject* parent = nullptr);

    // The menu item of a command of the table, or null.
    QAction* action(Command command) const;
    QMenu* popup(int position) const { return m_popups.value(position); }

    void updateState();
    void rebuildFileHistory();
    void rebuildPaletteHistory();

signals:
    void commandRequested(celdo::Command command);

private:
    void fill(QMenu* menu, const std::vector<MenuEntry>& entries);
    QAction* addCommand(QMenu* menu, const QString& text, Command command);
    void rebuildWindowList();

    AppState& m_app;
    QMdiArea* m_mdi;
    PictureStateSource m_pictureState;
    QList<QMenu*> m_popups;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_paletteMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    std::map<Command, QAction*> m_actions;
};

} // namespace celdo
