#pragma once

#include "framework/SettingsStore.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace celdo {

// The one way the program reads and writes CELDO.INI: a sectioned text file
// ("[section]" lines and "key=value" lines, UTF-8).  Each build works in its
// own section, so the two builds share the file but not their keys.
//
// Writes are kept in memory until flush(), which merges them into the file as
// it is on disk at that moment: other sections, unknown keys, comments and
// blank lines survive untouched, and a second program writing its own section
// in between is not overwritten.  The file is replaced atomically (temporary
// file in the same directory, then rename).  A file that exists but cannot be
// read is never written over.  Failed writes are not reported to the user;
// flush() returns false for callers that care.
class Settings final : public SettingsStore {
public:
    // Longest string value handed out, in characters.
    static constexpr int MaxStringChars = 255;

    Settings(std::filesystem::path path, std::string section);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Where the settings file lives: the file named by CELDO_INI when set,
    // else CELDO.INI in the program directory when that directory is
    // writable, else $XDG_CONFIG_HOME/celdo/CELDO.INI (~/.config/celdo when
    // XDG_CONFIG_HOME is unset or not absolute).
    static std::filesystem::path Locate(const std::filesystem::path& programDirectory);

    const std::filesystem::path& path() const { return m_path; }
    const std::string& section() const { return m_section; }

    // Decimal integer; `fallback` when the key is missing or holds no number.
    // Text after the digits is ignored and values beyond the int range are
    // limited to it.
    int readInt(const std::string& key, int fallback) const;
    // readInt limited to [minimum, maximum].
    int readClampedInt(const std::string& key, int fallback, int minimum, int maximum) const;
    // At most `maxChars` characters (cut on a character boundary).
    std::string readString(const std::string& key, const std::string& fallback = {},
                           int maxChars = MaxStringChars) const override;
    bool has(const std::string& key) const;

    void writeInt(const std::string& key, int value);
    // A key or text holding a line break is refused: nothing changes.
    void writeString(const std::string& key, const std::string& text) override;
    void deleteKey(const std::string& key) override;

    // Writes pending changes to the file.  True when nothing was pending or
    // the file was replaced.
    bool flush() override;

private:
    struct Document {
        std::vector<std::string> lines;
        bool crlf = false;
        bool finalNewline = true;
        // The file started with a UTF-8 byte-order mark, which is kept.
        bool byteOrderMark = false;
    };
    // Pending change of one key: a value, or nullopt for deletion.
    using Change = std::optional<std::string>;

    static std::optional<Document> load(const std::filesystem::path& path, bool& unreadable);
    // Moves the bodies of later occurrences of our section into the first.
    void mergeSections(Document& document) const;
    std::map<std::string, std::string> sectionValues(const Document& document) const;
    const std::string* lookup(const std::string& key) const;
    // Puts `bytes` in place of the file, durably; false when anything fails,
    // the old file then being untouched.
    bool replaceFile(const std::string& bytes) const;
    void apply(Document& document) const;

    std::filesystem::path m_path;
    std::string m_section;
    // Values of our section as read, keyed by upper-case key name.
    std::map<std::string, std::string> m_values;
    // Changes since the last flush, keyed by upper-case key name; the key as
    // written is kept for new lines.
    std::map<std::string, std::pair<std::string, Change>> m_pending;
    mutable unsigned m_temporaryNumber = 0;
};

} // namespace celdo
