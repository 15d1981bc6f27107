#pragma once

#include "core/Point.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace celdo {

// One cell line: `#obj[.fix] file [*pal] [:pages] [;comment]`.
struct CnfCell {
    int object = 0;
    // Clicks before the object can be dragged; 0 without one.
    int fix = 0;
    // The name as written (the file's bytes, often Shift-JIS or any case).
    std::string file;
    int paletteFile = 0;
    // Bit p: the cell is shown on page p.
    std::uint16_t pages = 0x3FF;
    // Initial transparency from a `%tN` tag: 0 opaque … 255 invisible.
    int transparency = 0;
    // Index of its line in the document.
    std::size_t line = 0;

    bool shownOn(int page) const { return page >= 0 && page < 10 && ((pages >> page) & 1) != 0; }
};

// A line the reader skipped, for the set window's report.
struct CnfWarning {
    std::size_t line = 0; // 0-based
    std::string text;
};

// A KiSS configuration file as viewers read it.  The document keeps every
// byte of the file: lines the editor does not change are written back as they
// were read (comments, scripts, unknown lines, line endings, a trailing 0x1A),
// so a set saved after moving one object differs only in that position.
class CnfDocument {
public:
    static constexpr int PageCount = 10;
    static constexpr int DefaultWidth = 640;
    static constexpr int DefaultHeight = 400;

    // Never fails: whatever cannot be read is skipped with a warning.
    static CnfDocument Parse(std::string_view bytes);
    // The file's bytes with the positions changed since reading.
    std::string bytes() const;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Index into palette file 0, group 0.
    int borderColour() const { return m_borderColour; }
    // The `%` lines' names, numbered from 0 in order.
    const std::vector<std::string>& paletteFiles() const { return m_paletteFiles; }
    // In file order, which is the drawing order: the first is on top.
    const std::vector<CnfCell>& cells() const { return m_cells; }
    const std::vector<CnfWarning>& warnings() const { return m_warnings; }

    // Highest object number + 1.
    int objectCount() const;
    // The largest fix of the object's cells.
    int objectFix(int object) const;
    // Pages with a `$` line or named by a cell.
    bool pageExists(int page) const;
    // The palette group of the page's `$` line; 0 without one.
    int pageGroup(int page) const;
    // Where the object sits on the page: (0,0) for `*`, a missing entry or a
    // page without a `$` line.
    Point objectPosition(int page, int object) const;
    // Whether the page gives the object a position (`x,y`, not `*` or none).
    bool objectPlaced(int page, int object) const;

    // Cells hidden by the `unmap` actions of the script's `initialize` event
    // (by object `#n` or by file name), indexed as cells().
    std::vector<bool> initiallyUnmapped() const;

    // Rewrites only the object's entry of the page's `$` line (adding
    // entries, or `$` lines, when the file has none yet).
    void SetObjectPosition(int page, int object, Point position);
    // Whether a position was changed since reading.
    bool modified() const { return m_modified; }
    void MarkSaved() { m_modified = false; }

private:
    // A line's text and its ending ("\r\n", "\n", "\r" or none), so that the
    // file can be put back together byte for byte.
    struct Line {
        std::string text;
        std::string ending;
    };
    // One `x,y` or `*` of a page, with where its text lies in its line.
    struct Entry {
        bool placed = false;
        Point position;
        std::size_t line = 0;
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    struct Page {
        int group = 0;
        std::size_t line = 0;     // the `$` line
        std::size_t lastLine = 0; // its last continuation line
        // Where entries the file lacks are added: after the last entry read.
        std::size_t appendLine = 0;
        std::size_t appendAt = 0;
        // Just after the group's digits on the `$` line.
        std::size_t groupEnd = 0;
        std::vector<Entry> entries;
    };

    void ParseLines(std::string_view bytes);
    void ReadSize(std::size_t line, std::string_view text);
    void ReadCell(std::size_t line, std::string_view text);
    void ReadEntries(std::size_t line, std::string_view text, std::size_t at, Page& page);
    void ReadScript(std::string_view text, std::string& event);
    void FindUnmapped();
    void Warn(std::size_t line, const std::string& what);
    void ReplaceText(std::size_t line, std::size_t begin, std::size_t end, const std::string& text);
    bool gluedAt(std::size_t line, std::size_t at) const;
    bool gluedBefore(std::size_t line, std::size_t at) const;
    void KeepContinuation(Page& page, std::size_t entry);
    void AddPages(int lastPage);
    std::string lineEnding() const;

    int m_width = DefaultWidth;
    int m_height = DefaultHeight;
    int m_borderColour = 0;
    std::vector<std::string> m_paletteFiles;
    std::vector<CnfCell> m_cells;
    std::vector<CnfWarning> m_warnings;
    bool m_modified = false;
    std::vector<Line> m_lines;
    std::vector<Page> m_pages;
    // Pages a cell line's page list names.
    std::uint16_t m_namedPages = 0;
    // What the `initialize` event unmaps: objects and file names.
    std::vector<int> m_unmapObjects;
    std::vector<std::string> m_unmapNames;
    std::vector<bool> m_unmapped;
};

} // namespace celdo
