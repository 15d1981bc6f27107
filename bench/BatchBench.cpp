#include "BatchConversion.h"
#include "ScratchFolder.h"
#include "formats/KissCellFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

// The converter's batch form on 200 cells of 400 × 600 pixels: on every core
// at once, and one file after another on one thread.  Outputs go to the
// scratch folder and are replaced on every round (--overwrite).  The
// counter cpu_ms is the processor time of the whole process per round, all
// threads together: equal in both forms when the threads add no work, so a
// parallel figure short of its target on a busy machine can be told from
// one that does more work.
namespace {

using namespace celdo;
using namespace celdo::convert;

// The format the cells are converted to, by its extension.
constexpr const char* OutputFormat = "BMP";
constexpr int Cells = 200;
constexpr int Width = 400;
constexpr int Height = 600;

// The cells, written once with the editor's cell writer; each one's pixels
// differ.  Empty when they could not be written.
std::vector<std::string> writeCells(const ScratchFolder& folder) {
    std::vector<std::string> paths;
    auto picture = CellImage::Create(Width, Height, 8);
    for (int i = 0; i < Cells; ++i) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                picture->at(x, y) = static_cast<std::uint8_t>((x + i) * 3 ^ (y * 5 + i));
        char name[32];
        std::snprintf(name, sizeof name, "cell%03d.cel", i);
        KissCellFile writer(folder.file(name));
        writer.setKind(2);
        writer.setOffsets(0, 0);
        writer.setFromImage(*picture);
        if (writer.saveTo(*picture, nullptr) != status::Ok)
            return {};
        paths.push_back(writer.path());
    }
    return paths;
}

double processSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runBatch(benchmark::State& state, int jobs) {
    const ScratchFolder folder;
    const std::vector<std::string> cells =
        folder.ok() ? writeCells(folder) : std::vector<std::string>();
    if (cells.empty()) {
        state.SkipWithError("cannot write the cells");
        return;
    }
    Arguments arguments;
    arguments.to = OutputFormat;
    arguments.outputFolder = folder.file("out");
    arguments.overwrite = true;
    std::filesystem::create_directory(arguments.outputFolder);
    const double cpuBefore = processSeconds();
    for (auto _ : state) {
        std::vector<BatchFile> files = planBatch(cells, arguments.outputFolder, arguments.to);
        ConvertBatch(files, arguments, {}, jobs, {});
        if (std::any_of(files.begin(), files.end(), [](const BatchFile& file) {
                return file.outcome != BatchOutcome::Converted;
            })) {
            state.SkipWithError("a conversion failed");
            return;
        }
    }
    state.counters["cpu_ms"] =
        (processSeconds() - cpuBefore) * 1000 / static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * Cells);
    state.counters["jobs"] = jobs;
}

void BM_BatchConvert200(benchmark::State& state) {
    runBatch(state, std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
}

void BM_BatchConvert200Sequential(benchmark::State& state) {
    runBatch(state, 1);
}

} // namespace

BENCHMARK(BM_BatchConvert200)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchConvert200Sequential)->Unit(benchmark::kMillisecond)->UseRealTime();
