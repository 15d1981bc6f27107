#include "formats/ReduceAdaptive.h"

#include "framework/Ui.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace celdo {

namespace {

constexpr int Levels = 17;
constexpr int Cells = Levels * Levels * Levels;
constexpr int MostChosen = 230;

// The static colours of a 256-colour system palette, as red, green, blue.
constexpr std::array<std::array<int, 3>, 20> StaticColours = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {255, 0, 0},
    {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},
    {255, 255, 255}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
}};

constexpr int levelOf(int c) {
    return (c + 8) / 16;
}
constexpr int cellOf(int r, int g, int b) {
    return 289 * levelOf(r) + 17 * levelOf(g) + levelOf(b);
}
constexpr int gridValue(int level) {
    return level == 16 ? 255 : 16 * level;
}

} // namespace

CellImagePtr ReduceAdaptive(const CellImage& source, Ui* ui) {
    if (source.bitsPerPixel() != 24 || !source.pixels())
        return nullptr;
    std::optional<WaitCursor> wait;
    if (ui)
        wait.emplace(*ui);
    auto out = CellImage::Create(source.width(), source.height(), 8);
    if (out->status() != status::Ok)
        return nullptr;

    const int width = source.width();
    const int height = source.height();
    std::vector<std::uint32_t> counts(Cells, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = source.row(y);
        for (int x = 0; x < width; ++x, p += 3)
            ++counts[cellOf(p[2], p[1], p[0])];
    }

    std::array<ColourValue, 256> palette{};
    for (std::size_t i = 0; i < StaticColours.size(); ++i) {
        const auto& c = StaticColours[i];
        palette[i] = rgb(c[0], c[1], c[2]);
        counts[cellOf(c[0], c[1], c[2])] = 0;
    }

    std::vector<int> chosen;
    chosen.reserve(MostChosen);
    for (int cell = 0; cell < Cells; ++cell) {
        if (counts[cell] == 0)
            continue;
        if (static_cast<int>(chosen.size()) < MostChosen) {
            chosen.push_back(cell);
            continue;
        }
        std::size_t smallest = 0;
        for (std::size_t i = 1; i < chosen.size(); ++i)
            if (counts[chosen[i]] < counts[chosen[smallest]])
                smallest = i;
        if (counts[cell] > counts[chosen[smallest]])
            chosen[smallest] = cell;
    }
    const int used = static_cast<int>(StaticColours.size() + chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const int cell = chosen[i];
        palette[StaticColours.size() + i] =
            rgb(gridValue(cell / 289), gridValue(cell / 17 % 17), gridValue(cell % 17));
    }
    out->SetPalette(palette.data(), 256);

    std::vector<std::uint8_t> nearest(Cells);
    for (int cell = 0; cell < Cells; ++cell) {
        const int r = gridValue(cell / 289), g = gridValue(cell / 17 % 17),
                  b = gridValue(cell % 17);
        int best = 0;
        int bound = 1000;
        for (int i = 0; i < used; ++i) {
            const ColourValue c = palette[i];
            const int distance = std::abs(r - static_cast<int>(redOf(c))) +
                                 std::abs(g - static_cast<int>(greenOf(c))) +
                                 std::abs(b - static_cast<int>(blueOf(c)));
            if (distance < bound) {
                bound = distance;
                best = i;
            }
        }
        nearest[cell] = static_cast<std::uint8_t>(best);
    }

    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = source.row(y);
        std::uint8_t* q = out->row(y);
        for (int x = 0; x < width; ++x, p += 3)
            q[x] = nearest[cellOf(p[2], p[1], p[0])];
    }
    return out;
}

} // namespace celdo
