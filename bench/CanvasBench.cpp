#include "canvas/Canvas.h"

#include "StrokePath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace celdo;

namespace {

// A 4096 × 4096 picture of index 0 strewn with small blocks of index 1, and a
// canvas with the single-pixel brush painting index 7.
struct BenchCanvas {
    ColourSelection selection;
    Brush brush = Brush::dot();
    EditingState state{selection, brush};
    Canvas canvas{state};

    BenchCanvas(int width, int height) {
        canvas.SetPicture(CellImage::Create(width, height, 8));
        selection.drawColor = 7;
    }
};

void strewObstacles(CellImage& picture, int count) {
    std::mt19937 random(4096);
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(random() % 4090) + 3;
        const int y = static_cast<int>(random() % 4090) + 3;
        const int size = static_cast<int>(random() % 5) + 1;
        for (int dy = 0; dy < size && y + dy < picture.height(); ++dy)
            for (int dx = 0; dx < size && x + dx < picture.width(); ++dx)
                picture.at(x + dx, y + dy) = 1;
    }
}

void BM_FloodFill4096(benchmark::State& state) {
    BenchCanvas b(4096, 4096);
    CellImage& picture = *b.canvas.picture();
    // The top 2/3 of the picture (about 11 million pixels) is one region;
    // a wall closes it off from the rest.
    const int regionRows = 2730;
    for (int x = 0; x < 4096; ++x)
        picture.at(x, regionRows) = 1;
    strewObstacles(picture, 4000);
    const CellImagePtr original = picture.Duplicate();
    long long filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(picture.pixels(), original->pixels(), picture.imageSize());
        state.ResumeTiming();
        Rect changed;
        b.canvas.FloodFill(0, 0, &changed);
        benchmark::DoNotOptimize(changed);
    }
    for (int y = 0; y < 4096; ++y)
        for (int x = 0; x < 4096; ++x)
            filled += picture.at(x, y) == 7;
    state.counters["pixels"] = static_cast<double>(filled);
}

void BM_FreehandStroke(benchmark::State& state) {
    BenchCanvas b(1024, 1024);
    b.brush.cells.fill(1);
    b.brush.updateExtent();
    const std::vector<Point> path = FigureEightPath();
    for (auto _ : state) {
        Rect changed;
        for (const Point& p : path)
            changed = changed.united(b.canvas.Dab(p.x, p.y));
        benchmark::DoNotOptimize(changed);
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * 1000);
}

void BM_FillEllipse4000(benchmark::State& state) {
    BenchCanvas b(4096, 4096);
    for (auto _ : state) {
        Rect changed = b.canvas.FillEllipse(48, 48, 4047, 4047, 2048, 2048);
        benchmark::DoNotOptimize(changed);
    }
}

} // namespace

BENCHMARK(BM_FloodFill4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreehandStroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillEllipse4000)->Unit(benchmark::kMillisecond);
