#pragma once

#include "palette/PaletteMessage.h"

namespace celdo {

// Private messages between the program's own windows (UM_) and internal
// commands (CM_).  The numbers are shared by every window and never change.
enum Message : int {
    UM_FIT_CHILD = 2025,
    UM_UPDATE_VSCROLL = 2034,
    UM_UPDATE_HSCROLL = 2039,
    UM_STARTUP = 2044,
    UM_OPEN_NAMED_FILE = 2049,
    UM_SET_PICTURE = 2054,
    UM_GET_ACTIVE_IMAGE = 2064,
    UM_GET_ACTIVE_VIEW = 2065,
    UM_QUERY_CLOSE = 2084,
    // 2094–2100: the palette broadcasts, PaletteMessage (UM_PALETTE_APPLY …
    // UM_PIXEL_SWAP), defined in palette/PaletteMessage.h.
    UM_ZOOM_CHANGING = 2104,
    UM_ZOOM_CHANGED = 2105,
    UM_FIND_FILE = 2114,
    UM_GET_TITLE = 2115,
};

enum InternalCommand : int {
    CM_OPEN_LOADED_IMAGE = 1385,
    CM_PALETTE_CHANGED = 1845,
    CM_REFRESH_TOOLBAR = 1960,
};

} // namespace celdo
