#include "ui/ColourGroupSwitch.h"

#include "canvas/ReplaceIndex.h"

#include <span>

namespace celdo {

bool SwitchColourGroupOf(PaletteSet& palette, int group,
                         const std::vector<PaintSurface*>& surfaces) {
    return SwitchColourGroup(palette, group,
                             std::span<PaintSurface* const>(surfaces.data(), surfaces.size()));
}

} // namespace celdo
