#include "ScratchFolder.h"
#include "formats/PngFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

// Reading and writing an 8-bit 4096 x 4096 palette PNG through a temporary
// file; compared with BM_Copy16MiB, the same number of bytes moved in memory.
namespace {

using celdo::CellImage;
using celdo::PngFile;

// A photo-like picture: smooth gradients with a little noise on top, so
// neither the filters nor deflate find it trivially easy.
std::unique_ptr<CellImage> photoPicture() {
    auto image = CellImage::Create(4096, 4096, 8);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 4096; ++y) {
        std::uint8_t* row = image->row(y);
        for (int x = 0; x < 4096; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const double smooth = 128.0 + 60.0 * std::sin(x / 301.0) * std::cos(y / 217.0) +
                                  40.0 * std::sin((x + y) / 911.0);
            const int noise = static_cast<int>(seed >> 29) - 4;
            row[x] =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(smooth) + noise, 0, 255));
        }
    }
    image->SetGreyPalette();
    return image;
}

void BM_PngWrite4096(benchmark::State& state) {
    const auto image = photoPicture();
    const ScratchFolder folder;
    const std::string path = folder.file("bench.png");
    for (auto _ : state) {
        PngFile file(path);
        file.setFromImage(*image);
        file.setSaveBits(8);
        if (file.saveTo(*image, nullptr) != celdo::status::Ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 4096 * 4096);
}

void BM_PngRead4096(benchmark::State& state) {
    const auto image = photoPicture();
    const ScratchFolder folder;
    const std::string path = folder.file("bench.png");
    {
        PngFile file(path);
        file.setFromImage(*image);
        file.setSaveBits(8);
        if (file.saveTo(*image, nullptr) != celdo::status::Ok)
            state.SkipWithError("save failed");
    }
    for (auto _ : state) {
        PngFile file(path);
        if (file.readHeader() != celdo::status::Ok)
            state.SkipWithError("read failed");
        auto loaded = file.readImage();
        benchmark::DoNotOptimize(loaded.get());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 4096 * 4096);
}

} // namespace

BENCHMARK(BM_PngRead4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngWrite4096)->Unit(benchmark::kMillisecond);
