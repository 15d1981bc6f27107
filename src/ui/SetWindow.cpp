#include "ui/SetWindow.h"

#include "app/CommandTable.h"
#include "ui/ImageWindow.h"
#include "ui/MainWindow.h"
#include "ui/SetController.h"
#include "ui/SetTexts.h"
#include "ui/SetView.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>

namespace celdo {

namespace {

QString commandText(Command command) {
    const CommandInfo* info = CommandTable::find(command);
    return info ? QString::fromUtf8(info->text).section(QLatin1Char('\t'), 0, 0) : QString();
}

} // namespace

SetWindow::SetWindow(SetController& controller, std::unique_ptr<KissSet> set, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_controller(controller), m_set(std::move(set)) {
    setObjectName(QStringLiteral("SetWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The first page the set uses.
    for (int p = 0; p < CnfDocument::PageCount; ++p)
        if (m_set->document().pageExists(p)) {
            m_pageView.page = p;
            break;
        }
    m_view = new SetView(*this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    setCentralWidget(m_scroll);
    // The pointer's place on the left; what the window last said on the
    // right, for a while.
    m_pointer = new QLabel(this);
    m_message = new QLabel(this);
    m_message->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addWidget(m_pointer, 1);
    statusBar()->addWidget(m_message, 1);
    m_messageTimer.setSingleShot(true);
    connect(&m_messageTimer, &QTimer::timeout, m_message, &QLabel::clear);
    connect(m_view, &SetView::pointerText, m_pointer, &QLabel::setText);
    buildMenu();
    updateTitle();
    m_view->RedrawAll();
    if (!m_set->reports().empty())
        showStatus(QStringLiteral("読み込みの報告が %1 件あります（セット → 読み込みの報告）")
                       .arg(m_set->reports().size()));
    const QSize wanted = m_view->size() + QSize(40, 80);
    resize(wanted.boundedTo(QSize(1200, 900)));
}

SetWindow::~SetWindow() = default;

void SetWindow::buildMenu() {
    QMenu* setMenu = menuBar()->addMenu(QStringLiteral("セット(&S)"));
    QAction* save = setMenu->addAction(commandText(Command::SaveSet), this, [this] { Save(); });
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    setMenu->addAction(commandText(Command::SetReports), this, [this] { showReports(); });
    setMenu->addSeparator();
    QAction* close =
        setMenu->addAction(commandText(Command::CloseSet), this, [this] { this->close(); });
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction* undo =
        edit->addAction(commandText(Command::Undo), this, [this] { StepHistory(false); });
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo =
        edit->addAction(commandText(Command::Redo), this, [this] { StepHistory(true); });
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    m_moveObjects = edit->addAction(QStringLiteral("物体を動かす(&M)"));
    m_moveObjects->setCheckable(true);
    m_moveObjects->setShortcut(QKeySequence(Qt::Key_M));
    connect(m_moveObjects, &QAction::toggled, this, [this](bool on) {
        showStatus(on ? QStringLiteral("物体をドラッグで動かせます（M で塗りに戻ります）")
                      : QStringLiteral("選んだセルの上で押すと、いまの道具で塗れます"));
    });
    QAction* open = edit->addAction(QStringLiteral("セルを開く(&O)"), this, [this] {
        if (m_view->selectedCell() >= 0)
            OpenCell(m_view->selectedCell());
    });
    open->setShortcut(QKeySequence(Qt::Key_Return));

    QMenu* pages = menuBar()->addMenu(QStringLiteral("ページ(&P)"));
    m_pages = new QActionGroup(this);
    for (int p = 0; p < CnfDocument::PageCount; ++p) {
        QAction* a = pages->addAction(QStringLiteral("ページ &%1").arg(p));
        a->setCheckable(true);
        a->setShortcut(QKeySequence(Qt::Key_0 + p));
        a->setData(p);
        a->setChecked(p == m_pageView.page);
        // A page no cell names and no "$" line gives shows only the border.
        if (!m_set->document().pageExists(p))
            a->setText(a->text() + QStringLiteral("（空）"));
        m_pages->addAction(a);
        connect(a, &QAction::triggered, this, [this, p] { ShowPage(p); });
    }

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    m_zooms = new QActionGroup(this);
    const auto addZoom = [&](QMenu* menu, Command command) {
        const int code = CommandTable::zoomCodeForCommand(command);
        QAction* a = menu->addAction(commandText(command));
        a->setCheckable(true);
        a->setChecked(code == 0);
        a->setData(code);
        m_zooms->addAction(a);
        connect(a, &QAction::triggered, this, [this, code] { SetZoomCode(code); });
    };
    QMenu* magnify = view->addMenu(QStringLiteral("拡大"));
    for (Command c :
         {Command::ZoomOne, Command::ZoomTwo, Command::ZoomThree, Command::ZoomFour,
          Command::ZoomSix, Command::ZoomEight, Command::ZoomTwelve, Command::ZoomSixteen})
        addZoom(magnify, c);
    QMenu* reduce = view->addMenu(QStringLiteral("縮小"));
    for (Command c : {Command::ZoomHalf, Command::ZoomThird, Command::ZoomQuarter,
                      Command::ZoomSixth, Command::ZoomEighth})
        addZoom(reduce, c);
    // "+" and "-" step through the levels, as in the image windows.
    QAction* in = view->addAction(QStringLiteral("拡大する(&+)"), this,
                                  [this] { SetZoomCode(m_view->zoomCode() + 1); });
    in->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Semicolon)});
    QAction* out = view->addAction(QStringLiteral("縮小する(&-)"), this,
                                   [this] { SetZoomCode(m_view->zoomCode() - 1); });
    out->setShortcut(QKeySequence(Qt::Key_Minus));
    view->addSeparator();
    QAction* script = view->addAction(commandText(Command::SetInitialScript));
    script->setCheckable(true);
    connect(script, &QAction::toggled, this, &SetWindow::SetInitialScript);
}

void SetWindow::ShowPage(int page) {
    if (page < 0 || page >= CnfDocument::PageCount)
        return;
    for (QAction* a : m_pages->actions())
        if (a->data().toInt() == page)
            a->setChecked(true);
    if (page == m_pageView.page)
        return;
    m_pageView.page = page;
    updateTitle();
    m_view->RedrawAll();
    m_view->update();
}

void SetWindow::SetZoomCode(int code) {
    if (!m_view->SetZoomCode(code))
        return;
    // The page moved to the middle again; what it covered before is
    // background now.
    m_scroll->viewport()->update();
    for (QAction* a : m_zooms->actions())
        a->setChecked(a->data().toInt() == m_view->zoomCode());
}

bool SetWindow::movingObjects() const {
    return m_moveObjects->isChecked();
}

void SetWindow::SetMovingObjects(bool on) {
    m_moveObjects->setChecked(on);
}

void SetWindow::SetInitialScript(bool on) {
    if (on == m_pageView.initialScript)
        return;
    m_pageView.initialScript = on;
    m_view->RedrawAll();
}

void SetWindow::updateTitle() {
    QString title = QStringLiteral("%1 - ページ %2（色組 %3）")
                        .arg(fileNameText(m_set->path()))
                        .arg(m_pageView.page)
                        .arg(m_set->document().pageGroup(m_pageView.page));
    if (m_set->document().modified())
        title += QStringLiteral(" *");
    setWindowTitle(title);
}

void SetWindow::showStatus(const QString& text) {
    m_message->setText(text);
    m_messageTimer.start(8000);
}

QString SetWindow::statusText() const {
    return m_message->text();
}

void SetWindow::showReports() {
    QString text = m_set->reports().empty() ? QStringLiteral("報告はありません。")
                                            : QStringLiteral("セットを読み込んだときの報告:\n");
    for (const std::string& line : m_set->reports())
        text += QStringLiteral("\n") + QString::fromStdString(line);
    m_ui.messageBox(text.toStdString(), "CELDO", MessageIcon::Information, MessageButtons::Ok);
}

bool SetWindow::Save() {
    if (!m_set->document().modified())
        return true;
    const Status code = m_set->Save();
    if (code != status::Ok) {
        m_ui.messageBox(QStringLiteral("「%1」を保存できませんでした。")
                            .arg(fileNameText(m_set->path()))
                            .toStdString(),
                        "CELDO", MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    updateTitle();
    showStatus(QStringLiteral("「%1」を保存しました").arg(fileNameText(m_set->path())));
    return true;
}

bool SetWindow::QueryClose() {
    if (!m_set->document().modified())
        return true;
    const QString text = QStringLiteral("「%1」の物体の位置が変更されています。保存しますか？")
                             .arg(fileNameText(m_set->path()));
    switch (m_ui.messageBox(text.toStdString(), "CELDO", MessageIcon::Question,
                            MessageButtons::YesNoCancel)) {
    case answer::Yes:
        return Save();
    case answer::No:
        return true;
    default:
        return false;
    }
}

void SetWindow::closeEvent(QCloseEvent* event) {
    if (QueryClose())
        event->accept();
    else
        event->ignore();
}

ImageWindow* SetWindow::OpenCell(int cell) {
    return m_controller.OpenCell(*this, cell);
}

void SetWindow::RecordMove(int page, int object, Point from, Point to) {
    m_undo.push_back({true, page, object, from, to, UndoHistory::PaletteLane});
    m_redo.clear();
}

void SetWindow::RecordPaint(UndoHistory::Lane lane) {
    m_undo.push_back({false, m_pageView.page, 0, {}, {}, lane});
    m_redo.clear();
}

void SetWindow::StepHistory(bool redo) {
    std::vector<Step>& from = redo ? m_redo : m_undo;
    if (!from.empty()) {
        const Step step = from.back();
        from.pop_back();
        (redo ? m_undo : m_redo).push_back(step);
        if (!step.move) {
            m_controller.mainWindow().StepHistory(step.lane, redo);
            return;
        }
        ShowPage(step.page);
        m_view->MoveObject(step.page, step.object, redo ? step.to : step.from);
        updateTitle();
        return;
    }
    ImageWindow* holder = m_controller.windowOfCell(*m_set, m_view->selectedCell());
    if (!holder) {
        showStatus(QStringLiteral("元に戻すものがありません"));
        return;
    }
    m_controller.mainWindow().StepHistory(holder->undoLane(), redo);
}

void SetWindow::FileChanged(int file, const Rect& pixels) {
    const std::vector<CnfCell>& cells = m_set->document().cells();
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (m_set->fileOf(static_cast<int>(c)) != file)
            continue;
        const Rect bounds = m_set->cellBounds(m_pageView.page, static_cast<int>(c));
        if (bounds.empty())
            continue;
        m_view->RedrawArea({bounds.left + pixels.left, bounds.top + pixels.top,
                            bounds.left + pixels.right, bounds.top + pixels.bottom});
    }
}

void SetWindow::FilesRewritten(const std::vector<int>& files) {
    for (int file : files)
        m_set->ReloadFile(file);
    m_view->RedrawAll();
}

void SetWindow::RedrawAll() {
    m_view->RedrawAll();
}

void SetWindow::ObjectMoved() {
    updateTitle();
}

} // namespace celdo
