#pragma once

#include "framework/FileDialog.h"

#include <string>

namespace celdo {

struct ControlTable;

// Message box icons and button sets, and the pressed button's result (the
// numbers are the platform's dialog results: 1 OK, 2 Cancel, 6 Yes, 7 No).
enum class MessageIcon { Information, Question, Warning, Error };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
namespace answer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace answer

// How the engine asks the user.  The engine never shows anything itself; the
// Qt layer implements this with real dialogs, tests with a scripted responder.
class Ui {
public:
    virtual ~Ui() = default;

    // Shows a message box and returns the pressed button (answer::...).
    virtual int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) = 0;

    // Runs a modal dialog described by `table`; returns 1 (confirmed) or 2
    // (cancelled), or the id of another closing button.  Edited values are
    // left in the table.
    virtual int runDialog(ControlTable& table) = 0;

    // Long work: the wait cursor, and a progress indication that the
    // implementation may show when the work takes more than a moment.
    virtual void beginWait() {}
    virtual void endWait() {}
    virtual void progress(long long /*done*/, long long /*total*/) {}

    // The platform's own open or save dialog (used when UseCommonDialog is
    // 1).  Without one, the program's own dialog is shown.
    virtual FileDialog::Result systemFileDialog(const FileDialog::Request& request) {
        return FileDialog::Run(*this, request);
    }
};

// A Ui that answers every question with its default: message boxes with the
// first button (OK / Yes), dialogs confirmed with their values untouched.
// For command-line tools and code paths that must not ask.
class DefaultUi : public Ui {
public:
    int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;
    int runDialog(ControlTable& table) override;
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    explicit WaitCursor(Ui& ui) : m_ui(ui) { m_ui.beginWait(); }
    ~WaitCursor() { m_ui.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Ui& m_ui;
};

} // namespace celdo
