#include "QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>
#include <utility>
#include <vector>

namespace cplugin {

namespace {

using Buttons = std::vector<std::pair<int, const char*>>;

// A column of buttons; a click ends the dialog with the button's number.
int chooseOperation(QDialog& dialog, const Buttons& buttons) {
    auto* layout = new QVBoxLayout(&dialog);
    for (const auto& [id, text] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(text), &dialog);
        button->setObjectName(QString::number(id));
        QObject::connect(button, &QPushButton::clicked, &dialog,
                         [&dialog, id = id] { dialog.done(id); });
        layout->addWidget(button);
    }
    const int result = dialog.exec();
    return result == QDialog::Rejected ? 2 : result;
}

int askAngle(QDialog& dialog, char* text, std::size_t textSize) {
    if (!text || textSize == 0)
        return 2;
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(QString::fromUtf8(text), &dialog);
    edit->setObjectName(QStringLiteral("220"));
    row->addWidget(edit);
    row->addWidget(new QLabel(QStringLiteral("(度)"), &dialog));
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), &dialog);
    cancel->setObjectName(QStringLiteral("2"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(1); });
    QObject::connect(cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(2); });
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    if (dialog.exec() != 1)
        return 2;
    const QByteArray typed = edit->text().toUtf8();
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(typed.size()), textSize - 1);
    std::memcpy(text, typed.constData(), n);
    text[n] = '\0';
    return 1;
}

// The owner named by the request, when it is one of this application's
// widgets (compared as a pointer only: a handle is never trusted blindly).
QWidget* ownerOf(void* window) {
    if (window)
        for (QWidget* w : QApplication::allWidgets())
            if (static_cast<void*>(w) == window)
                return w;
    return QApplication::activeWindow();
}

} // namespace

std::int32_t QtDialog(const char* dialog, const char* title, void* window, char* text,
                      std::size_t textSize) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 2;
    QDialog box(ownerOf(window));
    box.setObjectName(QString::fromUtf8(dialog));
    box.setWindowTitle(QString::fromUtf8(title));
    box.setModal(true);
    if (std::strcmp(dialog, "ROTATION") == 0)
        return chooseOperation(
            box,
            {{260, "右90度"}, {261, "左90度"}, {262, "鏡映(／)"}, {263, "鏡映(＼)"}, {2, "ｷｬﾝｾﾙ"}});
    if (std::strcmp(dialog, "INVERT") == 0)
        return chooseOperation(
            box, {{262, "上下反転"}, {261, "左右反転"}, {263, "半回転"}, {2, "ｷｬﾝｾﾙ"}});
    if (std::strcmp(dialog, "FREEROTATION") == 0)
        return askAngle(box, text, textSize);
    return 2;
}

} // namespace cplugin
