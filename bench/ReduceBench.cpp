#include "palette/ReduceToGroup.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace celdo;

namespace {

// A 4096 × 4096 photo-like picture: red and green follow smooth gradients, blue
// a fine wave, all with a little noise, so that nearly every one of the 4913
// level colours occurs.
const CellImage& photo() {
    static const CellImagePtr image = [] {
        constexpr int Size = 4096;
        auto picture = CellImage::Create(Size, Size, 24);
        std::uint32_t seed = 12345;
        auto noise = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 24) % 9) - 4;
        };
        auto clampByte = [](int v) {
            return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        };
        for (int y = 0; y < Size; ++y) {
            std::uint8_t* p = picture->row(y);
            for (int x = 0; x < Size; ++x, p += 3) {
                const double wave = std::sin(x * 0.9 + y * 0.7) * 0.5 + 0.5;
                p[0] = clampByte(static_cast<int>(wave * 255.0) + noise());
                p[1] = clampByte(y / 16 + noise());
                p[2] = clampByte(x / 16 + noise());
            }
        }
        return picture;
    }();
    return *image;
}

int levelColoursIn(const CellImage& picture) {
    std::vector<bool> seen(LevelColourCount);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3)
            seen[levelColourNumber(p[2], p[1], p[0])] = true;
    }
    int count = 0;
    for (bool s : seen)
        count += s;
    return count;
}

// 252 colours of a 6 × 7 × 6 cube and four greys.
std::array<ColourValue, 256> spreadPalette() {
    std::array<ColourValue, 256> palette{};
    int i = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                palette[i++] = rgb(r * 51, g * 42, b * 51);
    for (int k = 0; i < 256; ++i, ++k)
        palette[i] = rgb(64 + 32 * k, 64 + 32 * k, 64 + 32 * k);
    return palette;
}

// 256 different colours within 3 of mid grey: every entry is within reach of
// the same colours, so every pair is a candidate for them.
std::array<ColourValue, 256> packedPalette() {
    std::array<ColourValue, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = rgb(125 + i % 7, 125 + (i / 7) % 7, 125 + (i / 49) % 6);
    return palette;
}

void reduce(benchmark::State& state, const std::array<ColourValue, 256>& palette) {
    const CellImage& picture = photo();
    for (auto _ : state) {
        CellImagePtr reduced = ReduceToGroup(picture, palette.data(), {});
        benchmark::DoNotOptimize(reduced.get());
        if (!reduced)
            state.SkipWithError("reduction failed");
    }
    state.counters["levelColours"] = levelColoursIn(picture);
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * picture.imageSize());
}

void BM_ReduceToGroup4096_Spread(benchmark::State& state) {
    reduce(state, spreadPalette());
}
void BM_ReduceToGroup4096_Packed(benchmark::State& state) {
    reduce(state, packedPalette());
}

} // namespace

BENCHMARK(BM_ReduceToGroup4096_Spread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReduceToGroup4096_Packed)->Unit(benchmark::kMillisecond)->UseRealTime();
