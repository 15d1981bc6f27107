#include "app/SettingKeys.h"

#include "app/Settings.h"

#include <array>
#include <string>

namespace celdo {

namespace {

using T = SettingType;
using W = SettingWritten;

constexpr SettingKey integer(std::string_view name, int value, W written) {
    return {name, T::Integer, value, 0, 0, written};
}
constexpr SettingKey lowByte(std::string_view name, int value) {
    return {name, T::LowByte, value, 0, 255, W::Exit};
}

constexpr std::array kKeys{
    integer("UseToolBar", 1, W::Change),
    integer("UseStatusBar", 1, W::Change),
    integer("AdjustPalette", 0, W::Never),
    // Missing ToolButton0 is probed with -99: the default toolbar is used.
    integer("ToolButton0", -99, W::Exit),
    SettingKey{"ToolButton%d", T::Integer, -1, 0, 0, W::Exit, 0, 99},
    SettingKey{"gfile%d", T::String, 0, 0, 0, W::Exit, 0, 19},
    SettingKey{"pfile%d", T::String, 0, 0, 0, W::Exit, 0, 19},
    integer("NewSizeX", 320, W::Change),
    integer("NewSizeY", 240, W::Change),
    SettingKey{"sizex%d", T::Integer, -1, 0, 0, W::Change, 1, 9},
    SettingKey{"sizey%d", T::Integer, -1, 0, 0, W::Change, 1, 9},
    integer("UseCommonDialog", 0, W::Exit),
    integer("GraphicFileType", 0, W::Exit),
    integer("ViewHeader", 0, W::Exit),
    integer("SaveOption", 0, W::Exit),
    SettingKey{"MaxMenuFile", T::ClampedInteger, 10, 0, 20, W::Exit},
    SettingKey{"DeleteErrorMenuFile", T::ClampedInteger, 1, 0, 2, W::Exit},
    SettingKey{"AutoSave", T::ClampedInteger, 1, 0, 1, W::Exit},
    SettingKey{"UndoMemory", T::ClampedInteger, 256, 16, 4096, W::Exit},
    SettingKey{"Plugin%d", T::String, 0, 0, 0, W::Change, 0, -1},
    integer("SearchPlane1", 0, W::Exit),
    integer("SearchPlane2", 0, W::Exit),
    integer("UseBorder1", 0, W::Exit),
    integer("UseBorder2", 0, W::Exit),
    integer("PopupPaintOption", 1, W::Exit),
    integer("MaskBorder", 1, W::Exit),
    integer("UseTile", 1, W::Exit),
    integer("UseTile2", 1, W::Never),
    integer("RGBOUT", 70, W::Never),
    integer("ConvertSrc", 1, W::Exit),
    integer("ConvertDes", 1, W::Exit),
    lowByte("CurrentColor", 1),
    lowByte("BorderColor", 3),
    lowByte("LeftColor", 1),
    lowByte("RightColor", 9),
    integer("PaletteBoardXpos", 20, W::Exit),
    integer("PaletteBoardYpos", 20, W::Exit),
    integer("PaletteBoardWidth", 320, W::Exit),
    integer("PaletteBoardHeight", 320, W::Exit),
    integer("PaletteBoardOpen", 0, W::Exit),
    integer("BrushBoardPreOpen", 0, W::Exit),
    integer("BrushBoardWidth", 320, W::Exit),
    integer("BrushBoardHeight", 240, W::Exit),
    integer("BrushBoardXpos", -20, W::Exit),
    integer("BrushBoardYpos", -20, W::Exit),
    integer("IndexBrush", 0, W::Exit),
    integer("TileBoardPreOpen", 0, W::Exit),
    integer("TileBoardWidth", 320, W::Exit),
    integer("TileBoardHeight", 320, W::Exit),
    integer("TileBoardXpos", -40, W::Exit),
    integer("TileBoardYpos", -40, W::Exit),
    integer("GrpFontForeMask", 0, W::Exit),
    integer("GrpFontBackMask", 0, W::Exit),
    integer("GrpFontPostMsg", 1, W::Exit),
    integer("MainXpos", 0, W::Exit),
    integer("MainYpos", 0, W::Exit),
    integer("MainWidth", 0, W::Exit),
    integer("MainHeight", 0, W::Exit),
};

constexpr std::array<std::string_view, 13> kFontFields{
    "lfFaceName",     "lfHeight",        "lfWidth",     "lfEscapement", "lfOrientation",
    "lfWeight",       "lfItalic",        "lfUnderline", "lfStrikeOut",  "lfCharSet",
    "lfOutPrecision", "lfClipPrecision", "lfQuality",
};

} // namespace

std::span<const SettingKey> settingKeys() {
    return kKeys;
}

const SettingKey* findSettingKey(std::string_view name) {
    for (const auto& key : kKeys)
        if (key.name == name)
            return &key;
    return nullptr;
}

std::span<const std::string_view> fontKeyFields() {
    return kFontFields;
}

int readSetting(const Settings& settings, std::string_view name) {
    const SettingKey* key = findSettingKey(name);
    if (!key)
        return 0;
    const std::string k(name);
    switch (key->type) {
    case SettingType::ClampedInteger:
        return settings.readClampedInt(k, key->defaultValue, key->minimum, key->maximum);
    case SettingType::LowByte:
        return settings.readInt(k, key->defaultValue) & 0xFF;
    case SettingType::String:
        return 0;
    case SettingType::Integer:
        break;
    }
    return settings.readInt(k, key->defaultValue);
}

} // namespace celdo
