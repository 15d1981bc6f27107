#pragma once

#include "app/Command.h"
#include "app/ToolButtonTable.h"

#include <QWidget>
#include <array>
#include <vector>

class QToolButton;

namespace celdo {

// The main window's toolbar: every button of the button table exists (hidden)
// and the stored list places the chosen ones from x = 8, y = 4, one button
// width apart, a gap advancing 8 pixels.  A click asks the main window to
// run the button's command; a double click on the bar asks for the
// customisation dialog.
class ToolBarWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 32;
    static constexpr int Left = 8;
    static constexpr int Top = 4;
    static constexpr int GapWidth = 8;
    static constexpr int ButtonSize = 24;

    explicit ToolBarWidget(QWidget* parent = nullptr);

    // Places the buttons of `list` (indices, -2 gaps, ended by -1).
    void setList(const std::vector<int>& list);
    const std::vector<int>& list() const { return m_list; }

    // 0 normal, 1 disabled, 2 pressed (ToolButtonTable::State).
    void setButtonState(int index, int state);
    int buttonState(int index) const;
    // The button of table entry `index` (hidden when not listed).
    QToolButton* button(int index) const { return m_buttons[index]; }

    QSize sizeHint() const override;

signals:
    void commandRequested(celdo::Command command);
    void customiseRequested();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QToolButton*, ToolButtonTable::Count> m_buttons{};
    std::vector<int> m_list;
};

} // namespace celdo
