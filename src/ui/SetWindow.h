#pragma once

#include "core/Rect.h"
#include "framework/qt/QtUi.h"
#include "history/UndoHistory.h"
#include "sets/KissSet.h"
#include "sets/SetPage.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <vector>

class QActionGroup;
class QLabel;
class QScrollArea;

namespace celdo {

class ImageWindow;
class SetController;
class SetView;

// A KiSS set's pages as a viewer shows them, in a window of its own in both
// builds.  Keys 0–9 and the page menu choose the page (drawn with its colour
// group), the zoom follows the image windows' levels, the status bar names
// the cell and object under the pointer.  A double click opens a cell in an
// image window; the set window shows every change made there at once.
// Objects dragged to new places are written by "セットの保存".
class SetWindow : public QMainWindow {
    Q_OBJECT
public:
    SetWindow(SetController& controller, std::unique_ptr<KissSet> set, QWidget* parent);
    ~SetWindow() override;

    KissSet& set() { return *m_set; }
    const KissSet& set() const { return *m_set; }
    SetController& controller() { return m_controller; }
    SetView* view() const { return m_view; }
    Ui& ui() { return m_ui; }
    const SetPageView& pageView() const { return m_pageView; }
    int page() const { return m_pageView.page; }

    void ShowPage(int page);
    // A zoom code as the image windows use them (−5 … 7); others are ignored.
    void SetZoomCode(int code);
    void SetInitialScript(bool on);
    // "物体を動かす": a drag moves objects whatever the current tool.
    bool movingObjects() const;
    void SetMovingObjects(bool on);
    // Writes the configuration file with the objects' new places; true when
    // it was written (or nothing had moved).
    bool Save();
    // The save question for moved objects: true when the window may close.
    bool QueryClose();
    // Opens the cell in an image window (or activates the one showing it)
    // with its palette file as the palette and the page's group current.
    ImageWindow* OpenCell(int cell);

    // Pixels of a cell file changed in its image window: the cells drawn
    // from it on this page are drawn again there.
    void FileChanged(int file, const Rect& pixels);
    // Files on disk changed (a set-wide operation or its undo).
    void FilesRewritten(const std::vector<int>& files);
    // The palette changed, or a picture came or went: the page is drawn
    // again.
    void RedrawAll();
    // An object moved: the caption's modified mark and the page.
    void ObjectMoved();
    // What undo and redo in this window step through, newest last: a drag
    // that ended somewhere else, or a gesture painted here on a cell.
    void RecordMove(int page, int object, Point from, Point to);
    void RecordPaint(UndoHistory::Lane lane);
    // Undo (or redo) of this window's latest step; without one, of the
    // selected cell's latest step.
    void StepHistory(bool redo);
    void showStatus(const QString& text);
    // What the status bar says besides the pointer's place.
    QString statusText() const;
    void updateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void showReports();

    SetController& m_controller;
    std::unique_ptr<KissSet> m_set;
    QtUi m_ui{this};
    SetPageView m_pageView;
    SetView* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_pointer = nullptr;
    QLabel* m_message = nullptr;
    QTimer m_messageTimer;
    QActionGroup* m_pages = nullptr;
    QActionGroup* m_zooms = nullptr;
    QAction* m_moveObjects = nullptr;
    struct Step {
        bool move = false;
        int page = 0;
        int object = 0;
        Point from;
        Point to;
        UndoHistory::Lane lane = UndoHistory::PaletteLane;
    };
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
};

} // namespace celdo
