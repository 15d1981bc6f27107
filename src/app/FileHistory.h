#pragma once

#include "app/Command.h"

#include <string>
#include <utility>
#include <vector>

namespace celdo {

class Settings;
class Ui;

// A list of recently used file paths, most recent first, kept in the settings
// as "<prefix>0", "<prefix>1", … (image files "gfile", palette files
// "pfile").  Paths are compared without regard to ASCII letter case.
class FileHistory {
public:
    static constexpr int MaxStoredEntries = 20;

    explicit FileHistory(std::string keyPrefix) : m_prefix(std::move(keyPrefix)) {}

    const std::string& keyPrefix() const { return m_prefix; }
    const std::vector<std::string>& entries() const { return m_entries; }
    int size() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    // The index-th path, or null when the list is shorter.
    const std::string* entry(int index) const;
    // Index of the entry with the same path, or -1.
    int find(const std::string& path) const;

    // Puts `path` first: an entry with the same path moves to the front (it
    // takes the spelling just used, which is the one known to open), a new
    // path is inserted there.
    void add(const std::string& path);
    // Removes the entry with the same path; false when there is none.
    bool remove(const std::string& path);
    void clear() { m_entries.clear(); }

    // Keys 0..19 up to the first empty value, in key order.
    void read(const Settings& settings);
    // Keys 0..n-1 get the n paths; key n (and any stale key up to 19) is
    // deleted so the reader stops there.
    void write(Settings& settings) const;
    // Deletes keys 0..19.
    void deleteKeys(Settings& settings) const;

    // The history part of the "ファイル" menu: (command, text) pairs, up to
    // `maxMenuFile` entries from Command::FileHistoryFirst on.  Empty means
    // neither a separator nor entries are shown.
    std::vector<std::pair<Command, std::string>> menuItems(int maxMenuFile) const;

private:
    std::string key(int index) const { return m_prefix + std::to_string(index); }

    std::string m_prefix;
    std::vector<std::string> m_entries;
};

// What to do with an entry whose file could not be opened, by the
// DeleteErrorMenuFile setting: 0 keep it, 1 ask "%s は開けません。
// メニューから外しますか？" and remove it on Yes, 2 remove it.  Returns true
// when the user was asked (the caller then shows no error message of its
// own).
bool RemoveFailedEntry(int mode, FileHistory& history, const std::string& path,
                       const std::string& displayName, Ui& ui);

// Button 260 "履歴消去": asks "メニューのファイルの履歴を消去しますか？"; on
// Yes empties both lists, deletes their keys 0..19 and flushes.  True on Yes.
bool ClearHistories(Ui& ui, FileHistory& images, FileHistory& palettes, Settings& settings);

} // namespace celdo
