#pragma once

#include "framework/Ui.h"

#include <functional>

class QWidget;

namespace celdo {

// The Ui port on Qt: real message boxes and modal dialogs parented to a
// window.  Tests install a responder that answers instead of the user.
class QtUi : public Ui {
public:
    explicit QtUi(QWidget* parent = nullptr) : m_parent(parent) {}

    int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;
    int runDialog(ControlTable& table) override;
    void beginWait() override;
    void endWait() override;
    // UseCommonDialog = 1: the platform's open and save dialog (QFileDialog).
    FileDialog::Result systemFileDialog(const FileDialog::Request& request) override;

    // When set, every message box and dialog goes to the responder instead of
    // the screen (UI tests answer modal questions this way, with no timers).
    static void setResponder(Ui* responder);
    static Ui* responder();

private:
    QWidget* m_parent;
};

} // namespace celdo
