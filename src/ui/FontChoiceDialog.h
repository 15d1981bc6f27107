#pragma once

#include <QDialog>
#include <QHash>

class QWidget;

namespace celdo {

class FontChoice;

// The font dialogs on the screen ("GFontDialog" and "FontDialog"): their
// controls laid out as the program's dialogs are, each change handed to the
// choice's table, every control refreshed from it, and the sample drawn in
// the chosen font.
class FontChoiceDialog : public QDialog {
    Q_OBJECT
public:
    FontChoiceDialog(FontChoice& choice, QWidget* parent = nullptr);

    // The widget showing control `id` (for tests and screenshots).
    QWidget* widgetFor(int id) const { return m_widgets.value(id); }

    void reject() override;

private:
    void build();
    QWidget* add(int id);
    void userChangedValue(int id, int value);
    void userChangedText(int id, const QString& text);
    void refresh();

    FontChoice& m_choice;
    QHash<int, QWidget*> m_widgets;
    QWidget* m_sample = nullptr;
    bool m_refreshing = false;
};

// Shows the dialog (or hands its table to the test responder) and returns 1
// for "OK", 2 for "ｷｬﾝｾﾙ".
int RunFontChoice(FontChoice& choice, QWidget* parent);

} // namespace celdo
