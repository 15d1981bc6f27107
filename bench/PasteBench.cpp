#include "canvas/PasteCompose.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace {

using namespace celdo;

CellImagePtr patterned(int w, int h, unsigned seed) {
    auto image = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = image->row(y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[x] = static_cast<std::uint8_t>(seed >> 24);
        }
    }
    return image;
}

// Sparse protection: one byte in 64 set.
CellImagePtr sparseMask(int w, int h) {
    auto mask = CellImage::Create(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = (y * 7) % 64; x < w; x += 64)
            mask->at(x, y) = 255;
    return mask;
}

struct PasteScene {
    PaintSurface target;
    CellImagePtr converted = patterned(2048, 2048, 2);
    CellImagePtr pasteMask = sparseMask(2048, 2048);
    std::array<ColourValue, 256> group{};
    PastePlacement at{1000, 1100, 2048, 2048, false};

    PasteScene() {
        target.picture = patterned(4096, 4096, 1);
        target.mask = sparseMask(4096, 4096);
    }
    void compose(ComposedPaste& composed) const {
        Compose(target, *converted, pasteMask.get(), at, overlay::Over, group.data(), composed);
    }
};

// A 2048 × 2048 paste with a paste mask, index 0 transparent, composed over
// a 4096 × 4096 picture with an enabled mask, as a tentative paste does it
// each time.  Compare with BM_Copy16MiB for a quarter of its bytes.
void BM_PasteCompose2048(benchmark::State& state) {
    const PasteScene scene;
    ComposedPaste composed;
    for (auto _ : state) {
        scene.compose(composed);
        benchmark::DoNotOptimize(composed.preview->pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 2048 * 2048);
}

// The same paste composed afresh and laid down, as "貼付" does.
void BM_PasteComposeAndLayDown2048(benchmark::State& state) {
    PasteScene scene;
    for (auto _ : state) {
        ComposedPaste composed;
        scene.compose(composed);
        benchmark::DoNotOptimize(LayDown(scene.target, composed));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 2048 * 2048);
}

} // namespace

BENCHMARK(BM_PasteCompose2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteComposeAndLayDown2048)->Unit(benchmark::kMillisecond);
