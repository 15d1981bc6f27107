#pragma once

#include "core/CellImage.h"
#include "core/Rect.h"
#include "palette/ColourSelection.h"
#include "plugins/PluginRegistry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace celdo {

class Ui;

// One filter offered in a selection dialog.
struct FilterEntry {
    int plugin = 0;          // index into the registry the lists were built from
    std::string exportName;  // at most 79 characters
    std::string menuName;    // at most 79
    std::string description; // at most 159
    std::uint32_t flags = 0;
};

// The four filter lists.  Each shows its functions in the reverse of their
// enumeration order (the last function of the last library first).
struct FilterLists {
    std::vector<FilterEntry> wholeImage;
    std::vector<FilterEntry> wholeMask;
    std::vector<FilterEntry> regionImage;
    std::vector<FilterEntry> regionMask;

    const std::vector<FilterEntry>& list(bool region, bool maskEditing) const {
        if (region)
            return maskEditing ? regionMask : regionImage;
        return maskEditing ? wholeMask : wholeImage;
    }
};

// Loads each registered library in turn and collects its filters.  When a
// library cannot be loaded the build fails and `lists` stays as it was.
bool BuildFilterLists(const std::vector<RegisteredPlugin>& plugins, FilterLists& lists);
// BuildFilterLists, telling the user "メモリー不足" when it fails.
bool RebuildFilterLists(const std::vector<RegisteredPlugin>& plugins, FilterLists& lists, Ui& ui);

// What a filter run left behind: the result bits (0 = nothing happened) and,
// with CELDO_RESULT_NEW_IMAGE, the new picture and possibly a new mask.
struct FilterOutcome {
    std::uint32_t result = 0;
    CellImagePtr newImage;
    CellImagePtr newMask;
};

// Runs `entry` of `plugin` on `image` (and `mask`, which may be null), over
// `region` when given (clipped to the image; an empty region runs nothing).
// The filter works on copies: only a run that reports success changes the
// caller's image and mask, so a failing or cancelled filter leaves them
// exactly as they were.  A filter of the own interface is handed the mask and
// its result is taken whole; an outside filter never sees the mask, so the
// pixels the mask protects keep their values.  A returned picture whose memory blocks do not
// describe a valid picture is freed and the run reports 0; a returned mask
// that is invalid or not of the new picture's size is freed and dropped.
// With CELDO_RESULT_PALETTE_CHANGED the image's palette follows its new
// colour table.
// Takes over a picture a filter returned in std::malloc blocks: a
// BITMAPINFOHEADER with the colour table of its depth, and the pixel rows.
// The blocks are measured against what the header declares before anything
// is read from them.  Null (both blocks freed) when they do not describe a
// valid picture of 1, 4, 8 or 24 bits.
CellImagePtr AdoptReturnedPicture(void* infoBlock, void* pixelBlock);

FilterOutcome RunFilter(const FilterEntry& entry, const RegisteredPlugin& plugin, CellImage& image,
                        CellImage* mask, const Rect* region, const ColourSelection& colours,
                        void* window = nullptr);

} // namespace celdo
