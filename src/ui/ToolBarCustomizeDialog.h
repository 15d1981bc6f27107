#pragma once

#include <QDialog>
#include <vector>

class QListWidget;

namespace celdo {

// Edits the toolbar list: the buttons of the table on the left, the bar's
// entries on the right; buttons are added after the chosen entry, removed,
// moved up and down, and gaps inserted.  The bar keeps at most 99 entries.
class ToolBarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    ToolBarCustomizeDialog(const std::vector<int>& list, QWidget* parent = nullptr);

    // The edited list, ended by -1.
    std::vector<int> list() const;

    // The editing steps (also what the buttons do).
    void addButton(int tableIndex);
    void addGap();
    void removeSelected();
    void moveSelected(int step);
    void selectEntry(int row);

private:
    void insertEntry(int entry);
    void fillEntries(int selectRow);

    std::vector<int> m_entries; // without the closing -1
    QListWidget* m_available = nullptr;
    QListWidget* m_bar = nullptr;
};

} // namespace celdo
