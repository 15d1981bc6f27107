#include "ui/FontChoiceDialog.h"

#include "boards/FontChoice.h"
#include "boards/qt/QtFonts.h"
#include "framework/qt/ControlWidgets.h"
#include "framework/qt/QtUi.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace celdo {

namespace fd = fontdialog;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The sample: white, the sample text at (2, 2) in the chosen font, clipped
// to the area.
class FontSample : public QWidget {
public:
    explicit FontSample(const FontChoice& choice) : m_choice(choice) {
        setObjectName(QStringLiteral("FontSample"));
        setMinimumSize(320, 72);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setClipRect(rect());
        const QFont font = toQFont(m_choice.font());
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(2, 2 + QFontMetrics(font).ascent()), q(m_choice.sampleText()));
        painter.setClipping(false);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const FontChoice& m_choice;
};

} // namespace

FontChoiceDialog::FontChoiceDialog(FontChoice& choice, QWidget* parent)
    : QDialog(parent), m_choice(choice) {
    setWindowTitle(q(choice.table().title));
    setObjectName(q(choice.table().name));
    setModal(true);
    build();
    refresh();
}

QWidget* FontChoiceDialog::add(int id) {
    const Control* c = m_choice.table().find(id);
    if (!c)
        return nullptr;
    QWidget* widget = nullptr;
    switch (c->kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(q(c->text));
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(q(c->text));
        if (c->maxChars > 0)
            edit->setMaxLength(c->maxChars);
        connect(edit, &QLineEdit::textEdited, this,
                [this, id](const QString& text) { userChangedText(id, text); });
        widget = edit;
        break;
    }
    case ControlKind::Check: {
        auto* box = new QCheckBox(q(c->text));
        connect(box, &QCheckBox::toggled, this,
                [this, id](bool on) { userChangedValue(id, on ? 1 : 0); });
        widget = box;
        break;
    }
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal);
        bar->setMinimumWidth(200);
        connect(bar, &QScrollBar::valueChanged, this,
                [this, id](int value) { userChangedValue(id, value); });
        widget = bar;
        break;
    }
    case ControlKind::List: {
        auto* list = new QListWidget;
        connect(list, &QListWidget::currentRowChanged, this,
                [this, id](int row) { userChangedValue(id, row); });
        widget = list;
        break;
    }
    default:
        widget = new QWidget;
        break;
    }
    m_widgets.insert(id, widget);
    return widget;
}

void FontChoiceDialog::build() {
    const bool textPaste = m_choice.forTextPaste();
    auto* frame = new QVBoxLayout(this);

    // Name, size and weight, each a caption, a field and its list.
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("フォント名")), 0, 0);
    auto* name = static_cast<QLabel*>(add(fd::FaceName));
    name->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    name->setMinimumWidth(200);
    lists->addWidget(name, 1, 0);
    auto* fonts = add(fd::FontList);
    fonts->setMinimumHeight(160);
    lists->addWidget(fonts, 2, 0);
    lists->addWidget(new QLabel(textPaste ? QStringLiteral("ピクセル") : QStringLiteral("サイズ")),
                     0, 1);
    lists->addWidget(add(fd::Size), 1, 1);
    lists->addWidget(add(fd::SizeList), 2, 1);
    lists->addWidget(new QLabel(QStringLiteral("太さ")), 0, 2);
    lists->addWidget(add(fd::Weight), 1, 2);
    lists->addWidget(add(fd::WeightList), 2, 2);
    for (int id : {fd::Size, fd::Weight, fd::SizeList, fd::WeightList})
        m_widgets.value(id)->setMaximumWidth(90);
    lists->setColumnStretch(0, 1);
    frame->addLayout(lists);

    auto* styles = new QHBoxLayout;
    for (int id : {fd::Italic, fd::Underline, fd::StrikeOut, fd::Vertical})
        if (QWidget* box = add(id))
            styles->addWidget(box);
    styles->addStretch(1);
    frame->addLayout(styles);

    if (textPaste) {
        auto* angle = new QHBoxLayout;
        angle->addWidget(new QLabel(QStringLiteral("角度")));
        angle->addWidget(add(fd::Angle), 1);
        auto* value = static_cast<QLabel*>(add(fd::AngleValue));
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        angle->addWidget(value);
        frame->addLayout(angle);

        auto* text = new QHBoxLayout;
        text->addWidget(new QLabel(QStringLiteral("文字列")));
        text->addWidget(add(fd::Text), 1);
        frame->addLayout(text);
    }

    m_sample = new FontSample(m_choice);
    m_widgets.insert(fd::Sample, m_sample);
    frame->addWidget(m_sample);

    auto* bottom = new QHBoxLayout;
    if (textPaste)
        for (int id : {fd::MaskBackground, fd::MaskText, fd::PasteAtOnce})
            bottom->addWidget(add(id));
    bottom->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(ok, &QPushButton::clicked, this, [this] { done(m_choice.table().press(1)); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    frame->addLayout(bottom);
}

void FontChoiceDialog::reject() {
    QDialog::done(m_choice.table().press(2));
}

void FontChoiceDialog::userChangedValue(int id, int value) {
    if (m_refreshing)
        return;
    m_choice.table().setValue(id, value);
    refresh();
}

void FontChoiceDialog::userChangedText(int id, const QString& text) {
    if (m_refreshing)
        return;
    m_choice.table().setText(id, text.toStdString());
    refresh();
}

void FontChoiceDialog::refresh() {
    m_refreshing = true;
    for (const Control& c : m_choice.table().controls) {
        QWidget* w = c.id > 0 ? m_widgets.value(c.id) : nullptr;
        if (!w || w == m_sample)
            continue;
        const QSignalBlocker block(w);
        if (ShowControlValue(w, c))
            continue;
        switch (c.kind) {
        case ControlKind::Static:
            static_cast<QLabel*>(w)->setText(q(c.text));
            break;
        case ControlKind::List: {
            auto* list = static_cast<QListWidget*>(w);
            ShowListItems(list, c);
            if (c.value >= 0)
                list->scrollToItem(list->item(c.value), QAbstractItemView::PositionAtCenter);
            break;
        }
        default:
            break;
        }
    }
    m_sample->update();
    m_refreshing = false;
}

int RunFontChoice(FontChoice& choice, QWidget* parent) {
    if (Ui* responder = QtUi::responder())
        return responder->runDialog(choice.table());
    FontChoiceDialog dialog(choice, parent);
    const int result = dialog.exec();
    return result == 1 ? 1 : 2;
}

} // namespace celdo
