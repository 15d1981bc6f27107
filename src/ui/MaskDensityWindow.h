#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QScrollBar;

namespace celdo {

struct EditingState;

// "MASKPALETTE" (マスクの濃度): the modeless window whose scroll bar (360) sets
// the value painted in mask edit mode, shown in static 361.  At most one
// exists in the program.
class MaskDensityWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int Maximum = 100;

    // Opens the window (or raises the open one).
    static MaskDensityWindow* Open(EditingState& state, QWidget* parent);
    static void CloseWindow();
    static MaskDensityWindow* instance();
    // The eyedropper picked a value in mask edit mode.
    static void ShowValue(int value);

    int value() const;
    void setValue(int value);

private:
    MaskDensityWindow(EditingState& state, QWidget* parent);

    EditingState& m_state;
    QScrollBar* m_bar = nullptr;
    QLabel* m_label = nullptr;
    static QPointer<MaskDensityWindow> s_instance;
};

} // namespace celdo
