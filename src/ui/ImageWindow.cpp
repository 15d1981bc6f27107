#include "ui/ImageWindow.h"

#include "app/AppState.h"
#include "app/CommandTable.h"
#include "app/FilterCommands.h"
#include "app/ImageWindowDialogs.h"
#include "app/LoadSaveDispatch.h"
#include "canvas/Canvas.h"
#include "canvas/MaskEdit.h"
#include "canvas/PasteSession.h"
#include "canvas/ReplaceIndex.h"
#include "canvas/qt/Clipboard.h"
#include "framework/Ui.h"
#include "palette/PaletteOperations.h"
#include "ui/CanvasView.h"
#include "ui/EditorHost.h"
#include "ui/MaskDensityWindow.h"
#include "ui/PasteWindow.h"
#include "ui/PreparedClipboard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace celdo {

namespace {

constexpr int Margin = 8;
constexpr const char* Caption = "Celdos";
constexpr const char* NoUndoMemoryMessage =
    "メモリが足りないため、この画像の元に戻す記録を消しました";

std::string saveQuestion(const QString& name) {
    return name.toStdString() + " は変更されてます。保存しますか？";
}

} // namespace

ImageWindow::ImageWindow(EditorHost& host, QWidget* parent)
    : QAbstractScrollArea(parent), m_host(host), m_history(host.app().history) {
    setObjectName("Frame");
    QPalette grey = viewport()->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    viewport()->setPalette(grey);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    WireCanvasHooks(host.app());
    if (!host.app().editing.hooks.maskPaintValueChanged)
        host.app().editing.hooks.maskPaintValueChanged = [](int value) {
            MaskDensityWindow::ShowValue(value);
        };

    m_view = new CanvasView(host, viewport());
    m_view->move(Margin, Margin);
    m_view->visibleArea = [this] { return QRect(-m_view->pos(), viewport()->size()); };
    connect(m_view, &CanvasView::zoomRequested, this, [this](Command c) {
        setFocus();
        ZoomTo(c, 2);
    });
    connect(m_view, &CanvasView::saveRequested, this, [this] {
        setFocus();
        Save();
    });
    connect(m_view, &CanvasView::pictureChanged, this, &ImageWindow::syncModified);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { stepAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { stepAction(Qt::Vertical, action); });
    m_view->hide();
    m_lane = m_history.Open(m_view->canvas().surface());
    m_view->setUndoLane(m_lane);
    Layout();
    registerCommands();
}

ImageWindow::~ImageWindow() {
    m_history.Close(m_lane);
    if (m_view && m_view->canvas().surface().maskMode)
        MaskDensityWindow::CloseWindow();
}

void ImageWindow::RestartHistory() {
    if (m_history.Reset(m_lane) != status::Ok)
        m_host.setStatusText(QString::fromUtf8(NoUndoMemoryMessage));
}

void ImageWindow::RecordStep() {
    if (m_history.Commit(m_lane) != status::Ok)
        m_host.setStatusText(QString::fromUtf8(NoUndoMemoryMessage));
    syncModified();
    m_host.refreshToolbar();
}

void ImageWindow::CancelGesture() {
    for (PasteWindow* paste : m_view->findChildren<PasteWindow*>(Qt::FindDirectChildrenOnly))
        paste->cancel();
    m_view->cancelGesture();
}

ImageWindow::Shown ImageWindow::shown() {
    return {canvas().width(), canvas().height(), canvas().surface().maskMode};
}

void ImageWindow::historyMoved(const Shown& before) {
    Canvas& c = canvas();
    const bool maskMode = c.surface().maskMode;
    if (maskMode != before.maskMode) {
        if (maskMode)
            MaskDensityWindow::Open(m_host.app().editing, m_host.hostWindow());
        else
            MaskDensityWindow::CloseWindow();
    }
    if (before.width != c.width() || before.height != c.height()) {
        // A size change undone or redone: back to 1:1 as after the change.
        c.zoom().Reset(c.width(), c.height());
        m_centrePending = 0;
        Layout();
        emit fitRequested();
    }
    repaintCanvas();
    syncModified();
}

Canvas& ImageWindow::canvas() {
    return m_view->canvas();
}
bool ImageWindow::hasPicture() const {
    return m_view->canvas().picture() != nullptr;
}
bool ImageWindow::maskEnabled() const {
    return m_view->canvas().surface().maskEnabled;
}
bool ImageWindow::maskMode() const {
    return m_view->canvas().surface().maskMode;
}

QString ImageWindow::displayName() const {
    if (m_document)
        return QString::fromStdString(m_document->name());
    if (!m_untitledPath.empty())
        return QString::fromStdString(std::filesystem::path(m_untitledPath).filename().string());
    return QStringLiteral("(無題)");
}

void ImageWindow::SetUntitledName(const std::string& path) {
    m_untitledPath = path;
    emit titleChanged(displayName());
}

std::string ImageWindow::originalPath() const {
    return m_document ? m_document->path() : m_untitledPath;
}

void ImageWindow::SetPicture(CellImagePtr picture, bool replace) {
    PaintSurface& surface = canvas().surface();
    if (replace && surface.maskMode) {
        MaskDensityWindow::CloseWindow();
        LeaveMaskMode(surface);
    }
    const bool present = picture != nullptr;
    canvas().SetPicture(std::move(picture));
    m_centrePending = 0;
    m_view->setVisible(present);
    Layout();
    RestartHistory();
    syncModified();
}

void ImageWindow::SetDocument(std::unique_ptr<GraphicFile> document) {
    m_document = std::move(document);
    emit titleChanged(displayName());
}

void ImageWindow::AttachMask(CellImagePtr mask) {
    celdo::AttachMask(canvas().surface(), std::move(mask));
    RestartHistory();
    repaintCanvas();
}

QSize ImageWindow::extentSize() const {
    const celdo::Zoom& zoom = m_view->canvas().zoom();
    return QSize(zoom.viewWidth() + 4 * Margin, zoom.viewHeight() + 4 * Margin);
}

void ImageWindow::repaintCanvas() {
    m_view->invalidateWhole();
}

void ImageWindow::Layout() {
    m_view->syncSize();
    updateScrollBars();
    placeCanvas();
    m_view->update();
}

void ImageWindow::placeCanvas() {
    m_view->move(Margin - horizontalScrollBar()->value(), Margin - verticalScrollBar()->value());
}

QSize ImageWindow::scrollBarExtent() const {
    return QSize(verticalScrollBar()->sizeHint().width(),
                 horizontalScrollBar()->sizeHint().height());
}

void ImageWindow::updateScrollBars() {
    // Decided on the area without bars: a bar shows only when the view does
    // not fit, and showing one narrows the room for the other.
    const QSize extent = extentSize();
    const QSize full = maximumViewportSize();
    const QSize bars = scrollBarExtent();
    bool needH = extent.width() > full.width();
    bool needV = extent.height() > full.height();
    if (needH && !needV)
        needV = extent.height() > full.height() - bars.height();
    if (needV && !needH)
        needH = extent.width() > full.width() - bars.width();
    const QSize page(full.width() - (needV ? bars.width() : 0),
                     full.height() - (needH ? bars.height() : 0));
    const int factor = canvas().zoom().mode() == Zoom::Magnified ? canvas().zoom().factor() : 1;
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, needH ? extent.width() - page.width() : 0);
    v->setRange(0, needV ? extent.height() - page.height() : 0);
    h->setPageStep(std::max(1, page.width()));
    v->setPageStep(std::max(1, page.height()));
    h->setSingleStep(factor);
    v->setSingleStep(factor);
    // The scroll area shows and hides its bars from a queued call; setting
    // the policy again lays them out now, so the viewport has its final
    // size at once.
    if (h->isVisibleTo(this) != needH || v->isVisibleTo(this) != needV)
        setVerticalScrollBarPolicy(verticalScrollBarPolicy());
    if (!needH && !needV)
        m_centrePending = 0;
}

void ImageWindow::applyPendingCentre() {
    if (!m_centrePending)
        return;
    m_centrePending = 0;
    const Canvas& c = canvas();
    const auto target =
        ZoomScrollTarget(c.zoom(), m_view->zoomCentre(), c.width(), c.height(),
                         viewport()->width() - Margin, viewport()->height() - Margin);
    if (!target)
        return;
    scrollTo(target->x.value_or(horizontalScrollBar()->value()),
             target->y.value_or(verticalScrollBar()->value()));
}

int ImageWindow::snapped(int position) const {
    const celdo::Zoom& zoom = m_view->canvas().zoom();
    if (zoom.mode() != Zoom::Magnified || zoom.factor() <= 1)
        return position;
    return position - position % zoom.factor();
}

void ImageWindow::scrollTo(int x, int y) {
    horizontalScrollBar()->setValue(snapped(std::clamp(x, 0, horizontalScrollBar()->maximum())));
    verticalScrollBar()->setValue(snapped(std::clamp(y, 0, verticalScrollBar()->maximum())));
}

void ImageWindow::stepAction(Qt::Orientation orientation, int action) {
    const celdo::Zoom& zoom = canvas().zoom();
    if (zoom.mode() != Zoom::Magnified)
        return;
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int page = bar->pageStep() * zoom.factor();
    if (action == QAbstractSlider::SliderPageStepAdd)
        bar->setSliderPosition(std::min(bar->maximum(), bar->value() + page));
    else if (action == QAbstractSlider::SliderPageStepSub)
        bar->setSliderPosition(std::max(0, bar->value() - page));
}

void ImageWindow::scrollContentsBy(int, int) {
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int x = snapped(h->value());
    const int y = snapped(v->value());
    if (x != h->value() || y != v->value()) {
        // Setting the snapped value scrolls again with the final position.
        h->setValue(x);
        v->setValue(y);
        return;
    }
    placeCanvas();
}

void ImageWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    placeCanvas();
}

bool ImageWindow::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        // The pointer is over the margin: the canvas sees the position
        // outside its picture.
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = e->position().toPoint() - m_view->pos();
        const bool left = (e->buttons() & Qt::LeftButton) != 0;
        if (event->type() == QEvent::MouseMove)
            m_view->handleMouse(MouseEvent::Move, p, left);
        else if (e->button() == Qt::LeftButton)
            m_view->handleMouse(event->type() == QEvent::MouseButtonPress ? MouseEvent::LeftPress
                                : event->type() == QEvent::MouseButtonRelease
                                    ? MouseEvent::LeftRelease
                                    : MouseEvent::LeftDoubleClick,
                                p, event->type() != QEvent::MouseButtonRelease);
        else if (e->button() == Qt::RightButton && event->type() != QEvent::MouseButtonRelease)
            m_view->handleMouse(MouseEvent::RightPress, p, left);
        return true;
    }
    case QEvent::Resize: {
        const bool result = QAbstractScrollArea::viewportEvent(event);
        updateScrollBars();
        placeCanvas();
        return result;
    }
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

void ImageWindow::keyPressEvent(QKeyEvent* event) {
    // The arrow keys move the pointer by one screen pixel instead of
    // scrolling, so a tool can be placed pixel by pixel.
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        step = QPoint(0, 1);
        break;
    default:
        break;
    }
    if (!step.isNull()) {
        QCursor::setPos(QCursor::pos() + step);
        return;
    }
    if (m_view->handleKey(event->text(), m_view->mapFromGlobal(QCursor::pos())))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

void ImageWindow::ZoomTo(Command command, int centrePending) {
    const int code = CommandTable::zoomCodeForCommand(command);
    if (!hasPicture() || code == CommandTable::NoZoom)
        return;
    Canvas& c = canvas();
    if (centrePending == 1)
        m_view->setZoomCentre(CenterView(c.zoom(), horizontalScrollBar()->value(),
                                         verticalScrollBar()->value(), viewport()->width(),
                                         viewport()->height()));
    if (!c.SetZoom(code))
        return;
    m_centrePending = centrePending;
    m_host.refreshToolbar();
    Layout();
    for (PasteWindow* paste : m_view->findChildren<PasteWindow*>(Qt::FindDirectChildrenOnly))
        paste->canvasZoomChanged();
    emit fitRequested();
    updateScrollBars();
    applyPendingCentre();
    placeCanvas();
}

bool ImageWindow::saveThrough(GraphicFile* document) {
    PaintSurface& surface = canvas().surface();
    if (!surface.picture)
        return false;
    if (surface.maskMode)
        CommitMaskView(surface);
    LoadSaveDispatch& dispatch = m_host.dispatch();
    if (document) {
        bool saved = false;
        dispatch.SaveImage(*document, *surface.picture, surface.mask.get(), &saved);
        if (!saved)
            return false;
        surface.modified = false;
        m_history.MarkSaved(m_lane);
        dispatch.SaveMaskFor(*document, surface);
        return true;
    }
    return false;
}

bool ImageWindow::Save() {
    if (!hasPicture())
        return false;
    if (!m_document)
        return SaveAs();
    const bool saved = saveThrough(m_document.get());
    syncModified();
    return saved;
}

bool ImageWindow::SaveAs() {
    PaintSurface& surface = canvas().surface();
    if (!surface.picture)
        return false;
    LoadSaveDispatch& dispatch = m_host.dispatch();
    const FileDialog::Result choice = dispatch.ChooseImageToSave(originalPath());
    if (!choice.confirmed || choice.path.empty())
        return false;
    if (surface.maskMode)
        CommitMaskView(surface);
    bool saved = false;
    dispatch.SaveImageAs(choice.path, *surface.picture, surface.mask.get(), m_document,
                         m_host.app().fileOptions.saveOption != 0, &saved);
    if (!saved || !m_document)
        return false;
    surface.modified = false;
    m_history.MarkSaved(m_lane);
    dispatch.SaveMaskFor(*m_document, surface);
    emit titleChanged(displayName());
    syncModified();
    return true;
}

bool ImageWindow::QueryClose() {
    PaintSurface& surface = canvas().surface();
    if (!surface.modified || !surface.picture)
        return true;
    const int reply = m_host.ui().messageBox(saveQuestion(displayName()), Caption,
                                             MessageIcon::Question, MessageButtons::YesNoCancel);
    if (reply == answer::Cancel)
        return false;
    if (reply == answer::No)
        return true;
    if (m_document)
        return saveThrough(m_document.get());

    // Untitled: the new document only serves this save, the window closes.
    LoadSaveDispatch& dispatch = m_host.dispatch();
    const FileDialog::Result choice = dispatch.ChooseImageToSave(m_untitledPath);
    if (!choice.confirmed || choice.path.empty())
        return false;
    if (surface.maskMode)
        CommitMaskView(surface);
    std::unique_ptr<GraphicFile> document;
    bool saved = false;
    dispatch.SaveImageAs(choice.path, *surface.picture, surface.mask.get(), document,
                         m_host.app().fileOptions.saveOption != 0, &saved);
    if (!saved || !document)
        return false;
    surface.modified = false;
    m_history.MarkSaved(m_lane);
    dispatch.SaveMaskFor(*document, surface);
    syncModified();
    return true;
}

void ImageWindow::ShowImageInfo() {
    const CellImage* picture = canvas().picture();
    if (!picture)
        return;
    ControlTable table = GraphInfoTable(*picture);
    m_host.ui().runDialog(table);
}

std::optional<std::pair<int, int>> ImageWindow::applySizeChange(const Margins& margins) {
    Ui& ui = m_host.ui();
    switch (canvas().ChangeSize(margins)) {
    case SizeChangeResult::NegativeSize:
        ui.messageBox(NegativeSizeMessage, Caption, MessageIcon::Information, MessageButtons::Ok);
        return std::nullopt;
    case SizeChangeResult::Failed:
        ui.messageBox(SizeChangeFailedMessage, Caption, MessageIcon::Information,
                      MessageButtons::Ok);
        return std::nullopt;
    case SizeChangeResult::Unchanged:
        return std::nullopt;
    case SizeChangeResult::Applied:
        break;
    }
    RecordStep();
    m_centrePending = 0;
    Layout();
    emit fitRequested();
    return std::make_pair(canvas().width(), canvas().height());
}

void ImageWindow::ChangeSize() {
    const CellImage* picture = canvas().picture();
    if (!picture || canvas().surface().maskMode)
        return;
    SizeChangeActions actions;
    actions.apply = [this](const Margins& m) { return applySizeChange(m); };
    actions.propose = [this]() -> std::optional<Margins> {
        const CellImage* p = canvas().picture();
        return p ? ProposeMargins(*p) : std::nullopt;
    };
    ControlTable table = SizeChangeTable(displayName().toStdString(), picture->width(),
                                         picture->height(), std::move(actions));
    m_host.ui().runDialog(table);
}

void ImageWindow::MaskCommand(Command c) {
    PaintSurface& surface = canvas().surface();
    if (!surface.picture)
        return;
    Status result = status::Ok;
    switch (c) {
    case Command::MaskEdit:
        MaskDensityWindow::Open(m_host.app().editing, m_host.hostWindow());
        if (!surface.maskMode)
            EnterMaskMode(surface, &result);
        break;
    case Command::ImageEdit:
        MaskDensityWindow::CloseWindow();
        if (surface.maskMode)
            LeaveMaskMode(surface);
        break;
    case Command::MaskDisable:
        surface.maskEnabled = !surface.maskEnabled;
        break;
    case Command::MaskInvert:
        InvertMask(surface, &result);
        break;
    case Command::MaskClear:
        ClearMask(surface);
        break;
    default:
        return;
    }
    RecordStep();
    if (result != status::Ok)
        ShowErrorMessage(m_host.ui(), result);
    repaintCanvas();
}

void ImageWindow::WholePictureFilter() {
    if (!hasPicture())
        return;
    // The plug-in's dialogs are owned by this window.
    QWidget* owner = this;
    filterDone(RunWholePictureFilter(canvas().surface(), m_host.app(), m_host.filters(),
                                     m_host.ui(), owner));
}

void ImageWindow::RegionFilter(const Rect& dragged) {
    if (!hasPicture())
        return;
    QWidget* owner = this;
    filterDone(RunRegionFilter(canvas().surface(), m_host.app(), m_host.filters(), m_host.ui(),
                               dragged, owner));
}

void ImageWindow::PasteFromClipboard() {
    if (!hasPicture())
        return;
    if (auto loaded = TakePreparedClipboardPicture(m_host.dispatch()))
        startPaste(std::move(loaded->picture), std::move(loaded->mask));
}

void ImageWindow::startPaste(CellImagePtr picture, CellImagePtr mask) {
    const CellImage* target = canvas().picture();
    if (!target || !picture)
        return;
    const celdo::Zoom& zoom = canvas().zoom();
    auto session = std::make_unique<PasteSession>(
        std::move(picture), std::move(mask), target->palette(), m_host.app().conversion,
        target->width(), target->height(), PasteZoom{zoom.mode(), zoom.factor()},
        horizontalScrollBar()->value(), verticalScrollBar()->value());
    // Parent-owned: it closes with the canvas, or deletes itself when closed.
    auto* paste = new PasteWindow(m_host, *m_view, std::move(session));
    connect(paste, &PasteWindow::laidDown, this, [this](const Rect& changed) {
        RecordStep();
        m_view->invalidateImage(changed);
    });
    paste->show();
    paste->raise();
    paste->setFocus();
}

void ImageWindow::filterDone(const FilterCommandResult& result) {
    if (result.result == 0)
        return;
    if (result.route != NewImageRoute::None) {
        // The new picture travels through the clipboard; this one stays as
        // it was.
        const LoadedImage& made = result.newImage;
        if (made.picture)
            PutPictureOnClipboard(*made.picture, made.mask.get());
        if (result.route == NewImageRoute::OpenFromClipboard)
            m_host.postCommand(Command::OpenClipboardImage);
        else
            m_host.startInstance({"/CB"});
        return;
    }
    // The step holds the plug-in's colour table too: the current group
    // already took it.
    RecordStep();
    m_view->invalidateImage(result.changed);
    if (result.paletteChanged)
        m_host.postCommand(Command::PaletteChanged);
}

void ImageWindow::paletteChanged() {
    CellImage* picture = canvas().picture();
    if (!picture)
        return;
    ApplyCurrentPalette(*picture, m_host.app().palette);
    repaintCanvas();
    syncModified();
}

void ImageWindow::applyPaletteBroadcast(const PaletteBroadcast& broadcast) {
    if (!canvas().picture())
        return;
    ApplyPaletteBroadcast(canvas().surface(), broadcast, m_host.app().palette);
    repaintCanvas();
    syncModified();
}

bool ImageWindow::handleCommand(Command command) {
    const bool handled = m_commands.run(command);
    syncModified();
    return handled;
}

void ImageWindow::syncModified() {
    const bool modified = canvas().surface().modified;
    if (modified == m_shownModified)
        return;
    m_shownModified = modified;
    emit modifiedChanged(modified);
}

void ImageWindow::registerCommands() {
    m_commands.on(Command::Save, [this] { Save(); });
    m_commands.on(Command::SaveAs, [this] { SaveAs(); });
    m_commands.on(Command::Copy, [this] { CopyPictureToClipboard(canvas().surface()); });
    m_commands.on(Command::Paste, [this] { PasteFromClipboard(); });
    m_commands.on(Command::ImageInfo, [this] { ShowImageInfo(); });
    m_commands.on(Command::ChangeSize, [this] { ChangeSize(); });
    m_commands.on(Command::CopyLastRegion, [this] {
        if (const auto& region = canvas().state().lastRegion)
            CopyRegionToClipboard(canvas().surface(), *region);
    });
    for (Command mask : {Command::MaskEdit, Command::ImageEdit, Command::MaskDisable,
                         Command::MaskInvert, Command::MaskClear})
        m_commands.on(mask, [this, mask] { MaskCommand(mask); });
    m_commands.on(Command::PaletteChanged, [this] { paletteChanged(); });
    m_commands.on(Command::WholePictureFilter, [this] { WholePictureFilter(); });
    m_commands.onRun(Command::ZoomEighth, Command::ZoomSixteen,
                     [this](int index) { ZoomTo(commandAt(Command::ZoomEighth, index), 1); });
}

} // namespace celdo
