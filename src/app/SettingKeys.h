#pragma once

#include <span>
#include <string_view>

namespace celdo {

class Settings;

// How a key is read back.
enum class SettingType { Integer, ClampedInteger, String, LowByte };
// When the program writes a key: as soon as the value changes, at shutdown,
// or never (read at start-up only; edited by hand).
enum class SettingWritten { Change, Exit, Never };

// One fixed key of CELDO.INI.  Names containing "%d" are numbered families
// (`first`..`last` are the numbers read).  Font keys are the prefix "Font1:"
// followed by a logical-font field name (fontKeys()).
struct SettingKey {
    std::string_view name;
    SettingType type;
    int defaultValue;
    int minimum;
    int maximum;
    SettingWritten written;
    int first = 0;
    int last = 0;
};

// Every key the program keeps, with its default, range and writing moment.
std::span<const SettingKey> settingKeys();
const SettingKey* findSettingKey(std::string_view name);

// The thirteen logical-font fields stored after a font prefix; the first is
// the face name (a string), lfHeight defaults to 16, all others to 0.
std::span<const std::string_view> fontKeyFields();
inline constexpr std::string_view StatusBarFontPrefix = "Font1:";

// Reads an integer key of the table with its default and range applied (low
// 8 bits for colour indices).  Unknown names read as 0.
int readSetting(const Settings& settings, std::string_view name);

} // namespace celdo
