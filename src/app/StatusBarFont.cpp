#include "app/StatusBarFont.h"

#include "app/SettingKeys.h"
#include "app/Settings.h"

namespace celdo {

namespace {

std::string key(const char* field) {
    return std::string(StatusBarFontPrefix) + field;
}

} // namespace

std::optional<LogicalFont> StatusBarFont::read(const Settings& settings) {
    LogicalFont font;
    font.faceName = settings.readString(key("lfFaceName"));
    if (font.faceName.empty())
        return std::nullopt;
    font.height = settings.readInt(key("lfHeight"), 16);
    font.width = settings.readInt(key("lfWidth"), 0);
    font.escapement = settings.readInt(key("lfEscapement"), 0);
    font.orientation = settings.readInt(key("lfOrientation"), 0);
    font.weight = settings.readInt(key("lfWeight"), 0);
    font.italic = settings.readInt(key("lfItalic"), 0) != 0;
    font.underline = settings.readInt(key("lfUnderline"), 0) != 0;
    font.strikeOut = settings.readInt(key("lfStrikeOut"), 0) != 0;
    font.charSet = settings.readInt(key("lfCharSet"), 0);
    font.outPrecision = settings.readInt(key("lfOutPrecision"), 0);
    font.clipPrecision = settings.readInt(key("lfClipPrecision"), 0);
    font.quality = settings.readInt(key("lfQuality"), 0);
    return font;
}

void StatusBarFont::write(Settings& settings, const LogicalFont& font) {
    settings.writeString(key("lfFaceName"), font.faceName);
    settings.writeInt(key("lfHeight"), font.height);
    settings.writeInt(key("lfWidth"), font.width);
    settings.writeInt(key("lfEscapement"), font.escapement);
    settings.writeInt(key("lfOrientation"), font.orientation);
    settings.writeInt(key("lfWeight"), font.weight);
    settings.writeInt(key("lfItalic"), font.italic ? 1 : 0);
    settings.writeInt(key("lfUnderline"), font.underline ? 1 : 0);
    settings.writeInt(key("lfStrikeOut"), font.strikeOut ? 1 : 0);
    settings.writeInt(key("lfCharSet"), font.charSet);
    settings.writeInt(key("lfOutPrecision"), font.outPrecision);
    settings.writeInt(key("lfClipPrecision"), font.clipPrecision);
    settings.writeInt(key("lfQuality"), font.quality);
    settings.flush();
}

} // namespace celdo
