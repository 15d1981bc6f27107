// The settings file.  The input is the file's text.  Every key the program's
// own section holds is written into a new file and read back, and written
// again into the file it came from: each must read back as it was, and the
// keys of another section must not change.  Values holding a line break are
// refused by the writer, so they are left out.
#include "FuzzSupport.h"

#include "app/Settings.h"
#include "formats/SaveIo.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

constexpr const char* OwnSection = "CELDOM";
constexpr std::size_t KeysTried = 64;
constexpr std::size_t SectionsTried = 4;

// The files are replaced as in the program, but nothing needs to reach the
// disk: skipping the syncs keeps thousands of runs a second.
class UnsyncedIo : public SaveIo {
public:
    int fsync(int) override { return 0; }
};

std::filesystem::path g_folder;

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

std::string trimmed(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// Names that may be keys or sections: the text before each "=", and the
// text between "[" and "]".  Settings decides which of them are.
void CollectNames(const std::string& text, std::set<std::string>& keys,
                  std::set<std::string>& sections) {
    const std::string bom = "\xEF\xBB\xBF";
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        // The key as it stands and without each byte-order mark before it.
        const std::size_t eq = line.find('=');
        for (std::size_t at = 0; eq != std::string::npos && keys.size() < KeysTried; at += 3) {
            keys.insert(trimmed(line.substr(at, eq - at)));
            if (line.compare(at, 3, bom) != 0)
                break;
        }
        std::string t = trimmed(line);
        while (t.compare(0, 3, bom) == 0)
            t = trimmed(t.substr(3));
        if (!t.empty() && t.front() == '[' && sections.size() < SectionsTried)
            if (const std::size_t close = t.find(']'); close != std::string::npos)
                sections.insert(trimmed(t.substr(1, close - 1)));
        start = end + 1;
    }
}

bool oneLine(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

using Values = std::map<std::string, std::string>;

// The keys among `keys` that `settings` holds, with their values.
Values valuesOf(const Settings& settings, const std::set<std::string>& keys) {
    Values values;
    for (const std::string& key : keys)
        if (settings.has(key))
            values[key] = settings.readString(key, {}, INT_MAX);
    return values;
}

void WriteFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Require(out.good(), "writing the input file");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static UnsyncedIo io;
    static ScopedSaveIo unsynced(io);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "celdo-fuzz-settings-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr, "making a temporary folder");
    g_folder = pattern;
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path original = g_folder / "CELDO.INI";
    const std::filesystem::path copy = g_folder / "COPY.INI";
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    WriteFile(original, data, size);

    std::set<std::string> keys, sections;
    CollectNames(std::string(reinterpret_cast<const char*>(data), size), keys, sections);
    sections.erase(OwnSection);

    Values own;
    std::map<std::string, Values> others;
    {
        const Settings read(original, OwnSection);
        own = valuesOf(read, keys);
        for (const std::string& section : sections)
            others[section] = valuesOf(Settings(original, section), keys);
    }
    Values kept;
    for (const auto& [key, value] : own)
        if (oneLine(key) && oneLine(value))
            kept[key] = value;

    {
        Settings written(copy, OwnSection);
        for (const auto& [key, value] : kept)
            written.writeString(key, value);
        Require(written.flush(), "writing a new settings file");
    }
    {
        const Settings back(copy, OwnSection);
        const Settings read(original, OwnSection);
        for (const auto& [key, value] : kept) {
            Require(back.has(key), "a written key is missing");
            Require(back.readString(key, {}, INT_MAX) == value, "a written value reads otherwise");
            Require(back.readInt(key, INT_MIN + 7) == read.readInt(key, INT_MIN + 7),
                    "a written number reads otherwise");
        }
    }

    {
        Settings rewritten(original, OwnSection);
        for (const auto& [key, value] : kept)
            rewritten.writeString(key, value);
        Require(rewritten.flush(), "writing the settings file over");
    }
    const Settings back(original, OwnSection);
    Require(valuesOf(back, keys) == own, "values of the section after writing them over");
    for (const auto& [section, values] : others)
        if (!section.empty() && oneLine(section))
            Require(valuesOf(Settings(original, section), keys) == values,
                    "another section changed");
    return 0;
}
