#include "palette/PaletteOperations.h"
#include "canvas/ReplaceIndex.h"
#include "palette/PaletteRemap.h"

#include <gtest/gtest.h>

#include <vector>

namespace celdo {
namespace {

// Entry i has red i, so every entry differs; green and blue vary too.
void fillDistinct(PaletteSet& palette, int group) {
    for (int i = 0; i < 256; ++i)
        palette.group(group)[i] = rgb(i, (i * 37) & 0xFF, 255 - i);
}

// A 16 × 16 picture holding every index once (row-major), or `values`.
PaintSurface makeSurface(const PaletteSet& palette, const std::vector<int>& values = {}) {
    PaintSurface s;
    s.picture = CellImage::Create(16, 16, 8);
    for (int i = 0; i < 256; ++i)
        s.picture->at(i % 16, i / 16) =
            static_cast<std::uint8_t>(values.empty() ? i : values[i % values.size()]);
    ApplyCurrentPalette(*s.picture, palette);
    return s;
}

std::vector<ColourValue> looks(const CellImage& picture) {
    std::vector<ColourValue> out;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            out.push_back(picture.paletteEntry(picture.at(x, y)));
    return out;
}

std::vector<int> pixels(const CellImage& picture) {
    std::vector<int> out;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            out.push_back(picture.at(x, y));
    return out;
}

class PaletteOperations : public ::testing::Test {
protected:
    void SetUp() override {
        fillDistinct(palette, 0);
        original = std::vector<ColourValue>(palette.current(), palette.current() + 256);
        surface = makeSurface(palette);
    }
    void send(const PaletteBroadcast& b) {
        PaintSurface* list[] = {&surface};
        BroadcastPaletteChange(b, palette, list);
    }
    int pixelAt(int i) const { return surface.picture->at(i % 16, i / 16); }

    PaletteSet palette;
    ColourSelection selection;
    std::vector<ColourValue> original;
    PaintSurface surface;
};

TEST(PaletteRemap, IdentityInverseAndComposition) {
    EXPECT_TRUE(PaletteRemap().isIdentity());
    const PaletteRemap swap = PaletteRemap::exchange(3, 7);
    EXPECT_FALSE(swap.isIdentity());
    EXPECT_TRUE(swap.isInvertible());
    EXPECT_TRUE(swap.then(swap.inverted()).isIdentity());
    EXPECT_FALSE(PaletteRemap::deletion(5).isInvertible());
    const PaletteRemap merge = PaletteRemap::merge(5, 9);
    EXPECT_EQ(merge[5], 8);
    EXPECT_EQ(merge[9], 8);
    EXPECT_EQ(merge[4], 4);
    EXPECT_EQ(merge[255], 254);
}

TEST_F(PaletteOperations, DeletingEntry255OnlyBlacksIt) {
    selection.drawColor = 255;
    send(DeleteEntry(palette, selection));
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(palette.current()[i], original[i]);
    EXPECT_EQ(palette.current()[255], 0u);
    EXPECT_EQ(pixelAt(255), 0);
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(pixelAt(i), i);
    EXPECT_TRUE(surface.modified);
    EXPECT_EQ(selection.drawColor, 255);
}

TEST_F(PaletteOperations, DeletingEntry0ShiftsEverythingDown) {
    selection.drawColor = 0;
    send(DeleteEntry(palette, selection));
    EXPECT_EQ(pixelAt(0), 0);
    EXPECT_EQ(surface.picture->paletteEntry(pixelAt(0)), original[1]);
    for (int i = 1; i < 256; ++i) {
        EXPECT_EQ(pixelAt(i), i - 1);
        EXPECT_EQ(surface.picture->paletteEntry(pixelAt(i)), original[i]);
    }
}

TEST_F(PaletteOperations, DeleteKeepsTheLookOfEveryOtherPixel) {
    selection.drawColor = 40;
    const auto before = looks(*surface.picture);
    send(DeleteEntry(palette, selection));
    const auto after = looks(*surface.picture);
    for (int i = 0; i < 256; ++i) {
        if (i != 40) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_EQ(pixelAt(40), 0);
    EXPECT_EQ(selection.drawColor, 40);
}

TEST_F(PaletteOperations, MergingFiveIntoNine) {
    selection.drawColor = 5;
    selection.dragTarget = 9;
    const auto b = MergeEntry(palette, selection);
    ASSERT_TRUE(b);
    send(*b);
    EXPECT_EQ(pixelAt(5), 8);
    EXPECT_EQ(pixelAt(9), 8);
    EXPECT_EQ(palette.current()[8], original[9]);
    for (int v = 6; v <= 9; ++v)
        EXPECT_EQ(pixelAt(v), v - 1);
    EXPECT_EQ(pixelAt(4), 4);
    EXPECT_EQ(palette.current()[255], 0u);
    const auto after = looks(*surface.picture);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(after[i], i == 5 ? original[9] : original[i]) << i;
}

TEST_F(PaletteOperations, MergingNineIntoFive) {
    selection.drawColor = 9;
    selection.dragTarget = 5;
    send(*MergeEntry(palette, selection));
    EXPECT_EQ(pixelAt(9), 5);
    EXPECT_EQ(pixelAt(5), 5);
    EXPECT_EQ(pixelAt(8), 8);
    for (int v = 10; v < 256; ++v)
        EXPECT_EQ(pixelAt(v), v - 1);
    const auto after = looks(*surface.picture);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(after[i], i == 9 ? original[5] : original[i]) << i;
}

TEST_F(PaletteOperations, SwapKeepsTheLookAndSwapPaletteOnlyKeepsThePixels) {
    selection.drawColor = 3;
    selection.dragTarget = 7;
    const auto lookBefore = looks(*surface.picture);
    send(*SwapEntries(palette, selection, true));
    EXPECT_EQ(looks(*surface.picture), lookBefore);
    EXPECT_EQ(pixelAt(3), 7);
    EXPECT_EQ(pixelAt(7), 3);
    EXPECT_EQ(palette.current()[3], original[7]);

    PaletteSet other;
    fillDistinct(other, 0);
    PaintSurface second = makeSurface(other);
    const auto pixelsBefore = pixels(*second.picture);
    const auto b = SwapEntries(other, selection, false);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->message, UM_PALETTE_APPLY);
    ApplyPaletteBroadcast(second, *b, other);
    EXPECT_EQ(pixels(*second.picture), pixelsBefore);
    EXPECT_EQ(second.picture->paletteEntry(3), original[7]);
    EXPECT_EQ(second.picture->paletteEntry(7), original[3]);
    EXPECT_TRUE(second.modified);
}

TEST_F(PaletteOperations, CopyAndSetChangeOnlyTheEntry) {
    selection.drawColor = 2;
    selection.dragTarget = 200;
    send(*CopyEntry(palette, selection));
    EXPECT_EQ(surface.picture->paletteEntry(200), original[2]);
    EXPECT_EQ(pixelAt(200), 200);
    send(SetEntry(palette, 10, 0x123456));
    EXPECT_EQ(surface.picture->paletteEntry(10), 0x123456u);
    selection.dragTarget = 2;
    EXPECT_FALSE(CopyEntry(palette, selection));
    EXPECT_FALSE(SwapEntries(palette, selection, true));
    EXPECT_FALSE(MergeEntry(palette, selection));
}

TEST_F(PaletteOperations, BrightnessSortNeverMovesEntryZero) {
    palette.current()[0] = rgb(255, 255, 255);
    const auto b = SortEntries(palette, 1, 255, SortBrightFirst, nullptr);
    ASSERT_TRUE(b);
    EXPECT_EQ(palette.current()[0], rgb(255, 255, 255));
    auto bright = [](ColourValue c) { return 77 * redOf(c) + 150 * greenOf(c) + 29 * blueOf(c); };
    for (int i = 1; i < 255; ++i)
        EXPECT_GE(bright(palette.current()[i]), bright(palette.current()[i + 1])) << i;
    EXPECT_EQ(b->remap[0], 0);
}

TEST_F(PaletteOperations, SortDarkFirstPutsTheDarkestAtTheStart) {
    palette.current()[100] = rgb(0, 1, 0);
    palette.current()[5] = rgb(0, 0, 0); // outside the range
    ApplyCurrentPalette(*surface.picture, palette);
    const auto before = looks(*surface.picture);
    send(*SortEntries(palette, 10, 200, SortDarkFirst, nullptr));
    EXPECT_EQ(palette.current()[10], rgb(0, 1, 0));
    EXPECT_EQ(palette.current()[5], rgb(0, 0, 0));
    for (int i = 201; i < 256; ++i)
        EXPECT_EQ(palette.current()[i], original[i]);
    EXPECT_EQ(pixelAt(5), 5);
    EXPECT_EQ(pixelAt(100), 10);
    EXPECT_EQ(looks(*surface.picture), before);
}

TEST_F(PaletteOperations, EqualKeysFollowTheSelectionSortRule) {
    const ColourValue a = rgb(150, 0, 0); // brightness 11550
    const ColourValue b = rgb(0, 77, 0);  // brightness 11550
    const ColourValue c = rgb(200, 200, 200);
    palette.current()[1] = a;
    palette.current()[2] = b;
    palette.current()[3] = c;
    const auto result = SortEntries(palette, 1, 3, SortBrightFirst, nullptr);
    ASSERT_TRUE(result);
    // Position 1 exchanges with 3 first; then b at 2 stays ahead of a at 3.
    EXPECT_EQ(palette.current()[1], c);
    EXPECT_EQ(palette.current()[2], b);
    EXPECT_EQ(palette.current()[3], a);
    EXPECT_EQ(result->remap[1], 3);
    EXPECT_EQ(result->remap[2], 2);
    EXPECT_EQ(result->remap[3], 1);
}

TEST_F(PaletteOperations, AllKeysEqualChangesNothing) {
    const auto before = pixels(*surface.picture);
    // Every index occurs once in the picture: all counts are equal.
    send(*SortEntries(palette, 0, 255, SortMostUsedFirst, surface.picture.get()));
    EXPECT_EQ(std::vector<ColourValue>(palette.current(), palette.current() + 256), original);
    EXPECT_EQ(pixels(*surface.picture), before);
}

TEST_F(PaletteOperations, CountSortsOrderByUseAndNeedAnActiveImage) {
    PaintSurface counted = makeSurface(palette, {7, 7, 7, 3, 3, 9});
    EXPECT_FALSE(SortEntries(palette, 1, 20, SortMostUsedFirst, nullptr));
    EXPECT_FALSE(SortEntries(palette, 20, 20, SortBrightFirst, nullptr));
    const auto b = SortEntries(palette, 1, 20, SortMostUsedFirst, counted.picture.get());
    ASSERT_TRUE(b);
    EXPECT_EQ(palette.current()[1], original[7]);
    EXPECT_EQ(palette.current()[2], original[3]);
    EXPECT_EQ(palette.current()[3], original[9]);
    const auto before = looks(*counted.picture);
    ApplyPaletteBroadcast(counted, *b, palette);
    EXPECT_EQ(looks(*counted.picture), before);
    EXPECT_EQ(counted.picture->at(0, 0), 1);
}

TEST_F(PaletteOperations, PixelOnlyMergeLeavesMaskedPixelsAndThePalette) {
    surface = makeSurface(palette, {5, 9, 5, 1});
    surface.mask = CellImage::Create(16, 16, 8);
    surface.mask->at(0, 0) = 0xFF; // a pixel of 5
    surface.maskEnabled = false;   // the mask protects all the same
    selection.drawColor = 5;
    selection.dragTarget = 9;
    const auto b = PixelOnlyChange(selection, false);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->param, (5 << 8) | 9);
    send(*b);
    EXPECT_EQ(surface.picture->at(0, 0), 5);
    EXPECT_EQ(surface.picture->at(2, 0), 9);
    EXPECT_EQ(surface.picture->at(1, 0), 9);
    EXPECT_EQ(std::vector<ColourValue>(palette.current(), palette.current() + 256), original);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(surface.picture->paletteEntry(i), original[i]);
    EXPECT_TRUE(surface.modified);
}

TEST_F(PaletteOperations, PixelOnlySwapExchangesBothColours) {
    surface = makeSurface(palette, {5, 9, 1});
    selection.drawColor = 5;
    selection.dragTarget = 9;
    send(*PixelOnlyChange(selection, true));
    EXPECT_EQ(surface.picture->at(0, 0), 9);
    EXPECT_EQ(surface.picture->at(1, 0), 5);
    EXPECT_EQ(surface.picture->at(2, 0), 1);
}

TEST_F(PaletteOperations, SwitchingToTheCurrentGroupDoesNothing) {
    fillDistinct(palette, 3);
    palette.group(3)[1] = 0xABCDEF;
    palette.group(5)[1] = 0x112233;
    PaintSurface* list[] = {&surface};
    ASSERT_TRUE(SwitchColourGroup(palette, 3, list));
    surface.picture->SetPalette(original.data(), 256); // shows something else now
    EXPECT_FALSE(SwitchColourGroup(palette, 3, list));
    EXPECT_EQ(surface.picture->paletteEntry(1), original[1]);
    const auto before = pixels(*surface.picture);
    EXPECT_TRUE(SwitchColourGroup(palette, 5, list));
    EXPECT_EQ(palette.currentGroup(), 5);
    EXPECT_EQ(surface.picture->paletteEntry(1), 0x112233u);
    EXPECT_EQ(pixels(*surface.picture), before);
    EXPECT_FALSE(surface.modified);
}

TEST_F(PaletteOperations, OperationsActOnTheCurrentGroupOnly) {
    fillDistinct(palette, 2);
    palette.setCurrentGroup(2);
    selection.drawColor = 0;
    DeleteEntry(palette, selection);
    EXPECT_EQ(palette.group(0)[0], original[0]);
    EXPECT_EQ(palette.group(2)[0], original[1]);
}

TEST(PaletteSelection, LeftAndRightRebuildTheTileOnlyForTones) {
    ColourSelection s;
    s.drawColor = 12;
    s.toneIndex = 16;
    SetLeftColour(s);
    EXPECT_EQ(s.leftColor, 12);
    EXPECT_EQ(s.tilePattern[0], 0); // plain colour: the tile is not touched
    s.paintKind = ColourSelection::Tone;
    s.drawColor = 33;
    SetRightColour(s);
    EXPECT_EQ(s.rightColor, 33);
    EXPECT_EQ(s.tilePattern[0], 33); // pattern 16 is all right colour
    s.drawColor = 44;
    SetBorderColour(s);
    EXPECT_EQ(s.borderColor, 44);
    EXPECT_EQ(s.tilePattern[0], 33);
}

} // namespace
} // namespace celdo
