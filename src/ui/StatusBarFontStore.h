#pragma once

#include "boards/LogicalFont.h"

#include <QFont>

#include <optional>

namespace celdo {

class Settings;

// The status bar's font in the settings file: read at start-up, written when
// one is chosen with the font dialog.
class StatusBarFontStore {
public:
    explicit StatusBarFontStore(Settings& settings) : m_settings(settings) {}

    // The stored font, or nothing while none was chosen.
    std::optional<QFont> load() const;
    std::optional<LogicalFont> loadDescription() const;
    void store(const QFont& font);
    void store(const LogicalFont& font);

private:
    Settings& m_settings;
};

} // namespace celdo
