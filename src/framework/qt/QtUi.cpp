#include "framework/qt/QtUi.h"

#include "framework/ControlTable.h"
#include "framework/qt/ControlTableDialog.h"

#include <QApplication>
#include <QMessageBox>

namespace celdo {

namespace {
Ui* g_responder = nullptr;
}

void QtUi::setResponder(Ui* responder) { g_responder = responder; }
Ui* QtUi::responder() { return g_responder; }

int QtUi::messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                     MessageButtons buttons) {
    if (g_responder)
        return g_responder->messageBox(text, caption, icon, buttons);
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return answer::Yes;
    case QMessageBox::No: return answer::No;
    case QMessageBox::Cancel: return answer::Cancel;
    default: return answer::Ok;
    }
}

int QtUi::runDialog(ControlTable& table) {
    if (g_responder)
        return g_responder->runDialog(table);
    ControlTableDialog dialog(table, m_parent);
    const int result = dialog.exec();
    return result == QDialog::Rejected ? 2 : result;
}

void QtUi::beginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void QtUi::endWait() { QApplication::restoreOverrideCursor(); }

} // namespace celdo
