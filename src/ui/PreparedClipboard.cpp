#include "ui/PreparedClipboard.h"

#include "app/LoadSaveDispatch.h"
#include "canvas/qt/Clipboard.h"

namespace celdo {

std::optional<LoadedImage> TakePreparedClipboardPicture(LoadSaveDispatch& dispatch) {
    ClipboardPicture taken = ReadClipboardPicture();
    if (!taken.picture)
        return std::nullopt;
    LoadedImage loaded;
    loaded.picture = std::move(taken.picture);
    loaded.mask = std::move(taken.mask);
    if (!dispatch.PrepareLoadedImage(loaded))
        return std::nullopt;
    return loaded;
}

} // namespace celdo
