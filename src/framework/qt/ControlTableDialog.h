#pragma once

#include "framework/ControlTable.h"

#include <QDialog>
#include <QFont>
#include <QHash>

class QEvent;
class QListWidget;
class QRect;
class QWidget;

namespace celdo {

// Renders any control table as a real modal dialog.  Widget changes go into
// the table through its setValue/setText (so the table's change handlers run
// exactly as under a test responder) and every widget is then refreshed from
// the table, which is how linked controls follow each other.  The dialog
// stays within its screen's available area: long static texts wrap in a
// read-only text box, statics that grow later are elided (whole text in the
// tooltip), and a body still too large scrolls above the always visible
// buttons.  Lists and statics with a drawn look are owner-drawn.
class ControlTableDialog : public QDialog {
    Q_OBJECT
public:
    ControlTableDialog(ControlTable& table, QWidget* parent = nullptr);

    // The widget showing control `id` (for tests and screenshots).
    QWidget* widgetFor(int id) const { return m_widgets.value(id); }

    // Escape and the close box: the cancel button's handler decides.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void linkMnemonics();
    void fitToScreen(QWidget* body);
    QRect availableArea() const;
    int textLimit() const;
    QFont drawnFont() const;
    QWidget* makeStatic(const Control& control);
    void showStaticText(QWidget* widget, const QString& text) const;
    QWidget* makeWidget(const Control& control);
    void sizeDrawnList(QListWidget* list, const Control& control);
    void userChangedValue(int id, int value);
    void userChangedText(int id, const QString& text);
    void pressed(int id);
    void activated(int id);
    void refresh();

    ControlTable& m_table;
    QHash<int, QWidget*> m_widgets;
    QHash<QObject*, int> m_lists; // list widget -> control id, for Enter
    bool m_refreshing = false;
};

} // namespace celdo
