#include "ui/DocumentController.h"

#include "app/AppState.h"
#include "app/LoadSaveDispatch.h"
#include "app/NewImage.h"
#include "framework/qt/QtUi.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreparedClipboard.h"

#include <QMdiArea>
#include <QMessageBox>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void DocumentController::registerCommands(CommandHandlers& handlers) {
    handlers.on(Command::NewImage, [this] { newImage(); });
    handlers.on(Command::OpenImage, [this] { chooseAndOpen(); });
    handlers.on(Command::OpenClipboardImage, [this] { openClipboardImage(); });
    handlers.onRun(Command::FileHistoryFirst, Command::FileHistoryLast, [this](int index) {
        if (const std::string* path = m_window.app().imageHistory.entry(index)) {
            const std::string chosen = *path;
            openNamedFile(chosen, false);
        }
    });
}

void DocumentController::chooseAndOpen() {
    const FileDialog::Result chosen = m_window.dispatch().ChooseImageToOpen();
    if (chosen.confirmed)
        openNamedFile(chosen.path, m_window.app().fileOptions.viewHeader != 0);
}

void DocumentController::newImage() {
    AppState& app = m_window.app();
    LoadedImage made;
    made.picture =
        RunNewImage(m_window.ui(), app.newImageSizes, app.settings(), app.newImageUsesCurrentColour,
                    app.palette.current(), app.colours.drawColor);
    show(std::move(made));
}

void DocumentController::openClipboardImage() {
    if (auto loaded = TakePreparedClipboardPicture(m_window.dispatch()))
        show(std::move(*loaded));
}

ImageWindow* DocumentController::show(LoadedImage loaded) {
    if (!loaded.picture)
        return nullptr;
    ImageWindow* single = m_window.singleImageWindow();
    const bool hadPicture = !m_window.imageWindows().empty();
    // The one picture of the single-document window stays when its save
    // question is cancelled.
    if (single && hadPicture && !single->QueryClose())
        return nullptr;
    ReconcileLoadedPalette(loaded, m_window.app().palette.current(), hadPicture);
    // A palette the first picture brought is a step of the palette's own, so
    // that undoing the picture's first change keeps it.
    m_window.app().history.Commit(std::span<const UndoHistory::Lane>{});

    ImageWindow* window = single;
    ChildFrame* frame = nullptr;
    if (!single) {
        frame = new ChildFrame(m_window);
        frame->setWindowIcon(m_window.windowIcon());
        m_window.clientArea()->addSubWindow(frame);
        window = frame->imageWindow();
    }
    m_window.postCommand(Command::RefreshToolbar);
    window->SetPicture(std::move(loaded.picture), single != nullptr);
    window->SetDocument(std::move(loaded.document));
    if (frame) {
        frame->setWindowTitle(ChildFrame::CaptionFor(window->displayName()));
        frame->show();
        frame->fitToImage();
        m_window.clientArea()->setActiveSubWindow(frame);
    } else {
        window->show();
        m_window.fitMainWindow();
    }
    if (loaded.mask)
        window->AttachMask(std::move(loaded.mask));
    m_window.sets().imageWindowShown(window);
    return window;
}

int DocumentController::askAlreadyOpen(const QString& displayName) {
    const QString text = QStringLiteral("%1 は既に編集中です。読込ますか？").arg(displayName);
    if (Ui* responder = QtUi::responder())
        return responder->messageBox(text.toStdString(), "CELDO", MessageIcon::Question,
                                     MessageButtons::YesNo);
    QMessageBox box(QMessageBox::Question, QStringLiteral("CELDO"), text,
                    QMessageBox::Yes | QMessageBox::No, &m_window);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? answer::Yes : answer::No;
}

void DocumentController::openNamedFile(const std::string& path, bool showInfo) {
    const QString wanted = q(path);
    ImageWindow* holder = nullptr;
    for (ImageWindow* w : m_window.imageWindows()) {
        const GraphicFile* document = w->document();
        if (document && QString::compare(q(document->path()), wanted, Qt::CaseInsensitive) == 0)
            holder = w; // the last that answers wins
    }
    if (holder && askAlreadyOpen(holder->displayName()) != answer::Yes) {
        if (QMdiArea* area = m_window.clientArea())
            for (ChildFrame* frame : m_window.childFrames())
                if (frame->imageWindow() == holder) {
                    area->setActiveSubWindow(frame);
                    break;
                }
        return;
    }
    if (auto loaded = m_window.dispatch().OpenImage(path, showInfo))
        show(std::move(*loaded));
}

void DocumentController::openFiles(const std::vector<CommandWord>& words) {
    for (const CommandWord& word : words) {
        switch (word.kind) {
        case CommandWord::Kind::Option:
            break;
        case CommandWord::Kind::Palette:
            if (m_window.dispatch().LoadPalette(word.text, false))
                m_window.postCommand(Command::PaletteChanged);
            break;
        case CommandWord::Kind::Image:
            if (auto loaded = m_window.dispatch().OpenImage(word.text, false))
                show(std::move(*loaded));
            break;
        case CommandWord::Kind::Set:
            m_window.sets().OpenSet(word.text);
            break;
        }
    }
}

void DocumentController::openFilesSingle(const std::vector<CommandWord>& words, bool dropped) {
    const SingleDocumentStart plan = PlanSingleDocument(words, dropped);
    if (!plan.firstImage.empty()) {
        const std::string first = plan.firstImage;
        // Command::OpenNamedFile, queued behind this step.
        QMetaObject::invokeMethod(
            &m_window, [this, first] { openNamedFile(first, false); }, Qt::QueuedConnection);
    }
    for (const auto& arguments : plan.instances)
        m_window.startInstance(arguments);
    if (!plan.palette.empty() && m_window.dispatch().LoadPalette(plan.palette, false))
        m_window.postCommand(Command::PaletteChanged);
    if (plan.openClipboard)
        m_window.postCommand(Command::OpenClipboardImage);
    for (const std::string& set : plan.sets)
        m_window.sets().OpenSet(set);
}

void DocumentController::startUp(const std::vector<CommandWord>& words) {
    if (m_window.variant() == FrameVariant::MultipleDocument)
        openFiles(words);
    else
        openFilesSingle(words, false);
    // The tile, brush and palette boards reopen here when they were open at
    // the last exit; they belong to the board windows.
}

void DocumentController::dropFiles(const std::vector<std::string>& names) {
    const auto words = ParseWords(names);
    if (m_window.variant() == FrameVariant::MultipleDocument)
        openFiles(words);
    else
        openFilesSingle(words, true);
}

} // namespace celdo
