#include "framework/ControlTable.h"
#include "framework/Ui.h"

namespace celdo {

int DefaultUi::messageBox(const std::string&, const std::string&, MessageIcon,
                          MessageButtons buttons) {
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel)
               ? answer::Yes
               : answer::Ok;
}

int DefaultUi::runDialog(ControlTable&) {
    return 1;
}

} // namespace celdo
