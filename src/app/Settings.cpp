#include "app/Settings.h"

#include "formats/SaveIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace celdo {

namespace {

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string trim(const std::string& text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// "[name]" -> name; nullopt for any other line.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string t = trim(line);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return trim(t.substr(1, close - 1));
}

bool isComment(const std::string& trimmed) {
    return trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
}

// Spaces and tabs only: a carriage return left in a line is part of its value.
std::string trimBlanks(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// "key=value" -> (key, value) with blanks trimmed and one pair of enclosing
// double quotes removed from the value.
std::optional<std::pair<std::string, std::string>> keyLine(const std::string& line) {
    const std::string t = trimBlanks(line);
    if (isComment(trim(t)))
        return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string::npos || eq == 0)
        return std::nullopt;
    std::string key = trim(t.substr(0, eq));
    std::string value = trimBlanks(t.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (key.empty())
        return std::nullopt;
    return std::make_pair(std::move(key), std::move(value));
}

// A line break would end the line early and read back as something else, so
// keys and values holding one are not written at all.
bool oneLine(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

// Values whose ends would be trimmed or unquoted on reading are written in
// quotes, so that they read back as written.
std::string encodeValue(const std::string& flat) {
    if (flat.empty())
        return flat;
    const bool blankEnd =
        flat.front() == ' ' || flat.front() == '\t' || flat.back() == ' ' || flat.back() == '\t';
    const bool quoted = flat.size() >= 2 && flat.front() == '"' && flat.back() == '"';
    if (blankEnd || quoted)
        return '"' + flat + '"';
    return flat;
}

std::string cutToChars(const std::string& text, int maxChars) {
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

bool directoryWritable(const std::filesystem::path& dir) {
    return !dir.empty() && ::access(dir.c_str(), W_OK) == 0;
}

} // namespace

Settings::Settings(std::filesystem::path path, std::string section)
    : m_path(std::move(path)), m_section(std::move(section)) {
    bool unreadable = false;
    if (auto document = load(m_path, unreadable)) {
        // A section that appears twice reads as one: the later bodies follow
        // the first, and the first occurrence of a key counts.  flush()
        // writes the merged section back, so what is read is what is edited.
        mergeSections(*document);
        for (const auto& [key, value] : sectionValues(*document))
            m_values.emplace(key, value);
    }
}

Settings::~Settings() {
    flush();
}

std::filesystem::path Settings::Locate(const std::filesystem::path& programDirectory) {
    if (const char* named = std::getenv("CELDO_INI"); named && *named)
        return named;
    if (directoryWritable(programDirectory))
        return programDirectory / "CELDO.INI";
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && xdg[0] == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".config";
    else
        base = std::filesystem::temp_directory_path();
    return base / "celdo" / "CELDO.INI";
}

std::optional<Settings::Document> Settings::load(const std::filesystem::path& path,
                                                 bool& unreadable) {
    unreadable = false;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (ec)
            unreadable = true;
        return Document{};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        unreadable = true;
        return std::nullopt;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        unreadable = true;
        return std::nullopt;
    }
    std::string bytes = buffer.str();
    Document document;
    // A UTF-8 byte-order mark at the start of the file is no part of the
    // first line.  Anywhere else the same bytes are text like any other, so
    // a key starting with them is written and read back as it is.
    if (bytes.starts_with(ByteOrderMark)) {
        document.byteOrderMark = true;
        bytes.erase(0, ByteOrderMark.size());
    }
    document.finalNewline = bytes.empty() || bytes.back() == '\n';
    // The first line break decides the file's line ends; in a file of bare
    // line feeds a carriage return is part of the line and is kept.
    const auto firstBreak = bytes.find('\n');
    document.crlf =
        firstBreak != std::string::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r';
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        const bool broken = end != std::string::npos;
        if (!broken)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (document.crlf && broken && !line.empty() && line.back() == '\r')
            line.pop_back();
        document.lines.push_back(std::move(line));
        start = end + 1;
    }
    return document;
}

void Settings::mergeSections(Document& document) const {
    auto& lines = document.lines;
    const std::string wanted = upper(m_section);
    std::size_t first = lines.size();
    for (std::size_t i = 0; i < lines.size();) {
        auto name = sectionName(lines[i]);
        if (!name || upper(*name) != wanted) {
            ++i;
            continue;
        }
        if (first == lines.size()) {
            first = i++;
            continue;
        }
        // A later occurrence: its body moves to the end of the first body.
        std::size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end]))
            ++end;
        std::vector<std::string> body(lines.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                      lines.begin() + static_cast<std::ptrdiff_t>(end));
        while (!body.empty() && trim(body.back()).empty())
            body.pop_back();
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
        std::size_t at = first + 1;
        while (at < lines.size() && !sectionName(lines[at]))
            ++at;
        while (at > first + 1 && trim(lines[at - 1]).empty())
            --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), body.begin(), body.end());
        i += body.size();
    }
}

std::map<std::string, std::string> Settings::sectionValues(const Document& document) const {
    std::map<std::string, std::string> values;
    bool inSection = false;
    for (const auto& line : document.lines) {
        if (auto name = sectionName(line)) {
            inSection = upper(*name) == upper(m_section);
            continue;
        }
        // The first occurrence of a key counts, as with the platform reader.
        if (inSection)
            if (auto kv = keyLine(line))
                values.emplace(upper(kv->first), kv->second);
    }
    return values;
}

const std::string* Settings::lookup(const std::string& key) const {
    const std::string k = upper(key);
    if (auto p = m_pending.find(k); p != m_pending.end())
        return p->second.second ? &*p->second.second : nullptr;
    if (auto v = m_values.find(k); v != m_values.end())
        return &v->second;
    return nullptr;
}

bool Settings::has(const std::string& key) const {
    return lookup(key) != nullptr;
}

int Settings::readInt(const std::string& key, int fallback) const {
    const std::string* value = lookup(key);
    if (!value)
        return fallback;
    const std::string t = trim(*value);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        negative = t[i++] == '-';
    if (i >= t.size() || t[i] < '0' || t[i] > '9')
        return fallback;
    long long number = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        number = std::min<long long>(number * 10 + (t[i] - '0'), 1LL << 32);
    if (negative)
        number = -number;
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

int Settings::readClampedInt(const std::string& key, int fallback, int minimum, int maximum) const {
    return std::clamp(readInt(key, fallback), minimum, std::max(minimum, maximum));
}

std::string Settings::readString(const std::string& key, const std::string& fallback,
                                 int maxChars) const {
    const std::string* value = lookup(key);
    return cutToChars(value ? *value : fallback, maxChars);
}

void Settings::writeInt(const std::string& key, int value) {
    writeString(key, std::to_string(value));
}

void Settings::writeString(const std::string& key, const std::string& text) {
    if (oneLine(key) && oneLine(text))
        m_pending[upper(key)] = {key, text};
}

void Settings::deleteKey(const std::string& key) {
    if (oneLine(key))
        m_pending[upper(key)] = {key, std::nullopt};
}

void Settings::apply(Document& document) const {
    mergeSections(document);
    auto& lines = document.lines;
    // Find our section: [first, end) are its body lines.
    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (name && upper(*name) == upper(m_section)) {
            header = i;
            break;
        }
    }
    if (header == lines.size()) {
        bool anySet = false;
        for (const auto& [k, change] : m_pending)
            anySet = anySet || change.second.has_value();
        if (!anySet)
            return;
        if (!lines.empty() && !trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back('[' + m_section + ']');
        header = lines.size() - 1;
    }
    for (const auto& [upperKey, change] : m_pending) {
        const auto& [spelling, value] = change;
        std::size_t end = header + 1;
        while (end < lines.size() && !sectionName(lines[end]))
            ++end;
        bool written = false;
        for (std::size_t i = header + 1; i < end;) {
            auto kv = keyLine(lines[i]);
            if (!kv || upper(kv->first) != upperKey) {
                ++i;
                continue;
            }
            if (value && !written) {
                lines[i] = kv->first + '=' + encodeValue(*value);
                written = true;
                ++i;
            } else {
                // Deleted keys lose every occurrence, so no older duplicate
                // shows through.
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                --end;
            }
        }
        if (value && !written) {
            // New keys go after the section's last non-blank line.
            std::size_t at = end;
            while (at > header + 1 && trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                         spelling + '=' + encodeValue(*value));
        }
    }
}

bool Settings::replaceFile(const std::string& bytes) const {
    // Through a symbolic link the file it names is replaced, beside it.
    const std::filesystem::path target = SaveTargetOf(m_path.string());
    std::error_code ec;
    const auto dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::create_directories(dir, ec);
    SaveIo& io = SaveIo::current();
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (dir / (".CELDO.INI." + std::to_string(::getpid()) + '.' +
                       std::to_string(m_temporaryNumber++)))
                   .string();
        fd = io.open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    // The data reaches the disk before it replaces the old file.
    ok = ok && io.fsync(fd) == 0;
    ok = (io.close(fd) == 0) && ok;
    ok = ok && io.rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        io.unlink(temp.c_str());
        return false;
    }
    return SyncDirectory(dir.string());
}

bool Settings::flush() {
    if (m_pending.empty())
        return true;
    bool unreadable = false;
    auto document = load(m_path, unreadable);
    if (!document || unreadable)
        return false;
    apply(*document);

    std::string bytes(document->byteOrderMark ? ByteOrderMark : std::string_view());
    const char* newline = document->crlf ? "\r\n" : "\n";
    for (std::size_t i = 0; i < document->lines.size(); ++i) {
        bytes += document->lines[i];
        if (i + 1 < document->lines.size() || document->finalNewline)
            bytes += newline;
    }

    if (!replaceFile(bytes))
        return false;

    for (const auto& [upperKey, change] : m_pending) {
        if (change.second)
            m_values[upperKey] = *change.second;
        else
            m_values.erase(upperKey);
    }
    m_pending.clear();
    return true;
}

} // namespace celdo
