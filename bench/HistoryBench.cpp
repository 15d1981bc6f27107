#include "canvas/Canvas.h"
#include "history/UndoHistory.h"

#include "StrokePath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace celdo;

namespace {

struct HistoryCanvas {
    PaletteSet palette;
    ColourSelection selection;
    Brush brush = Brush::dot();
    EditingState state{selection, brush};
    Canvas canvas{state};
    UndoHistory history{palette};
    UndoHistory::Lane lane = 0;

    HistoryCanvas(int width, int height) {
        canvas.SetPicture(CellImage::Create(width, height, 8));
        lane = history.Open(canvas.surface());
    }
};

// The path of BM_FreehandStroke: 1000 dabs of the full 16 × 16 brush on a
// 1024 × 1024 picture, each stroke a step of its own.  The colour alternates
// so that every stroke really changes its pixels.
void BM_StrokeWithUndo(benchmark::State& state) {
    HistoryCanvas b(1024, 1024);
    b.brush.cells.fill(1);
    b.brush.updateExtent();
    const std::vector<Point> path = FigureEightPath();
    int colour = 7;
    for (auto _ : state) {
        b.selection.drawColor = colour;
        colour = colour == 7 ? 8 : 7;
        for (const Point& p : path)
            b.history.Touched(b.lane, b.canvas.Dab(p.x, p.y));
        benchmark::DoNotOptimize(b.history.Commit(b.lane, true));
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * 1000);
}

// Undo of a fill that changed every pixel of a 4096 × 4096 picture; the
// redo between the timed undos is not counted.
void BM_UndoFill4096(benchmark::State& state) {
    HistoryCanvas b(4096, 4096);
    b.selection.drawColor = 9;
    Rect changed;
    b.canvas.FloodFill(0, 0, &changed);
    b.history.Commit(b.lane);
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.history.Undo(b.lane).outcome);
        state.PauseTiming();
        b.history.Redo(b.lane);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * 4096 * 4096);
}

} // namespace

BENCHMARK(BM_StrokeWithUndo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoFill4096)->Unit(benchmark::kMillisecond);
