#include "sets/SetFileRemap.h"

#include "formats/FileReplace.h"
#include "formats/KissCellRemap.h"
#include "sets/KissSet.h"

namespace celdo {

namespace {

// Each file is held twice until every write is done; a larger file is refused.
constexpr std::size_t CellFileLimit = 64u << 20;

// Writes each change's chosen side.  On a failure every file written so far,
// and the one that failed (its folder entry may have been replaced before
// the failure), gets the other side back.
Status writeChanges(const std::vector<SetFileChange>& changes, bool after) {
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const SetFileChange& change = changes[i];
        const Status result = ReplaceFileBytes(change.path, after ? change.after : change.before);
        if (result == status::Ok)
            continue;
        // Putting back is all that can be done; its own failure would hide
        // the cause the user needs to see.
        for (std::size_t back = i + 1; back-- > 0;) {
            const SetFileChange& written = changes[back];
            ReplaceFileBytes(written.path, after ? written.before : written.after);
        }
        return result;
    }
    return status::Ok;
}

} // namespace

std::vector<int> filesUsingPalette(const KissSet& set, int paletteFile) {
    const std::vector<SetCellFile>& files = set.files();
    std::vector<bool> uses(files.size(), false);
    const std::vector<CnfCell>& cells = set.document().cells();
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (cells[cell].paletteFile != paletteFile)
            continue;
        const int file = set.fileOf(static_cast<int>(cell));
        if (file < 0 || static_cast<std::size_t>(file) >= files.size())
            continue;
        // 32-bit cells carry their own colours.
        const SetCellFile& cellFile = files[static_cast<std::size_t>(file)];
        if (cellFile.loaded && cellFile.picture && cellFile.picture->bitsPerPixel() != 24)
            uses[static_cast<std::size_t>(file)] = true;
    }
    std::vector<int> indices;
    for (std::size_t file = 0; file < uses.size(); ++file)
        if (uses[file])
            indices.push_back(static_cast<int>(file));
    return indices;
}

Status RemapSetFiles(const KissSet& set, const std::vector<int>& files, const PaletteRemap& remap,
                     std::vector<SetFileChange>& changes) {
    changes.clear();
    const std::vector<SetCellFile>& setFiles = set.files();
    // Every file is read and remapped before any is written, so a cell the
    // remap does not fit stops the operation with the disk untouched.
    std::vector<bool> taken(setFiles.size(), false);
    std::vector<SetFileChange> planned;
    for (const int file : files) {
        if (file < 0 || static_cast<std::size_t>(file) >= setFiles.size())
            continue;
        // A file listed twice is remapped once.
        const auto index = static_cast<std::size_t>(file);
        if (taken[index] || setFiles[index].path.empty())
            continue;
        taken[index] = true;
        SetFileChange change;
        change.path = setFiles[index].path;
        if (const Status s = ReadFileBytes(change.path, change.before, CellFileLimit);
            s != status::Ok)
            return s;
        change.after = change.before;
        bool changed = false;
        if (const Status s = RemapKissCellBytes(change.after, remap, changed); s != status::Ok)
            return s;
        if (changed)
            planned.push_back(std::move(change));
    }
    if (const Status s = writeChanges(planned, true); s != status::Ok)
        return s;
    changes = std::move(planned);
    return status::Ok;
}

Status RestoreSetFiles(const std::vector<SetFileChange>& changes, bool after) {
    return writeChanges(changes, after);
}

} // namespace celdo
