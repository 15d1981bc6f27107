#include "ui/ToolBarCustomizeDialog.h"

#include "app/ToolButtonTable.h"
#include "ui/ToolBarPictures.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace celdo {

namespace {
// Slot 99 of the stored list always holds the end marker.
constexpr int MaxEntries = ToolButtonTable::ListSize - 1;

QString gapText() {
    return QStringLiteral("――― 間隔 ―――");
}
} // namespace

ToolBarCustomizeDialog::ToolBarCustomizeDialog(const std::vector<int>& list, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ToolBarCustomize"));
    setWindowTitle(QStringLiteral("ツールバーの設定"));
    for (int entry : list) {
        if (entry == ToolButtonTable::End || static_cast<int>(m_entries.size()) == MaxEntries)
            break;
        if (entry == ToolButtonTable::Gap || (entry >= 0 && entry < ToolButtonTable::Count))
            m_entries.push_back(entry);
    }

    m_available = new QListWidget;
    m_available->setIconSize(QSize(16, 16));
    const auto& table = ToolButtonTable::buttons();
    for (int i = 0; i < ToolButtonTable::Count; ++i)
        m_available->addItem(
            new QListWidgetItem(toolBarIcon(table[i].picture), QString::fromUtf8(table[i].text)));
    m_available->setCurrentRow(0);

    m_bar = new QListWidget;
    m_bar->setIconSize(QSize(16, 16));

    auto* add = new QPushButton(QStringLiteral("追加 →"));
    auto* gap = new QPushButton(QStringLiteral("間隔を追加"));
    auto* remove = new QPushButton(QStringLiteral("← 削除"));
    auto* up = new QPushButton(QStringLiteral("上へ"));
    auto* down = new QPushButton(QStringLiteral("下へ"));
    connect(add, &QPushButton::clicked, this, [this] { addButton(m_available->currentRow()); });
    connect(m_available, &QListWidget::itemDoubleClicked, this,
            [this] { addButton(m_available->currentRow()); });
    connect(gap, &QPushButton::clicked, this, [this] { addGap(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    for (QPushButton* b : {add, gap, remove, up, down})
        middle->addWidget(b);
    middle->addStretch(1);

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(new QLabel(QStringLiteral("ボタン")));
    leftColumn->addWidget(m_available);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(new QLabel(QStringLiteral("ツールバー")));
    rightColumn->addWidget(m_bar);

    auto* lists = new QHBoxLayout;
    lists->addLayout(leftColumn, 1);
    lists->addLayout(middle);
    lists->addLayout(rightColumn, 1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(lists, 1);
    outer->addWidget(box);
    resize(460, 420);
    fillEntries(m_entries.empty() ? -1 : 0);
}

std::vector<int> ToolBarCustomizeDialog::list() const {
    std::vector<int> result = m_entries;
    result.push_back(ToolButtonTable::End);
    return result;
}

void ToolBarCustomizeDialog::insertEntry(int entry) {
    if (static_cast<int>(m_entries.size()) >= MaxEntries)
        return;
    const int row = m_bar->currentRow();
    const int at = row < 0 ? static_cast<int>(m_entries.size()) : row + 1;
    m_entries.insert(m_entries.begin() + at, entry);
    fillEntries(at);
}

void ToolBarCustomizeDialog::addButton(int tableIndex) {
    if (tableIndex >= 0 && tableIndex < ToolButtonTable::Count)
        insertEntry(tableIndex);
}

void ToolBarCustomizeDialog::addGap() {
    insertEntry(ToolButtonTable::Gap);
}

void ToolBarCustomizeDialog::removeSelected() {
    const int row = m_bar->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size()))
        return;
    m_entries.erase(m_entries.begin() + row);
    fillEntries(std::min(row, static_cast<int>(m_entries.size()) - 1));
}

void ToolBarCustomizeDialog::moveSelected(int step) {
    const int row = m_bar->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(m_entries.size()))
        return;
    std::swap(m_entries[row], m_entries[to]);
    fillEntries(to);
}

void ToolBarCustomizeDialog::selectEntry(int row) {
    m_bar->setCurrentRow(row);
}

void ToolBarCustomizeDialog::fillEntries(int selectRow) {
    m_bar->clear();
    const auto& table = ToolButtonTable::buttons();
    for (int entry : m_entries) {
        if (entry == ToolButtonTable::Gap)
            m_bar->addItem(gapText());
        else
            m_bar->addItem(new QListWidgetItem(toolBarIcon(table[entry].picture),
                                               QString::fromUtf8(table[entry].text)));
    }
    m_bar->setCurrentRow(selectRow);
}

} // namespace celdo
