#pragma once

#include "core/CellImage.h"

namespace celdo {

class Ui;

// Reduces a 24-bit picture to 8 bits with a palette of the 20 static system
// colours followed by up to 230 of the picture's most frequent colours on a
// 17-level grid per channel; every pixel takes the palette entry nearest to
// its grid colour.  Null when `source` is not a 24-bit picture or memory runs
// out.  With `ui` the wait cursor is shown while it runs.
CellImagePtr ReduceAdaptive(const CellImage& source, Ui* ui = nullptr);

} // namespace celdo
