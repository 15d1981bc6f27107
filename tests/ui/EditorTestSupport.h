#pragma once

// Shared set-up of the editor's UI tests: a temporary directory with copies
// of the sample set, CELDO_INI pointing into it, the scripted responder
// answering every dialog, and an editor started as the program starts.

#include "app/CommandLine.h"
#include "framework/ScriptedUi.h"
#include "framework/qt/QtUi.h"
#include "ui/EditorApplication.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

namespace celdo::testing {

inline std::string samplePath(const char* name) {
    return std::string(CELDO_SOURCE_DIR) + "/data/samples/" + name;
}

// Where the build puts DEFAULT.KCF beside the programs.
inline std::filesystem::path programDirectory() {
    return std::filesystem::path(CELDO_BINARY_DIR) / "bin";
}

struct EditorFixture {
    QTemporaryDir dir;
    ScriptedUi ui;
    std::string ini;

    EditorFixture() {
        ini = (dir.path() + QStringLiteral("/CELDO.INI")).toStdString();
        qputenv("CELDO_INI", QByteArray::fromStdString(ini));
        // Recovery files of one test never reach another or the user's own.
        qputenv("XDG_STATE_HOME", dir.path().toUtf8());
        QtUi::setResponder(&ui);
    }
    ~EditorFixture() { QtUi::setResponder(nullptr); }

    // A copy of a sample in the temporary directory.
    std::string copy(const char* sample, const char* as = nullptr) {
        const QString target = dir.path() + QLatin1Char('/') + QString::fromUtf8(as ? as : sample);
        QFile::copy(QString::fromStdString(samplePath(sample)), target);
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return target.toStdString();
    }

    std::unique_ptr<EditorApplication> start(FrameVariant variant,
                                             const std::vector<std::string>& words = {},
                                             MainWindow::InstanceStarter starter = {}) {
        auto editor = std::make_unique<EditorApplication>(variant, programDirectory());
        editor->StartUp(ParseWords(words));
        if (starter)
            editor->mainWindow()->setInstanceStarter(std::move(starter));
        settle();
        return editor;
    }

    // Runs the queued commands and messages.
    static void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

} // namespace celdo::testing
