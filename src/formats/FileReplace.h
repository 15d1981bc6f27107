#pragma once

#include "core/Status.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace celdo {

// Replaces the file at `path` with `bytes` as every save does: written under
// a temporary name in the same folder, synchronised, then renamed over the
// old file, which keeps its permissions (through a symbolic link, the file it
// names is replaced).  On failure the old file is untouched and no temporary
// file is left.  Status: 0, CannotWrite, OpenError or WriteError.
Status ReplaceFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads a whole file of at most `limit` bytes; ReadError when it is larger or
// unreadable, OpenError when it cannot be opened, OutOfMemory without room.
Status ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t limit);

} // namespace celdo
