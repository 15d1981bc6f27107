#pragma once

#include "framework/ScriptedUi.h"

#include <string>

namespace celdo::testing {

// Answers the program's file dialog as a user typing a path into the name
// field and pressing the confirm button.
inline ScriptedUi::DialogScript typeName(const std::string& path) {
    return [path](ControlTable& t) {
        t.setText(400, path);
        return t.press(1);
    };
}

} // namespace celdo::testing
