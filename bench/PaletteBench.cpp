#include "app/PaletteCommands.h"
#include "canvas/PaintSurface.h"
#include "canvas/ReplaceIndex.h"
#include "framework/ScriptedUi.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

// A palette swap with pixel remap, as the palette board's "交換する" runs it:
// the command through the engine, then its message to eight open 4096 × 4096
// pictures.  Compared with BM_LookupEightPictures, a plain 256-entry table
// pass over the same bytes.
namespace {

using namespace celdo;

constexpr int Side = 4096;
constexpr int Pictures = 8;

std::vector<PaintSurface> openPictures() {
    std::vector<PaintSurface> surfaces(Pictures);
    for (int n = 0; n < Pictures; ++n) {
        surfaces[n].picture = CellImage::Create(Side, Side, 8);
        std::uint8_t* p = surfaces[n].picture->pixels();
        for (std::uint32_t i = 0; i < surfaces[n].picture->imageSize(); ++i)
            p[i] = static_cast<std::uint8_t>((i * 131 >> 7) + n);
        surfaces[n].picture->SetGreyPalette();
    }
    return surfaces;
}

void BM_PaletteSwapEightPictures(benchmark::State& state) {
    auto surfaces = openPictures();
    std::vector<PaintSurface*> list;
    for (PaintSurface& s : surfaces)
        list.push_back(&s);
    PaletteSet palette;
    ColourSelection selection;
    selection.drawColor = 3;
    selection.dragTarget = 200;
    SortColorSettings sort;
    ScriptedUi ui;
    PaletteCommandContext context{ui, palette, selection, sort, nullptr};
    for (auto _ : state) {
        const PaletteCommandResult result = RunPaletteCommand(Command::PaletteSwap, context);
        if (!result.broadcast) {
            state.SkipWithError("no broadcast");
            return;
        }
        BroadcastPaletteChange(*result.broadcast, palette, list);
    }
    benchmark::DoNotOptimize(surfaces[0].picture->pixels()[0]);
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * Pictures * Side * Side);
}

void BM_LookupEightPictures(benchmark::State& state) {
    auto surfaces = openPictures();
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i);
    table[3] = 200;
    table[200] = 3;
    for (auto _ : state) {
        for (PaintSurface& s : surfaces) {
            std::uint8_t* p = s.picture->pixels();
            const std::uint32_t size = s.picture->imageSize();
            for (std::uint32_t i = 0; i < size; ++i)
                p[i] = table[p[i]];
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * Pictures * Side * Side);
}

} // namespace

BENCHMARK(BM_PaletteSwapEightPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupEightPictures)->Unit(benchmark::kMillisecond);
