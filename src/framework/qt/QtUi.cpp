#include "framework/qt/QtUi.h"

#include "framework/ControlTable.h"
#include "framework/qt/ControlTableDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace celdo {

namespace {
Ui* g_responder = nullptr;
}

void QtUi::setResponder(Ui* responder) {
    g_responder = responder;
}
Ui* QtUi::responder() {
    return g_responder;
}

int QtUi::messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                     MessageButtons buttons) {
    if (g_responder)
        return g_responder->messageBox(text, caption, icon, buttons);
    QMessageBox box(m_parent);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return answer::Yes;
    case QMessageBox::No:
        return answer::No;
    case QMessageBox::Cancel:
        return answer::Cancel;
    default:
        return answer::Ok;
    }
}

int QtUi::runDialog(ControlTable& table) {
    if (g_responder)
        return g_responder->runDialog(table);
    ControlTableDialog dialog(table, m_parent);
    const int result = dialog.exec();
    return result == QDialog::Rejected ? 2 : result;
}

namespace {

// "BMP" "*.BMP" becomes "BMP (*.BMP *.bmp)": file names here are case
// sensitive, while the type lists are written for upper-case extensions.
QString nameFilter(const FileType& type) {
    const QString pattern = QString::fromStdString(type.pattern);
    QString patterns = pattern;
    if (pattern.toLower() != pattern)
        patterns += QLatin1Char(' ') + pattern.toLower();
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(type.description), patterns);
}

} // namespace

FileDialog::Result QtUi::systemFileDialog(const FileDialog::Request& request) {
    if (g_responder)
        return g_responder->systemFileDialog(request);
    QFileDialog dialog(m_parent, QString::fromStdString(request.title));
    QStringList filters;
    for (const FileType& type : request.types)
        filters << nameFilter(type);
    dialog.setNameFilters(filters);
    if (request.typeIndex >= 0 && request.typeIndex < filters.size())
        dialog.selectNameFilter(filters[request.typeIndex]);
    if (!request.directory.empty())
        dialog.setDirectory(QString::fromStdString(request.directory));
    if (request.mode == FileDialog::Load) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.fileName.empty())
            dialog.selectFile(QString::fromStdString(request.fileName));
    }
    dialog.setOption(QFileDialog::ReadOnly, false);

    FileDialog::Result result;
    result.typeIndex = request.typeIndex;
    result.checkValue = request.checkValue;
    // The main window stays disabled while the dialog is open (it is modal).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    // 300 characters at most, as the dialog's name buffer holds.
    const QString path = dialog.selectedFiles().constFirst();
    if (path.size() >= 300)
        return result;
    result.confirmed = true;
    result.path = path.toStdString();
    const int chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        result.typeIndex = chosen;
    return result;
}

void QtUi::beginWait() {
    // A test's responder learns of the wait too; the cursor still changes.
    if (Ui* r = responder())
        r->beginWait();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
void QtUi::endWait() {
    QApplication::restoreOverrideCursor();
    if (Ui* r = responder())
        r->endWait();
}

} // namespace celdo
