#pragma once

#include "core/Status.h"
#include "palette/PaletteRemap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace celdo {

class KissSet;

// One cell file rewritten by a set-wide palette operation: its bytes before
// and after, so the operation can be undone and redone by writing them back.
struct SetFileChange {
    std::string path;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// Indices into set.files() of the indexed cell files that a cell line draws
// with palette file `paletteFile`.
std::vector<int> filesUsingPalette(const KissSet& set, int paletteFile);

// Rewrites the pixels of each listed file on disk through `remap`, keeping
// every other byte (header, offsets, kind); 32-bit cells and files the remap
// leaves unchanged are not written.  Each write goes through the safe save.
// A 16-colour cell whose remapped index would not fit in four bits fails with
// DepthNotSavable before anything is written.  On any failure the files
// already written are put back and `changes` is empty.
Status RemapSetFiles(const KissSet& set, const std::vector<int>& files, const PaletteRemap& remap,
                     std::vector<SetFileChange>& changes);

// Writes each change's `before` (undo) or `after` (redo) bytes back through
// the safe save; on failure the files already written are put back.
Status RestoreSetFiles(const std::vector<SetFileChange>& changes, bool after);

} // namespace celdo
