#include "framework/qt/ControlTableDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Mnemonic markers stay as they are: "&Load" shows an underlined L.
QColor swatchColour(int value) {
    const auto v = static_cast<unsigned>(value);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

bool isValueLabel(const ControlTable& table, int id) {
    for (const auto& c : table.controls)
        if (c.kind == ControlKind::ScrollBar && c.labelId == id)
            return true;
    return false;
}

} // namespace

ControlTableDialog::ControlTableDialog(ControlTable& table, QWidget* parent)
    : QDialog(parent), m_table(table) {
    setWindowTitle(q(table.title));
    setObjectName(q(table.name));
    setModal(true);
    m_table.refreshLabels();
    build();
    refresh();
}

QWidget* ControlTableDialog::makeWidget(const Control& c) {
    const int id = c.id;
    switch (c.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(q(c.text));
        label->setTextFormat(Qt::PlainText);
        if (isValueLabel(m_table, id)) {
            label->setMinimumWidth(
                label->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(q(c.text));
        if (c.maxChars > 0)
            edit->setMaxLength(c.maxChars);
        connect(edit, &QLineEdit::textEdited, this,
                [this, id](const QString& text) { userChangedText(id, text); });
        return edit;
    }
    case ControlKind::Check: {
        auto* box = new QCheckBox(q(c.text));
        connect(box, &QCheckBox::toggled, this,
                [this, id](bool on) { userChangedValue(id, on ? 1 : 0); });
        return box;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(q(c.text));
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::toggled, this, [this, id](bool on) {
            if (on)
                userChangedValue(id, 1);
            else
                refresh(); // a radio button cannot be switched off by itself
        });
        return radio;
    }
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal);
        bar->setMinimumWidth(160);
        connect(bar, &QScrollBar::valueChanged, this,
                [this, id](int value) { userChangedValue(id, value); });
        return bar;
    }
    case ControlKind::List: {
        auto* list = new QListWidget;
        connect(list, &QListWidget::currentRowChanged, this,
                [this, id](int row) { userChangedValue(id, row); });
        connect(list, &QListWidget::itemDoubleClicked, this, [this] { pressed(1); });
        return list;
    }
    case ControlKind::Combo: {
        auto* combo = new QComboBox;
        combo->setEditable(c.editable);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, id](int row) { userChangedValue(id, row); });
        if (c.editable)
            connect(combo, &QComboBox::editTextChanged, this,
                    [this, id](const QString& text) { userChangedText(id, text); });
        return combo;
    }
    case ControlKind::Button: {
        auto* push = new QPushButton(q(c.text));
        if (id == 1)
            push->setDefault(true);
        connect(push, &QPushButton::clicked, this, [this, id] { pressed(id); });
        return push;
    }
    case ControlKind::Swatch: {
        auto* frame = new QFrame;
        frame->setFrameShape(QFrame::Box);
        frame->setMinimumSize(48, 32);
        frame->setAutoFillBackground(true);
        return frame;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(q(c.text));
    }
    return new QWidget;
}

void ControlTableDialog::build() {
    auto* outer = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);

    QVBoxLayout* target = outer; // where lines go (the dialog or a group box)
    QHBoxLayout* line = nullptr; // the line being filled
    int lineRow = -2;
    int groupOfBox = -1; // radio group inside the open group box

    auto closeGroup = [&] {
        target = outer;
        groupOfBox = -1;
    };
    auto newLine = [&](int row) {
        line = new QHBoxLayout;
        target->addLayout(line);
        lineRow = row;
    };

    const auto& controls = m_table.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (isValueLabel(m_table, c.id))
            continue; // placed beside its scroll bar
        QWidget* widget = makeWidget(c);
        m_widgets.insert(c.id, widget);

        if (c.kind == ControlKind::Button) {
            buttons->addWidget(widget);
            continue;
        }
        if (c.kind == ControlKind::GroupBox) {
            closeGroup();
            auto* box = static_cast<QGroupBox*>(widget);
            outer->addWidget(box);
            target = new QVBoxLayout(box);
            // Radio buttons that follow belong to the box.
            groupOfBox = (i + 1 < controls.size() && controls[i + 1].kind == ControlKind::Radio)
                             ? controls[i + 1].group
                             : -1;
            line = nullptr;
            lineRow = -2;
            continue;
        }
        if (target != outer && !(c.kind == ControlKind::Radio && c.group == groupOfBox) &&
            c.row == -1) {
            closeGroup();
            line = nullptr;
        }

        // A label followed by its field shares a line; explicit rows group too.
        const bool joinsLine =
            line && ((c.row >= 0 && c.row == lineRow) ||
                     (c.row == -1 && i > 0 && controls[i - 1].kind == ControlKind::Static &&
                      c.kind != ControlKind::Static && c.kind != ControlKind::Radio &&
                      c.kind != ControlKind::Check));
        if (!joinsLine)
            newLine(c.row);
        if (c.kind == ControlKind::List)
            widget->setMinimumHeight(120);
        line->addWidget(widget, c.kind == ControlKind::ScrollBar || c.kind == ControlKind::Edit ||
                                        c.kind == ControlKind::List || c.kind == ControlKind::Combo
                                    ? 1
                                    : 0);
        if (c.kind == ControlKind::ScrollBar && c.labelId) {
            if (const Control* label = m_table.find(c.labelId)) {
                QWidget* labelWidget = makeWidget(*label);
                m_widgets.insert(label->id, labelWidget);
                line->addWidget(labelWidget);
            }
        }
    }
    outer->addStretch(1);
    outer->addLayout(buttons);
}

void ControlTableDialog::userChangedValue(int id, int value) {
    if (m_refreshing)
        return;
    m_table.setValue(id, value);
    refresh();
}

void ControlTableDialog::userChangedText(int id, const QString& text) {
    if (m_refreshing)
        return;
    m_table.setText(id, text.toStdString());
    refresh();
}

void ControlTableDialog::pressed(int id) {
    const int result = m_table.press(id);
    refresh();
    if (result != 0)
        done(result);
}

void ControlTableDialog::reject() {
    // Escape and the close box act as the cancel button when there is one.
    if (m_table.has(2)) {
        pressed(2);
        if (isVisible() && result() == 0)
            return;
    }
    QDialog::done(2);
}

void ControlTableDialog::refresh() {
    m_refreshing = true;
    for (const auto& c : m_table.controls) {
        QWidget* w = m_widgets.value(c.id);
        if (!w)
            continue;
        const QSignalBlocker block(w);
        w->setEnabled(c.enabled);
        switch (c.kind) {
        case ControlKind::Static:
            static_cast<QLabel*>(w)->setText(q(c.text));
            break;
        case ControlKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(w);
            if (edit->text() != q(c.text))
                edit->setText(q(c.text));
            break;
        }
        case ControlKind::Check:
            static_cast<QCheckBox*>(w)->setChecked(c.value != 0);
            break;
        case ControlKind::Radio:
            static_cast<QRadioButton*>(w)->setChecked(c.value != 0);
            break;
        case ControlKind::ScrollBar: {
            auto* bar = static_cast<QScrollBar*>(w);
            bar->setRange(c.minimum, std::max(c.minimum, c.maximum));
            bar->setPageStep(c.pageStep);
            bar->setSingleStep(c.lineStep);
            bar->setValue(c.value);
            break;
        }
        case ControlKind::List: {
            auto* list = static_cast<QListWidget*>(w);
            QStringList items;
            for (const auto& item : c.items)
                items << q(item);
            QStringList present;
            for (int r = 0; r < list->count(); ++r)
                present << list->item(r)->text();
            if (present != items) {
                list->clear();
                list->addItems(items);
            }
            list->setCurrentRow(c.value);
            break;
        }
        case ControlKind::Combo: {
            auto* combo = static_cast<QComboBox*>(w);
            QStringList items;
            for (const auto& item : c.items)
                items << q(item);
            QStringList present;
            for (int r = 0; r < combo->count(); ++r)
                present << combo->itemText(r);
            if (present != items) {
                combo->clear();
                combo->addItems(items);
            }
            combo->setCurrentIndex(c.value);
            if (c.editable && combo->currentText() != q(c.text))
                combo->setEditText(q(c.text));
            break;
        }
        case ControlKind::Swatch: {
            QPalette palette = w->palette();
            palette.setColor(QPalette::Window, swatchColour(c.value));
            w->setPalette(palette);
            break;
        }
        case ControlKind::Button:
        case ControlKind::GroupBox:
            break;
        }
    }
    m_refreshing = false;
}

} // namespace celdo
