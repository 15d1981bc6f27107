#include "app/FileHistory.h"

#include "app/Settings.h"
#include "framework/Ui.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace celdo {

namespace {

const char* const kCaption = "Celdos";

bool sameUpper(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i]))
            return false;
    return true;
}

std::string format(const char* pattern, const std::string& argument) {
    std::string text = pattern;
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

} // namespace

const std::string* FileHistory::entry(int index) const {
    if (index < 0 || index >= size())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(index)];
}

int FileHistory::find(const std::string& path) const {
    for (int i = 0; i < size(); ++i)
        if (sameUpper(m_entries[static_cast<std::size_t>(i)], path))
            return i;
    return -1;
}

void FileHistory::add(const std::string& path) {
    if (path.empty())
        return;
    const int at = find(path);
    if (at >= 0)
        m_entries.erase(m_entries.begin() + at);
    m_entries.insert(m_entries.begin(), path);
}

bool FileHistory::remove(const std::string& path) {
    const int at = find(path);
    if (at < 0)
        return false;
    m_entries.erase(m_entries.begin() + at);
    return true;
}

void FileHistory::read(const Settings& settings) {
    m_entries.clear();
    for (int i = 0; i < MaxStoredEntries; ++i) {
        std::string path = settings.readString(key(i));
        if (path.empty())
            break;
        m_entries.push_back(std::move(path));
    }
}

void FileHistory::write(Settings& settings) const {
    const int n = size();
    for (int i = 0; i < n; ++i)
        settings.writeString(key(i), m_entries[static_cast<std::size_t>(i)]);
    settings.deleteKey(key(n));
    for (int i = n + 1; i < MaxStoredEntries; ++i)
        if (settings.has(key(i)))
            settings.deleteKey(key(i));
}

void FileHistory::deleteKeys(Settings& settings) const {
    for (int i = 0; i < MaxStoredEntries; ++i)
        settings.deleteKey(key(i));
}

std::vector<std::pair<Command, std::string>> FileHistory::menuItems(int maxMenuFile) const {
    std::vector<std::pair<Command, std::string>> items;
    const int count = std::min(size(), std::max(0, maxMenuFile));
    for (int i = 0; i < count; ++i)
        items.emplace_back(commandAt(Command::FileHistoryFirst, i),
                           m_entries[static_cast<std::size_t>(i)]);
    return items;
}

bool RemoveFailedEntry(int mode, FileHistory& history, const std::string& path,
                       const std::string& displayName, Ui& ui) {
    if (mode == 0 || history.find(path) < 0)
        return false;
    bool asked = false;
    if (mode == 1) {
        asked = true;
        const int reply =
            ui.messageBox(format("%s は開けません。メニューから外しますか？", displayName),
                          kCaption, MessageIcon::Question, MessageButtons::YesNo);
        if (reply != answer::Yes)
            return asked;
    }
    history.remove(path);
    return asked;
}

bool ClearHistories(Ui& ui, FileHistory& images, FileHistory& palettes, Settings& settings) {
    if (ui.messageBox("メニューのファイルの履歴を消去しますか？", kCaption, MessageIcon::Question,
                      MessageButtons::YesNo) != answer::Yes)
        return false;
    images.clear();
    palettes.clear();
    images.deleteKeys(settings);
    palettes.deleteKeys(settings);
    settings.flush();
    return true;
}

} // namespace celdo
