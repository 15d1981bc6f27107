#include "ui/SetController.h"
#include "ui/SetTexts.h"

#include "app/AppState.h"
#include "app/LoadSaveDispatch.h"
#include "formats/KissPaletteFile.h"
#include "palette/PaletteOperations.h"
#include "sets/KissSet.h"
#include "sets/SetFileRemap.h"
#include "sets/SetPage.h"
#include "ui/CanvasView.h"
#include "ui/ChildFrame.h"
#include "ui/ImageWindow.h"
#include "ui/MainWindow.h"
#include "ui/SetView.h"
#include "ui/SetWindow.h"

#include <QImage>
#include <QMdiArea>
#include <QTimer>

#include <algorithm>
#include <filesystem>

namespace celdo {

namespace {

// The same file whatever way it was named (links, "..", a relative name).
bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    if (a == b)
        return true;
    // Only names that end alike are worth asking the file system (this runs
    // for every file of a set each time a stroke repaints).
    const auto lastOf = [](const std::string& s) {
        const auto slash = s.find_last_of('/');
        return std::string_view(s).substr(slash == std::string::npos ? 0 : slash + 1);
    };
    if (lastOf(a) != lastOf(b))
        return false;
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool movesIndices(const PaletteBroadcast& broadcast) {
    switch (broadcast.message) {
    case UM_PALETTE_DELETE_REMAP:
    case UM_PALETTE_SWAP_REMAP:
    case UM_PALETTE_MERGE_REMAP:
    case UM_PALETTE_SORT_REMAP:
        return !broadcast.remap.isIdentity();
    default:
        return false;
    }
}

// Cell files a set-wide palette operation rewrote: undo and redo write
// their bytes back, and the set windows read them again.
class SetFilesAction : public StepAction {
public:
    SetFilesAction(std::vector<SetFileChange> changes, QPointer<SetController> controller)
        : m_changes(std::move(changes)), m_controller(std::move(controller)) {}

    bool Undo() override { return write(false); }
    bool Redo() override { return write(true); }
    std::size_t bytes() const override {
        std::size_t total = sizeof(*this);
        for (const SetFileChange& c : m_changes)
            total += c.path.size() + c.before.size() + c.after.size();
        return total;
    }

private:
    bool write(bool after) {
        if (RestoreSetFiles(m_changes, after) != status::Ok)
            return false;
        if (m_controller) {
            std::vector<std::string> paths;
            for (const SetFileChange& c : m_changes)
                paths.push_back(c.path);
            m_controller->FilesRewritten(paths);
        }
        return true;
    }

    std::vector<SetFileChange> m_changes;
    QPointer<SetController> m_controller;
};

} // namespace

SetController::SetController(MainWindow& window) : m_window(window) {}

SetController::~SetController() = default;

void SetController::registerCommands(CommandHandlers& handlers) {
    handlers.on(Command::OpenSet, [this] { chooseAndOpen(); });
}

void SetController::chooseAndOpen() {
    const FileDialog::Result chosen = m_window.dispatch().ChooseSetToOpen();
    if (chosen.confirmed)
        OpenSet(chosen.path);
}

SetWindow* SetController::OpenSet(const std::string& path) {
    // A set already open comes to the front.
    for (SetWindow* w : setWindows())
        if (samePath(w->set().path(), path)) {
            w->raise();
            w->activateWindow();
            return w;
        }
    std::unique_ptr<KissSet> set;
    const Status code = KissSet::Load(path, set);
    if (code != status::Ok || !set) {
        m_window.ui().messageBox(QStringLiteral("セット「%1」を読み込めませんでした。")
                                     .arg(fileNameText(path))
                                     .toStdString(),
                                 "CELDO", MessageIcon::Error, MessageButtons::Ok);
        return nullptr;
    }
    const int width = set->document().width();
    const int height = set->document().height();
    // A playfield too large for memory would show nothing.
    if (static_cast<long long>(width) * height > MaxPagePixels ||
        QImage(width, height, QImage::Format_RGB32).isNull()) {
        m_window.ui().messageBox(
            QStringLiteral("セット「%1」の画面（%2 × %3）は大きすぎて表示できません。")
                .arg(fileNameText(path))
                .arg(width)
                .arg(height)
                .toStdString(),
            "CELDO", MessageIcon::Error, MessageButtons::Ok);
        return nullptr;
    }
    auto* window = new SetWindow(*this, std::move(set), &m_window);
    m_sets.emplace_back(window);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

std::vector<SetWindow*> SetController::setWindows() const {
    std::vector<SetWindow*> windows;
    for (const QPointer<SetWindow>& w : m_sets)
        if (w)
            windows.push_back(w);
    return windows;
}

bool SetController::QueryCloseAll() {
    for (SetWindow* w : setWindows())
        if (!w->QueryClose())
            return false;
    return true;
}

ImageWindow* SetController::windowOfFile(const std::string& path) const {
    if (path.empty())
        return nullptr;
    for (ImageWindow* w : m_window.imageWindows())
        if (w->hasPicture() && samePath(w->originalPath(), path))
            return w;
    return nullptr;
}

ImageWindow* SetController::windowOfCell(const KissSet& set, int cell) const {
    const int file = cell < 0 ? -1 : set.fileOf(cell);
    return file < 0 ? nullptr : windowOfFile(set.files()[static_cast<std::size_t>(file)].path);
}

void SetController::imageWindowShown(ImageWindow* window) {
    // The single-document build shows every picture in its one window.
    if (window->property("celdoSetLinked").toBool())
        return;
    window->setProperty("celdoSetLinked", true);
    QPointer<ImageWindow> guarded(window);
    connect(window->canvasView(), &CanvasView::imageChanged, this,
            [this, guarded](const Rect& pixels) {
                if (guarded)
                    forwardChange(guarded, pixels);
            });
    // When the window goes, the sets draw the file from disk again; by then
    // it is no longer among the image windows.
    connect(window, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            for (SetWindow* w : setWindows())
                w->RedrawAll();
        });
    });
    for (SetWindow* w : setWindows())
        w->RedrawAll();
}

void SetController::forwardChange(ImageWindow* window, const Rect& pixels) {
    const std::string path = window->originalPath();
    const CellImage* picture = window->hasPicture() ? window->canvas().picture() : nullptr;
    const bool whole = picture && pixels.left <= 0 && pixels.top <= 0 &&
                       pixels.right >= picture->width() && pixels.bottom >= picture->height();
    for (SetWindow* w : setWindows()) {
        const std::vector<SetCellFile>& files = w->set().files();
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (!samePath(files[f].path, path))
                continue;
            if (whole)
                w->RedrawAll();
            else
                w->FileChanged(static_cast<int>(f), pixels);
        }
    }
}

void SetController::paletteChanged() {
    for (SetWindow* w : setWindows())
        w->RedrawAll();
}

void SetController::Attach(KissSet& set) const {
    const std::vector<SetCellFile>& files = set.files();
    for (std::size_t f = 0; f < files.size(); ++f) {
        const int file = static_cast<int>(f);
        ImageWindow* holder = windowOfFile(files[f].path);
        if (holder) {
            const PaintSurface& surface = holder->canvas().surface();
            const CellImage* picture = surface.picture.get();
            // A true-colour cell's mask plane is its alpha.
            const CellImage* mask =
                picture && picture->bitsPerPixel() == 24 ? surface.mask.get() : nullptr;
            set.AttachPicture(file, picture, mask);
        } else if (set.pictureOf(file) != files[f].picture.get()) {
            // The window went: what it saved (or left unsaved) is on disk.
            set.AttachPicture(file, nullptr, nullptr);
            set.ReloadFile(file);
        }
    }
    const AppState& app = m_window.app();
    const std::string current =
        app.currentPaletteFile ? app.currentPaletteFile->path() : std::string();
    for (std::size_t p = 0; p < set.palettes().size(); ++p)
        set.AttachPalette(static_cast<int>(p),
                          samePath(set.palettes()[p].path, current) ? &app.palette : nullptr);
}

ImageWindow* SetController::OpenCell(SetWindow& window, int cell) {
    KissSet& set = window.set();
    const std::vector<CnfCell>& cells = set.document().cells();
    if (cell < 0 || cell >= static_cast<int>(cells.size()))
        return nullptr;
    const CnfCell& c = cells[static_cast<std::size_t>(cell)];
    const int file = set.fileOf(cell);
    if (file < 0) {
        window.showStatus(QStringLiteral("「%1」が見つかりません").arg(cellNameText(c)));
        return nullptr;
    }
    const std::string path = set.files()[static_cast<std::size_t>(file)].path;
    AppState& app = m_window.app();

    // The cell's palette file becomes the palette, with the page's group.
    int groups = 0;
    if (c.paletteFile >= 0 && c.paletteFile < static_cast<int>(set.palettes().size())) {
        const SetPaletteFile& palette = set.palettes()[static_cast<std::size_t>(c.paletteFile)];
        groups = palette.groupCount;
        const bool current =
            app.currentPaletteFile && samePath(app.currentPaletteFile->path(), palette.path);
        if (palette.loaded && !current && m_window.dispatch().LoadPalette(palette.path, false))
            m_window.executeCommand(Command::PaletteChanged);
    }
    const int group = set.document().pageGroup(window.page());
    m_window.executeCommand(
        commandAt(Command::ColourGroupFirst, group < std::max(groups, 1) ? group : 0));

    ImageWindow* holder = windowOfFile(path);
    if (!holder) {
        m_window.documents().openNamedFile(path, false);
        holder = windowOfFile(path);
    }
    if (!holder)
        return nullptr;
    if (QMdiArea* area = m_window.clientArea())
        for (ChildFrame* frame : m_window.childFrames())
            if (frame->imageWindow() == holder)
                area->setActiveSubWindow(frame);
    m_window.raise();
    m_window.activateWindow();
    window.RedrawAll();
    return holder;
}

std::unique_ptr<StepAction> SetController::OfferSetWideRemap(const PaletteBroadcast& broadcast) {
    const AppState& app = m_window.app();
    if (!movesIndices(broadcast) || !app.currentPaletteFile)
        return nullptr;
    const std::string palettePath = app.currentPaletteFile->path();

    // The closed cell files of every open set that draw with this palette
    // file; open ones already followed in their windows.  A file two sets
    // share is rewritten once.
    struct Work {
        SetWindow* window;
        std::vector<int> files;
    };
    std::vector<Work> work;
    std::vector<std::string> seen;
    std::size_t count = 0;
    for (SetWindow* w : setWindows()) {
        const KissSet& set = w->set();
        Work item{w, {}};
        for (std::size_t p = 0; p < set.palettes().size(); ++p) {
            if (!samePath(set.palettes()[p].path, palettePath))
                continue;
            for (int f : filesUsingPalette(set, static_cast<int>(p))) {
                const std::string& path = set.files()[static_cast<std::size_t>(f)].path;
                const bool done = std::any_of(seen.begin(), seen.end(), [&](const std::string& s) {
                    return samePath(s, path);
                });
                if (done || windowOfFile(path))
                    continue;
                seen.push_back(path);
                item.files.push_back(f);
            }
        }
        if (!item.files.empty()) {
            count += item.files.size();
            work.push_back(std::move(item));
        }
    }
    if (work.empty())
        return nullptr;

    const QString question =
        QStringLiteral("パレット「%1」はセットの閉じているセル %2 個でも使われています。\n"
                       "それらのファイルの画素も同じように書き換えますか？")
            .arg(fileNameText(palettePath))
            .arg(count);
    if (m_window.ui().messageBox(question.toStdString(), "CELDO", MessageIcon::Question,
                                 MessageButtons::YesNo) != answer::Yes)
        return nullptr;

    std::vector<SetFileChange> changes;
    for (const Work& item : work) {
        std::vector<SetFileChange> done;
        const Status code = RemapSetFiles(item.window->set(), item.files, broadcast.remap, done);
        if (code != status::Ok) {
            // All or nothing: the files of the sets before go back too.
            RestoreSetFiles(changes, false);
            const QString failed =
                code == status::DepthNotSavable
                    ? QStringLiteral("16 色のセルに入らない番号になるため、セルのファイルは"
                                     "書き換えませんでした。")
                    : QStringLiteral("セルのファイルを書き換えられませんでした。"
                                     "どのファイルも変わっていません。");
            m_window.ui().messageBox(failed.toStdString(), "CELDO", MessageIcon::Error,
                                     MessageButtons::Ok);
            return nullptr;
        }
        std::move(done.begin(), done.end(), std::back_inserter(changes));
    }
    std::vector<std::string> paths;
    QString list;
    for (const SetFileChange& c : changes) {
        paths.push_back(c.path);
        list += QStringLiteral("\n") + fileNameText(c.path);
    }
    FilesRewritten(paths);
    const QString report =
        changes.empty()
            ? QStringLiteral("書き換えの要るセルのファイルはありませんでした。")
            : QStringLiteral("次の %1 個のファイルを書き換えました:").arg(changes.size()) + list;
    m_window.ui().messageBox(report.toStdString(), "CELDO", MessageIcon::Information,
                             MessageButtons::Ok);
    if (changes.empty())
        return nullptr;
    return std::make_unique<SetFilesAction>(std::move(changes), QPointer<SetController>(this));
}

void SetController::FilesRewritten(const std::vector<std::string>& paths) {
    for (SetWindow* w : setWindows()) {
        std::vector<int> files;
        const std::vector<SetCellFile>& all = w->set().files();
        for (std::size_t f = 0; f < all.size(); ++f)
            for (const std::string& path : paths)
                if (samePath(all[f].path, path)) {
                    files.push_back(static_cast<int>(f));
                    break;
                }
        if (!files.empty())
            w->FilesRewritten(files);
    }
}

} // namespace celdo
