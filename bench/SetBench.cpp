#include "ScratchFolder.h"
#include "sets/KissSet.h"
#include "sets/SetPage.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Drawing one whole page of a large set: 120 cells of 200 × 300 on an
// 800 × 600 playfield, each a figure whose surroundings (about a third of
// the cell) are index 0.  Compare with BM_Copy16MiB.
namespace {

using namespace celdo;

constexpr int Cells = 120;
constexpr int CellWidth = 200;
constexpr int CellHeight = 300;
constexpr int FieldWidth = 800;
constexpr int FieldHeight = 600;

void putWord(std::vector<std::uint8_t>& bytes, int at, int value) {
    bytes[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::vector<std::uint8_t> kissHeader(std::uint8_t mark, int bits, int a, int b) {
    std::vector<std::uint8_t> bytes(32, 0);
    bytes[0] = 'K';
    bytes[1] = 'i';
    bytes[2] = 'S';
    bytes[3] = 'S';
    bytes[4] = mark;
    bytes[5] = static_cast<std::uint8_t>(bits);
    putWord(bytes, 8, a);
    putWord(bytes, 10, b);
    return bytes;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::uint8_t> figureCell(int seed) {
    std::vector<std::uint8_t> bytes = kissHeader(0x20, 8, CellWidth, CellHeight);
    // An ellipse covering two thirds of the cell: (π/4)·k² = 2/3.
    const double k = 0.921;
    const double rx = k * CellWidth / 2;
    const double ry = k * CellHeight / 2;
    for (int y = 0; y < CellHeight; ++y)
        for (int x = 0; x < CellWidth; ++x) {
            const double dx = (x + 0.5 - CellWidth / 2.0) / rx;
            const double dy = (y + 0.5 - CellHeight / 2.0) / ry;
            const bool inside = dx * dx + dy * dy <= 1.0;
            bytes.push_back(inside ? static_cast<std::uint8_t>(1 + (3 * x + 5 * y + seed) % 255)
                                   : 0);
        }
    return bytes;
}

bool writeSet(const ScratchFolder& folder) {
    std::vector<std::uint8_t> palette = kissHeader(0x10, 24, 256, 1);
    for (int i = 0; i < 256; ++i) {
        palette.push_back(static_cast<std::uint8_t>(i));
        palette.push_back(static_cast<std::uint8_t>(255 - i));
        palette.push_back(static_cast<std::uint8_t>(i * 7));
    }
    if (!writeFile(folder.file("pal.kcf"), palette))
        return false;
    std::string cnf = "(800,600)\r\n%pal.kcf\r\n[0\r\n";
    std::string page = "$0";
    for (int i = 0; i < Cells; ++i) {
        const std::string name = "cell" + std::to_string(i) + ".cel";
        if (!writeFile(folder.file(name.c_str()), figureCell(i)))
            return false;
        cnf += "#" + std::to_string(i) + " " + name + "\r\n";
        // Spread over the field, some reaching past its edges.
        const int x = (i * 137) % (FieldWidth - CellWidth + 100) - 50;
        const int y = (i * 71) % (FieldHeight - CellHeight + 100) - 50;
        page += " " + std::to_string(x) + "," + std::to_string(y);
    }
    cnf += page + "\r\n";
    return writeFile(folder.file("set.cnf"), std::vector<std::uint8_t>(cnf.begin(), cnf.end()));
}

void BM_RenderSetPage(benchmark::State& state) {
    ScratchFolder folder;
    std::unique_ptr<KissSet> set;
    if (!folder.ok() || !writeSet(folder) ||
        KissSet::Load(folder.file("set.cnf"), set) != status::Ok || !set->reports().empty()) {
        state.SkipWithError("cannot make the test set");
        return;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(FieldWidth) * FieldHeight);
    for (auto _ : state) {
        RenderSetPage(*set, {0, false}, {0, 0, FieldWidth, FieldHeight}, pixels.data(), FieldWidth);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * Cells * CellWidth *
                            CellHeight);
}

} // namespace

BENCHMARK(BM_RenderSetPage)->Unit(benchmark::kMillisecond);
