#pragma once

#include "app/CommandHandlers.h"
#include "canvas/SizeChange.h"
#include "core/CellImage.h"
#include "core/Rect.h"
#include "formats/GraphicFile.h"
#include "history/UndoHistory.h"

#include <QAbstractScrollArea>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace celdo {

class Canvas;
class CanvasView;
class EditorHost;
struct FilterCommandResult;
struct PaletteBroadcast;

// The image window ("Frame"): one picture as a document.  A grey margin of 8
// pixels around the canvas, both scroll bars (snapped to the zoom factor when
// magnified), the document link, and the window-level commands: save, save
// as, image information, size change, mask commands, zoom, copy, filters.
class ImageWindow : public QAbstractScrollArea {
    Q_OBJECT
public:
    ImageWindow(EditorHost& host, QWidget* parent = nullptr);
    ~ImageWindow() override;

    // The canvas takes the picture; with `replace` mask edit mode is left
    // first.  Null hides the window's contents.
    void SetPicture(CellImagePtr picture, bool replace);
    void SetDocument(std::unique_ptr<GraphicFile> document);
    void AttachMask(CellImagePtr mask);

    GraphicFile* document() const { return m_document.get(); }
    // The document's file name without directory; without a document the
    // file name the picture is known by, or "(無題)".
    QString displayName() const;
    // A picture without a document that still belongs to a file (one
    // brought back after a crash): its window carries the file's name and
    // the save dialog offers it.
    void SetUntitledName(const std::string& path);
    // The document's path, else the untitled name; empty for a new picture.
    std::string originalPath() const;
    Canvas& canvas();
    CanvasView* canvasView() const { return m_view; }
    bool hasPicture() const;

    // The save question when modified: true when the window may close.
    bool QueryClose();
    // Commands routed to the image window; false when not handled.
    bool handleCommand(Command command);
    // Tells the frame when the picture's modified flag changed since it was
    // last told (after an edit, a command, a save).
    void syncModified();
    // The current colour group changed: the picture takes it and repaints.
    void paletteChanged();
    // This window's lane in the undo history.
    UndoHistory::Lane undoLane() const { return m_lane; }
    // The picture just came from a file, the clipboard or a recovery: its
    // history starts here (saved unless it is marked modified).
    void RestartHistory();
    // Closes the step of a command that changed the picture.
    void RecordStep();
    // Ends a gesture or a paste under way as cancelling it would, dropping
    // what it painted.
    void CancelGesture();
    // What undo or redo may change that the window shows beyond pixels.
    struct Shown {
        int width = 0;
        int height = 0;
        bool maskMode = false;
    };
    Shown shown();
    // After undo or redo moved this window's picture away from `before`:
    // size, mode (the mask density window follows it), repaint and the
    // modified mark.
    void historyMoved(const Shown& before);
    // One of the palette board's broadcasts.
    void applyPaletteBroadcast(const PaletteBroadcast& broadcast);

    // The client size that shows the whole canvas with its margins
    // (extentWidth × extentHeight), for fitting the child frame.
    QSize extentSize() const;
    // Width of the vertical scroll bar and height of the horizontal one.
    QSize scrollBarExtent() const;

    // A zoom command.  `centrePending` 1: centred on the middle of the
    // visible area (main menu); 2: on the canvas's zoom centre (popup menu
    // and keys).
    void ZoomTo(Command command, int centrePending);
    // Save and save as: true when the picture was written.
    bool Save();
    bool SaveAs();
    void ShowImageInfo();
    void ChangeSize();
    // The mask commands, from mask edit to mask clear.
    void MaskCommand(Command command);
    bool maskEnabled() const;
    bool maskMode() const;
    // The whole-picture filter.
    void WholePictureFilter();
    // Command 114: a paste window with the clipboard's picture and mask; a
    // true-colour picture after the full-colour question and the reduction,
    // a 1- or 4-bit one widened with the current colour group.
    void PasteFromClipboard();
    // Opens a paste window over the canvas with an 8-bit picture (or any
    // depth the colour converter reads) and its paste mask (may be null).
    // Nothing without a picture on either side.
    void startPaste(CellImagePtr picture, CellImagePtr mask);
    // Tool 512 on release of the drag over `dragged` (image pixels, right and
    // bottom exclusive): the region filter.
    void RegionFilter(const Rect& dragged);

signals:
    // The display name changed (new document, first save).
    void titleChanged(const QString& title);
    // The modified mark of the caption: set after a change, cleared by a
    // save.
    void modifiedChanged(bool modified);
    // The window wants its frame fitted (after a zoom or a new picture).
    void fitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Layout();
    void updateScrollBars();
    void applyPendingCentre();
    void scrollTo(int x, int y);
    int snapped(int position) const;
    void stepAction(Qt::Orientation orientation, int action);
    void placeCanvas();
    // Saves with `document` (or under a new name when null), then the mask.
    bool saveThrough(GraphicFile* document);
    std::optional<std::pair<int, int>> applySizeChange(const Margins& margins);
    void repaintCanvas();
    // Repaint, palette notice or hand-over of a new picture after a filter.
    void filterDone(const FilterCommandResult& result);
    void registerCommands();

    EditorHost& m_host;
    CanvasView* m_view = nullptr;
    // Held apart from the host: the window may outlive the main window's
    // own part while Qt destroys its children, never the program's state.
    UndoHistory& m_history;
    UndoHistory::Lane m_lane = UndoHistory::PaletteLane;
    std::unique_ptr<GraphicFile> m_document;
    std::string m_untitledPath;
    int m_centrePending = 0;
    bool m_shownModified = false;
    CommandHandlers m_commands;
};

} // namespace celdo
