#include "palette/ToneTable.h"

#include "palette/ColourSelection.h"

#include <algorithm>
#include <vector>

namespace celdo {

namespace {

constexpr int kThreshold[4][4] = {
    {1, 9, 3, 11},
    {13, 5, 15, 7},
    {4, 12, 2, 10},
    {16, 8, 14, 6},
};

} // namespace

int ToneTable::threshold(int x, int y) {
    return kThreshold[y & 3][x & 3];
}

bool ToneTable::isSet(int k, int x, int y) {
    return std::clamp(k, 0, PatternCount - 1) < threshold(x, y);
}

CellImagePtr ToneTable::CreateStrip(ColourValue left, ColourValue right) {
    auto strip = CellImage::Create(StripWidth, PatternSize, 1);
    if (!strip || strip->status() != status::Ok)
        return nullptr;
    const ColourValue colours[2] = {right, left};
    strip->SetPalette(colours, 2);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(strip->stride()) * 8, 0);
    for (int y = 0; y < PatternSize; ++y) {
        for (int x = 0; x < StripWidth; ++x)
            bits[x] = isSet(x / PatternSize, x % PatternSize, y) ? 1 : 0;
        strip->PackRow1(strip->row(y), bits.data());
    }
    return strip;
}

void BuildTilePattern(ColourSelection& selection) {
    const auto left = static_cast<std::uint8_t>(selection.leftColor & 0xFF);
    const auto right = static_cast<std::uint8_t>(selection.rightColor & 0xFF);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            selection.tilePattern[y * 16 + x] =
                ToneTable::isSet(selection.toneIndex, x, y) ? left : right;
}

} // namespace celdo
