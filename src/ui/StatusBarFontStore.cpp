#include "ui/StatusBarFontStore.h"

#include "app/StatusBarFont.h"
#include "boards/qt/QtFonts.h"

namespace celdo {

std::optional<QFont> StatusBarFontStore::load() const {
    const auto stored = StatusBarFont::read(m_settings);
    if (!stored)
        return std::nullopt;
    return toQFont(*stored);
}

std::optional<LogicalFont> StatusBarFontStore::loadDescription() const {
    return StatusBarFont::read(m_settings);
}

void StatusBarFontStore::store(const QFont& font) {
    StatusBarFont::write(m_settings, fromQFont(font));
}

void StatusBarFontStore::store(const LogicalFont& font) {
    StatusBarFont::write(m_settings, font);
}

} // namespace celdo
