#pragma once

#include "core/Status.h"
#include "palette/PaletteRemap.h"

#include <cstdint>
#include <vector>

namespace celdo {

// Rewrites the pixel indices of a KiSS cell file's bytes (any of its three
// kinds) through `remap`, leaving every other byte as it was.  32-bit cells
// carry their own colours and are left alone.  `changed` tells whether any
// byte changed.  FormatError for bytes that are no cell (or a cell shorter
// than its header declares); DepthNotSavable when a 16-colour cell would need
// an index above 15 (the bytes are then unchanged).
Status RemapKissCellBytes(std::vector<std::uint8_t>& bytes, const PaletteRemap& remap,
                          bool& changed);

} // namespace celdo
