#pragma once

#include "core/CellImage.h"
#include "formats/GraphicFile.h"

#include <memory>

namespace celdo {

// A picture on its way into a new image window: what a loader, the clipboard
// reader, the new-image dialog or a filter produced.
struct LoadedImage {
    CellImagePtr picture;
    CellImagePtr mask;
    // The file it came from; null for pictures that have none yet.
    std::unique_ptr<GraphicFile> document;
};

} // namespace celdo
