#include "app/StatusBarFont.h"

#include "app/SettingKeys.h"
#include "app/Settings.h"

namespace celdo {

namespace {

std::string key(const char* field) {
    return std::string(StatusBarFontPrefix) + field;
}

} // namespace

std::optional<StatusBarFont> StatusBarFont::read(const Settings& settings) {
    StatusBarFont font;
    font.faceName = settings.readString(key("lfFaceName"));
    if (font.faceName.empty())
        return std::nullopt;
    font.height = settings.readInt(key("lfHeight"), 16);
    font.weight = settings.readInt(key("lfWeight"), 0);
    font.italic = settings.readInt(key("lfItalic"), 0) != 0;
    font.underline = settings.readInt(key("lfUnderline"), 0) != 0;
    font.strikeOut = settings.readInt(key("lfStrikeOut"), 0) != 0;
    return font;
}

void StatusBarFont::write(Settings& settings) const {
    settings.writeString(key("lfFaceName"), faceName);
    settings.writeInt(key("lfHeight"), height);
    settings.writeInt(key("lfWidth"), 0);
    settings.writeInt(key("lfEscapement"), 0);
    settings.writeInt(key("lfOrientation"), 0);
    settings.writeInt(key("lfWeight"), weight);
    settings.writeInt(key("lfItalic"), italic ? 1 : 0);
    settings.writeInt(key("lfUnderline"), underline ? 1 : 0);
    settings.writeInt(key("lfStrikeOut"), strikeOut ? 1 : 0);
    settings.writeInt(key("lfCharSet"), 0);
    settings.writeInt(key("lfOutPrecision"), 0);
    settings.writeInt(key("lfClipPrecision"), 0);
    settings.writeInt(key("lfQuality"), 0);
    settings.flush();
}

} // namespace celdo
