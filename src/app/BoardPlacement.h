#pragma once

#include "core/Point.h"
#include "core/Rect.h"

namespace celdo {

class Settings;

// A board's stored state: its place as an offset from the main window's
// top-left corner, its client size, and whether it was open at the last exit.
struct BoardState {
    int x = 0;
    int y = 0;
    int width = 320;
    int height = 320;
    bool open = false;

    bool operator==(const BoardState&) const = default;
};

// The settings keys of one board.
struct BoardKeys {
    const char* x;
    const char* y;
    const char* width;
    const char* height;
    const char* open;
};

inline constexpr BoardKeys PaletteBoardKeys{"PaletteBoardXpos", "PaletteBoardYpos",
                                            "PaletteBoardWidth", "PaletteBoardHeight",
                                            "PaletteBoardOpen"};
inline constexpr BoardKeys BrushBoardKeys{"BrushBoardXpos", "BrushBoardYpos", "BrushBoardWidth",
                                          "BrushBoardHeight", "BrushBoardPreOpen"};
inline constexpr BoardKeys TileBoardKeys{"TileBoardXpos", "TileBoardYpos", "TileBoardWidth",
                                         "TileBoardHeight", "TileBoardPreOpen"};

inline constexpr BoardState PaletteBoardDefaults{20, 20, 320, 320, false};
inline constexpr BoardState BrushBoardDefaults{-20, -20, 320, 240, false};
inline constexpr BoardState TileBoardDefaults{-40, -40, 320, 320, false};

BoardState ReadBoardState(const Settings& settings, const BoardKeys& keys,
                          const BoardState& defaults);
void WriteBoardState(Settings& settings, const BoardKeys& keys, const BoardState& state);

// The smallest size a board opens at.
inline constexpr int MinimumBoardSize = 32;

// Where a board opens (the same rule for all three): the stored size, at
// least MinimumBoardSize and at most the screen's size; at the main
// window's top-left corner plus the stored offset, then moved left or up so
// it ends within `screen` and finally right or down so it starts within it.
// The board can therefore never open off the screen the main window is on.
Rect PlaceBoard(const BoardState& stored, Point mainTopLeft, const Rect& screen);

// The offset and size to store for a board at `board` beside a main window
// whose top-left corner is `mainTopLeft`; `open` as given.
BoardState RecordBoard(const Rect& board, Point mainTopLeft, bool open);

} // namespace celdo
