#pragma once

#include "app/CommandHandlers.h"
#include "core/Rect.h"
#include "history/StepAction.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

namespace celdo {

class ImageWindow;
class KissSet;
class MainWindow;
class SetWindow;
struct PaletteBroadcast;

// The open KiSS sets of the main window: opens them (the set command, the
// command line and drops), connects the image windows of their cells to the
// set windows, lets the sets draw the open pictures and the program's
// palette, and offers palette operations to every cell file of a set.
class SetController : public QObject {
    Q_OBJECT
public:
    explicit SetController(MainWindow& window);
    ~SetController() override;

    MainWindow& mainWindow() { return m_window; }

    void registerCommands(CommandHandlers& handlers);
    void chooseAndOpen();
    // A set window for the configuration file, or null (the error was shown).
    SetWindow* OpenSet(const std::string& path);
    std::vector<SetWindow*> setWindows() const;

    // A picture was shown in a new image window: its changes reach the set
    // windows that draw its file.
    void imageWindowShown(ImageWindow* window);
    // The palette or the current group changed: the set windows redraw.
    void paletteChanged();
    // The save question of every set window with moved objects; true when
    // the program may close.
    bool QueryCloseAll();

    // The image window holding the file, or null.
    ImageWindow* windowOfFile(const std::string& path) const;
    // The image window holding the file of a cell line, or null.
    ImageWindow* windowOfCell(const KissSet& set, int cell) const;
    // Opens a cell of a set window (see SetWindow::OpenCell).
    ImageWindow* OpenCell(SetWindow& window, int cell);
    // Before drawing: the pictures open in image windows and the program's
    // palette (when it is one of the set's palette files) stand in for the
    // set's own copies.
    void Attach(KissSet& set) const;

    // After a palette operation that moves pixel indices reached the open
    // pictures: asks whether the set's other cell files that use the palette
    // file follow, and rewrites them.  The work for the undo step, or null.
    std::unique_ptr<StepAction> OfferSetWideRemap(const PaletteBroadcast& broadcast);
    // Cell files were rewritten on disk (paths as the sets know them).
    void FilesRewritten(const std::vector<std::string>& paths);

private:
    void forwardChange(ImageWindow* window, const Rect& pixels);

    MainWindow& m_window;
    std::vector<QPointer<SetWindow>> m_sets;
};

} // namespace celdo
