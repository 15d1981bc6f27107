#include "ui/MainWindow.h"

#include "app/Messages.h"
#include "app/SettingKeys.h"
#include "app/ToolButtonTable.h"
#include "canvas/Canvas.h"
#include "canvas/ReplaceIndex.h"
#include "canvas/ToolGestures.h"
#include "canvas/ToolTable.h"
#include "canvas/qt/Clipboard.h"
#include "formats/KissCellFile.h"
#include "plugins/FilterDialogs.h"
#include "ui/ChildFrame.h"
#include "ui/FrameDialogs.h"
#include "ui/ImageWindow.h"
#include "ui/MainMenu.h"
#include "ui/ToolBarCustomizeDialog.h"
#include "ui/ToolBarPictures.h"
#include "ui/ToolBarWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <span>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Text of the already-open question for a display name.
QString alreadyOpenText(const QString& name) {
    return QStringLiteral("%1 は既に編集中です。読込ますか？").arg(name);
}

} // namespace

MainWindow::MainWindow(AppState& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_ui(this), m_dispatch(app, m_ui) {
    const bool multiple = variant() == FrameVariant::MultipleDocument;
    setObjectName(multiple ? QStringLiteral("CeldoM") : QStringLiteral("Celdos"));
    setWindowTitle(QStringLiteral("Celdo"));
    setWindowIcon(toolBarIcon(8));
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

    buildClientArea();
    buildMenu();
    buildStatusBar();
    buildAccelerators();
    layoutClientArea();
    resize(multiple ? QSize(800, 600) : QSize(300, 200));
}

MainWindow::~MainWindow() {
    m_app.editing.hooks.regionFilter = nullptr;
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
                state.zoomCommand = active->canvas().zoom().CheckedCommand();
            }
            state.clipboardHasPicture = clipboardHasImage();
            return state;
        },
        this);
    connect(m_menu, &MainMenu::commandRequested, this, &MainWindow::executeCommand);
}

void MainWindow::buildAccelerators() {
    // "KEYACCEL": the keys work whatever the menu items show.
    for (const auto& key : CommandTable::accelerators()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key.key)), this);
        const int command = key.command;
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

    // The status-bar font, when one was chosen (command 1221).
    const Settings& s = m_app.settings();
    const std::string prefix(StatusBarFontPrefix);
    const std::string face = s.readString(prefix + "lfFaceName");
    if (!face.empty()) {
        QFont font(q(face));
        const int height = s.readInt(prefix + "lfHeight", 16);
        if (height != 0)
            font.setPixelSize(std::abs(height));
        const int weight = s.readInt(prefix + "lfWeight", 0);
        if (weight > 0)
            font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
        font.setItalic(s.readInt(prefix + "lfItalic", 0) != 0);
        font.setUnderline(s.readInt(prefix + "lfUnderline", 0) != 0);
        font.setStrikeOut(s.readInt(prefix + "lfStrikeOut", 0) != 0);
        bar->setFont(font);
    }
    bar->addWidget(m_pane0);
    bar->addWidget(m_pane1, 1);
    setStatusBar(bar);

    // Pane 0 is five average characters wide; it never cuts a tool's name.
    const QFontMetrics metrics(bar->font());
    int width = 5 * metrics.averageCharWidth();
    for (const ToolInfo& t : ToolTable())
        width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(t.name)));
    m_pane0->setFixedWidth(width + 12);
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

void MainWindow::postCommand(int command) {
    QMetaObject::invokeMethod(
        this, [this, command] { executeCommand(command); }, Qt::QueuedConnection);
}

void MainWindow::refreshToolbar() {
    if (!m_app.useToolBar)
        return;
    ImageWindow* active = activeImageWindow();
    const int zoomCommand = active ? active->canvas().zoom().CheckedCommand() : 0;
    const auto& table = ToolButtonTable::buttons();
    for (int entry : m_toolBar->list()) {
        if (entry == ToolButtonTable::End)
            break;
        if (entry < 0 || entry >= ToolButtonTable::Count)
            continue;
        m_toolBar->setButtonState(
            entry, ToolButtonTable::stateFor(table[entry].command, active != nullptr,
                                             m_app.editing.currentTool, zoomCommand));
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

QAction* MainWindow::action(int command) const {
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

void MainWindow::executeCommand(int command) {
    if (handleHelpAndPalette(command))
        return;
    if (handleToolsAndDialogs(command))
        return;
    if (command == CM_OPEN_LOADED_IMAGE) {
        openLoadedImage();
        return;
    }
    if (command == CM_PALETTE_CHANGED) {
        paletteChanged();
        return;
    }
    if (handleFileAndBars(command))
        return;
    if (handleWindowCommands(command))
        return;
    if (m_singleImage) {
        if (command == 1010 && m_singleImage->hasPicture()) {
            fitMainWindow();
            return;
        }
        if (m_singleImage->hasPicture() && m_singleImage->handleCommand(command))
            return;
    } else if (ImageWindow* active = activeImageWindow()) {
        for (ChildFrame* frame : childFrames())
            if (frame->imageWindow() == active) {
                if (frame->handleCommand(command))
                    return;
                break;
            }
    }
    handleDeclined(command);
}

bool MainWindow::handleHelpAndPalette(int command) {
    if (command == 121) {
        showHelp();
        return true;
    }
    if (command >= 1500 && command <= 1509) {
        const auto list = surfaces();
        if (SwitchColourGroup(m_app.palette, command - 1500, list))
            postCommand(CM_PALETTE_CHANGED);
        return true;
    }
    if ((command >= 1820 && command <= 1829) || command == 1840 || command == 1841 ||
        command == 1850 || command == 1855) {
        if (m_dispatch.PaletteCommand(command))
            postCommand(CM_PALETTE_CHANGED);
        return true;
    }
    return false;
}

bool MainWindow::handleToolsAndDialogs(int command) {
    if (command == 1020) {
        showDisplayInfo();
        return true;
    }
    const int tool = CommandTable::toolForCommand(command);
    if (tool >= 0) {
        selectTool(tool);
        if (command == 1700 && m_app.fillSettings.popupPaintOption)
            postCommand(1701);
        return true;
    }
    if (command >= FileHistory::FirstMenuCommand &&
        command < FileHistory::FirstMenuCommand + FileHistory::MaxStoredEntries) {
        if (const std::string* path =
                m_app.imageHistory.entry(command - FileHistory::FirstMenuCommand)) {
            const std::string chosen = *path;
            openNamedFile(chosen, false);
        }
        return true;
    }
    if (command == 1900) {
        showOptions();
        return true;
    }
    return false;
}

bool MainWindow::handleFileAndBars(int command) {
    switch (command) {
    case 101:
        newImage();
        return true;
    case 102: {
        const FileDialog::Result chosen = m_dispatch.ChooseImageToOpen();
        if (chosen.confirmed)
            openNamedFile(chosen.path, m_app.fileOptions.viewHeader != 0);
        return true;
    }
    case 150:
        layoutClientArea();
        statusBar()->update();
        return true;
    case 1015:
        layoutClientArea();
        return true;
    case 1100:
        toggleStatusBar();
        return true;
    case 1120:
        toggleToolBar();
        return true;
    case 1220:
        return true;
    case 1221:
        chooseStatusBarFont();
        return true;
    case 1380:
        openClipboardImage();
        return true;
    case CM_REFRESH_TOOLBAR:
        refreshToolbar();
        return true;
    default:
        return false;
    }
}

bool MainWindow::handleWindowCommands(int command) {
    if (!m_mdi || command < 130 || command > 135)
        return false;
    const auto frames = m_mdi->subWindowList(QMdiArea::CreationOrder);
    const QSize room = m_mdi->viewport()->size();
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* w : frames)
        if (!w->isMinimized())
            shown.append(w);
    switch (command) {
    case 130:
        m_mdi->cascadeSubWindows();
        break;
    case 131: // side by side
    case 132: // one above the other
        if (!shown.isEmpty()) {
            const int n = static_cast<int>(shown.size());
            for (int i = 0; i < n; ++i) {
                QMdiSubWindow* w = shown[i];
                w->showNormal();
                if (command == 131) {
                    const int x0 = room.width() * i / n, x1 = room.width() * (i + 1) / n;
                    w->setGeometry(x0, 0, x1 - x0, room.height());
                } else {
                    const int y0 = room.height() * i / n, y1 = room.height() * (i + 1) / n;
                    w->setGeometry(0, y0, room.width(), y1 - y0);
                }
            }
        }
        break;
    case 133: { // minimised children along the bottom edge
        int x = 0;
        for (QMdiSubWindow* w : frames) {
            if (!w->isMinimized())
                continue;
            const QSize s = w->size();
            if (x > 0 && x + s.width() > room.width())
                x = 0;
            w->move(x, room.height() - s.height());
            x += s.width();
        }
        break;
    }
    case 134:
        closeAll();
        break;
    case 135:
        m_mdi->activateNextSubWindow();
        break;
    }
    return true;
}

void MainWindow::handleDeclined(int command) {
    switch (command) {
    case 108:
        close();
        break;
    case 120: {
        ControlTable about = AboutBoxDialog();
        m_ui.runDialog(about);
        break;
    }
    case 1701:
        fillOptions();
        break;
    default:
        break;
    }
}

// --- the work of the commands -----------------------------------------------

void MainWindow::selectTool(int code) {
    if (!SelectTool(m_app.editing, code))
        return;
    postCommand(CM_REFRESH_TOOLBAR);
    showToolName();
}

void MainWindow::showDisplayInfo() {
    ControlTable table = DisplayInfoDialog(ReadDisplayMetrics(), SystemVersionText());
    m_ui.runDialog(table);
}

void MainWindow::showHelp() {
    // Handed to the desktop's default handler; a failure is not reported.
    const auto path = m_app.dataFile("celdo.htm");
    QDesktopServices::openUrl(QUrl::fromLocalFile(q(path.string())));
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

void MainWindow::newImage() {
    m_app.loaded.clear();
    CellImagePtr picture =
        RunNewImage(m_ui, m_app.newImageSizes, m_app.settings(), m_app.newImageUsesCurrentColour,
                    m_app.palette.current(), m_app.colours.drawColor);
    if (!picture)
        return;
    m_app.loaded.picture = std::move(picture);
    executeCommand(CM_OPEN_LOADED_IMAGE);
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
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, statusBar()->font(), this,
                                              QStringLiteral("ステータスバーのフォント"));
    if (!ok)
        return;
    statusBar()->setFont(chosen);
    const QFontMetrics metrics(chosen);
    int width = 5 * metrics.averageCharWidth();
    for (const ToolInfo& t : ToolTable())
        width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(t.name)));
    m_pane0->setFixedWidth(width + 12);

    // Stored as the fields of a logical-font record.
    Settings& s = m_app.settings();
    const std::string prefix(StatusBarFontPrefix);
    const QFontInfo info(chosen);
    s.writeString(prefix + "lfFaceName", info.family().toStdString());
    s.writeInt(prefix + "lfHeight", -info.pixelSize());
    s.writeInt(prefix + "lfWidth", 0);
    s.writeInt(prefix + "lfEscapement", 0);
    s.writeInt(prefix + "lfOrientation", 0);
    s.writeInt(prefix + "lfWeight", static_cast<int>(chosen.weight()));
    s.writeInt(prefix + "lfItalic", chosen.italic() ? 1 : 0);
    s.writeInt(prefix + "lfUnderline", chosen.underline() ? 1 : 0);
    s.writeInt(prefix + "lfStrikeOut", chosen.strikeOut() ? 1 : 0);
    s.writeInt(prefix + "lfCharSet", 0);
    s.writeInt(prefix + "lfOutPrecision", 0);
    s.writeInt(prefix + "lfClipPrecision", 0);
    s.writeInt(prefix + "lfQuality", 0);
    s.flush();
}

void MainWindow::closeAll() {
    // From the top, each child that agrees goes; the first that refuses stops
    // the rest.  Unlike the bare close-all, modified pictures are asked about.
    for (ChildFrame* frame : childFrames()) {
        if (frame->refusesToClose())
            break;
        frame->closeAgreed();
    }
    postCommand(CM_REFRESH_TOOLBAR);
}

bool MainWindow::clipboardHasImage() const {
    return ClipboardHasPicture();
}

void MainWindow::openClipboardImage() {
    ClipboardPicture taken = ReadClipboardPicture();
    if (!taken.picture)
        return;
    m_app.loaded.clear();
    m_app.loaded.picture = std::move(taken.picture);
    m_app.loaded.mask = std::move(taken.mask);
    // The same preparation as a loaded file: the full-colour question and
    // the reduction, or widening onto the current group.
    if (!m_dispatch.PrepareLoadedImage(m_app.loaded)) {
        m_app.loaded.clear();
        return;
    }
    executeCommand(CM_OPEN_LOADED_IMAGE);
}

void MainWindow::paletteChanged() {
    // The tiles' colours follow the palette; their indices stay.
    m_app.tiles.applyPalette(m_app.palette.current());
    for (ImageWindow* w : imageWindows())
        w->paletteChanged();
}

void MainWindow::openLoadedImage() {
    LoadedImage& loaded = m_app.loaded;
    if (loaded.empty()) {
        loaded.clear();
        return;
    }
    const bool hadPicture = !imageWindows().empty();
    if (m_singleImage && hadPicture && !m_singleImage->QueryClose()) {
        // The one picture of this window stays: its save question was
        // cancelled.
        loaded.clear();
        return;
    }

    // A cell carries no palette of its own; with a picture already open the
    // current group rules as well.  Otherwise the file's palette becomes the
    // current group.
    const bool carriesPalette =
        !(loaded.document && dynamic_cast<KissCellFile*>(loaded.document.get()));
    if (!carriesPalette || hadPicture)
        loaded.picture->SetPalette(m_app.palette.current(), PaletteSet::GroupSize);
    else
        std::copy_n(loaded.picture->palette(), PaletteSet::GroupSize, m_app.palette.current());

    ImageWindow* window = nullptr;
    ChildFrame* frame = nullptr;
    if (m_singleImage) {
        window = m_singleImage;
    } else {
        frame = new ChildFrame(*this);
        frame->setWindowIcon(windowIcon());
        m_mdi->addSubWindow(frame);
        window = frame->imageWindow();
    }
    postCommand(CM_REFRESH_TOOLBAR);
    window->SetPicture(std::move(loaded.picture), m_singleImage != nullptr);
    window->SetDocument(std::move(loaded.document));
    if (frame) {
        frame->setWindowTitle(window->displayName());
        frame->show();
        frame->fitToImage();
        m_mdi->setActiveSubWindow(frame);
    } else {
        window->show();
        fitMainWindow();
    }
    if (loaded.mask)
        window->AttachMask(std::move(loaded.mask));
    loaded.clear();
}

int MainWindow::askAlreadyOpen(const QString& displayName) {
    const QString text = alreadyOpenText(displayName);
    if (Ui* responder = QtUi::responder())
        return responder->messageBox(text.toStdString(), "CELDO", MessageIcon::Question,
                                     MessageButtons::YesNo);
    QMessageBox box(QMessageBox::Question, QStringLiteral("CELDO"), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? answer::Yes : answer::No;
}

void MainWindow::openNamedFile(const std::string& path, bool showInfo) {
    m_app.loaded.mask.reset();
    const QString wanted = q(path);
    ImageWindow* holder = nullptr;
    for (ImageWindow* w : imageWindows()) {
        const GraphicFile* document = w->document();
        if (document && QString::compare(q(document->path()), wanted, Qt::CaseInsensitive) == 0)
            holder = w; // the last that answers wins
    }
    if (holder && askAlreadyOpen(holder->displayName()) != answer::Yes) {
        if (m_mdi)
            for (ChildFrame* frame : childFrames())
                if (frame->imageWindow() == holder) {
                    m_mdi->setActiveSubWindow(frame);
                    break;
                }
        return;
    }
    if (m_dispatch.OpenImage(path, showInfo))
        executeCommand(CM_OPEN_LOADED_IMAGE);
}

void MainWindow::openFiles(const std::vector<CommandWord>& words) {
    for (const CommandWord& word : words) {
        switch (word.kind) {
        case CommandWord::Kind::Option:
            break;
        case CommandWord::Kind::Palette:
            if (m_dispatch.LoadPalette(word.text, false))
                postCommand(CM_PALETTE_CHANGED);
            break;
        case CommandWord::Kind::Image:
            if (m_dispatch.OpenImage(word.text, false))
                executeCommand(CM_OPEN_LOADED_IMAGE);
            break;
        }
    }
}

void MainWindow::openFilesSingle(const std::vector<CommandWord>& words, bool dropped) {
    const SingleDocumentStart plan = PlanSingleDocument(words, dropped);
    if (!plan.firstImage.empty()) {
        const std::string first = plan.firstImage;
        // UM_OPEN_NAMED_FILE, queued behind this step.
        QMetaObject::invokeMethod(
            this, [this, first] { openNamedFile(first, false); }, Qt::QueuedConnection);
    }
    for (const auto& arguments : plan.instances)
        m_startInstance(arguments);
    if (!plan.palette.empty() && m_dispatch.LoadPalette(plan.palette, false))
        postCommand(CM_PALETTE_CHANGED);
    if (plan.openClipboard)
        postCommand(1380);
}

void MainWindow::startUp(const std::vector<CommandWord>& words) {
    if (variant() == FrameVariant::MultipleDocument)
        openFiles(words);
    else
        openFilesSingle(words, false);
    // The tile, brush and palette boards reopen here when they were open at
    // the last exit; they belong to the board windows.
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
    m_app.writeSettings();
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
    dropFiles(names);
}

void MainWindow::dropFiles(const std::vector<std::string>& names) {
    const auto words = ParseWords(names);
    if (variant() == FrameVariant::MultipleDocument)
        openFiles(words);
    else
        openFilesSingle(words, true);
}

} // namespace celdo
