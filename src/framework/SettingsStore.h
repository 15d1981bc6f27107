#pragma once

#include <string>

namespace celdo {

// Keys and string values of the program's own section of the settings file,
// as the lower layers see them: they keep their keys without knowing where
// or how the file is stored.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // At most `maxChars` characters (cut on a character boundary).
    virtual std::string readString(const std::string& key, const std::string& fallback = {},
                                   int maxChars = 255) const = 0;
    virtual void writeString(const std::string& key, const std::string& text) = 0;
    virtual void deleteKey(const std::string& key) = 0;
    // Writes pending changes out; true when nothing was pending or they were
    // written.
    virtual bool flush() = 0;
};

} // namespace celdo
