#pragma once

#include "app/CommandHandlers.h"
#include "app/CommandLine.h"
#include "app/LoadedImage.h"

#include <string>
#include <vector>

class QString;

namespace celdo {

class ImageWindow;
class MainWindow;

// Brings pictures into image windows: files named on the command line,
// dropped or chosen in the open dialog, history entries, the new-image
// dialog, the clipboard and filter results.  Every source hands a
// LoadedImage to show(), which reconciles its palette with the current
// colour group and gives it a window of the main window's build.
class DocumentController {
public:
    explicit DocumentController(MainWindow& window) : m_window(window) {}

    // New image, open, the clipboard picture and the file history.
    void registerCommands(CommandHandlers& handlers);

    // Command::StartUp: the command-line words, then the boards that were
    // open.
    void startUp(const std::vector<CommandWord>& words);
    // Command-line words and dropped files of the multiple-document build,
    // in order: KCF files as the palette, everything else as pictures.
    void openFiles(const std::vector<CommandWord>& words);
    // The single-document build's rule for its words (dropped: the last
    // palette wins).
    void openFilesSingle(const std::vector<CommandWord>& words, bool dropped);
    // Files dropped on the window, in drop order.
    void dropFiles(const std::vector<std::string>& names);
    // Command::OpenNamedFile and history entries: the already-open question,
    // then the load and a new image window.
    void openNamedFile(const std::string& path, bool showInfo);
    // The open dialog, then openNamedFile.
    void chooseAndOpen();
    void newImage();
    void openClipboardImage();

    // A picture into a new image window (in the single-document build: into
    // the one window, after its save question).  Returns the window, or null
    // when the picture was not shown.
    ImageWindow* show(LoadedImage loaded);

private:
    int askAlreadyOpen(const QString& displayName);

    MainWindow& m_window;
};

} // namespace celdo
