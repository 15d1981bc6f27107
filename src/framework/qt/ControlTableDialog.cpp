#include "framework/qt/ControlTableDialog.h"

#include "framework/qt/ControlWidgets.h"
#include "framework/qt/DrawnRowDelegate.h"
#include "framework/qt/DrawnRowLabel.h"
#include "framework/qt/DrawnRowPainter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace celdo {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Room left for the window frame when fitting a dialog to the screen.
constexpr int FrameAllowance = 32;
// A long static text box shows at most this many lines before it scrolls.
constexpr int LongTextLines = 12;
// An owner-drawn list shows this many lines without scrolling.
constexpr int DrawnListLines = 10;

// "&Load" marks L; "&&" is a literal ampersand.
bool hasMnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&') && !text[i + 1].isSpace())
            return true;
        ++i;
    }
    return false;
}

bool takesMnemonicFocus(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::List || kind == ControlKind::Combo ||
           kind == ControlKind::ScrollBar;
}

// The widest line of `text`.
int textWidth(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

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

QRect ControlTableDialog::availableArea() const {
    const QWidget* anchor = parentWidget() ? parentWidget()->window() : this;
    QScreen* where = anchor->screen();
    if (!where)
        where = QGuiApplication::primaryScreen();
    return where ? where->availableGeometry() : QRect(0, 0, 1024, 768);
}

int ControlTableDialog::textLimit() const {
    // Half the screen keeps room for the caption beside a text; 560 pixels
    // keep lines readable on wide screens.
    return std::clamp(availableArea().width() / 2, 160, 560);
}

QFont ControlTableDialog::drawnFont() const {
    // Drawn lines pad their numbers with spaces into columns ("%3d"), which
    // line up only when digits and spaces are equally wide.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (font().pointSizeF() > 0)
        fixed.setPointSizeF(font().pointSizeF());
    else
        fixed.setPixelSize(font().pixelSize());
    return fixed;
}

QWidget* ControlTableDialog::makeStatic(const Control& c) {
    if (!c.drawn.empty()) {
        auto* label = new DrawnRowLabel(c.drawn.front());
        label->setFont(drawnFont());
        return label;
    }
    const QString text = q(c.text);
    const int limit = textLimit();
    if (isValueLabel(m_table, c.id) || textWidth(fontMetrics(), text) <= limit) {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        if (isValueLabel(m_table, c.id)) {
            label->setMinimumWidth(
                label->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        return label;
    }
    // A long text (a file comment, a path) wraps at words and, where there
    // are none (Japanese, long names), anywhere; its box scrolls past a
    // dozen lines.
    auto* box = new QPlainTextEdit;
    box->setReadOnly(true);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setFrameShape(QFrame::NoFrame);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    box->setPlainText(text);
    // Level with the captions and values beside and above it.
    box->document()->setDocumentMargin(0);
    const QFontMetrics metrics = box->fontMetrics();
    const int margin = 2 * box->frameWidth();
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, limit - margin, 1 << 20),
                                               Qt::TextWrapAnywhere | Qt::TextExpandTabs, text);
    // Whole lines only, so the last one shown is not cut through; a line of
    // the text itself measures the height, as the Japanese fall-back font
    // makes lines taller than the primary font's.
    QTextLayout sample(text.left(40), box->font());
    sample.beginLayout();
    const QTextLine first = sample.createLine();
    sample.endLayout();
    const int line = std::max(metrics.lineSpacing(), static_cast<int>(std::ceil(first.height())));
    const int lines =
        std::min({wrapped.height() / line + 1, LongTextLines, availableArea().height() / 3 / line});
    box->setFixedWidth(limit);
    box->setFixedHeight(std::max(1, lines) * line + margin);
    return box;
}

void ControlTableDialog::showStaticText(QWidget* widget, const QString& text) const {
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        if (box->toPlainText() != text)
            box->setPlainText(text);
        return;
    }
    auto* label = static_cast<QLabel*>(widget);
    const int limit = textLimit();
    if (textWidth(label->fontMetrics(), text) <= limit) {
        label->setText(text);
        label->setToolTip(QString());
        return;
    }
    // A text that outgrew its label keeps the dialog's width: the middle
    // goes, the tooltip holds the whole text.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = label->fontMetrics().elidedText(line, Qt::ElideMiddle, limit);
    label->setText(lines.join(QLatin1Char('\n')));
    label->setToolTip(text);
}

QWidget* ControlTableDialog::makeWidget(const Control& c) {
    const int id = c.id;
    switch (c.kind) {
    case ControlKind::Static:
        return makeStatic(c);
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
        // The delegate reads the table itself, so a look that changes while
        // the texts stay (a new palette) is drawn at the next repaint.
        list->setItemDelegate(new DrawnRowDelegate(
            [this, id](int row) -> const DrawnRow* {
                const Control* control = m_table.find(id);
                if (!control || row < 0 || row >= static_cast<int>(control->drawn.size()))
                    return nullptr;
                return &control->drawn[static_cast<std::size_t>(row)];
            },
            list));
        if (!c.drawn.empty())
            sizeDrawnList(list, c);
        // The chosen item is the selected one: a list that takes the focus
        // makes its first item current without choosing it, and a dialog
        // that acts on "the selected row" must not see one then.
        connect(list, &QListWidget::itemSelectionChanged, this, [this, id, list] {
            const QList<QListWidgetItem*> chosen = list->selectedItems();
            userChangedValue(id, chosen.isEmpty() ? -1 : list->row(chosen.front()));
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { activated(id); });
        list->installEventFilter(this);
        m_lists.insert(list, id);
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
    auto* frame = new QVBoxLayout(this);
    auto* body = new QWidget;
    auto* outer = new QVBoxLayout(body);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);

    QVBoxLayout* target = outer; // where lines go (the dialog or a group box)
    QHBoxLayout* line = nullptr; // the line being filled
    int lineRow = -2;
    int groupOfBox = -1;            // radio group inside the open group box
    bool onlyStatics = false;       // the line holds statics only so far
    std::vector<QWidget*> captions; // first statics of caption-and-value lines

    auto closeGroup = [&] {
        target = outer;
        groupOfBox = -1;
    };
    auto newLine = [&](int row) {
        line = new QHBoxLayout;
        target->addLayout(line);
        lineRow = row;
        onlyStatics = true;
    };

    const auto& controls = m_table.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (isValueLabel(m_table, c.id))
            continue; // placed beside its scroll bar
        QWidget* widget = makeWidget(c);
        // Unnamed controls (-1) share their id: none of them can be looked
        // up, and a label must never be refreshed as the group box beside it.
        if (c.id >= 0)
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
        if (c.kind == ControlKind::List && c.drawn.empty())
            widget->setMinimumHeight(120);
        int stretch = c.kind == ControlKind::ScrollBar || c.kind == ControlKind::Edit ||
                              c.kind == ControlKind::List || c.kind == ControlKind::Combo
                          ? 1
                          : 0;
        if (c.kind == ControlKind::Static && onlyStatics && line->count() > 0) {
            // A value beside its caption starts right after the caption
            // column and takes the rest of the line.
            stretch = 1;
            if (line->count() == 1)
                captions.push_back(line->itemAt(0)->widget());
        }
        if (c.kind != ControlKind::Static)
            onlyStatics = false;
        line->addWidget(widget, stretch);
        if (qobject_cast<QPlainTextEdit*>(widget)) {
            // Captions stay level with the first line of a long text.
            for (int k = 0; k + 1 < line->count(); ++k)
                if (QWidget* other = line->itemAt(k)->widget())
                    line->setAlignment(other, Qt::AlignTop | Qt::AlignLeft);
        }
        if (c.kind == ControlKind::ScrollBar && c.labelId) {
            if (const Control* label = m_table.find(c.labelId)) {
                QWidget* labelWidget = makeWidget(*label);
                m_widgets.insert(label->id, labelWidget);
                line->addWidget(labelWidget);
            }
        }
    }
    int captionWidth = 0;
    for (QWidget* caption : captions)
        captionWidth = std::max(captionWidth, caption->sizeHint().width());
    for (QWidget* caption : captions)
        caption->setMinimumWidth(captionWidth);
    outer->addStretch(1);
    frame->addWidget(body, 1);
    frame->addLayout(buttons);
    linkMnemonics();
    fitToScreen(body);
}

void ControlTableDialog::sizeDrawnList(QListWidget* list, const Control& c) {
    list->setFont(drawnFont());
    // All lines share one height; wide enough for the longest line.
    list->setUniformItemSizes(true);
    const QFontMetrics metrics = list->fontMetrics();
    const int height = drawnLineHeight(metrics);
    int widest = 0;
    for (const DrawnRow& row : c.drawn)
        widest = std::max(widest, drawnRowWidth(row, metrics, height));
    const int frame = 2 * list->frameWidth();
    const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(std::min(widest + height + frame + bar, textLimit() * 2));
    list->setMinimumHeight(DrawnListLines * height + frame);
}

void ControlTableDialog::linkMnemonics() {
    // A label's "&F" reaches the field that follows it, as in the program's
    // dialog templates; without a buddy QLabel would show the ampersand.
    const auto& controls = m_table.controls;
    for (std::size_t i = 0; i + 1 < controls.size(); ++i) {
        const Control& c = controls[i];
        if (c.kind != ControlKind::Static || !takesMnemonicFocus(controls[i + 1].kind))
            continue;
        auto* label = qobject_cast<QLabel*>(m_widgets.value(c.id));
        QWidget* field = m_widgets.value(controls[i + 1].id);
        if (label && field && hasMnemonic(label->text())) {
            label->setTextFormat(Qt::PlainText);
            label->setBuddy(field);
        }
    }
}

void ControlTableDialog::fitToScreen(QWidget* body) {
    const QRect area = availableArea();
    const QSize room(std::max(200, area.width() - FrameAllowance),
                     std::max(150, area.height() - FrameAllowance));
    const QSize wanted = sizeHint();
    if (wanted.width() > room.width() || wanted.height() > room.height()) {
        // The body scrolls so that the buttons stay on the screen.
        auto* frame = static_cast<QVBoxLayout*>(layout());
        auto* scroll = new QScrollArea;
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        frame->removeWidget(body);
        scroll->setWidget(body);
        frame->insertWidget(0, scroll, 1);
        const QSize bodySize = body->sizeHint();
        scroll->setMinimumSize(std::min(bodySize.width(), room.width() - 2 * FrameAllowance),
                               std::min(bodySize.height(), room.height() / 2));
        frame->activate();
    }
    resize(sizeHint().boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room)));
    setMaximumSize(std::max(room.width(), minimumWidth()),
                   std::max(room.height(), minimumHeight()));
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

void ControlTableDialog::activated(int id) {
    const int result = m_table.activate(id);
    refresh();
    if (result != 0)
        done(result);
}

bool ControlTableDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a list with a chosen item activates the item rather than
    // pressing the default button, as a double click does.
    if (event->type() == QEvent::KeyPress && m_lists.contains(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* list = static_cast<QListWidget*>(watched);
        const Control* control = m_table.find(m_lists.value(watched));
        // A list that activates nothing leaves Enter to the default button.
        const bool activates = m_table.onActivate || (control && control->activateButton != 0);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && activates &&
            list->currentRow() >= 0) {
            activated(m_lists.value(watched));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
            if (auto* drawn = qobject_cast<DrawnRowLabel*>(w))
                drawn->setRow(c.drawn.empty() ? DrawnRow{textPart(0, 0, c.text)} : c.drawn.front());
            else
                showStaticText(w, q(c.text));
            break;
        case ControlKind::Edit:
        case ControlKind::Check:
        case ControlKind::Radio:
        case ControlKind::ScrollBar:
            ShowControlValue(w, c);
            break;
        case ControlKind::List: {
            auto* list = static_cast<QListWidget*>(w);
            ShowListItems(list, c);
            if (!c.drawn.empty())
                list->viewport()->update();
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
