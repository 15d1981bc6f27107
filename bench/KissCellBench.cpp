#include "ScratchFolder.h"
#include "formats/KissCellFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// A 4096 × 4096 256-colour cell (16 MiB of pixels) through the real load and
// save path, file included; compare with BM_Copy16MiB.
namespace {

using namespace celdo;

constexpr int Side = 4096;

CellImagePtr testPicture() {
    auto picture = CellImage::Create(Side, Side, 8);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            picture->at(x, y) = static_cast<std::uint8_t>(x * 3 + y);
    return picture;
}

void BM_CelRead4096(benchmark::State& state) {
    ScratchFolder folder;
    auto picture = testPicture();
    KissCellFile writer(folder.file("big.cel"));
    writer.setKind(2);
    writer.setFromImage(*picture);
    if (!folder.ok() || writer.saveTo(*picture, nullptr) != status::Ok) {
        state.SkipWithError("cannot write the test cell");
        return;
    }
    for (auto _ : state) {
        KissCellFile file(folder.file("big.cel"));
        CellImagePtr image;
        if (file.readHeader() == status::Ok)
            image = file.readImage();
        if (!image) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(image->pixels());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * Side * Side);
}

void BM_CelWrite4096(benchmark::State& state) {
    ScratchFolder folder;
    auto picture = testPicture();
    for (auto _ : state) {
        KissCellFile file(folder.file("big.cel"));
        file.setKind(2);
        file.setFromImage(*picture);
        if (file.saveTo(*picture, nullptr) != status::Ok) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * Side * Side);
}

} // namespace

BENCHMARK(BM_CelRead4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CelWrite4096)->Unit(benchmark::kMillisecond);
