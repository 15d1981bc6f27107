#include "ScratchFolder.h"
#include "formats/BmpFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

// Reading and writing an 8-bit 4096 x 4096 bitmap through a temporary file;
// compared with BM_Copy16MiB, the same number of bytes moved in memory.
namespace {

using celdo::BmpFile;
using celdo::CellImage;

std::unique_ptr<CellImage> benchPicture() {
    auto image = CellImage::Create(4096, 4096, 8);
    std::uint8_t* p = image->pixels();
    for (std::uint32_t i = 0; i < image->imageSize(); ++i)
        p[i] = static_cast<std::uint8_t>(i * 131 >> 7);
    image->SetGreyPalette();
    return image;
}

void BM_BmpWrite4096(benchmark::State& state) {
    const auto image = benchPicture();
    const ScratchFolder folder;
    const std::string path = folder.file("bench.bmp");
    for (auto _ : state) {
        BmpFile file(path);
        file.setFromImage(*image);
        if (file.saveTo(*image, nullptr) != celdo::status::Ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * image->imageSize());
}

void BM_BmpRead4096(benchmark::State& state) {
    const auto image = benchPicture();
    const ScratchFolder folder;
    const std::string path = folder.file("bench.bmp");
    {
        BmpFile file(path);
        file.setFromImage(*image);
        if (file.saveTo(*image, nullptr) != celdo::status::Ok)
            state.SkipWithError("save failed");
    }
    for (auto _ : state) {
        BmpFile file(path);
        if (file.readHeader() != celdo::status::Ok)
            state.SkipWithError("read failed");
        auto loaded = file.readImage();
        benchmark::DoNotOptimize(loaded.get());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * image->imageSize());
}

} // namespace

BENCHMARK(BM_BmpRead4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpWrite4096)->Unit(benchmark::kMillisecond);
