#pragma once

#include "canvas/PaintSurface.h"
#include "core/Status.h"

#include <functional>
#include <string>

namespace celdo {

class Ui;

// Comment stored in every mask file, and the message shown when one cannot
// be written.
inline constexpr const char* MaskFileComment = "Celdo 用マスク";
inline constexpr const char* MaskSaveFailedText = "マスクの保存に失敗しました";

// The mask file of a picture file: its extension (FileExtension's rule, the
// text after the last dot of the name) replaced by "MSK"; a name without one
// gets ".MSK" appended.
std::string maskFileName(const std::string& pictureFileName);

// Writes a mask plane (8 bits, grey palette) as a MAG image with the given
// comment; returns 0 or an error code.
using MaskWriter = std::function<Status(const std::string& fileName, const CellImage& mask,
                                        const std::string& comment)>;
// Reads a mask file; null when it cannot be read.
using MaskReader = std::function<CellImagePtr(const std::string& fileName)>;
// Removes a file; a missing file is not an error.
using FileRemover = std::function<void(const std::string& fileName)>;

// Removes the file when it exists (the default remover).
void removeFileIfPresent(const std::string& fileName);

// Stores the surface's mask beside the picture file, after the picture
// itself was saved.  No mask: nothing.  A mask with every byte 0 is not
// worth a file: the mask file is removed instead.  The mask view is
// committed first in mask edit mode.  A failed write shows
// MaskSaveFailedText and returns the writer's code; the picture stays saved.
Status SaveMask(PaintSurface& surface, const std::string& pictureFileName, const MaskWriter& writer,
                Ui& ui, const FileRemover& remover = removeFileIfPresent);

// The mask of a picture just read: the one its file format delivered when
// there is one, else the mask file read by `reader` when that file exists,
// else none.  An unreadable mask file gives none, silently.
CellImagePtr LoadMask(CellImagePtr formatMask, const std::string& pictureFileName,
                      const MaskReader& reader);

} // namespace celdo
