#include "ScratchFolder.h"
#include "formats/MagFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// MAG pictures of 4096 × 4096 at 256 colours, written and read through real
// files: flat areas, outlined shapes, an ordered-dither gradient and a band
// of noise, as painted cells and scanned-in art mix them.
namespace {

celdo::CellImagePtr realisticPicture() {
    constexpr int size = 4096;
    auto image = celdo::CellImage::Create(size, size, 8);
    celdo::ColourValue palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = celdo::rgb(i, (i * 3) & 0xFF, 255 - i);
    image->SetPalette(palette, 256);
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    unsigned seed = 12345;
    for (int y = 0; y < size; ++y) {
        std::uint8_t* row = image->row(y);
        for (int x = 0; x < size; ++x) {
            int value = 16 + y / 256;    // flat horizontal bands
            if (y >= 2048 && y < 2560) { // dithered gradient
                const int level = x * 64 / size * 16 + bayer[y & 3][x & 3];
                value = 100 + level / 16 + (level % 16 > 7);
            } else if (y >= 3584 && y < 3712) { // noise
                seed = seed * 1103515245u + 12345u;
                value = static_cast<int>(seed >> 24);
            }
            row[x] = static_cast<std::uint8_t>(value);
        }
    }
    // Outlined discs and boxes over everything.
    for (int k = 0; k < 60; ++k) {
        const int cx = (k * 977) % size, cy = (k * 1543) % size, r = 40 + (k * 37) % 200;
        for (int y = std::max(0, cy - r); y < std::min(size, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(size, cx + r); ++x) {
                const int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (k % 2 == 0 && d < r * r)
                    image->at(x, y) =
                        static_cast<std::uint8_t>(d > (r - 3) * (r - 3) ? 1 : 200 + k % 40);
                else if (k % 2 == 1)
                    image->at(x, y) = static_cast<std::uint8_t>(
                        (std::abs(x - cx) > r - 3 || std::abs(y - cy) > r - 3) ? 1 : 150 + k % 40);
            }
    }
    return image;
}

void BM_MagEncode4096(benchmark::State& state) {
    const auto picture = realisticPicture();
    ScratchFolder dir;
    const std::string path = dir.file("bench.mag");
    for (auto _ : state) {
        const celdo::Status result = celdo::MagFile::Save(path, *picture, "");
        if (result != celdo::status::Ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 4096 * 4096);
    state.counters["fileBytes"] = static_cast<double>(std::filesystem::file_size(path));
}

void BM_MagDecode4096(benchmark::State& state) {
    ScratchFolder dir;
    const std::string path = dir.file("bench.mag");
    {
        const auto picture = realisticPicture();
        if (celdo::MagFile::Save(path, *picture, "") != celdo::status::Ok) {
            state.SkipWithError("save failed");
            return;
        }
    }
    for (auto _ : state) {
        celdo::MagFile file(path);
        celdo::CellImagePtr image;
        if (file.readHeader() == celdo::status::Ok)
            image = file.readImage();
        if (!image)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.get());
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 4096 * 4096);
}

} // namespace

BENCHMARK(BM_MagEncode4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MagDecode4096)->Unit(benchmark::kMillisecond);
