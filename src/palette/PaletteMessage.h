#pragma once

namespace celdo {

// The private messages a palette operation sends to every image window.
// They are relayed to image windows only, never routed as commands, so they
// keep their names here beside the operations that make them.
enum PaletteMessage : int {
    UM_PALETTE_APPLY = 2094,
    UM_PALETTE_DELETE_REMAP = 2095,
    UM_PALETTE_SWAP_REMAP = 2096,
    UM_PALETTE_MERGE_REMAP = 2097,
    UM_PALETTE_SORT_REMAP = 2098,
    UM_PIXEL_MERGE = 2099,
    UM_PIXEL_SWAP = 2100,
};

} // namespace celdo
