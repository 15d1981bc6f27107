#pragma once

#include <optional>
#include <string>

namespace celdo {

class Settings;

// The status-bar font as the settings file keeps it: the fields of a
// logical-font record under "Font1:" ("Font1:lfFaceName", "Font1:lfHeight",
// …).  A negative height is a character height in pixels.
struct StatusBarFont {
    std::string faceName;
    int height = 16;
    int weight = 0; // 0: the face's default
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    // The stored font, or nothing while none was chosen (no face name).
    static std::optional<StatusBarFont> read(const Settings& settings);
    // Writes every field of the record (those this program does not use as
    // 0) and flushes the file.
    void write(Settings& settings) const;
};

} // namespace celdo
