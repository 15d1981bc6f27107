#pragma once

#include "palette/ColourSelection.h"

namespace celdo {

// Chooses what the painting tools lay down: palette index `index` (paint kind
// 0), tone `index` (kind 1, the tile pattern rebuilt from it and the left
// and right colours) or the tile pattern as it stands (kind 2).  Returns
// false, changing nothing, when the kind is current already and names the
// same colour or tone; a tile is always taken, as its pattern may be new.
bool SelectPaint(ColourSelection& selection, int index, int paintKind);

} // namespace celdo
