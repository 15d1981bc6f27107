#include "app/MainWindowPlacement.h"

#include "app/Settings.h"

namespace celdo {

StoredPlacement StoredPlacement::Read(const Settings& settings) {
    return {settings.readInt("MainXpos", 0), settings.readInt("MainYpos", 0),
            settings.readInt("MainWidth", 0), settings.readInt("MainHeight", 0)};
}

void StoredPlacement::Write(Settings& settings) const {
    settings.writeInt("MainXpos", x);
    settings.writeInt("MainYpos", y);
    settings.writeInt("MainWidth", width);
    settings.writeInt("MainHeight", height);
}

std::optional<Rect> MainWindowPlacement(const StoredPlacement& stored,
                                        const std::vector<Rect>& screens) {
    if (stored.width <= 0 || stored.height <= 0)
        return std::nullopt;
    const Rect window{stored.x, stored.y, stored.x + stored.width, stored.y + stored.height};
    for (const Rect& screen : screens) {
        const Rect shown = window.intersected(screen);
        if (shown.width() >= MinimumVisible && shown.height() >= MinimumVisible)
            return window;
    }
    return std::nullopt;
}

} // namespace celdo
