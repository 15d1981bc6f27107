#pragma once

#include "framework/ControlTable.h"

class QListWidget;
class QWidget;

namespace celdo {

// Shows a control's present value in the widget made for it: the text of an
// edit, the state of a check box or radio button, the range, steps and
// position of a scroll bar.  False for the kinds a dialog shows in its own
// way (statics, lists, combos, swatches, buttons, group boxes).
bool ShowControlValue(QWidget* widget, const Control& control);

// A list's items and current row; the items are replaced only when they
// changed, so the list keeps its scroll position while a choice moves.
void ShowListItems(QListWidget* list, const Control& control);

} // namespace celdo
