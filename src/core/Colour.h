#pragma once

#include <cstdint>

namespace celdo {

// Colours inside the editor are 0x00BBGGRR: red in the low byte.  Bitmap colour
// tables and most files store blue first, which read as a little-endian word is
// 0x00RRGGBB; converting between the two swaps the low and the third byte.
using ColourValue = std::uint32_t;

constexpr ColourValue rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned redOf(ColourValue c) {
    return c & 0xFFu;
}
constexpr unsigned greenOf(ColourValue c) {
    return (c >> 8) & 0xFFu;
}
constexpr unsigned blueOf(ColourValue c) {
    return (c >> 16) & 0xFFu;
}

// 0x00BBGGRR <-> 0x00RRGGBB (colour-table order).
constexpr std::uint32_t swapRedBlue(std::uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

} // namespace celdo
