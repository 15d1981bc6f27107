#include "palette/ReduceToGroup.h"

#include <algorithm>
#include <array>
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

// Runs work(band, firstRow, endRow) over `bands` bands of rows, band 0 on the
// calling thread.  Bands whose thread cannot be started run here afterwards.
template <typename Work>
void forRowBands(int height, int bands, const Work& work) {
    bands = std::max(1, std::min(bands, height));
    auto first = [&](int band) { return static_cast<int>(static_cast<long long>(height) * band / bands); };
    std::vector<std::thread> helpers;
    int started = 1;
    try {
        for (; started < bands; ++started)
            helpers.emplace_back([&work, &first, started]() {
                work(started, first(started), first(started + 1));
            });
    } catch (...) {
    }
    work(0, first(0), first(1));
    for (int band = started; band < bands; ++band)
        work(band, first(band), first(band + 1));
    for (auto& helper : helpers)
        helper.join();
}

int threadCount() {
    return static_cast<int>(std::max(1u, std::min(std::thread::hardware_concurrency(), 16u)));
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
        const int width = source.width();
        const int height = source.height();
        const long long total = 2LL * height + LevelColourCount;
        std::array<std::uint8_t, 256> usable;
        buildUsableFlags(palette, usable.data());
        const LevelTables levels;

        // Which level colours occur: each band marks its own table.
        const int bands = height >= 64 ? threadCount() : 1;
        std::vector<std::uint8_t> seen(static_cast<std::size_t>(bands) * LevelColourCount, 0);
        forRowBands(height, bands, [&](int band, int from, int to) {
            std::uint8_t* mine = seen.data() + static_cast<std::size_t>(band) * LevelColourCount;
            for (int y = from; y < to; ++y) {
                const std::uint8_t* p = source.row(y);
                for (int x = 0; x < width; ++x, p += 3)
                    mine[levels.number(p)] = 1;
            }
        });
        std::vector<ColourTriple> colours;
        std::vector<int> numbers;
        for (int n = 0; n < LevelColourCount; ++n) {
            bool occurs = false;
            for (int band = 0; band < bands && !occurs; ++band)
                occurs = seen[static_cast<std::size_t>(band) * LevelColourCount + n] != 0;
            if (occurs) {
                colours.push_back(levelColour(n));
                numbers.push_back(n);
            }
        }
        const long long skipped = height + LevelColourCount - static_cast<long long>(colours.size());
        if (progress)
            progress(skipped, total);

        // A mapping depends on its colour alone, so the order in which the
        // level colours are mapped does not matter.
        std::vector<ColourMapping> mappings(colours.size());
        const ColourMatcher matcher(palette, usable.data(), 0, 255, options);
        ProgressFunction colourProgress;
        if (progress)
            colourProgress = [&](long long done, long long) { progress(skipped + done, total); };
        matcher.matchAll(colours.data(), colours.size(), mappings.data(), colourProgress);

        // The index each level colour draws at the four parities of (x, y).
        std::vector<std::uint8_t> drawn(4 * static_cast<std::size_t>(LevelColourCount), 0);
        for (std::size_t k = 0; k < mappings.size(); ++k)
            for (int parity = 0; parity < 4; ++parity)
                drawn[parity * static_cast<std::size_t>(LevelColourCount) + numbers[k]] =
                    static_cast<std::uint8_t>(mappings[k].indexAt(parity & 1, parity >> 1));

        forRowBands(height, bands, [&](int, int from, int to) {
            for (int y = from; y < to; ++y) {
                const std::uint8_t* even = drawn.data() + (y & 1) * 2 * LevelColourCount;
                const std::uint8_t* odd = even + LevelColourCount;
                const std::uint8_t* p = source.row(y);
                std::uint8_t* out = target->row(y);
                int x = 0;
                for (; x + 1 < width; x += 2, p += 6) {
                    out[x] = even[levels.number(p)];
                    out[x + 1] = odd[levels.number(p + 3)];
                }
                if (x < width)
                    out[x] = even[levels.number(p)];
            }
        });
        if (progress)
            progress(total, total);
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
