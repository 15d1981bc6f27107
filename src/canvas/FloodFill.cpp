#include "canvas/FloodFill.h"

#include "canvas/PixelWriter.h"

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

class Filler {
public:
    Filler(PixelWriter& writer, const CellImage& search, std::uint8_t valueMask,
           std::uint8_t seed, bool equal, std::uint8_t* visited)
        : m_writer(writer), m_search(search), m_valueMask(valueMask), m_seed(seed),
          m_equal(equal), m_visited(visited), m_width(writer.width()),
          m_height(writer.height()) {}

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
    void selectRow(int y) {
        m_searchRow = m_search.row(y);
        m_visitedRow = m_visited + static_cast<std::size_t>(y) * m_width;
    }

    bool fillable(int x) const {
        return !m_visitedRow[x] && (((m_searchRow[x] & m_valueMask) == m_seed) == m_equal);
    }

    int extendRight(int x) const {
        while (x + 1 < m_width && fillable(x + 1))
            ++x;
        return x;
    }

    void paint(int y, int first, int last) {
        m_writer.PaintRun(y, first, last + 1);
        std::memset(m_visitedRow + first, 1, static_cast<std::size_t>(last - first + 1));
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
            int first = position;
            while (first - 1 >= 0 && fillable(first - 1))
                --first;
            const int last = extendRight(position);
            paint(span.row, first, last);
            pushAround(span, first, last);
            position = last + 1;
        }
        for (;;) {
            while (position <= span.last && !fillable(position))
                ++position;
            if (position > span.last)
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
    std::uint8_t* const m_visited;
    const int m_width;
    const int m_height;
    const std::uint8_t* m_searchRow = nullptr;
    std::uint8_t* m_visitedRow = nullptr;
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

    PixelWriter writer(surface, state, PixelWriter::Target::PaintPlane, false);
    if (!writer.valid())
        return status::Ok;
    const std::size_t planeSize =
        static_cast<std::size_t>(picture->width()) * static_cast<std::size_t>(picture->height());
    std::unique_ptr<std::uint8_t, MallocDeleter> visited(
        static_cast<std::uint8_t*>(std::calloc(planeSize, 1)));
    if (!visited)
        return status::OutOfMemory;
    try {
        Filler filler(writer, *search, valueMask, seed, equal, visited.get());
        filler.Run(x, y);
        if (changed)
            *changed = filler.changed();
    } catch (const std::bad_alloc&) {
        // The span table could not grow: what was painted stays painted and
        // is reported, like any other change.
        return status::OutOfMemory;
    }
    return status::Ok;
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
