#pragma once

#include "boards/BrushSet.h"
#include "boards/TileSet.h"
#include "core/CellImage.h"
#include "core/Status.h"

#include <functional>
#include <string>

namespace celdo {

class Ui;

// The board files kept beside the program.
inline constexpr const char* BrushSetFileName = "CBRUSH.BMP";
inline constexpr const char* TileSetFileName = "CTILE.BMP";

// Reads a board bitmap with the BMP reader, at the file's own depth; null
// when the file is missing or cannot be read.
CellImagePtr ReadBoardBitmap(const std::string& path);

// A writer for BrushSet::save and TileSet::save: the set image goes to
// `path` as an uncompressed BMP of the image's own depth (1 bit for
// brushes, 8 for tiles) through the safe save, so a failed write keeps the
// previous file.
std::function<Status(const CellImage&)> BoardBitmapWriter(const std::string& path);

// Loads the brush set from its file; a file that cannot be read or is not a
// 1-bit picture of at least 64 × 64 shows BrushSetReadFailedText and keeps
// the present set.
bool LoadBrushSetFile(BrushSet& set, const std::string& path, Ui& ui, const std::string& caption);
// Saves the brush set; a failure shows BrushSetWriteFailedText.
Status SaveBrushSetFile(const BrushSet& set, const std::string& path, Ui& ui,
                        const std::string& caption);

// Loads the tile set from its file and gives it `palette` (256 entries); a
// file that cannot be read or is not an 8-bit picture of at least 64 × 64
// shows TileSetReadFailedText and keeps the present set.
bool LoadTileSetFile(TileSet& set, const std::string& path, const ColourValue* palette, Ui& ui,
                     const std::string& caption);
// Saves the tile set with its present colours; a failure shows
// TileSetWriteFailedText.
Status SaveTileSetFile(const TileSet& set, const std::string& path, Ui& ui,
                       const std::string& caption);

} // namespace celdo
