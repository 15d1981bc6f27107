#pragma once

#include "app/AppState.h"
#include "app/CommandLine.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace celdo {

class MainWindow;

// The editor's application object: start-up in the program's order, the main
// window, and (through the main window's close) the orderly shutdown.  One
// source serves both builds; the frame variant picks the settings section
// and the main window's kind.
class EditorApplication {
public:
    // Exit code when the main window cannot be created.
    static constexpr int NoWindowExitCode = 9;

    EditorApplication(FrameVariant variant, const std::filesystem::path& programDirectory);
    ~EditorApplication();

    // Reads the settings, loads DEFAULT.KCF into the palette set, creates the
    // main window with its status bar and toolbar, and queues UM_STARTUP
    // with `words`.  False when the window could not be made.
    bool StartUp(std::vector<CommandWord> words);

    AppState& state() { return m_app; }
    MainWindow* mainWindow() const { return m_window.get(); }

private:
    AppState m_app;
    std::unique_ptr<MainWindow> m_window;
};

// The program: QApplication, start-up, the main window shown, the event loop.
int RunEditor(FrameVariant variant, int argc, char* argv[]);

} // namespace celdo
