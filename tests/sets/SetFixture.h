#pragma once

#include "sets/KissSet.h"
#include "sets/SetPage.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Set files written byte by byte from the formats, for set tests.
namespace celdo::test {

using Bytes = std::vector<std::uint8_t>;

inline void putWord(Bytes& bytes, int value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// "KiSS", the mark, the depth, two zero bytes, four words, zeros to 32.
inline Bytes kissHeader(std::uint8_t mark, int bits, int a, int b, int c = 0, int d = 0) {
    Bytes bytes = {'K', 'i', 'S', 'S', mark, static_cast<std::uint8_t>(bits), 0, 0};
    putWord(bytes, a);
    putWord(bytes, b);
    putWord(bytes, c);
    putWord(bytes, d);
    bytes.resize(32, 0);
    return bytes;
}

// A 24-bit palette file: groups of 0xRRGGBB colours, each padded with black
// to `colours`.
inline Bytes palette24(int colours, const std::vector<std::vector<std::uint32_t>>& groups) {
    Bytes bytes = kissHeader(0x10, 24, colours, static_cast<int>(groups.size()));
    for (const auto& group : groups)
        for (int i = 0; i < colours; ++i) {
            const std::uint32_t c = i < static_cast<int>(group.size()) ? group[i] : 0;
            bytes.push_back(static_cast<std::uint8_t>(c >> 16));
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
    return bytes;
}

// An 8-bit cell (`bits` 8) or a 16-colour one with a header (`bits` 4).
inline Bytes indexedCell(int bits, int offsetX, int offsetY,
                         const std::vector<std::vector<int>>& rows) {
    const int width = static_cast<int>(rows.front().size());
    Bytes bytes = kissHeader(0x20, bits, width, static_cast<int>(rows.size()), offsetX, offsetY);
    for (const auto& row : rows) {
        if (bits == 8) {
            for (int index : row)
                bytes.push_back(static_cast<std::uint8_t>(index));
            continue;
        }
        for (int x = 0; x < width; x += 2)
            bytes.push_back(
                static_cast<std::uint8_t>((row[x] << 4) | (x + 1 < width ? row[x + 1] : 0)));
    }
    return bytes;
}

inline Bytes cell8(const std::vector<std::vector<int>>& rows, int offsetX = 0, int offsetY = 0) {
    return indexedCell(8, offsetX, offsetY, rows);
}

// An old cell: width and height words, then nibble rows, left pixel high.
inline Bytes oldCell(const std::vector<std::vector<int>>& rows) {
    Bytes bytes;
    const int width = static_cast<int>(rows.front().size());
    putWord(bytes, width);
    putWord(bytes, static_cast<int>(rows.size()));
    for (const auto& row : rows)
        for (int x = 0; x < width; x += 2)
            bytes.push_back(
                static_cast<std::uint8_t>((row[x] << 4) | (x + 1 < width ? row[x + 1] : 0)));
    return bytes;
}

// A 32-bit cell of 0xAARRGGBB pixels, stored blue, green, red, alpha.
inline Bytes cell32(const std::vector<std::vector<std::uint32_t>>& rows, int offsetX = 0,
                    int offsetY = 0) {
    Bytes bytes = kissHeader(0x20, 32, static_cast<int>(rows.front().size()),
                             static_cast<int>(rows.size()), offsetX, offsetY);
    for (const auto& row : rows)
        for (std::uint32_t p : row)
            for (int shift : {0, 8, 16, 24})
                bytes.push_back(static_cast<std::uint8_t>(p >> shift));
    return bytes;
}

inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A folder holding a set's files.
class SetFolder {
public:
    void put(const std::string& name, const Bytes& bytes) {
        writeFileBytes(m_dir.file(name), bytes);
    }
    void put(const std::string& name, const std::string& s) { put(name, text(s)); }
    std::string file(const std::string& name) const { return m_dir.file(name); }

    // Loads `name`, failing the test when the set cannot be read.
    std::unique_ptr<KissSet> load(const std::string& name = "set.cnf") const {
        std::unique_ptr<KissSet> set;
        EXPECT_EQ(KissSet::Load(file(name), set), status::Ok);
        return set;
    }

private:
    TempDir m_dir;
};

// Pixels as letters, so that expected pictures can be written row by row;
// colours without a letter show as '?'.
using Legend = std::map<char, std::uint32_t>;

inline std::vector<std::string> letters(const std::vector<std::uint32_t>& pixels, int width,
                                        const Legend& legend) {
    std::vector<std::string> rows;
    for (std::size_t y = 0; y * width < pixels.size(); ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            char letter = '?';
            for (const auto& [name, colour] : legend)
                if (colour == pixels[y * width + x])
                    letter = name;
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

// The whole playfield of a page.
inline std::vector<std::uint32_t> renderPage(const KissSet& set, int page,
                                             bool initialScript = false) {
    const int width = set.document().width();
    const int height = set.document().height();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
    RenderSetPage(set, {page, initialScript}, {0, 0, width, height}, pixels.data(),
                  static_cast<std::size_t>(width));
    return pixels;
}

inline std::vector<std::string> drawnPage(const KissSet& set, int page, const Legend& legend,
                                          bool initialScript = false) {
    return letters(renderPage(set, page, initialScript), set.document().width(), legend);
}

// A palette file of two groups of eight colours: bright ones, then dark.
inline Bytes eightColours() {
    return palette24(
        8, {{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF},
            {0x000000, 0x800000, 0x008000, 0x000080, 0x808000, 0x008080, 0x800080, 0x808080}});
}

// The letters of eightColours(), as drawn: 0xFFRRGGBB.
inline const Legend& eightLetters() {
    static const Legend legend = {{'K', 0xFF000000}, {'R', 0xFFFF0000}, {'G', 0xFF00FF00},
                                  {'B', 0xFF0000FF}, {'Y', 0xFFFFFF00}, {'C', 0xFF00FFFF},
                                  {'M', 0xFFFF00FF}, {'W', 0xFFFFFFFF}, {'r', 0xFF800000},
                                  {'g', 0xFF008000}, {'b', 0xFF000080}, {'y', 0xFF808000},
                                  {'c', 0xFF008080}, {'m', 0xFF800080}, {'w', 0xFF808080}};
    return legend;
}

} // namespace celdo::test
