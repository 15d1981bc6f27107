#pragma once

#include "core/Status.h"

#include <array>
#include <cstdint>

namespace celdo {

class GraphicFile;

// Cells and palettes of the newer kinds start with "KiSS" and a 32-byte
// header; the old kinds have no such mark.
inline constexpr int KissHeaderSize = 32;
using KissHead = std::array<std::uint8_t, KissHeaderSize>;

// Opens `file` for reading, measures it and reads its start: the whole
// header when the file begins with "KiSS" (`tagged`), else only the first
// four bytes.  On failure the file is closed again and the error returned.
Status ReadKissHead(GraphicFile& file, KissHead& head, bool& tagged);

} // namespace celdo
