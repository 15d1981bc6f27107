#include "app/ProgramDirectory.h"
#include "plugins/FilterHost.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginRegistry.h"

#include "../cplugin/CpluginDialogs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

// Filter runs of the delivered plug-in through the host, as the editor makes
// them: load, copy the picture, filter, take the result, release.
namespace {

using namespace celdo;

int g_button = 2;
const char* g_angle = "30.0";

std::int32_t answer(const char*, const char*, void*, char* text, std::size_t size) {
    if (text)
        std::snprintf(text, size, "%s", g_angle);
    return g_button;
}

void runFilter(benchmark::State& state, const char* name, int button, const char* angle) {
    const std::string path = (ProgramDirectory() / PluginRegistry::DefaultPluginName).string();
    PluginLibrary library(path);
    auto setHook = library.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK);
    auto plugin = CheckPlugin(path);
    FilterLists lists;
    if (!setHook || !plugin || !BuildFilterLists({*plugin}, lists)) {
        state.SkipWithError("cplugin.so not found beside the benchmark");
        return;
    }
    setHook(&answer);
    g_button = button;
    g_angle = angle;
    const FilterEntry* entry = nullptr;
    for (const auto& e : lists.wholeImage)
        if (e.exportName == name)
            entry = &e;
    const int size = static_cast<int>(state.range(0));
    auto image = CellImage::Create(size, size, 8);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image->at(x, y) = static_cast<std::uint8_t>(x * 7 + y * 3);
    auto mask = CellImage::Create(size, size, 8);
    for (auto _ : state) {
        FilterOutcome outcome = RunFilter(*entry, *plugin, *image, mask.get(), nullptr, {});
        if (outcome.result == 0)
            state.SkipWithError("filter failed");
        benchmark::DoNotOptimize(outcome.newImage.get());
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * size * size);
    setHook(nullptr);
}

void BM_FreeRotation30(benchmark::State& state) { runFilter(state, "FreeRotation", 1, "30.0"); }
void BM_Rotation90(benchmark::State& state) { runFilter(state, "Rotation", 260, nullptr); }
void BM_InverseHalfTurn(benchmark::State& state) { runFilter(state, "Inverse", 263, nullptr); }

} // namespace

BENCHMARK(BM_FreeRotation30)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotation90)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InverseHalfTurn)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
