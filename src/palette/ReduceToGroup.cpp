#include "palette/ReduceToGroup.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace celdo {

namespace {

bool reducible(const CellImage& source) {
    return source.bitsPerPixel() == 24 && source.pixels() != nullptr && source.width() > 0 &&
           source.height() > 0;
}

CellImagePtr makeTarget(const CellImage& source, const ColourValue* palette) {
    auto target = CellImage::Create(source.width(), source.height(), 8);
    if (target->status() != status::Ok || target->pixels() == nullptr)
        return nullptr;
    target->SetPalette(palette, 256);
    return target;
}

// Per-channel parts of the level colour number, so that a pixel's number is
// three look-ups and two additions.
struct LevelTables {
    std::array<std::uint16_t, 256> red, green, blue;
    LevelTables() {
        for (int v = 0; v < 256; ++v) {
            red[v] = static_cast<std::uint16_t>(levelOf(v) * 289);
            green[v] = static_cast<std::uint16_t>(levelOf(v) * 17);
            blue[v] = static_cast<std::uint16_t>(levelOf(v));
        }
    }
    int number(const std::uint8_t* bgr) const { return red[bgr[2]] + green[bgr[1]] + blue[bgr[0]]; }
};

int threadCount() {
    return static_cast<int>(std::max(1u, std::min(std::thread::hardware_concurrency(), 16u)));
}

// The indices each level colour draws at the four parities of (x, y), filled
// in on first use by whichever thread meets the colour first.  A mapping
// depends on its colour alone, so who computes it and when does not change
// the picture.
class LazyMappings {
public:
    explicit LazyMappings(const ColourMatcher& matcher)
        : m_matcher(matcher), m_state(new std::atomic<std::uint8_t>[LevelColourCount]),
          m_drawn(new std::atomic<std::uint8_t>[4 * LevelColourCount]) {
        for (int n = 0; n < LevelColourCount; ++n)
            m_state[n].store(Absent, std::memory_order_relaxed);
    }

    // The table of one parity (x & 1) + 2 × (y & 1), valid for colours that
    // ensure() has seen.
    const std::atomic<std::uint8_t>* drawn(int parity) const {
        return m_drawn.get() + parity * LevelColourCount;
    }

    void ensure(int n) {
        if (m_state[n].load(std::memory_order_acquire) != Ready)
            compute(n);
    }

private:
    enum : std::uint8_t { Absent, Computing, Ready };

    [[gnu::noinline]] void compute(int n) {
        std::uint8_t expected = Absent;
        if (m_state[n].compare_exchange_strong(expected, Computing, std::memory_order_acq_rel)) {
            const ColourMapping mapping = m_matcher.match(levelColour(n));
            for (int parity = 0; parity < 4; ++parity)
                m_drawn[parity * LevelColourCount + n].store(
                    static_cast<std::uint8_t>(mapping.indexAt(parity & 1, parity >> 1)),
                    std::memory_order_relaxed);
            m_state[n].store(Ready, std::memory_order_release);
            return;
        }
        // Another thread is computing it; that takes microseconds.
        while (m_state[n].load(std::memory_order_acquire) != Ready)
            std::this_thread::yield();
    }

    const ColourMatcher& m_matcher;
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_state;
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_drawn;
};

void reduceRows(const CellImage& source, CellImage& target, const LevelTables& levels,
                LazyMappings& mappings, int from, int to) {
    const int width = source.width();
    for (int y = from; y < to; ++y) {
        const std::atomic<std::uint8_t>* even = mappings.drawn(2 * (y & 1));
        const std::atomic<std::uint8_t>* odd = mappings.drawn(2 * (y & 1) + 1);
        const std::uint8_t* p = source.row(y);
        std::uint8_t* out = target.row(y);
        int x = 0;
        for (; x + 1 < width; x += 2, p += 6) {
            const int n = levels.number(p);
            mappings.ensure(n);
            out[x] = even[n].load(std::memory_order_relaxed);
            const int m = levels.number(p + 3);
            mappings.ensure(m);
            out[x + 1] = odd[m].load(std::memory_order_relaxed);
        }
        if (x < width) {
            const int n = levels.number(p);
            mappings.ensure(n);
            out[x] = even[n].load(std::memory_order_relaxed);
        }
    }
}

} // namespace

CellImagePtr ReduceToGroup(const CellImage& source, const ColourValue* palette,
                           const ColourMatchOptions& options, const ProgressFunction& progress) {
    if (!reducible(source))
        return nullptr;
    try {
        CellImagePtr target = makeTarget(source, palette);
        if (!target)
            return nullptr;
        const int height = source.height();
        std::array<std::uint8_t, 256> usable;
        buildUsableFlags(palette, usable.data());
        const LevelTables levels;
        const ColourMatcher matcher(palette, usable.data(), 0, 255, options);
        LazyMappings mappings(matcher);

        // Bands of rows are taken by the threads in an order that starts them
        // far apart in the picture, where they mostly meet different colours.
        const int threads = height >= 64 ? threadCount() : 1;
        const int perThread = std::min(8, std::max(1, height / threads));
        const int bands = threads * perThread;
        auto bandStart = [&](int band) {
            return static_cast<int>(static_cast<long long>(height) * band / bands);
        };
        std::atomic<int> nextBand{0};
        std::atomic<long long> rowsDone{0};
        auto takeBand = [&]() {
            const int k = nextBand.fetch_add(1);
            if (k >= bands)
                return false;
            const int band = (k % threads) * perThread + k / threads;
            reduceRows(source, *target, levels, mappings, bandStart(band), bandStart(band + 1));
            rowsDone.fetch_add(bandStart(band + 1) - bandStart(band));
            return true;
        };
        std::vector<std::thread> helpers;
        try {
            for (int k = 1; k < threads; ++k)
                helpers.emplace_back([&takeBand]() {
                    while (takeBand()) {
                    }
                });
        } catch (...) {
        }
        while (takeBand()) {
            if (progress)
                progress(rowsDone.load(), height);
        }
        for (auto& helper : helpers)
            helper.join();
        if (progress)
            progress(height, height);
        return target;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace detail {

CellImagePtr ReduceToGroupReference(const CellImage& source, const ColourValue* palette,
                                    const ColourMatchOptions& options) {
    if (!reducible(source))
        return nullptr;
    try {
        CellImagePtr target = makeTarget(source, palette);
        if (!target)
            return nullptr;
        std::array<std::uint8_t, 256> usable;
        buildUsableFlags(palette, usable.data());
        std::vector<ColourMapping> mappings(LevelColourCount);
        std::vector<bool> computed(LevelColourCount, false);
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* p = source.row(y);
            for (int x = 0; x < source.width(); ++x, p += 3) {
                const int n = levelColourNumber(p[2], p[1], p[0]);
                if (!computed[n]) {
                    mappings[n] =
                        mapColourDirect(levelColour(n), palette, usable.data(), 0, 255, options);
                    computed[n] = true;
                }
                target->at(x, y) = static_cast<std::uint8_t>(mappings[n].indexAt(x, y));
            }
        }
        return target;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace detail

} // namespace celdo
