#pragma once

#include "core/CellImage.h"
#include "palette/ColourSelection.h"
#include "palette/PaletteMessage.h"
#include "palette/PaletteRemap.h"
#include "palette/PaletteSet.h"

#include <optional>

namespace celdo {

// Sort orders of "SortColor", in the order of its radio buttons.
enum SortMethod : int {
    SortBrightFirst = 0,    // 明るい順
    SortDarkFirst = 1,      // 暗い順
    SortMostUsedFirst = 2,  // 多い順
    SortLeastUsedFirst = 3, // 少ない順
};

// What one palette operation asks of every open picture.  The palette itself
// has already changed when this is handed out; each image window applies it
// to its own picture (see ApplyPaletteBroadcast) and marks itself modified.
struct PaletteBroadcast {
    PaletteMessage message = UM_PALETTE_APPLY;
    // 2095–2098: the new index of every old pixel value.
    PaletteRemap remap;
    // 2099, 2100: the current colour in bits 8–15, the drag target in bits 0–7.
    int param = 0;

    int pixelFrom() const { return (param >> 8) & 0xFF; }
    int pixelTo() const { return param & 0xFF; }
    // Whether the message rewrites the palette of each picture (all but the
    // pixel-only merge and swap).
    bool appliesPalette() const { return message != UM_PIXEL_MERGE && message != UM_PIXEL_SWAP; }
};

// Loads the current colour group into an 8-bit picture's colour table (all
// 256 entries); pixels are unchanged.  Other depths are left alone.
void ApplyCurrentPalette(CellImage& picture, const PaletteSet& palette);

// Set colour: entry `index` of the current group := value.
PaletteBroadcast SetEntry(PaletteSet& palette, int index, ColourValue value);

// Delete (after the user agreed): entries current … 254 take their successor's
// value, entry 255 becomes black.  The current colour index stays.
PaletteBroadcast DeleteEntry(PaletteSet& palette, const ColourSelection& selection);

// Copy: the drag target's entry := the current entry.  Nothing when both are
// the same entry.
std::optional<PaletteBroadcast> CopyEntry(PaletteSet& palette, const ColourSelection& selection);

// Swap the current and the drag-target entries.  With `remapPixels` (2217) the
// pictures keep their look; without (2218) their indices stay.  Nothing when
// both are the same entry.
std::optional<PaletteBroadcast> SwapEntries(PaletteSet& palette, const ColourSelection& selection,
                                            bool remapPixels);

// Merge the current entry into the drag target and delete it.  Nothing when
// both are the same entry.
std::optional<PaletteBroadcast> MergeEntry(PaletteSet& palette, const ColourSelection& selection);

// Pixel-only merge (2222) or swap (2219) of the current colour and the drag
// target; the palette is not touched.  Nothing when both are the same entry.
std::optional<PaletteBroadcast> PixelOnlyChange(const ColourSelection& selection, bool swap);

// Sorts positions start … end of the current group by `method`.  The count
// methods count the pixels of `activeImage` (8 bits).  Nothing when start is
// not below end, or a count method is asked for without an active image.
std::optional<PaletteBroadcast> SortEntries(PaletteSet& palette, int start, int end, int method,
                                            const CellImage* activeImage);

// Left, right and border colour := the current colour.  Left and right rebuild
// `tilePattern` when the paint kind is the tone.
void SetLeftColour(ColourSelection& selection);
void SetRightColour(ColourSelection& selection);
void SetBorderColour(ColourSelection& selection);

// Makes colour group `group` (0–9) current.  False, and nothing changes, when
// it already is current or out of range; on true every picture is to show
// the new group (ApplyCurrentPalette) with its pixels unchanged.
bool SwitchColourGroup(PaletteSet& palette, int group);

} // namespace celdo
