#include "framework/qt/ControlWidgets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

bool ShowControlValue(QWidget* widget, const Control& c) {
    switch (c.kind) {
    case ControlKind::Edit: {
        auto* edit = static_cast<QLineEdit*>(widget);
        if (edit->text() != q(c.text))
            edit->setText(q(c.text));
        return true;
    }
    case ControlKind::Check:
        static_cast<QCheckBox*>(widget)->setChecked(c.value != 0);
        return true;
    case ControlKind::Radio:
        static_cast<QRadioButton*>(widget)->setChecked(c.value != 0);
        return true;
    case ControlKind::ScrollBar: {
        auto* bar = static_cast<QScrollBar*>(widget);
        bar->setRange(c.minimum, std::max(c.minimum, c.maximum));
        bar->setPageStep(c.pageStep);
        bar->setSingleStep(c.lineStep);
        bar->setValue(c.value);
        return true;
    }
    default:
        return false;
    }
}

void ShowListItems(QListWidget* list, const Control& c) {
    QStringList items;
    for (const std::string& item : c.items)
        items << q(item);
    QStringList present;
    for (int r = 0; r < list->count(); ++r)
        present << list->item(r)->text();
    if (present != items) {
        list->clear();
        list->addItems(items);
    }
    list->setCurrentRow(c.value);
}

} // namespace celdo
