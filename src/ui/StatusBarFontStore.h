#pragma once

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
    void store(const QFont& font);

private:
    Settings& m_settings;
};

} // namespace celdo
