#include "ui/MainMenu.h"

#include "app/AppState.h"
#include "canvas/PaintSurface.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

MainMenu::MainMenu(QMenuBar* bar, AppState& app, QMdiArea* mdi, PictureStateSource pictureState,
                   QObject* parent)
    : QObject(parent), m_app(app), m_mdi(mdi), m_pictureState(std::move(pictureState)) {
    bar->setObjectName(QStringLiteral("MainMenu"));
    const FrameVariant variant = app.variant();
    for (const MenuEntry& popupEntry : CommandTable::mainMenu(variant)) {
        QMenu* top = bar->addMenu(q(popupEntry.text));
        m_popups.append(top);
        connect(top, &QMenu::aboutToShow, this, &MainMenu::updateState);
        fill(top, popupEntry.entries);
    }
    const bool multiple = variant == FrameVariant::MultipleDocument;
    m_fileMenu = m_popups.value(0);
    m_paletteMenu = m_popups.value(multiple ? 6 : 5);
    m_windowMenu = multiple ? m_popups.value(3) : nullptr;
    connect(m_fileMenu, &QMenu::aboutToShow, this, &MainMenu::rebuildFileHistory);
    connect(m_paletteMenu, &QMenu::aboutToShow, this, &MainMenu::rebuildPaletteHistory);
    if (m_windowMenu && m_mdi)
        connect(m_windowMenu, &QMenu::aboutToShow, this, &MainMenu::rebuildWindowList);
}

QAction* MainMenu::action(Command command) const {
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* MainMenu::addCommand(QMenu* menu, const QString& text, Command command) {
    QAction* a = menu->addAction(text);
    a->setData(commandId(command));
    connect(a, &QAction::triggered, this, [this, command] { emit commandRequested(command); });
    return a;
}

void MainMenu::fill(QMenu* menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
        case MenuEntry::Popup: {
            QMenu* sub = menu->addMenu(q(e.text));
            connect(sub, &QMenu::aboutToShow, this, &MainMenu::updateState);
            fill(sub, e.entries);
            break;
        }
        case MenuEntry::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Command: {
            const CommandInfo* info = CommandTable::find(e.command);
            if (!info)
                break;
            // The text after the tab is the shown accelerator.
            QAction* a = addCommand(menu, QString::fromUtf8(info->text), e.command);
            a->setCheckable(info->check != CommandCheck::None);
            m_actions.emplace(e.command, a);
            break;
        }
        }
    }
}

void MainMenu::updateState() {
    const PictureState picture = m_pictureState ? m_pictureState() : PictureState{};
    const PaintSurface* surface = picture.surface;
    const bool withImage = surface != nullptr;
    const bool clipboard = picture.clipboardHasPicture;

    for (const auto& [command, a] : m_actions) {
        const CommandInfo* info = CommandTable::find(command);
        if (!info)
            continue;
        bool enabled = true;
        switch (info->availability) {
        case CommandAvailability::Always:
            break;
        case CommandAvailability::WithImage:
            enabled = withImage;
            break;
        case CommandAvailability::WithClipboardImage:
            enabled = clipboard;
            break;
        case CommandAvailability::WithImageAndClipboard:
            enabled = withImage && clipboard;
            break;
        case CommandAvailability::WithUndo:
            enabled = picture.canUndo;
            break;
        case CommandAvailability::WithRedo:
            enabled = picture.canRedo;
            break;
        }
        a->setEnabled(enabled);
        bool checked = false;
        switch (info->check) {
        case CommandCheck::None:
            break;
        case CommandCheck::Tool:
            checked = CommandTable::toolForCommand(command) == m_app.editing.currentTool;
            break;
        case CommandCheck::Zoom:
            checked = command == picture.zoomCommand;
            break;
        case CommandCheck::MaskMode:
            checked = surface && surface->maskMode;
            break;
        case CommandCheck::ImageMode:
            checked = surface && !surface->maskMode;
            break;
        case CommandCheck::MaskOff:
            checked = surface && !surface->maskEnabled;
            break;
        case CommandCheck::ToolBar:
            checked = m_app.useToolBar != 0;
            break;
        case CommandCheck::StatusBar:
            checked = m_app.useStatusBar != 0;
            break;
        case CommandCheck::ColourGroup:
            checked = indexInRun(command, Command::ColourGroupFirst, Command::ColourGroupLast) ==
                      m_app.palette.currentGroup();
            break;
        }
        a->setChecked(checked);
    }
}

void MainMenu::rebuildFileHistory() {
    // Everything after "終了" goes; the history follows a separator.
    QAction* exitItem = action(Command::Exit);
    const auto items = m_fileMenu->actions();
    const qsizetype exitAt = items.indexOf(exitItem);
    for (qsizetype i = exitAt + 1; exitAt >= 0 && i < items.size(); ++i)
        delete items[i];
    const auto entries = m_app.imageHistory.menuItems(m_app.fileOptions.maxMenuFile);
    if (entries.empty())
        return;
    m_fileMenu->addSeparator();
    for (const auto& [command, text] : entries)
        addCommand(m_fileMenu, q(text), command);
}

void MainMenu::rebuildPaletteHistory() {
    const auto items = m_paletteMenu->actions();
    for (qsizetype i = 3; i < items.size(); ++i)
        delete items[i];
    const int shown =
        std::min({m_app.fileOptions.maxMenuFile, m_app.paletteHistory.size(),
                  *indexInRun(Command::PaletteHistoryLast, Command::PaletteHistoryFirst,
                              Command::PaletteHistoryLast) +
                      1});
    if (shown <= 0)
        return;
    m_paletteMenu->addSeparator();
    for (int i = 0; i < shown; ++i)
        addCommand(m_paletteMenu, q(*m_app.paletteHistory.entry(i)),
                   commandAt(Command::PaletteHistoryFirst, i));
}

void MainMenu::rebuildWindowList() {
    // The window list at the end of "窓の操作", as the client area keeps it.
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const auto frames = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (frames.isEmpty())
        return;
    m_windowListActions.append(m_windowMenu->addSeparator());
    int number = 1;
    for (QMdiSubWindow* w : frames) {
        // The list names the picture without the caption's modified mark.
        const QString name = QString(w->windowTitle()).remove(QStringLiteral("[*]"));
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(name));
        a->setCheckable(true);
        a->setChecked(w == m_mdi->currentSubWindow());
        connect(a, &QAction::triggered, m_mdi, [mdi = m_mdi, w] { mdi->setActiveSubWindow(w); });
        m_windowListActions.append(a);
    }
}

} // namespace celdo
