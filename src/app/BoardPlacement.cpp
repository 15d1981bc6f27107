#include "app/BoardPlacement.h"

#include "app/Settings.h"

#include <algorithm>

namespace celdo {

BoardState ReadBoardState(const Settings& settings, const BoardKeys& keys,
                          const BoardState& defaults) {
    return {settings.readInt(keys.x, defaults.x), settings.readInt(keys.y, defaults.y),
            settings.readInt(keys.width, defaults.width),
            settings.readInt(keys.height, defaults.height),
            settings.readInt(keys.open, defaults.open ? 1 : 0) == 1};
}

void WriteBoardState(Settings& settings, const BoardKeys& keys, const BoardState& state) {
    settings.writeInt(keys.x, state.x);
    settings.writeInt(keys.y, state.y);
    settings.writeInt(keys.width, state.width);
    settings.writeInt(keys.height, state.height);
    settings.writeInt(keys.open, state.open ? 1 : 0);
}

Rect PlaceBoard(const BoardState& stored, Point mainTopLeft, const Rect& screen) {
    // The stored size is the client size the board settled on, so it is
    // taken as it stands: growing it by a pixel would make the palette
    // board's width snap one cell narrower at every start.  A size beyond
    // the screen (or a garbled one) is cut to it; the board's own snapping
    // then settles on whole cells.
    const auto side = [](int stored, int room) {
        return std::clamp(stored, MinimumBoardSize, std::max(room, MinimumBoardSize));
    };
    const int width = side(stored.width, screen.width());
    const int height = side(stored.height, screen.height());
    const auto start = [](long long wanted, int size, int low, int high) {
        wanted = std::min(wanted, static_cast<long long>(high) - size);
        return static_cast<int>(std::max(wanted, static_cast<long long>(low)));
    };
    const int left =
        start(static_cast<long long>(mainTopLeft.x) + stored.x, width, screen.left, screen.right);
    const int top =
        start(static_cast<long long>(mainTopLeft.y) + stored.y, height, screen.top, screen.bottom);
    return {left, top, left + width, top + height};
}

BoardState RecordBoard(const Rect& board, Point mainTopLeft, bool open) {
    return {board.left - mainTopLeft.x, board.top - mainTopLeft.y, board.width(), board.height(),
            open};
}

} // namespace celdo
