#include "sets/SetPage.h"

#include "core/CellImage.h"
#include "core/Colour.h"
#include "sets/KissSet.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace celdo {

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;
constexpr std::uint32_t Black = Opaque;

using ColourTable = std::array<std::uint32_t, 256>;

std::uint32_t screenColour(ColourValue c) {
    return Opaque | swapRedBlue(c);
}

// A cell's own alpha scaled by its `%t` alpha, both 0–255.
unsigned combinedAlpha(unsigned alpha, unsigned cellAlpha) {
    return (alpha * cellAlpha + 127) / 255;
}

std::uint32_t blend(std::uint32_t over, std::uint32_t under, unsigned alpha) {
    const unsigned rest = 255 - alpha;
    auto channel = [&](int shift) {
        const unsigned s = (over >> shift) & 0xFF;
        const unsigned d = (under >> shift) & 0xFF;
        return ((s * alpha + d * rest + 127) / 255) << shift;
    };
    return Opaque | channel(16) | channel(8) | channel(0);
}

// The group a palette file draws a page's group with: its own, or group 0
// when the file has fewer groups.
int groupIn(const KissSet& set, int paletteFile, int group) {
    const SetPaletteFile& file = set.palettes()[static_cast<std::size_t>(paletteFile)];
    const int groups =
        file.loaded ? std::min(file.groupCount, PaletteSet::GroupCount) : PaletteSet::GroupCount;
    return group >= 0 && group < groups ? group : 0;
}

void fillTable(const KissSet& set, int paletteFile, int group, ColourTable& table) {
    const SetPaletteFile& file = set.palettes()[static_cast<std::size_t>(paletteFile)];
    const ColourValue* colours =
        set.coloursOf(paletteFile)->group(groupIn(set, paletteFile, group));
    // Indices past the file's colours draw black.
    const int count = std::clamp(file.loaded ? file.coloursPerGroup : 256, 0, 256);
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = i < count ? screenColour(colours[i]) : Black;
}

// The colour tables of one page's drawing, made once per palette file.
class PageColours {
public:
    PageColours(const KissSet& set, int group)
        : m_set(set), m_group(group), m_tables(set.palettes().size()),
          m_made(set.palettes().size(), false) {}

    const ColourTable& of(int paletteFile) {
        const auto p = static_cast<std::size_t>(paletteFile);
        if (!m_made[p]) {
            fillTable(m_set, paletteFile, m_group, m_tables[p]);
            m_made[p] = true;
        }
        return m_tables[p];
    }

private:
    const KissSet& m_set;
    int m_group;
    std::vector<ColourTable> m_tables;
    std::vector<bool> m_made;
};

bool hasZeroByte(std::uint64_t v) {
    return ((v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull) != 0;
}

// The hot loop: most cell pixels are either wholly transparent runs or
// wholly opaque runs, so eight indices are looked at together.
void drawOpaqueRow(const std::uint8_t* indices, std::uint32_t* out, int count,
                   const ColourTable& table) {
    const std::uint32_t* colours = table.data();
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, indices + x, sizeof eight);
        if (eight == 0)
            continue;
        if (!hasZeroByte(eight)) {
            for (int k = 0; k < 8; ++k)
                out[x + k] = colours[indices[x + k]];
            continue;
        }
        for (int k = 0; k < 8; ++k) {
            const std::uint8_t i = indices[x + k];
            const std::uint32_t c = colours[i];
            out[x + k] = i ? c : out[x + k];
        }
    }
    for (; x < count; ++x) {
        const std::uint8_t i = indices[x];
        if (i)
            out[x] = colours[i];
    }
}

void drawBlendedRow(const std::uint8_t* indices, std::uint32_t* out, int count,
                    const ColourTable& table, unsigned alpha) {
    for (int x = 0; x < count; ++x)
        if (indices[x])
            out[x] = blend(table[indices[x]], out[x], alpha);
}

// One index a byte for pictures of 1 or 4 bits (an attached picture may be
// either); 8-bit rows are used in place.
class IndexRows {
public:
    explicit IndexRows(const CellImage& picture) : m_picture(picture) {
        if (picture.bitsPerPixel() != 8)
            m_buffer.resize(std::max<std::size_t>(2 * std::size_t{picture.stride()},
                                                  static_cast<std::size_t>(picture.width()) + 8));
    }
    const std::uint8_t* row(int y) {
        const std::uint8_t* stored = m_picture.row(y);
        if (m_picture.bitsPerPixel() == 8)
            return stored;
        if (m_picture.bitsPerPixel() == 4)
            m_picture.UnpackRow4(m_buffer.data(), stored);
        else
            m_picture.UnpackRow1(m_buffer.data(), stored);
        return m_buffer.data();
    }

private:
    const CellImage& m_picture;
    std::vector<std::uint8_t> m_buffer;
};

bool isIndexed(const CellImage& picture) {
    const int bits = picture.bitsPerPixel();
    return bits == 8 || bits == 4 || bits == 1;
}

const CellImage* usableMask(const CellImage& picture, const CellImage* mask) {
    if (!mask || !mask->pixels() || mask->bitsPerPixel() != 8 || mask->width() != picture.width() ||
        mask->height() != picture.height())
        return nullptr;
    return mask;
}

struct Placement {
    Rect bounds; // the cell on the playfield
    Rect part;   // what is drawn of it
    Rect area;   // the output's rectangle
    std::uint32_t* pixels;
    std::size_t stride;

    std::uint32_t* out(int y) const {
        return pixels + static_cast<std::size_t>(y - area.top) * stride +
               static_cast<std::size_t>(part.left - area.left);
    }
};

void drawIndexed(const CellImage& picture, const Placement& at, const ColourTable& table,
                 unsigned cellAlpha) {
    IndexRows rows(picture);
    const int skip = at.part.left - at.bounds.left;
    const int count = at.part.width();
    for (int y = at.part.top; y < at.part.bottom; ++y) {
        const std::uint8_t* indices = rows.row(y - at.bounds.top) + skip;
        if (cellAlpha == 255)
            drawOpaqueRow(indices, at.out(y), count, table);
        else
            drawBlendedRow(indices, at.out(y), count, table, cellAlpha);
    }
}

void drawTrueColour(const CellImage& picture, const CellImage* mask, const Placement& at,
                    unsigned cellAlpha) {
    const int skip = at.part.left - at.bounds.left;
    const int count = at.part.width();
    for (int y = at.part.top; y < at.part.bottom; ++y) {
        const std::uint8_t* bgr = picture.row(y - at.bounds.top) + 3 * skip;
        const std::uint8_t* maskRow = mask ? mask->row(y - at.bounds.top) + skip : nullptr;
        std::uint32_t* out = at.out(y);
        for (int x = 0; x < count; ++x) {
            const unsigned own = maskRow ? 255u - maskRow[x] : 255u;
            const unsigned alpha = combinedAlpha(own, cellAlpha);
            if (alpha == 0)
                continue;
            const std::uint32_t colour = Opaque | (std::uint32_t{bgr[3 * x + 2]} << 16) |
                                         (std::uint32_t{bgr[3 * x + 1]} << 8) | bgr[3 * x];
            out[x] = alpha == 255 ? colour : blend(colour, out[x], alpha);
        }
    }
}

unsigned cellAlphaOf(const CnfCell& cell) {
    return static_cast<unsigned>(255 - std::clamp(cell.transparency, 0, 255));
}

std::uint32_t borderColour(const KissSet& set) {
    const int index = set.document().borderColour();
    if (set.palettes().empty() || !set.coloursOf(0) || index < 0 || index > 255)
        return Black;
    ColourTable table;
    fillTable(set, 0, 0, table);
    return table[static_cast<std::size_t>(index)];
}

} // namespace

void RenderSetPage(const KissSet& set, const SetPageView& view, Rect area, std::uint32_t* pixels,
                   std::size_t stride) {
    const CnfDocument& document = set.document();
    const Rect clip = area.intersected({0, 0, document.width(), document.height()});
    if (clip.empty() || !pixels)
        return;
    Placement at{{}, clip, area, pixels, stride};
    const std::uint32_t border = borderColour(set);
    for (int y = clip.top; y < clip.bottom; ++y)
        std::fill_n(at.out(y), clip.width(), border);

    const std::vector<CnfCell>& cells = document.cells();
    const std::vector<bool> unmapped =
        view.initialScript ? document.initiallyUnmapped() : std::vector<bool>(cells.size());
    PageColours colours(set, document.pageGroup(view.page));
    // The first cell line is on top: draw from the last.
    for (int cell = static_cast<int>(cells.size()) - 1; cell >= 0; --cell) {
        const CnfCell& line = cells[static_cast<std::size_t>(cell)];
        const unsigned cellAlpha = cellAlphaOf(line);
        if (unmapped[static_cast<std::size_t>(cell)] || cellAlpha == 0)
            continue;
        at.bounds = set.cellBounds(view.page, cell);
        at.part = at.bounds.intersected(clip);
        if (at.part.empty())
            continue;
        const int file = set.fileOf(cell);
        const CellImage& picture = *set.pictureOf(file);
        if (picture.bitsPerPixel() == 24)
            drawTrueColour(picture, usableMask(picture, set.maskOf(file)), at, cellAlpha);
        else if (isIndexed(picture))
            drawIndexed(picture, at, colours.of(line.paletteFile), cellAlpha);
    }
}

int cellUnderPoint(const KissSet& set, const SetPageView& view, Point at, Point* cellPixel) {
    const CnfDocument& document = set.document();
    const std::vector<CnfCell>& cells = document.cells();
    const std::vector<bool> unmapped =
        view.initialScript ? document.initiallyUnmapped() : std::vector<bool>(cells.size());
    for (int cell = 0; cell < static_cast<int>(cells.size()); ++cell) {
        const unsigned cellAlpha = cellAlphaOf(cells[static_cast<std::size_t>(cell)]);
        if (unmapped[static_cast<std::size_t>(cell)] || cellAlpha == 0)
            continue;
        const Rect bounds = set.cellBounds(view.page, cell);
        if (!bounds.contains(at.x, at.y))
            continue;
        const Point inside{at.x - bounds.left, at.y - bounds.top};
        const int file = set.fileOf(cell);
        const CellImage& picture = *set.pictureOf(file);
        const std::uint8_t* row = picture.row(inside.y);
        bool covers = false;
        switch (picture.bitsPerPixel()) {
        case 24:
            if (const CellImage* mask = usableMask(picture, set.maskOf(file)))
                covers = combinedAlpha(255u - mask->at(inside.x, inside.y), cellAlpha) != 0;
            else
                covers = true;
            break;
        case 8:
            covers = row[inside.x] != 0;
            break;
        case 4:
            covers = ((row[inside.x / 2] >> ((inside.x & 1) ? 0 : 4)) & 0x0F) != 0;
            break;
        case 1:
            covers = ((row[inside.x / 8] >> (7 - inside.x % 8)) & 1) != 0;
            break;
        default:
            break;
        }
        if (!covers)
            continue;
        if (cellPixel)
            *cellPixel = inside;
        return cell;
    }
    return -1;
}

} // namespace celdo
