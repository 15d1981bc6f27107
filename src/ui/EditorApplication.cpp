#include "ui/EditorApplication.h"

#include "app/FilterCommands.h"
#include "app/ProgramDirectory.h"
#include "framework/qt/QtUi.h"
#include "ui/MainWindow.h"
#include "ui/QtTranslation.h"

#include <QApplication>

namespace celdo {

EditorApplication::EditorApplication(FrameVariant variant,
                                     const std::filesystem::path& programDirectory)
    : m_app(variant, programDirectory) {}

EditorApplication::~EditorApplication() = default;

bool EditorApplication::StartUp(std::vector<CommandWord> words) {
    // Qt's own texts follow the program's Japanese; a missing file leaves
    // them in English.
    InstallQtTranslation();
    m_app.readSettings();

    // The plug-ins are registered before the window exists; the main window
    // keeps them from then on.
    FilterState filters;
    QtUi ui;
    filters.registerPlugins(m_app.settings(), m_app.programDirectory(), ui);

    m_window = std::make_unique<MainWindow>(m_app);
    m_window->filters() = std::move(filters);
    m_window->postCommand(Command::RefreshToolbar);
    m_app.prepareBoards(m_window->ui(), m_window->windowTitle().toStdString());
    m_window->setAcceptDrops(true);
    MainWindow* window = m_window.get();
    window->autoSaver().Start();
    // Command::StartUp, behind everything start-up queued.
    QMetaObject::invokeMethod(
        window,
        [window, words = std::move(words)] {
            window->documents().startUp(words);
            window->openBoardsAtStartUp();
            // Behind the single-document build's queued open, so the
            // question knows whether the window got a picture.
            QMetaObject::invokeMethod(
                window, [window] { window->autoSaver().OfferRestore(); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

int RunEditor(FrameVariant variant, int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(variant == FrameVariant::MultipleDocument
                                         ? QStringLiteral("celdom")
                                         : QStringLiteral("celdos"));
    EditorApplication editor(variant, ProgramDirectory());
    if (!editor.StartUp(ParseCommandLine(argc, argv)))
        return EditorApplication::NoWindowExitCode;
    editor.mainWindow()->show();
    return application.exec();
}

} // namespace celdo
