#pragma once

#include <array>
#include <cstdint>

namespace celdo {

// What the painting tools lay down, program-wide.
struct ColourSelection {
    enum PaintKind { PlainColour = 0, Tone = 1, Tile = 2 };

    int drawColor = 1;   // the current palette index
    int leftColor = 1;   // tone pattern: colour of the ones
    int rightColor = 9;  // tone pattern: colour of the zeros
    int borderColor = 3; // boundary colour of fills
    int toneIndex = 0;   // 1–15 once a tone is chosen
    int paintKind = PlainColour;
    int dragTarget = 0; // the palette cell a colour was dropped on
    // 16 × 16 palette indices, row-major, row 0 at the top; read at
    // (x mod 16, y mod 16) when the paint kind is a tone or a tile.
    std::array<std::uint8_t, 256> tilePattern{};
};

} // namespace celdo
