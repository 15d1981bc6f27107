#pragma once

#include "core/CellImage.h"
#include "core/Colour.h"
#include "framework/ControlTable.h"

#include <vector>

namespace celdo {

class Settings;
class Ui;

struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// The default size of a new image and the remembered list of sizes (at most
// 10, most recently added first).
class NewImageSizes {
public:
    static constexpr int MaxSizes = 10;
    static constexpr int MaxDimension = 4096;

    static bool valid(int width, int height) {
        return width >= 1 && width <= MaxDimension && height >= 1 && height <= MaxDimension;
    }

    ImageSize defaultSize() const { return m_default; }
    const std::vector<ImageSize>& sizes() const { return m_sizes; }

    // NewSizeX/NewSizeY, then sizex1/sizey1 … sizex9/sizey9 up to the first
    // pair with a value outside 1..4096.  No valid pair gives 320 × 240,
    // 640 × 480 and 1024 × 768.
    void read(const Settings& settings);
    // Makes `size` the default: NewSizeX/NewSizeY written and flushed.
    void setDefault(ImageSize size, Settings& settings);
    // Puts a size not yet listed first (the list keeps at most 10), writes
    // sizex/sizey 1..count, sizex(count + 1) = -1, and flushes.  A size
    // already listed changes nothing; returns whether the list changed.
    bool add(ImageSize size, Settings& settings);

private:
    ImageSize m_default{320, 240};
    std::vector<ImageSize> m_sizes;
};

namespace newgraph {
inline constexpr int Sizes = 320;
inline constexpr int WidthBar = 360;
inline constexpr int WidthEdit = 361;
inline constexpr int HeightBar = 363;
inline constexpr int HeightEdit = 364;
inline constexpr int AddToList = 280;
inline constexpr int UseNextTime = 281;
inline constexpr int UseCurrentColour = 282;
} // namespace newgraph

// The "NewGraph" dialog ("新規画像の作成").  `useCurrentColour` is the state
// check box 282 kept from its last use in this run.  The width and height
// edits take digits only (at most 4) and copy a value of 1..4096 to their
// scroll bars; "作成" (1) closes only when both edits hold 1..4096.
ControlTable NewGraphDialog(const NewImageSizes& sizes, bool useCurrentColour);

// The new-image command: runs "NewGraph"; on "作成" remembers the size
// as the default (281) and in the list (280), and returns an 8-bit image of
// the chosen size with `palette` (256 entries), filled with `currentColour`
// when 282 is checked, else 0.  Null when cancelled; when the image cannot be
// made "メモリー不足" is shown and null returned.  `useCurrentColour` carries
// check box 282 from one use to the next.
CellImagePtr RunNewImage(Ui& ui, NewImageSizes& sizes, Settings& settings, bool& useCurrentColour,
                         const ColourValue* palette, int currentColour);

} // namespace celdo
