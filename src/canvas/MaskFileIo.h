#pragma once

#include "canvas/MaskFile.h"

namespace celdo {

class MagFile;

// The mask file reader and writer of the program: mask planes are stored as
// MAG pictures.

// Writes the mask through MagFile::Save (256 colours for an 8-bit plane)
// with the given comment; the previous file survives a failed write.
MaskWriter MagMaskWriter();

// Reads a MAG mask file.  A 16-colour file is widened to one byte a pixel, so
// every readable file gives an 8-bit plane; null when it cannot be read.
MaskReader MagMaskReader();

// The plane of MagMaskReader from a MAG file object, which may read a file
// or bytes in memory (readFromMemory).
CellImagePtr readMaskPlane(MagFile& file);

} // namespace celdo
