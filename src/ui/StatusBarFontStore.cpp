#include "ui/StatusBarFontStore.h"

#include "app/StatusBarFont.h"

#include <QFontInfo>

#include <algorithm>
#include <cstdlib>

namespace celdo {

std::optional<QFont> StatusBarFontStore::load() const {
    const auto stored = StatusBarFont::read(m_settings);
    if (!stored)
        return std::nullopt;
    QFont font(QString::fromStdString(stored->faceName));
    if (stored->height != 0)
        font.setPixelSize(std::abs(stored->height));
    if (stored->weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(stored->weight, 100, 900)));
    font.setItalic(stored->italic);
    font.setUnderline(stored->underline);
    font.setStrikeOut(stored->strikeOut);
    return font;
}

void StatusBarFontStore::store(const QFont& font) {
    const QFontInfo info(font);
    StatusBarFont record;
    record.faceName = info.family().toStdString();
    record.height = -info.pixelSize();
    record.weight = static_cast<int>(font.weight());
    record.italic = font.italic();
    record.underline = font.underline();
    record.strikeOut = font.strikeOut();
    record.write(m_settings);
}

} // namespace celdo
