#pragma once

#include "framework/DrawnRow.h"

#include <functional>
#include <string>
#include <vector>

namespace celdo {

enum class ControlKind {
    Static,    // text label; `text` may be changed by handlers
    Edit,      // single-line edit: `text`, at most `maxChars` characters (0 = no limit)
    Check,     // check box: `value` 0 or 1
    GroupBox,  // frame with a caption around radio buttons or other controls
    Radio,     // radio button: `value` 0 or 1; buttons with the same `group` exclude each other
    ScrollBar, // horizontal scroll bar: `value` in minimum..maximum, shown in control `labelId`
    List,      // list box: `items`, `value` = selected row or -1
    Combo,     // drop-down list: `items`, `value` = selected row or -1; `text` when editable
    Button,    // push button; pressing it goes to onButton
    Swatch,    // a rectangle filled with colour `value` (0x00BBGGRR)
};

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    int value = 0;
    int minimum = 0;
    int maximum = 0;
    int pageStep = 10;
    int lineStep = 1;
    int labelId = 0;  // scroll bars: the static that shows the value
    int group = 0;    // radio buttons: exclusive group number
    int maxChars = 0; // edits
    bool enabled = true;
    bool editable = false; // combos: typed text allowed
    std::vector<std::string> items;
    // Owner-drawn look.  Lists: one line per item, drawn in place of the item
    // (whose text stays its plain form); statics: one line drawn in place of
    // the text.  Empty: plain text.
    std::vector<DrawnRow> drawn;
    // Lists: the button a double click or Enter on the chosen item presses,
    // 0 for none.  The table's onActivate, when set, decides instead.
    int activateButton = 1;
    // Layout hint for the Qt rendering: the row on which the control starts;
    // controls with the same row share a line.  -1 lets the renderer append.
    int row = -1;
};

// A dialog described as data: the resource name the program loads it by, its
// title and its controls with their exact texts.  The same table is rendered
// by the Qt layer and answered by test responders, so linked controls are
// change handlers on the table rather than widget code.
struct ControlTable {
    std::string name;
    std::string title;
    std::vector<Control> controls;

    // Called after a control's value or text changed through setValue/setText
    // (a user edit, scroll, check or selection).
    std::function<void(ControlTable&, int id)> onChange;
    // Called when a button is pressed.  Returns the dialog result to close
    // with, or 0 to stay open.  Without a handler, buttons 1 and 2 close the
    // dialog with their id and other buttons do nothing.
    std::function<int(ControlTable&, int id)> onButton;
    // Called when a list's selected item is activated (double click or Enter).
    // Returns the dialog result as onButton does.  Without a handler an
    // activation presses the list's activateButton (button 1 unless the table
    // names another, as a double click confirms a list dialog).
    std::function<int(ControlTable&, int id)> onActivate;

    Control& add(Control control);
    Control* find(int id);
    const Control* find(int id) const;
    bool has(int id) const { return find(id) != nullptr; }

    int value(int id) const;
    const std::string& text(int id) const;
    bool enabled(int id) const;

    // Changes made by the user (or a responder acting as one): clamped to the
    // control's range, radio partners cleared, value labels updated, then
    // onChange runs.
    void setValue(int id, int value);
    void setText(int id, const std::string& text);
    // Changes made by handlers: no onChange.
    void assignValue(int id, int value);
    void assignText(int id, const std::string& text);
    void setEnabled(int id, bool enabled);
    void setRange(int id, int minimum, int maximum);

    // The id of the checked radio button among `first`..`last`, or -1.
    int checkedRadio(int first, int last) const;
    // Checks radio `id` and clears its group partners, without onChange.
    void checkRadio(int id);

    // Presses button `id`: returns the result the dialog closes with, or 0.
    int press(int id);
    // Activates the selected item of list `id`: returns the result or 0.
    int activate(int id);

    // Rewrites the value labels of all scroll bars.
    void refreshLabels();
};

// Builders for the common controls, so that tables read like the dialog.
Control staticText(int id, std::string text, int row = -1);
Control editField(int id, std::string text, int maxChars, int row = -1);
Control checkBox(int id, std::string text, bool checked, int row = -1);
Control groupBox(int id, std::string text, int row = -1);
Control radioButton(int id, std::string text, int group, bool checked, int row = -1);
Control scrollBar(int id, int minimum, int maximum, int pageStep, int value, int labelId,
                  int row = -1);
Control listBox(int id, std::vector<std::string> items, int selected, int row = -1);
Control comboBox(int id, std::vector<std::string> items, int selected, int row = -1);
Control button(int id, std::string text, int row = -1);
Control swatch(int id, unsigned colour, int row = -1);

} // namespace celdo
