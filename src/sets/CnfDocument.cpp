#include "sets/CnfDocument.h"

#include "sets/SetNames.h"

#include <algorithm>
#include <array>

namespace celdo {

namespace {

constexpr char EndOfFile = '\x1A';
// Far beyond any playfield or position; keeps sums of them in range.
constexpr int NumberLimit = 9999999;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// A decimal number at `at` (with a sign when `sign`), moving past it; false
// and `at` unchanged without digits.
bool readNumber(std::string_view text, std::size_t& at, int& value, bool sign = false) {
    std::size_t i = at;
    bool negative = false;
    if (sign && i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !isDigit(text[i]))
        return false;
    long long number = 0;
    while (i < text.size() && isDigit(text[i])) {
        number = std::min<long long>(number * 10 + (text[i] - '0'), NumberLimit);
        ++i;
    }
    value = static_cast<int>(negative ? -number : number);
    at = i;
    return true;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The script's events; any other call is an action of the current event.
bool isEventName(const std::string& name) {
    static constexpr std::array<std::string_view, 25> Events = {
        "initialize", "begin",      "end",   "press",   "release",  "catch", "drop",
        "fixcatch",   "fixdrop",    "unfix", "set",     "col",      "alarm", "apart",
        "collide",    "in",         "out",   "stillin", "stillout", "never", "overflow",
        "keypress",   "keyrelease", "label", "version"};
    return std::find(Events.begin(), Events.end(), name) != Events.end();
}

} // namespace

CnfDocument CnfDocument::Parse(std::string_view bytes) {
    CnfDocument document;
    document.ParseLines(bytes);
    return document;
}

void CnfDocument::ParseLines(std::string_view bytes) {
    // Everything from an end-of-file mark on is kept but never read.
    const std::size_t mark = bytes.find(EndOfFile);
    const std::string_view body = bytes.substr(0, mark);
    std::size_t start = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\r' && body[i] != '\n')
            continue;
        const std::size_t endingSize =
            (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ? 2 : 1;
        m_lines.push_back(
            {std::string(body.substr(start, i - start)), std::string(body.substr(i, endingSize))});
        i += endingSize - 1;
        start = i + 1;
    }
    if (start < body.size())
        m_lines.push_back({std::string(body.substr(start)), std::string()});
    const std::size_t bodyLines = m_lines.size();
    if (mark != std::string_view::npos)
        m_lines.push_back({std::string(bytes.substr(mark)), std::string()});

    // The page whose entries continue on the following lines: an index into
    // m_pages, or a page past the tenth that is read and dropped.
    constexpr int NoPage = -1;
    constexpr int DroppedPage = -2;
    int continuing = NoPage;
    Page dropped;
    std::string event;
    for (std::size_t i = 0; i < bodyLines; ++i) {
        const std::string_view text = m_lines[i].text;
        const std::size_t at = skipBlanks(text, 0);
        if (at == text.size())
            continue;
        const char first = text[at];
        if (first == ';') {
            if (text.substr(at, 2) == ";@")
                ReadScript(text.substr(at + 2), event);
            continue;
        }
        if (continuing != NoPage && (isDigit(first) || first == '*')) {
            Page& page = continuing == DroppedPage ? dropped : m_pages[continuing];
            ReadEntries(i, text, at, page);
            page.lastLine = i;
            continue;
        }
        continuing = NoPage;
        switch (first) {
        case '(':
            ReadSize(i, text.substr(at + 1));
            break;
        case '%': {
            const std::size_t begin = skipBlanks(text, at + 1);
            std::size_t end = begin;
            while (end < text.size() && !isBlank(text[end]) && text[end] != ';')
                ++end;
            if (begin == end)
                Warn(i, "パレットファイル名がありません");
            // Numbered even without a name, so the later files keep theirs.
            m_paletteFiles.emplace_back(text.substr(begin, end - begin));
            break;
        }
        case '[': {
            std::size_t from = skipBlanks(text, at + 1);
            int colour = 0;
            readNumber(text, from, colour);
            m_borderColour = colour;
            break;
        }
        case '#':
            ReadCell(i, text);
            break;
        case '$': {
            Page page;
            page.line = page.lastLine = page.appendLine = i;
            std::size_t from = at + 1;
            readNumber(text, from, page.group);
            page.appendAt = page.groupEnd = from;
            if (m_pages.size() < static_cast<std::size_t>(PageCount)) {
                m_pages.push_back(std::move(page));
                continuing = static_cast<int>(m_pages.size()) - 1;
                ReadEntries(i, text, from, m_pages.back());
            } else {
                Warn(i, "11 番目からのページは無視しました");
                dropped = std::move(page);
                continuing = DroppedPage;
                ReadEntries(i, text, from, dropped);
            }
            break;
        }
        case '=':
            break;
        default:
            Warn(i, "読めない行を飛ばしました");
            break;
        }
    }
    FindUnmapped();
}

void CnfDocument::Warn(std::size_t line, const std::string& what) {
    m_warnings.push_back({line, std::to_string(line + 1) + "行目: " + what});
}

void CnfDocument::ReadSize(std::size_t line, std::string_view text) {
    std::size_t at = skipBlanks(text, 0);
    int width = 0;
    int height = 0;
    bool read = readNumber(text, at, width);
    at = skipBlanks(text, at);
    read = read && at < text.size() && text[at] == ',';
    at = skipBlanks(text, at + 1);
    read = read && readNumber(text, at, height);
    if (!read || width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        Warn(line, "読めない大きさを飛ばしました");
        return;
    }
    m_width = width;
    m_height = height;
}

void CnfDocument::ReadCell(std::size_t line, std::string_view text) {
    CnfCell cell;
    cell.line = line;
    std::size_t at = skipBlanks(text, skipBlanks(text, 0) + 1);
    if (!readNumber(text, at, cell.object)) {
        Warn(line, "読めないセル行を飛ばしました");
        return;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        readNumber(text, at, cell.fix);
    }
    at = skipBlanks(text, at);
    // A name ends at a blank or at the next field glued to it.
    const std::size_t nameBegin = at;
    while (at < text.size() && !isBlank(text[at]) && text[at] != '*' && text[at] != ':' &&
           text[at] != ';')
        ++at;
    if (at == nameBegin) {
        Warn(line, "セル行にファイル名がありません");
        return;
    }
    cell.file = std::string(text.substr(nameBegin, at - nameBegin));

    const std::size_t commentAt = std::min(text.find(';', at), text.size());
    const std::string_view fields = text.substr(0, commentAt);
    bool pageList = false;
    bool done = false;
    while (!done) {
        at = skipBlanks(fields, at);
        if (at >= fields.size())
            break;
        if (fields[at] == '*') {
            at = skipBlanks(fields, at + 1);
            int palette = 0;
            readNumber(fields, at, palette);
            cell.paletteFile = palette;
            continue;
        }
        if (fields[at] != ':' || pageList)
            break; // a second `:` or anything else: the rest is a remark
        pageList = true;
        cell.pages = 0;
        ++at;
        // Digit tokens, each digit one page, until a token of anything else.
        for (;;) {
            at = skipBlanks(fields, at);
            std::size_t end = at;
            while (end < fields.size() && !isBlank(fields[end]))
                ++end;
            if (end == at)
                break;
            const std::string_view token = fields.substr(at, end - at);
            if (!std::all_of(token.begin(), token.end(), isDigit)) {
                // A palette after the page list is still read.
                done = token.front() != '*';
                break;
            }
            for (char digit : token)
                cell.pages = static_cast<std::uint16_t>(cell.pages | (1u << (digit - '0')));
            at = end;
        }
    }
    m_namedPages = static_cast<std::uint16_t>(m_namedPages | (pageList ? cell.pages : 0));

    if (commentAt < text.size()) {
        const std::string_view comment = text.substr(commentAt + 1);
        for (std::size_t tag = comment.find("%t"); tag != std::string_view::npos;
             tag = comment.find("%t", tag + 1)) {
            std::size_t from = tag + 2;
            int value = 0;
            if (readNumber(comment, from, value)) {
                cell.transparency = std::clamp(value, 0, 255);
                break;
            }
        }
    }
    m_cells.push_back(std::move(cell));
}

void CnfDocument::ReadEntries(std::size_t line, std::string_view text, std::size_t at, Page& page) {
    for (;;) {
        at = skipBlanks(text, at);
        if (at >= text.size() || text[at] == ';')
            return;
        Entry entry;
        entry.line = line;
        entry.begin = at;
        if (text[at] == '*') {
            ++at;
        } else {
            int x = 0;
            int y = 0;
            if (!readNumber(text, at, x, true)) {
                Warn(line, "読めない位置を飛ばしました");
                return;
            }
            at = skipBlanks(text, at);
            if (at >= text.size() || text[at] != ',') {
                Warn(line, "読めない位置を飛ばしました");
                return;
            }
            at = skipBlanks(text, at + 1);
            if (!readNumber(text, at, y, true)) {
                Warn(line, "読めない位置を飛ばしました");
                return;
            }
            entry.placed = true;
            entry.position = {x, y};
        }
        entry.end = at;
        page.appendLine = line;
        page.appendAt = at;
        page.entries.push_back(entry);
    }
}

void CnfDocument::ReadScript(std::string_view text, std::string& event) {
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ';')
            return; // a remark after the actions
        if (!isNameStart(c)) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && (isNameStart(text[end]) || isDigit(text[end])))
            ++end;
        const std::string name = lowerAscii(text.substr(at, end - at));
        at = skipBlanks(text, end);
        if (at >= text.size() || text[at] != '(')
            continue;
        // The argument list, whose quoted names may hold any character.
        std::size_t close = at + 1;
        bool quoted = false;
        while (close < text.size() && (quoted || text[close] != ')')) {
            if (text[close] == '"')
                quoted = !quoted;
            ++close;
        }
        std::string_view argument = text.substr(at + 1, close - at - 1);
        at = close + 1;
        if (isEventName(name)) {
            event = name;
            continue;
        }
        if (name != "unmap" || event != "initialize")
            continue;
        const std::size_t first = argument.find_first_not_of(" \t");
        const std::size_t last = argument.find_last_not_of(" \t");
        if (first == std::string_view::npos)
            continue;
        argument = argument.substr(first, last - first + 1);
        if (argument.front() == '#') {
            std::size_t from = skipBlanks(argument, 1);
            int object = 0;
            if (readNumber(argument, from, object))
                m_unmapObjects.push_back(object);
            continue;
        }
        if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
            argument = argument.substr(1, argument.size() - 2);
        m_unmapNames.emplace_back(argument);
    }
}

void CnfDocument::FindUnmapped() {
    m_unmapped.assign(m_cells.size(), false);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const CnfCell& cell = m_cells[i];
        m_unmapped[i] =
            std::find(m_unmapObjects.begin(), m_unmapObjects.end(), cell.object) !=
                m_unmapObjects.end() ||
            std::any_of(m_unmapNames.begin(), m_unmapNames.end(),
                        [&](const std::string& name) { return sameFileName(name, cell.file); });
    }
}

std::string CnfDocument::bytes() const {
    std::string out;
    std::size_t size = 0;
    for (const Line& line : m_lines)
        size += line.text.size() + line.ending.size();
    out.reserve(size);
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

int CnfDocument::objectCount() const {
    int count = 0;
    for (const CnfCell& cell : m_cells)
        count = std::max(count, cell.object + 1);
    return count;
}

int CnfDocument::objectFix(int object) const {
    int fix = 0;
    for (const CnfCell& cell : m_cells)
        if (cell.object == object)
            fix = std::max(fix, cell.fix);
    return fix;
}

bool CnfDocument::pageExists(int page) const {
    if (page < 0 || page >= PageCount)
        return false;
    return page < static_cast<int>(m_pages.size()) || ((m_namedPages >> page) & 1) != 0;
}

int CnfDocument::pageGroup(int page) const {
    if (page < 0 || page >= static_cast<int>(m_pages.size()))
        return 0;
    return m_pages[static_cast<std::size_t>(page)].group;
}

Point CnfDocument::objectPosition(int page, int object) const {
    if (!objectPlaced(page, object))
        return {0, 0};
    return m_pages[static_cast<std::size_t>(page)]
        .entries[static_cast<std::size_t>(object)]
        .position;
}

bool CnfDocument::objectPlaced(int page, int object) const {
    if (page < 0 || page >= static_cast<int>(m_pages.size()) || object < 0)
        return false;
    const Page& p = m_pages[static_cast<std::size_t>(page)];
    return object < static_cast<int>(p.entries.size()) &&
           p.entries[static_cast<std::size_t>(object)].placed;
}

std::vector<bool> CnfDocument::initiallyUnmapped() const {
    return m_unmapped;
}

std::string CnfDocument::lineEnding() const {
    for (const Line& line : m_lines)
        if (!line.ending.empty())
            return line.ending;
    return "\n";
}

void CnfDocument::ReplaceText(std::size_t line, std::size_t begin, std::size_t end,
                              const std::string& text) {
    m_lines[line].text.replace(begin, end - begin, text);
    const std::size_t grown = text.size();
    const std::size_t removed = end - begin;
    auto shift = [&](std::size_t& at) { at = at + grown - removed; };
    for (Page& page : m_pages) {
        for (Entry& entry : page.entries) {
            if (entry.line == line && entry.begin >= end) {
                shift(entry.begin);
                shift(entry.end);
            }
        }
        if (page.appendLine == line && page.appendAt >= end)
            shift(page.appendAt);
    }
}

void CnfDocument::AddPages(int lastPage) {
    // After the last page's lines, or at the end before an end-of-file mark.
    std::size_t at = m_lines.size();
    if (!m_pages.empty())
        at = m_pages.back().lastLine + 1;
    else if (at > 0 && !m_lines[at - 1].text.empty() && m_lines[at - 1].text[0] == EndOfFile)
        --at;
    const bool atEnd =
        at == m_lines.size() || (!m_lines[at].text.empty() && m_lines[at].text[0] == EndOfFile);
    const std::string ending = lineEnding();
    const std::size_t count = static_cast<std::size_t>(lastPage) + 1 - m_pages.size();

    std::vector<Line> added(count, Line{"$0", ending});
    if (at > 0 && m_lines[at - 1].ending.empty()) {
        // A last line without an ending keeps the file ending without one.
        m_lines[at - 1].ending = ending;
        if (atEnd)
            added.back().ending.clear();
    }
    auto shift = [&](std::size_t& line) {
        if (line >= at)
            line += count;
    };
    for (CnfCell& cell : m_cells)
        shift(cell.line);
    for (CnfWarning& warning : m_warnings)
        shift(warning.line);
    for (Page& page : m_pages) {
        shift(page.line);
        shift(page.lastLine);
        shift(page.appendLine);
        for (Entry& entry : page.entries)
            shift(entry.line);
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    for (std::size_t i = 0; i < count; ++i) {
        Page page;
        page.line = page.lastLine = page.appendLine = at + i;
        page.appendAt = page.groupEnd = 2;
        m_pages.push_back(std::move(page));
    }
}

bool CnfDocument::gluedAt(std::size_t line, std::size_t at) const {
    // Text that follows without a blank (`*3`, a place glued to a word) would
    // run into what is written there and read as part of it.
    const std::string& text = m_lines[line].text;
    return at < text.size() && text[at] != ' ' && text[at] != '\t' && text[at] != ';';
}

bool CnfDocument::gluedBefore(std::size_t line, std::size_t at) const {
    // A place right after "$" or its group would read as the group.
    const std::string& text = m_lines[line].text;
    return at > 0 && text[at - 1] != ' ' && text[at - 1] != '\t';
}

void CnfDocument::KeepContinuation(Page& page, std::size_t first) {
    // A page's list goes on over a line only while that line starts with a
    // digit or "*".  When a negative place would start one, the rest of that
    // line joins the line before it, right after its last place: nothing
    // after that place was ever read there, and the emptied line no longer
    // stands between the list and its further lines.
    Entry& entry = page.entries[first];
    const std::size_t line = entry.line;
    const std::string text = m_lines[line].text;
    const std::size_t lead = text.find_first_not_of(" \t");
    if (line == page.line || entry.begin != lead || text[entry.begin] != '-')
        return;
    const std::size_t from = entry.begin;
    const std::size_t toLine = first > 0 ? page.entries[first - 1].line : page.line;
    const std::size_t toAt = first > 0 ? page.entries[first - 1].end : page.groupEnd;
    std::string tail = ' ' + text.substr(from);
    // What followed there was never read (a word that ended the list); it
    // becomes a remark, so that it cannot run on from the moved text.
    const std::string& before = m_lines[toLine].text;
    const std::size_t rest = before.find_first_not_of(" \t", toAt);
    if (rest != std::string::npos && before[rest] != ';' && tail.find(';') == std::string::npos)
        tail += " ;";
    else if (gluedAt(toLine, toAt))
        tail += ' ';
    ReplaceText(line, from, text.size(), "");
    ReplaceText(toLine, toAt, toAt, tail);
    for (std::size_t k = first; k < page.entries.size() && page.entries[k].line == line; ++k) {
        Entry& moved = page.entries[k];
        moved.line = toLine;
        moved.begin = toAt + 1 + (moved.begin - from);
        moved.end = toAt + 1 + (moved.end - from);
    }
    const Entry& last = page.entries.back();
    page.appendLine = last.line;
    page.appendAt = last.end;
}

void CnfDocument::SetObjectPosition(int page, int object, Point position) {
    if (page < 0 || page >= PageCount || object < 0)
        return;
    if (page >= static_cast<int>(m_pages.size()))
        AddPages(page);
    Page& p = m_pages[static_cast<std::size_t>(page)];
    const std::string text = std::to_string(position.x) + "," + std::to_string(position.y);
    if (object < static_cast<int>(p.entries.size())) {
        Entry& entry = p.entries[static_cast<std::size_t>(object)];
        if (entry.placed && entry.position == position)
            return;
        const bool blankBefore = gluedBefore(entry.line, entry.begin);
        const std::size_t begin = entry.begin;
        ReplaceText(entry.line, entry.begin, entry.end,
                    (blankBefore ? " " : "") + text + (gluedAt(entry.line, entry.end) ? " " : ""));
        entry.begin = begin + (blankBefore ? 1 : 0);
        entry.end = entry.begin + text.size();
        entry.placed = true;
        entry.position = position;
        KeepContinuation(p, static_cast<std::size_t>(object));
        m_modified = true;
        return;
    }
    // Objects before it that the page does not list yet stand at 0,0.
    std::string added;
    std::vector<Entry> entries;
    const std::size_t line = p.appendLine;
    const std::size_t at = p.appendAt;
    for (int o = static_cast<int>(p.entries.size()); o <= object; ++o) {
        const std::string entryText = o == object ? text : std::string("0,0");
        added += ' ';
        Entry entry;
        entry.placed = true;
        entry.position = o == object ? position : Point{0, 0};
        entry.line = line;
        entry.begin = at + added.size();
        entry.end = entry.begin + entryText.size();
        added += entryText;
        entries.push_back(entry);
    }
    if (gluedAt(line, at))
        added += ' ';
    ReplaceText(line, at, at, added);
    p.entries.insert(p.entries.end(), entries.begin(), entries.end());
    m_modified = true;
}

} // namespace celdo
