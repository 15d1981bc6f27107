#pragma once

#include "boards/LogicalFont.h"

#include <optional>

namespace celdo {

class Settings;

// The status-bar font as the settings file keeps it: the thirteen fields of
// a logical-font record under "Font1:" ("Font1:lfFaceName",
// "Font1:lfHeight", …).
struct StatusBarFont {
    // The stored font, or nothing while none was chosen (no face name).
    // Missing fields read as lfHeight 16 and 0 for the others.
    static std::optional<LogicalFont> read(const Settings& settings);
    // Writes every field of the record and flushes the file.
    static void write(Settings& settings, const LogicalFont& font);
};

} // namespace celdo
