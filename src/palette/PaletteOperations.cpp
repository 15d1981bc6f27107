#include "palette/PaletteOperations.h"

#include "palette/ToneTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace celdo {

namespace {

int indexOf(int value) {
    return value & 0xFF;
}

PaletteBroadcast broadcast(PaletteMessage message, PaletteRemap remap = {}) {
    PaletteBroadcast b;
    b.message = message;
    b.remap = remap;
    return b;
}

// Delete step shared by delete and merge: the entries above `index` move
// down by one and the last entry becomes black.
void removeEntry(ColourValue* entries, int index) {
    std::copy(entries + index + 1, entries + PaletteSet::GroupSize, entries + index);
    entries[PaletteSet::GroupSize - 1] = 0;
}

std::int64_t brightness(ColourValue c) {
    return 77 * static_cast<std::int64_t>(redOf(c)) + 150 * static_cast<std::int64_t>(greenOf(c)) +
           29 * static_cast<std::int64_t>(blueOf(c));
}

} // namespace

void ApplyCurrentPalette(CellImage& picture, const PaletteSet& palette) {
    if (picture.bitsPerPixel() == 8)
        picture.SetPalette(palette.current(), PaletteSet::GroupSize);
}

PaletteBroadcast SetEntry(PaletteSet& palette, int index, ColourValue value) {
    palette.current()[indexOf(index)] = value & 0xFFFFFF;
    return broadcast(UM_PALETTE_APPLY);
}

PaletteBroadcast DeleteEntry(PaletteSet& palette, const ColourSelection& selection) {
    const int current = indexOf(selection.drawColor);
    removeEntry(palette.current(), current);
    return broadcast(UM_PALETTE_DELETE_REMAP, PaletteRemap::deletion(current));
}

std::optional<PaletteBroadcast> CopyEntry(PaletteSet& palette, const ColourSelection& selection) {
    const int current = indexOf(selection.drawColor);
    const int target = indexOf(selection.dragTarget);
    if (current == target)
        return std::nullopt;
    palette.current()[target] = palette.current()[current];
    return broadcast(UM_PALETTE_APPLY);
}

std::optional<PaletteBroadcast> SwapEntries(PaletteSet& palette, const ColourSelection& selection,
                                            bool remapPixels) {
    const int current = indexOf(selection.drawColor);
    const int target = indexOf(selection.dragTarget);
    if (current == target)
        return std::nullopt;
    std::swap(palette.current()[current], palette.current()[target]);
    if (!remapPixels)
        return broadcast(UM_PALETTE_APPLY);
    return broadcast(UM_PALETTE_SWAP_REMAP, PaletteRemap::exchange(current, target));
}

std::optional<PaletteBroadcast> MergeEntry(PaletteSet& palette, const ColourSelection& selection) {
    const int current = indexOf(selection.drawColor);
    const int target = indexOf(selection.dragTarget);
    // Merging an entry into itself would only delete it and give its pixels
    // the following colour; the board never offers it.
    if (current == target)
        return std::nullopt;
    removeEntry(palette.current(), current);
    return broadcast(UM_PALETTE_MERGE_REMAP, PaletteRemap::merge(current, target));
}

std::optional<PaletteBroadcast> PixelOnlyChange(const ColourSelection& selection, bool swap) {
    const int current = indexOf(selection.drawColor);
    const int target = indexOf(selection.dragTarget);
    if (current == target)
        return std::nullopt;
    PaletteBroadcast b = broadcast(swap ? UM_PIXEL_SWAP : UM_PIXEL_MERGE);
    b.param = (current << 8) | target;
    return b;
}

std::optional<PaletteBroadcast> SortEntries(PaletteSet& palette, int start, int end, int method,
                                            const CellImage* activeImage) {
    if (start < 0 || end > 255 || start >= end || method < SortBrightFirst ||
        method > SortLeastUsedFirst)
        return std::nullopt;
    const bool byCount = method == SortMostUsedFirst || method == SortLeastUsedFirst;
    if (byCount && (!activeImage || activeImage->bitsPerPixel() != 8 || !activeImage->pixels()))
        return std::nullopt;

    std::array<std::int64_t, 256> keys{};
    ColourValue* entries = palette.current();
    if (byCount) {
        for (int y = 0; y < activeImage->height(); ++y) {
            const std::uint8_t* row = activeImage->row(y);
            for (int x = 0; x < activeImage->width(); ++x)
                ++keys[row[x]];
        }
    } else {
        for (int i = 0; i < 256; ++i)
            keys[i] = brightness(entries[i]);
    }
    if (method == SortDarkFirst || method == SortLeastUsedFirst)
        for (auto& key : keys)
            key = -key;

    std::array<int, 256> order{};
    for (int i = 0; i < 256; ++i)
        order[i] = i;
    // Selection sort, largest key first; among equal keys the one at the lowest
    // position at that moment wins.
    for (int p = start; p < end; ++p) {
        int m = p;
        for (int q = p + 1; q <= end; ++q)
            if (keys[q] > keys[m])
                m = q;
        if (m != p) {
            std::swap(keys[p], keys[m]);
            std::swap(order[p], order[m]);
        }
    }

    std::array<ColourValue, 256> old{};
    std::copy(entries, entries + 256, old.begin());
    PaletteRemap inverse;
    for (int i = 0; i < 256; ++i) {
        entries[i] = old[order[i]];
        inverse.map(order[i], i);
    }
    return broadcast(UM_PALETTE_SORT_REMAP, inverse);
}

void SetLeftColour(ColourSelection& selection) {
    selection.leftColor = indexOf(selection.drawColor);
    if (selection.paintKind == ColourSelection::Tone)
        BuildTilePattern(selection);
}

void SetRightColour(ColourSelection& selection) {
    selection.rightColor = indexOf(selection.drawColor);
    if (selection.paintKind == ColourSelection::Tone)
        BuildTilePattern(selection);
}

void SetBorderColour(ColourSelection& selection) {
    selection.borderColor = indexOf(selection.drawColor);
}

bool SwitchColourGroup(PaletteSet& palette, int group) {
    return palette.setCurrentGroup(group);
}

} // namespace celdo
