#include "app/ProgramDirectory.h"
#include "plugins/FilterHost.h"
#include "plugins/PluginLibrary.h"
#include "plugins/PluginRegistry.h"
#include "plugins/celdo_plugin.h"

#include "../cplugin/CpluginDialogs.h"

#include <benchmark/benchmark.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

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

// The delivered plug-in with its dialogs answered in code, and a picture
// with a mask of size × size pixels.
struct Setup {
    PluginLibrary library{(ProgramDirectory() / PluginRegistry::DefaultPluginName).string()};
    CpluginSetDialogHookFunction setHook = nullptr;
    std::optional<RegisteredPlugin> plugin;
    FilterLists lists;
    const FilterEntry* entry = nullptr;
    CellImagePtr image;
    CellImagePtr mask;

    Setup(const char* name, int button, const char* angle, int size) {
        setHook = library.function<CpluginSetDialogHookFunction>(CPLUGIN_EXPORT_SET_DIALOG_HOOK);
        plugin = CheckPlugin((ProgramDirectory() / PluginRegistry::DefaultPluginName).string());
        if (!setHook || !plugin || !BuildFilterLists({*plugin}, lists))
            return;
        setHook(&answer);
        g_button = button;
        g_angle = angle;
        for (const auto& e : lists.wholeImage)
            if (e.exportName == name)
                entry = &e;
        image = CellImage::Create(size, size, 8);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                image->at(x, y) = static_cast<std::uint8_t>(x * 7 + y * 3);
        mask = CellImage::Create(size, size, 8);
        for (int y = 0; y < size; y += 3)
            for (int x = y % 5; x < size; x += 5)
                mask->at(x, y) = 1;
    }
    ~Setup() {
        if (setHook)
            setHook(nullptr);
    }
    bool ready() const { return entry != nullptr; }
    FilterOutcome run() { return RunFilter(*entry, *plugin, *image, mask.get(), nullptr, {}); }
};

void runFilter(benchmark::State& state, const char* name, int button, const char* angle) {
    const int size = static_cast<int>(state.range(0));
    Setup setup(name, button, angle, size);
    if (!setup.ready()) {
        state.SkipWithError("cplugin.so not found beside the benchmark");
        return;
    }
    for (auto _ : state) {
        FilterOutcome outcome = setup.run();
        if (outcome.result == 0)
            state.SkipWithError("filter failed");
        benchmark::DoNotOptimize(outcome.newImage.get());
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * size * size);
}

// The exported function itself, given the picture and mask in place as the
// editor's request does; the returned blocks are freed each time.
void callExport(benchmark::State& state, const char* name, int button, const char* angle) {
    const int size = static_cast<int>(state.range(0));
    Setup setup(name, button, angle, size);
    auto filter = setup.library.function<FilterFunction>(name);
    if (!setup.ready() || !filter) {
        state.SkipWithError("cplugin.so not found beside the benchmark");
        return;
    }
    std::vector<std::uint8_t> info(CELDO_BITMAP_INFO_SIZE), maskInfo(CELDO_BITMAP_INFO_SIZE);
    std::memcpy(info.data(), &setup.image->bitmapHeader(), sizeof(BitmapInfoHeader));
    std::memcpy(maskInfo.data(), &setup.mask->bitmapHeader(), sizeof(BitmapInfoHeader));
    for (auto _ : state) {
        FilterRequest request{};
        request.version = CELDO_FILTER_REQUEST_VERSION;
        request.headerSize = CELDO_BITMAP_HEADER_SIZE;
        request.bitmapInfo = info.data();
        request.bits = setup.image->pixels();
        request.maskInfo = maskInfo.data();
        request.maskBits = setup.mask->pixels();
        request.reserved1 = -1;
        if (filter(&request) == 0)
            state.SkipWithError("filter failed");
        benchmark::DoNotOptimize(request.newBits);
        std::free(request.newBitmapInfo);
        std::free(request.newBits);
        std::free(request.newMaskInfo);
        std::free(request.newMaskBits);
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * size * size);
}

void BM_FreeRotation30(benchmark::State& state) {
    callExport(state, "FreeRotation", 1, "30.0");
}
void BM_Rotation90(benchmark::State& state) {
    callExport(state, "Rotation", 260, nullptr);
}
void BM_InverseHalfTurn(benchmark::State& state) {
    callExport(state, "Inverse", 263, nullptr);
}
// The same runs as the editor makes them through the host: load, copy the
// picture and mask, filter, take the result over, release.
void BM_FreeRotation30Host(benchmark::State& state) {
    runFilter(state, "FreeRotation", 1, "30.0");
}
void BM_Rotation90Host(benchmark::State& state) {
    runFilter(state, "Rotation", 260, nullptr);
}
void BM_InverseHalfTurnHost(benchmark::State& state) {
    runFilter(state, "Inverse", 263, nullptr);
}

// A plain copy of as many bytes as BM_FreeRotation30 produces (new picture
// and new mask), the measure it is held against.
void BM_CopyFreeRotation30Output(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    {
        Setup setup("FreeRotation", 1, "30.0", size);
        if (setup.ready()) {
            FilterOutcome outcome = setup.run();
            if (outcome.newImage && outcome.newMask)
                bytes = outcome.newImage->imageSize() + outcome.newMask->imageSize();
        }
    }
    if (bytes == 0) {
        state.SkipWithError("cplugin.so not found beside the benchmark");
        return;
    }
    std::vector<unsigned char> from(bytes, 1);
    if (state.range(1) == 0) {
        std::vector<unsigned char> to(bytes);
        for (auto _ : state) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
    } else {
        // Into memory fresh from the system each time, as the filter's new
        // blocks are: the first write to each page is part of the cost.
        for (auto _ : state) {
            void* to =
                ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (to == MAP_FAILED) {
                state.SkipWithError("no memory");
                break;
            }
            std::memcpy(to, from.data(), bytes);
            benchmark::DoNotOptimize(to);
            ::munmap(to, bytes);
        }
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * bytes);
}

} // namespace

BENCHMARK(BM_FreeRotation30)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
// Second argument: 0 into the same warm buffer each time, 1 into fresh pages.
BENCHMARK(BM_CopyFreeRotation30Output)
    ->Args({1024, 0})
    ->Args({2048, 0})
    ->Args({2048, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotation90)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InverseHalfTurn)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeRotation30Host)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotation90Host)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InverseHalfTurnHost)->Arg(2048)->Unit(benchmark::kMillisecond);
