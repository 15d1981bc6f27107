#pragma once

#include "app/AppState.h"
#include "app/FilterCommands.h"
#include "app/LoadSaveDispatch.h"
#include "framework/ScriptedUi.h"
#include "framework/qt/QtUi.h"
#include "palette/PaintSelection.h"
#include "ui/EditorHost.h"

#include <QDir>
#include <QKeyEvent>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace celdo {

// The main window as an image window sees it, for UI tests: every question
// goes to a ScriptedUi through the Qt responder hook; status texts, posted
// commands and toolbar refreshes are recorded.
class FakeEditorHost : public EditorHost {
public:
    FakeEditorHost()
        : m_app(std::make_unique<AppState>(FrameVariant::MultipleDocument,
                                           QDir::tempPath().toStdString())),
          m_dispatch(*m_app, m_qtUi) {
        QtUi::setResponder(&scripted);
    }
    ~FakeEditorHost() override { QtUi::setResponder(nullptr); }

    AppState& app() override { return *m_app; }
    Ui& ui() override { return m_qtUi; }
    LoadSaveDispatch& dispatch() override { return m_dispatch; }
    QWidget* hostWindow() override { return nullptr; }
    void setStatusText(const QString& text) override { statusTexts << text; }
    void setToolPaneText(const QString& text) override { toolPaneTexts << text; }
    void restoreToolPaneText() override { ++toolNameRestores; }
    void postCommand(Command command) override { posted.push_back(command); }
    void refreshToolbar() override { ++toolbarRefreshes; }
    FilterState& filters() override { return filterState; }
    void startInstance(const std::vector<std::string>& arguments) override {
        startedInstances.push_back(arguments);
    }
    void forwardKey(QKeyEvent* event) override { forwardedKeys.push_back(event->key()); }
    void selectColour(int index, int paintKind) override {
        selections.push_back({index, paintKind});
        SelectPaint(m_app->colours, index, paintKind);
    }

    ScriptedUi scripted;
    QStringList statusTexts;
    QStringList toolPaneTexts;
    int toolNameRestores = 0;
    std::vector<Command> posted;
    int toolbarRefreshes = 0;
    FilterState filterState;
    std::vector<std::vector<std::string>> startedInstances;
    std::vector<int> forwardedKeys;
    std::vector<std::pair<int, int>> selections; // index, paint kind

private:
    std::unique_ptr<AppState> m_app;
    QtUi m_qtUi;
    LoadSaveDispatch m_dispatch;
};

} // namespace celdo
