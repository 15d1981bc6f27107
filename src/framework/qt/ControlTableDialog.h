#pragma once

#include "framework/ControlTable.h"

#include <QDialog>
#include <QHash>

class QWidget;

namespace celdo {

// Renders any control table as a real modal dialog.  Widget changes go into
// the table through its setValue/setText (so the table's change handlers run
// exactly as under a test responder) and every widget is then refreshed from
// the table, which is how linked controls follow each other.
class ControlTableDialog : public QDialog {
    Q_OBJECT
public:
    ControlTableDialog(ControlTable& table, QWidget* parent = nullptr);

    // The widget showing control `id` (for tests and screenshots).
    QWidget* widgetFor(int id) const { return m_widgets.value(id); }

    // Escape and the close box: the cancel button's handler decides.
    void reject() override;

private:
    void build();
    QWidget* makeWidget(const Control& control);
    void userChangedValue(int id, int value);
    void userChangedText(int id, const QString& text);
    void pressed(int id);
    void refresh();

    ControlTable& m_table;
    QHash<int, QWidget*> m_widgets;
    bool m_refreshing = false;
};

} // namespace celdo
