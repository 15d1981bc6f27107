#include "canvas/FloodFill.h"

#include "canvas/PixelWriter.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <queue>
#include <vector>

namespace celdo {

namespace {

enum Direction : std::uint8_t { Free = 0, Up = 1, Down = 2 };

struct Span {
    std::uint8_t direction = Free;
    int first = 0;
    int last = 0; // inclusive
    int row = 0;
};

// The table of pending spans.  Spans are processed lowest slot first and a
// new span takes the lowest free slot below the slot count, else a new slot
// at the end; the two heaps find those slots without scanning.  The table
// grows as far as the region needs, so no span is ever dropped.
class SpanTable {
public:
    bool empty() const { return m_used.empty(); }
    int takeFirst() {
        const int slot = m_used.top();
        m_used.pop();
        return slot;
    }
    const Span& operator[](int slot) const { return m_slots[static_cast<std::size_t>(slot)]; }
    void release(int slot) {
        m_slots[static_cast<std::size_t>(slot)].direction = Free;
        m_free.push(slot);
    }
    void push(std::uint8_t direction, int first, int last, int row) {
        int slot;
        if (!m_free.empty()) {
            slot = m_free.top();
            m_free.pop();
        } else {
            slot = static_cast<int>(m_slots.size());
            m_slots.emplace_back();
        }
        m_slots[static_cast<std::size_t>(slot)] = {direction, first, last, row};
        m_used.push(slot);
    }

private:
    using MinHeap = std::priority_queue<int, std::vector<int>, std::greater<int>>;
    std::vector<Span> m_slots;
    MinHeap m_used;
    MinHeap m_free;
};

// The visited plane holds one bit a pixel, so that the region's bookkeeping
// stays small beside the picture; the fillable test looks at eight columns
// at a time where it can.
class Filler {
public:
    Filler(PixelWriter& writer, const CellImage& search, std::uint8_t valueMask, std::uint8_t seed,
           bool equal, std::uint64_t* visited, std::size_t visitedStride)
        : m_writer(writer), m_search(search), m_valueMask(valueMask), m_seed(seed), m_equal(equal),
          m_maskBytes(valueMask * ByteOnes), m_seedBytes(seed * ByteOnes), m_visited(visited),
          m_visitedStride(visitedStride), m_width(writer.width()), m_height(writer.height()) {}

    void Run(int x, int y) {
        selectRow(y);
        int last = x;
        while (last + 1 < m_width && fillable(last + 1))
            ++last;
        int first = x;
        while (first - 1 >= 0 && fillable(first - 1))
            --first;
        paint(y, first, last);
        if (y > 0)
            m_table.push(Up, first, last, y - 1);
        if (y + 1 < m_height)
            m_table.push(Down, first, last, y + 1);
        while (!m_table.empty()) {
            const int slot = m_table.takeFirst();
            const Span span = m_table[slot];
            process(span);
            m_table.release(slot);
        }
    }

    const Rect& changed() const { return m_changed; }

private:
    static constexpr std::uint64_t ByteOnes = 0x0101010101010101ull;
    static constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full;
    static constexpr std::uint64_t High = 0x8080808080808080ull;

    void selectRow(int y) {
        m_searchRow = m_search.row(y);
        m_visitedRow = m_visited + static_cast<std::size_t>(y) * m_visitedStride;
    }

    bool visited(int x) const { return (m_visitedRow[x >> 6] >> (x & 63)) & 1u; }

    bool fillable(int x) const {
        return !visited(x) && (((m_searchRow[x] & m_valueMask) == m_seed) == m_equal);
    }

    // Bit i set: column x + i is fillable; x is a multiple of 8 and the eight
    // columns lie inside the row.
    unsigned fillable8(int x) const {
        std::uint64_t v;
        std::memcpy(&v, m_searchRow + x, 8);
        const std::uint64_t d = (v & m_maskBytes) ^ m_seedBytes;
        // High bit of each byte set where the byte differs from the seed.
        const std::uint64_t t = (((d & Low7) + Low7) | d) & High;
        const unsigned differs = static_cast<unsigned>(((t >> 7) * 0x0102040810204080ull) >> 56);
        const unsigned match = m_equal ? (~differs & 0xFFu) : differs;
        const unsigned seen = static_cast<unsigned>(m_visitedRow[x >> 6] >> (x & 63)) & 0xFFu;
        return match & ~seen;
    }

    // The last column of the run that continues right from the fillable x.
    int extendRight(int x) const {
        int p = x + 1;
        for (; p < m_width && (p & 7); ++p)
            if (!fillable(p))
                return p - 1;
        for (; p + 8 <= m_width; p += 8) {
            const unsigned bits = fillable8(p);
            if (bits != 0xFFu)
                return p + std::countr_zero(~bits) - 1;
        }
        for (; p < m_width; ++p)
            if (!fillable(p))
                return p - 1;
        return m_width - 1;
    }

    // The first column of the run that continues left from the fillable x.
    int extendLeft(int x) const {
        int c = x;
        for (; c > 0 && (c & 7); --c)
            if (!fillable(c - 1))
                return c;
        for (; c >= 8; c -= 8) {
            const unsigned bits = fillable8(c - 8);
            if (bits != 0xFFu)
                return c - 8 + (32 - std::countl_zero(~bits & 0xFFu));
        }
        return c;
    }

    // The first fillable column from p up to and including limit, or −1.
    int nextFillable(int p, int limit) const {
        for (; p <= limit && (p & 7); ++p)
            if (fillable(p))
                return p;
        for (; p + 8 <= limit + 1; p += 8) {
            const unsigned bits = fillable8(p);
            if (bits)
                return p + std::countr_zero(bits);
        }
        for (; p <= limit; ++p)
            if (fillable(p))
                return p;
        return -1;
    }

    void markVisited(int first, int last) {
        for (int x = first; x <= last;) {
            const int bit = x & 63;
            const int count = std::min(64 - bit, last - x + 1);
            const std::uint64_t bits = count == 64 ? ~0ull : (((1ull << count) - 1) << bit);
            m_visitedRow[x >> 6] |= bits;
            x += count;
        }
    }

    void paint(int y, int first, int last) {
        m_writer.PaintRun(y, first, last + 1);
        markVisited(first, last);
        m_changed = m_changed.united({first, y, last + 1, y + 1});
    }

    void pushAround(const Span& span, int first, int last) {
        const bool wider = first < span.first || last > span.last;
        if (span.row > 0 && (wider || span.direction == Up))
            m_table.push(Up, first, last, span.row - 1);
        if (span.row + 1 < m_height && (wider || span.direction == Down))
            m_table.push(Down, first, last, span.row + 1);
    }

    void process(const Span& span) {
        selectRow(span.row);
        int position = span.first;
        if (fillable(position)) {
            const int first = extendLeft(position);
            const int last = extendRight(position);
            paint(span.row, first, last);
            pushAround(span, first, last);
            position = last + 1;
        }
        for (;;) {
            position = nextFillable(position, span.last);
            if (position < 0)
                break;
            const int last = extendRight(position);
            paint(span.row, position, last);
            pushAround(span, position, last);
            position = last + 1;
        }
    }

    PixelWriter& m_writer;
    const CellImage& m_search;
    const std::uint8_t m_valueMask;
    const std::uint8_t m_seed;
    const bool m_equal;
    const std::uint64_t m_maskBytes;
    const std::uint64_t m_seedBytes;
    std::uint64_t* const m_visited;
    const std::size_t m_visitedStride;
    const int m_width;
    const int m_height;
    const std::uint8_t* m_searchRow = nullptr;
    std::uint64_t* m_visitedRow = nullptr;
    SpanTable m_table;
    Rect m_changed;
};

bool samePlaneSize(const CellImage* a, const CellImage& b) {
    return a && a->pixels() && a->bitsPerPixel() == 8 && a->width() == b.width() &&
           a->height() == b.height();
}

} // namespace

Status FloodFill(PaintSurface& surface, const EditingState& state, int x, int y, Rect* changed) {
    if (changed)
        *changed = {};
    CellImage* picture = surface.picture.get();
    if (!picture || !picture->pixels() || picture->bitsPerPixel() != 8 || !picture->contains(x, y))
        return status::Ok;
    if (surface.maskMode && !samePlaneSize(surface.maskView.get(), *picture))
        return status::Ok;

    const FillOptions& options = state.fill;
    const CellImage* search = picture;
    std::uint8_t valueMask = 0xFF;
    std::uint8_t seed = 0;
    bool equal = true;
    if (options.searchPlane == 0) {
        if (options.useBorder) {
            seed = static_cast<std::uint8_t>(state.selection.borderColor);
            equal = false;
        } else {
            seed = picture->at(x, y);
        }
    } else if (!surface.maskMode) {
        if (!surface.mask) {
            CellImagePtr mask = CellImage::Create(picture->width(), picture->height(), 8);
            if (!mask || mask->status() != status::Ok || !mask->pixels())
                return status::OutOfMemory;
            surface.mask = std::move(mask);
        }
        if (!samePlaneSize(surface.mask.get(), *picture))
            return status::BadImage;
        search = surface.mask.get();
        seed = options.useBorder ? (options.maskBorder ? 0x00 : 0xFF) : search->at(x, y);
    } else {
        search = surface.maskView.get();
        valueMask = 0x80;
        seed = options.useBorder ? (options.maskBorder ? 0x00 : 0x80) : (search->at(x, y) & 0x80);
    }

    PixelWriter writer(surface, state, PixelWriter::Target::PaintPlane, MaskPolicy::Ignore);
    if (!writer.valid())
        return status::Ok;
    const std::size_t visitedStride = (static_cast<std::size_t>(picture->width()) + 63) / 64;
    std::unique_ptr<std::uint64_t, MallocDeleter> visited(static_cast<std::uint64_t*>(
        std::calloc(visitedStride * static_cast<std::size_t>(picture->height()), 8)));
    if (!visited)
        return status::OutOfMemory;
    Filler filler(writer, *search, valueMask, seed, equal, visited.get(), visitedStride);
    Status result = status::Ok;
    try {
        filler.Run(x, y);
    } catch (const std::bad_alloc&) {
        // The span table could not grow: what was painted stays painted and
        // is reported like any other change.
        result = status::OutOfMemory;
    }
    if (changed)
        *changed = filler.changed();
    return result;
}

ControlTable MakePaintOptionDialog(bool maskMode, const FillSettings& settings) {
    ControlTable table;
    table.name = maskMode ? "PAINTOPTION2" : "PAINTOPTION1";
    table.title = maskMode ? "塗潰しのオプション（マスク画面）" : "塗潰しのオプション（編集画面）";
    const int plane = maskMode ? settings.searchPlane2 : settings.searchPlane1;
    const bool border = maskMode ? settings.useBorder2 : settings.useBorder1;
    table.add(groupBox(240, "探索画面", 0));
    table.add(radioButton(241, "編集画面", 1, plane == 0, 1));
    table.add(radioButton(242, "マスク画面", 1, plane != 0, 1));
    table.add(checkBox(280, "背景色を境界にする", border, 2));
    table.add(staticText(-1, "マスクの境界色", 3));
    table.add(scrollBar(360, 0, 1, 1, settings.maskBorder != 0 ? 1 : 0, 361, 3));
    table.add(staticText(361, "", 3));
    table.add(checkBox(281, "自動的にダイアログを出す", settings.popupPaintOption, 4));
    table.add(button(1, "設定", 5));
    table.add(button(2, "取消", 5));
    table.refreshLabels();
    return table;
}

void ApplyPaintOptionDialog(const ControlTable& table, bool maskMode, FillSettings& settings,
                            FillOptions& active) {
    const int plane = table.checkedRadio(241, 242) == 242 ? 1 : 0;
    const bool border = table.value(280) != 0;
    if (maskMode) {
        settings.searchPlane2 = plane;
        settings.useBorder2 = border;
    } else {
        settings.searchPlane1 = plane;
        settings.useBorder1 = border;
    }
    settings.maskBorder = table.value(360) != 0 ? 1 : 0;
    settings.popupPaintOption = table.value(281) != 0;
    active.searchPlane = plane;
    active.useBorder = border;
    active.maskBorder = settings.maskBorder;
}

} // namespace celdo
