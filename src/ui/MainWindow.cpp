#include "ui/MainWindow.h"

#include "app/EnvironmentOptions.h"
#include "app/PaletteCommands.h"
#include "app/ToolButtonTable.h"
#include "boards/FontChoice.h"
#include "boards/qt/QtFonts.h"
#include "canvas/Canvas.h"
#include "canvas/ReplaceIndex.h"
#include "canvas/ToolGestures.h"
#include "canvas/ToolTable.h"
#include "canvas/qt/Clipboard.h"
#include "palette/PaintSelection.h"
#include "plugins/FilterDialogs.h"
#include "ui/BoardWindows.h"
#include "ui/ChildFrame.h"
#include "ui/FontChoiceDialog.h"
#include "ui/FrameDialogs.h"
#include "ui/ImageWindow.h"
#include "ui/MainMenu.h"
#include "ui/StatusBarFontStore.h"
#include "ui/TextPasteCommand.h"
#include "ui/ToolBarCustomizeDialog.h"
#include "ui/ToolBarPictures.h"
#include "ui/ToolBarWidget.h"
#include "ui/WindowArranger.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const QString ProgramTitle = QStringLiteral("Celdo");

} // namespace

MainWindow::MainWindow(AppState& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_ui(this), m_dispatch(app, m_ui) {
    const bool multiple = variant() == FrameVariant::MultipleDocument;
    setObjectName(multiple ? QStringLiteral("CeldoM") : QStringLiteral("Celdos"));
    setWindowTitle(ProgramTitle);
    setWindowIcon(toolBarIcon(8));
    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_startInstance = [](const std::vector<std::string>& arguments) {
        QStringList list;
        for (const std::string& a : arguments)
            list << q(a);
        QProcess::startDetached(QCoreApplication::applicationFilePath(), list);
    };
    // Tool 512 hands its rectangle to the image window whose canvas it is.
    m_app.editing.hooks.regionFilter = [this](Canvas& canvas, const Rect& region) {
        for (ImageWindow* w : imageWindows())
            if (&w->canvas() == &canvas) {
                w->RegionFilter(region);
                return;
            }
    };
    // The eyedropper picks through the palette board when it is open.
    m_app.editing.hooks.pickColour = [this](int index) {
        return m_boards.selectColour(index, ColourSelection::PlainColour);
    };
    // Tool 1280 takes the tile around the point into the current tile.
    m_app.editing.hooks.pickTile = [this](Canvas& canvas, int x, int y) {
        const CellImage* picture = canvas.picture();
        if (!picture || picture->bitsPerPixel() != 8)
            return;
        m_app.tiles.capture(*picture, x, y, m_app.colours);
        m_boards.tileCaptured();
    };

    buildClientArea();
    buildMenu();
    buildStatusBar();
    buildAccelerators();
    registerCommands();
    layoutClientArea();
    resize(multiple ? QSize(800, 600) : QSize(300, 200));
    restorePlacement();
}

void MainWindow::restorePlacement() {
    std::vector<Rect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        screens.push_back({a.left(), a.top(), a.left() + a.width(), a.top() + a.height()});
    }
    if (const auto place = MainWindowPlacement(m_app.mainPlacement, screens)) {
        move(place->left, place->top);
        resize(place->width(), place->height());
    }
}

void MainWindow::rememberPlacement() {
    // A maximised or minimised window keeps the place it had before.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    m_app.mainPlacement = {x(), y(), width(), height()};
}

MainWindow::~MainWindow() {
    m_app.editing.hooks.regionFilter = nullptr;
    m_app.editing.hooks.pickColour = nullptr;
    m_app.editing.hooks.pickTile = nullptr;
    // Closing a window that is still shown deactivates its children from
    // the base destructor; nothing of this class may answer that any more.
    if (m_mdi)
        m_mdi->disconnect(this);
}

// --- construction ----------------------------------------------------------

void MainWindow::buildMenu() {
    m_menu = new MainMenu(
        menuBar(), m_app, m_mdi,
        [this] {
            MainMenu::PictureState state;
            if (ImageWindow* active = activeImageWindow()) {
                state.surface = &active->canvas().surface();
                state.zoomCommand =
                    CommandTable::commandForZoomCode(active->canvas().zoom().code());
            }
            state.canUndo = m_app.history.canUndo(undoLane());
            state.canRedo = m_app.history.canRedo(undoLane());
            state.clipboardHasPicture = ClipboardHasPicture();
            return state;
        },
        this);
    connect(m_menu, &MainMenu::commandRequested, this, &MainWindow::executeCommand);
}

void MainWindow::buildAccelerators() {
    // "KEYACCEL": the keys work whatever the menu items show.
    for (const auto& key : CommandTable::accelerators()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key.key)), this);
        const Command command = key.command;
        connect(shortcut, &QShortcut::activated, this,
                [this, command] { executeCommand(command); });
    }
}

void MainWindow::buildClientArea() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new ToolBarWidget;
    m_toolBar->setList(m_app.toolbarList);
    connect(m_toolBar, &ToolBarWidget::commandRequested, this, &MainWindow::postCommand);
    connect(m_toolBar, &ToolBarWidget::customiseRequested, this, &MainWindow::customiseToolBar);
    layout->addWidget(m_toolBar);

    if (variant() == FrameVariant::MultipleDocument) {
        m_mdi = new QMdiArea;
        m_mdi->setObjectName(QStringLiteral("MdiClient"));
        m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { refreshToolbar(); });
        // The paste button follows what the clipboard holds.
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                [this] { refreshToolbar(); });
        m_arranger = std::make_unique<WindowArranger>(
            *m_mdi, [this] { postCommand(Command::RefreshToolbar); });
        layout->addWidget(m_mdi, 1);
    } else {
        m_single = new QWidget;
        m_single->setObjectName(QStringLiteral("SingleClient"));
        m_single->setAutoFillBackground(true);
        QPalette white = m_single->palette();
        white.setColor(QPalette::Window, Qt::white);
        m_single->setPalette(white);
        auto* singleLayout = new QVBoxLayout(m_single);
        singleLayout->setContentsMargins(0, 0, 0, 0);
        m_singleImage = new ImageWindow(*this, m_single);
        singleLayout->addWidget(m_singleImage);
        // Until a picture arrives the white background shows.
        m_singleImage->hide();
        connect(m_singleImage, &ImageWindow::fitRequested, this, &MainWindow::fitMainWindow);
        // The picture's name comes first, so the task bar tells the
        // instances apart.
        connect(m_singleImage, &ImageWindow::titleChanged, this, [this](const QString& name) {
            setWindowTitle(name + QStringLiteral("[*] - ") + ProgramTitle);
        });
        connect(m_singleImage, &ImageWindow::modifiedChanged, this, &QWidget::setWindowModified);
        layout->addWidget(m_single, 1);
    }
    setCentralWidget(central);
}

void MainWindow::buildStatusBar() {
    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_pane0 = new QLabel;
    m_pane0->setObjectName(QStringLiteral("Pane0"));
    m_pane1 = new QLabel;
    m_pane1->setObjectName(QStringLiteral("Pane1"));
    for (QLabel* pane : {m_pane0, m_pane1}) {
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setTextFormat(Qt::PlainText);
    }

    // The status-bar font, when one was chosen.
    if (const auto font = StatusBarFontStore(m_app.settings()).load())
        bar->setFont(*font);
    bar->addWidget(m_pane0);
    bar->addWidget(m_pane1, 1);
    setStatusBar(bar);
    fitToolPane();
    showToolName();
}

// --- EditorHost -------------------------------------------------------------

void MainWindow::setStatusText(const QString& text) {
    m_pane1->setText(text);
}

void MainWindow::setToolPaneText(const QString& text) {
    m_pane0->setText(text);
}

void MainWindow::restoreToolPaneText() {
    m_pane0->setText(m_toolName);
}

void MainWindow::showToolName() {
    m_toolName = QString::fromUtf8(ToolName(m_app.editing.currentTool));
    m_pane0->setText(m_toolName);
}

void MainWindow::postCommand(Command command) {
    QMetaObject::invokeMethod(
        this, [this, command] { executeCommand(command); }, Qt::QueuedConnection);
}

void MainWindow::refreshToolbar() {
    if (!m_app.useToolBar)
        return;
    ImageWindow* active = activeImageWindow();
    const Command zoomCommand =
        active ? CommandTable::commandForZoomCode(active->canvas().zoom().code()) : Command::None;
    const auto& table = ToolButtonTable::buttons();
    const bool clipboard = ClipboardHasPicture();
    const bool canUndo = m_app.history.canUndo(undoLane());
    const bool canRedo = m_app.history.canRedo(undoLane());
    for (int entry : m_toolBar->list()) {
        if (entry == ToolButtonTable::End)
            break;
        if (entry < 0 || entry >= ToolButtonTable::Count)
            continue;
        m_toolBar->setButtonState(entry,
                                  ToolButtonTable::stateFor(table[entry].command, active != nullptr,
                                                            m_app.editing.currentTool, zoomCommand,
                                                            clipboard, canUndo, canRedo));
    }
}

// --- windows ----------------------------------------------------------------

std::vector<ChildFrame*> MainWindow::childFrames() const {
    std::vector<ChildFrame*> frames;
    if (!m_mdi)
        return frames;
    const auto list = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto* frame = qobject_cast<ChildFrame*>(*it))
            frames.push_back(frame);
    return frames;
}

std::vector<ImageWindow*> MainWindow::imageWindows() const {
    std::vector<ImageWindow*> windows;
    if (m_singleImage) {
        if (m_singleImage->hasPicture())
            windows.push_back(m_singleImage);
        return windows;
    }
    for (ChildFrame* frame : childFrames())
        windows.push_back(frame->imageWindow());
    return windows;
}

ImageWindow* MainWindow::activeImageWindow() const {
    if (m_singleImage)
        return m_singleImage->hasPicture() ? m_singleImage : nullptr;
    // A client area with children always has an active one, also while the
    // program itself is not the active application.
    QMdiSubWindow* current = m_mdi->currentSubWindow();
    if (!current) {
        const auto frames = childFrames();
        if (!frames.empty())
            current = frames.front();
    }
    auto* frame = qobject_cast<ChildFrame*>(current);
    if (!frame || !frame->imageWindow()->hasPicture())
        return nullptr;
    return frame->imageWindow();
}

std::vector<PaintSurface*> MainWindow::surfaces() const {
    std::vector<PaintSurface*> list;
    for (ImageWindow* w : imageWindows())
        list.push_back(&w->canvas().surface());
    return list;
}

QMenu* MainWindow::popup(int position) const {
    return m_menu->popup(position);
}

QAction* MainWindow::action(Command command) const {
    return m_menu->action(command);
}

void MainWindow::layoutClientArea() {
    m_toolBar->setVisible(m_app.useToolBar != 0);
    statusBar()->setVisible(m_app.useStatusBar != 0);
    if (QWidget* c = centralWidget())
        if (c->layout())
            c->layout()->activate();
}

void MainWindow::fitMainWindow() {
    if (!m_singleImage || isMaximized() || isFullScreen())
        return;
    // The white client takes the image window's wanted size; the menu, the
    // bars and the frame keep theirs.
    const int border = 2 * m_singleImage->frameWidth();
    const QSize want = m_singleImage->extentSize() + QSize(border, border);
    QSize outer = size() + (want - m_single->size());
    if (const QScreen* s = screen())
        outer = outer.boundedTo(s->availableGeometry().size());
    // Never narrower than the menu bar, so no popup hides behind a chevron.
    const int menuWidth = menuBar()->sizeHint().width() + (width() - m_single->width());
    resize(outer.expandedTo(QSize(std::max(300, menuWidth), 200)));
}

// --- command dispatch -------------------------------------------------------

void MainWindow::forwardKey(QKeyEvent* event) {
    // The accelerators and the menu items' keys, as if typed here.
    const QKeySequence typed(event->keyCombination());
    for (QShortcut* shortcut : findChildren<QShortcut*>())
        if (shortcut->isEnabled() && shortcut->key() == typed) {
            emit shortcut->activated();
            return;
        }
    for (QAction* action : findChildren<QAction*>())
        if (action->isEnabled() && action->shortcut() == typed) {
            action->trigger();
            return;
        }
    event->ignore();
}

void MainWindow::selectColour(int index, int paintKind) {
    if (!m_boards.selectColour(index, paintKind))
        SelectPaint(m_app.colours, index, paintKind);
}

void MainWindow::openBoardsAtStartUp() {
    m_boards.openAtStartUp();
}

void MainWindow::executeCommand(Command command) {
    dispatchCommand(command);
    // Palette and clipboard commands may change any picture.
    for (ImageWindow* window : imageWindows())
        window->syncModified();
}

void MainWindow::dispatchCommand(Command command) {
    // The main window's own commands first, then the active child, then
    // what every child declined.
    if (m_commands.run(command))
        return;
    if (m_singleImage) {
        if (m_singleImage->hasPicture() && m_singleImage->handleCommand(command))
            return;
    } else if (ChildFrame* frame = activeChildFrame()) {
        if (frame->handleCommand(command))
            return;
    }
    m_declined.run(command);
}

ChildFrame* MainWindow::activeChildFrame() const {
    ImageWindow* active = activeImageWindow();
    if (!active)
        return nullptr;
    for (ChildFrame* frame : childFrames())
        if (frame->imageWindow() == active)
            return frame;
    return nullptr;
}

void MainWindow::registerCommands() {
    m_commands.on(Command::Help, [this] { showHelp(); });
    m_commands.onRun(Command::ColourGroupFirst, Command::ColourGroupLast, [this](int group) {
        const auto list = surfaces();
        if (SwitchColourGroup(m_app.palette, group, list))
            postCommand(Command::PaletteChanged);
    });
    const auto paletteFile = [this](Command command) {
        if (m_dispatch.PaletteCommand(command))
            postCommand(Command::PaletteChanged);
    };
    m_commands.onRun(
        Command::PaletteHistoryFirst, Command::PaletteHistoryLast,
        [paletteFile](int index) { paletteFile(commandAt(Command::PaletteHistoryFirst, index)); });
    for (Command command :
         {Command::OpenPalette, Command::LoadPalette, Command::SavePalette, Command::SavePaletteAs})
        m_commands.on(command, [paletteFile, command] { paletteFile(command); });

    m_commands.on(Command::DisplayInfo, [this] { showDisplayInfo(); });
    m_commands.on(
        Command::TextPaste, [this] { return activeImageWindow() != nullptr; },
        [this] { RunTextPaste(*this); });
    for (const auto& [command, code] : CommandTable::toolCommands()) {
        m_commands.on(command, [this, command, code] {
            selectTool(code);
            if (command == Command::ToolFill && m_app.fillSettings.popupPaintOption)
                postCommand(Command::FillOptions);
        });
    }
    m_commands.on(Command::Options, [this] { showOptions(); });
    m_commands.on(Command::TileCapture, [this] { selectTool(tool::TilePick); });
    m_commands.on(Command::PaletteBoard, [this] { m_boards.openPaletteBoard(); });
    m_commands.on(Command::BrushBoard, [this] { m_boards.openBrushBoard(); });
    m_commands.on(Command::TileBoard, [this] { m_boards.openTileBoard(); });
    for (Command command :
         {Command::PaletteEditColour, Command::PaletteDelete, Command::PaletteCopy,
          Command::PaletteSwap, Command::PaletteSwapPaletteOnly, Command::PalettePixelSwap,
          Command::PaletteMerge, Command::PalettePixelMerge, Command::PaletteSort,
          Command::PaletteSetLeft, Command::PaletteSetRight, Command::PaletteSetBorder})
        m_commands.on(command, [this, command] { runPaletteCommand(command); });

    m_commands.on(Command::PaletteChanged, [this] { paletteChanged(); });
    m_commands.on(Command::Undo, [this] { stepHistory(false); });
    m_commands.on(Command::Redo, [this] { stepHistory(true); });

    m_documents.registerCommands(m_commands);
    m_sets.registerCommands(m_commands);
    m_commands.on(Command::StatusBarLayout, [this] {
        layoutClientArea();
        statusBar()->update();
    });
    m_commands.on(Command::ClientAreaLayout, [this] { layoutClientArea(); });
    m_commands.on(Command::ToggleStatusBar, [this] { toggleStatusBar(); });
    m_commands.on(Command::ToggleToolBar, [this] { toggleToolBar(); });
    m_commands.on(Command::IgnoredCommand, [] {});
    m_commands.on(Command::StatusBarFont, [this] { chooseStatusBarFont(); });
    m_commands.on(Command::RefreshToolbar, [this] { refreshToolbar(); });

    if (m_arranger) {
        m_arranger->registerCommands(m_commands);
    } else {
        // The single image window has no frame of its own: the main window
        // fits itself around it.
        m_commands.on(
            Command::FitToImage, [this] { return m_singleImage->hasPicture(); },
            [this] { fitMainWindow(); });
    }

    m_declined.on(Command::Exit, [this] { close(); });
    m_declined.on(Command::About, [this] {
        ControlTable about = AboutBoxDialog();
        m_ui.runDialog(about);
    });
    m_declined.on(Command::FillOptions, [this] { fillOptions(); });
}

// --- the work of the commands -----------------------------------------------

void MainWindow::selectTool(int code) {
    if (!SelectTool(m_app.editing, code))
        return;
    postCommand(Command::RefreshToolbar);
    showToolName();
}

void MainWindow::showDisplayInfo() {
    ControlTable table = DisplayInfoDialog(ReadDisplayMetrics(), SystemVersionText());
    m_ui.runDialog(table);
}

void MainWindow::showHelp() {
    // Handed to the desktop's default handler.  Without a browser (or
    // without the document) the user learns where the document belongs.
    const std::filesystem::path path = m_app.dataFile("celdo.htm");
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && m_openUrl(QUrl::fromLocalFile(q(path.string()))))
        return;
    m_ui.messageBox("ヘルプを開けませんでした。\n" + path.string() +
                        " をブラウザーで開いてください。",
                    "Celdos", MessageIcon::Information, MessageButtons::Ok);
}

void MainWindow::showOptions() {
    std::vector<PropertyPage> pages;
    PropertyPage file;
    file.tab = "ファイル";
    file.table = FileOptionPage(m_app.fileOptions, [this] {
        ClearHistories(m_ui, m_app.imageHistory, m_app.paletteHistory, m_app.settings());
    });
    file.apply = [this](const ControlTable& page) { ReadFileOptionPage(page, m_app.fileOptions); };
    pages.push_back(std::move(file));
    pages.push_back(addInPage());
    PropertyPage environment;
    environment.tab = "環境";
    environment.table = EnvironmentOptionPage({m_app.autoSave, m_app.undoMemory});
    environment.apply = [this](const ControlTable& page) {
        const EnvironmentOptions chosen = ReadEnvironmentOptionPage(page);
        m_app.autoSave = chosen.autoSave;
        m_app.undoMemory = chosen.undoMemory;
        m_app.applyUndoMemory();
        refreshToolbar();
    };
    pages.push_back(std::move(environment));
    RunPropertySheet("オプションの設定", pages, this);
}

PropertyPage MainWindow::addInPage() {
    auto page = std::make_shared<AddinOptionPage>(m_filters.registry, m_ui, [this] {
        return ChooseAddinFile(m_ui, m_app.fileOptions.useCommonDialog != 0);
    });
    PropertyPage added;
    added.tab = "アドイン";
    added.external = &page->table();
    added.apply = [this, page = page.get()](const ControlTable&) {
        page->apply(m_filters.registry, m_app.settings(), m_filters.lists);
    };
    added.owner = std::move(page);
    return added;
}

void MainWindow::fillOptions() {
    ImageWindow* active = activeImageWindow();
    const bool maskMode = active && active->canvas().surface().maskMode;
    ControlTable table = MakePaintOptionDialog(maskMode, m_app.fillSettings);
    if (m_ui.runDialog(table) == 1)
        ApplyPaintOptionDialog(table, maskMode, m_app.fillSettings, m_app.editing.fill);
}

void MainWindow::toggleToolBar() {
    m_app.useToolBar = m_app.useToolBar ? 0 : 1;
    m_app.settings().writeInt("UseToolBar", m_app.useToolBar);
    m_app.settings().flush();
    layoutClientArea();
    refreshToolbar();
}

void MainWindow::toggleStatusBar() {
    m_app.useStatusBar = m_app.useStatusBar ? 0 : 1;
    m_app.settings().writeInt("UseStatusBar", m_app.useStatusBar);
    m_app.settings().flush();
    layoutClientArea();
}

void MainWindow::customiseToolBar() {
    ToolBarCustomizeDialog dialog(m_app.toolbarList, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_app.toolbarList = dialog.list();
    m_toolBar->setList(m_app.toolbarList);
    refreshToolbar();
}

void MainWindow::chooseStatusBarFont() {
    StatusBarFontStore store(m_app.settings());
    const LogicalFont current = store.loadDescription().value_or(fromQFont(statusBar()->font()));
    FontChoice choice(InstalledFontFamilies(), current);
    if (RunFontChoice(choice, this) != 1)
        return;
    store.store(choice.font());
    statusBar()->setFont(toQFont(choice.font()));
    fitToolPane();
}

void MainWindow::fitToolPane() {
    // Five average characters wide at least; it never cuts a tool's name.
    const QFontMetrics metrics(statusBar()->font());
    int width = 5 * metrics.averageCharWidth();
    for (const ToolInfo& t : ToolTable())
        width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(t.name)));
    m_pane0->setFixedWidth(width + 12);
}

void MainWindow::paletteChanged() {
    // A palette loaded from a file, or taken from a picture, is one step of
    // the palette's own; a change already recorded adds nothing.
    m_app.history.Commit(std::span<const UndoHistory::Lane>{});
    // The tiles' colours follow the palette; their indices stay.
    m_app.tiles.applyPalette(m_app.palette.current());
    m_boards.paletteChanged();
    for (ImageWindow* w : imageWindows())
        w->paletteChanged();
    m_sets.paletteChanged();
}

void MainWindow::runPaletteCommand(Command command) {
    ImageWindow* active = activeImageWindow();
    PaletteCommandContext context{m_ui, m_app.palette, m_app.colours, m_app.sortColor,
                                  active ? active->canvas().picture() : nullptr};
    const PaletteCommandResult result = RunPaletteCommand(command, context);
    if (result.broadcast) {
        // Every open picture rewrites its own pixels and colours as the
        // operation says; then the boards show the new palette.
        for (ImageWindow* w : imageWindows())
            w->applyPaletteBroadcast(*result.broadcast);
        // One step over the palette, every picture it reached and the cell
        // files of a set that followed it.
        if (auto setFiles = m_sets.OfferSetWideRemap(*result.broadcast))
            m_app.history.CommitWithAction(pictureLanes(), std::move(setFiles), true);
        else
            m_app.history.Commit(pictureLanes(), false, true);
        for (ImageWindow* w : imageWindows())
            w->syncModified();
        refreshToolbar();
        m_app.tiles.applyPalette(m_app.palette.current());
        m_boards.paletteChanged();
        m_sets.paletteChanged();
    } else if (result.changed) {
        m_boards.selectionChanged();
    }
}

std::vector<UndoHistory::Lane> MainWindow::pictureLanes() const {
    std::vector<UndoHistory::Lane> lanes;
    for (ImageWindow* w : imageWindows())
        if (w->hasPicture())
            lanes.push_back(w->undoLane());
    return lanes;
}

UndoHistory::Lane MainWindow::undoLane() const {
    if (m_boards.paletteBoardIsActive())
        return UndoHistory::PaletteLane;
    if (ImageWindow* active = activeImageWindow())
        return active->undoLane();
    // Without a picture the palette is all there is to undo.
    return UndoHistory::PaletteLane;
}

void MainWindow::StepHistory(UndoHistory::Lane lane, bool redo) {
    const std::vector<ImageWindow*> windows = imageWindows();
    std::vector<ImageWindow::Shown> before;
    for (ImageWindow* w : windows) {
        w->CancelGesture();
        before.push_back(w->shown());
    }
    UndoHistory& history = m_app.history;
    const UndoHistory::Result result = redo ? history.Redo(lane) : history.Undo(lane);
    switch (result.outcome) {
    case UndoHistory::Outcome::Nothing:
        return;
    case UndoHistory::Outcome::Blocked: {
        QString where = QStringLiteral("パレット");
        for (ImageWindow* w : windows)
            if (w->undoLane() == result.blockedBy)
                where = QStringLiteral("「%1」").arg(w->displayName());
        setStatusText(where + (redo ? QStringLiteral("に先の変更が残っているため、やり直せません")
                                    : QStringLiteral("に後の変更があるため、元に戻せません")));
        return;
    }
    case UndoHistory::Outcome::OutOfMemory:
        setStatusText(QStringLiteral("メモリが足りないため、元に戻せません"));
        return;
    case UndoHistory::Outcome::ActionFailed:
        setStatusText(redo ? QStringLiteral("セルのファイルを書き戻せないため、やり直せません")
                           : QStringLiteral("セルのファイルを書き戻せないため、元に戻せません"));
        return;
    case UndoHistory::Outcome::Done:
        break;
    }
    for (std::size_t i = 0; i < windows.size(); ++i) {
        ImageWindow* w = windows[i];
        const bool moved = std::find(result.changed.begin(), result.changed.end(), w->undoLane()) !=
                           result.changed.end();
        if (moved)
            w->historyMoved(before[i]);
        else if (result.paletteChanged)
            w->paletteChanged();
    }
    if (result.paletteChanged) {
        m_app.tiles.applyPalette(m_app.palette.current());
        m_boards.paletteChanged();
        m_sets.paletteChanged();
    }
    refreshToolbar();
}

// --- menus --------------------------------------------------------------------

void MainWindow::updateMenuState() {
    m_menu->updateState();
}

void MainWindow::rebuildFileHistoryMenu() {
    m_menu->rebuildFileHistory();
}

void MainWindow::rebuildPaletteHistoryMenu() {
    m_menu->rebuildPaletteHistory();
}

// --- events -------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_shutDown) {
        event->accept();
        return;
    }
    // Every child is asked; the first refusal cancels the close and nothing
    // is closed.
    if (!m_sets.QueryCloseAll()) {
        event->ignore();
        return;
    }
    if (m_singleImage) {
        if (m_singleImage->hasPicture() && !m_singleImage->QueryClose()) {
            event->ignore();
            return;
        }
    } else {
        for (ChildFrame* frame : childFrames())
            if (frame->refusesToClose()) {
                event->ignore();
                return;
            }
    }
    shutDown();
    event->accept();
}

void MainWindow::shutDown() {
    // The boards record their state when they close; then the settings go
    // out in the program's order and the file is flushed.
    rememberPlacement();
    m_boards.shutDown();
    m_app.writeSettings();
    m_autoSaver.Finish();
    m_shutDown = true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> names;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            names.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    m_documents.dropFiles(names);
}

} // namespace celdo
