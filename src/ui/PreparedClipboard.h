#pragma once

#include "app/LoadedImage.h"

#include <optional>

namespace celdo {

class LoadSaveDispatch;

// The clipboard's picture and mask, prepared as a loaded file is: the
// full-colour question and the reduction, or widening onto the current
// group.  Nothing when the clipboard holds no picture or the user declined.
std::optional<LoadedImage> TakePreparedClipboardPicture(LoadSaveDispatch& dispatch);

} // namespace celdo
