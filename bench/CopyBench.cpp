#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// Plain copies and fills that the other benchmarks are measured against.
namespace {

void copyBytes(benchmark::State& state, std::size_t size) {
    std::vector<unsigned char> from(size, 1), to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * size);
}

void BM_Copy16MiB(benchmark::State& state) {
    copyBytes(state, 16u << 20);
}
void BM_Copy48MiB(benchmark::State& state) {
    copyBytes(state, 48u << 20);
}

void BM_Memset16MiB(benchmark::State& state) {
    std::vector<unsigned char> to(16u << 20);
    for (auto _ : state) {
        std::memset(to.data(), 7, to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * to.size());
}

} // namespace

BENCHMARK(BM_Copy16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy48MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memset16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
