#pragma once

#include <vector>

namespace celdo {

class PaletteSet;
struct PaintSurface;

// Colour group commands 1500–1509 on every open picture: the group becomes
// current and every picture shows it (indices unchanged).  False when it
// already was current.  Kept apart from the main window, whose message
// numbers and the palette board's share names.
bool SwitchColourGroupOf(PaletteSet& palette, int group,
                         const std::vector<PaintSurface*>& surfaces);

} // namespace celdo
