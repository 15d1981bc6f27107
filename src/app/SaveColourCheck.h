#pragma once

#include "core/CellImage.h"

#include <string>

namespace celdo {

class GraphicFile;
class Ui;

// A file kind of 2 or 16 colours stores only the low bits of each index, so
// saving a picture painted with higher indices in such a kind changes the
// colour of those pixels.  These functions count such pixels so a save can
// ask (the editor) or warn (the converter) first.

// Pixels of an indexed picture whose index needs more than `bits` bits,
// counted over the top-left `columns` × `rows` (clipped to the picture);
// indices from `sparedFrom` up are not counted.  0 for a true-colour picture,
// which has no indices, and for `bits` of 8 or more.
int pixelsBeyondDepth(const CellImage& image, int bits, int columns, int rows,
                      int sparedFrom = 256);
int pixelsBeyondDepth(const CellImage& image, int bits);

// The index depth `file` will store with its present options: 1, 4 or 8
// (8 also for every kind that keeps indices whole or stores colours).
int savedIndexBits(const GraphicFile& file);

// How many pixels of `image` change colour when `file` saves it as it is set
// now.  An icon writes only its own size and keeps its two transparency
// indices (254, 255) in the AND mask, so those do not count.
int pixelsChangingColour(const GraphicFile& file, const CellImage& image);

// "%d個の点の色が変わります。保存しますか？"
std::string colourChangeQuestion(int pixels);

// Asks before a save that changes `pixels` pixels (Yes/No, question icon,
// caption "Celdos").  True when the save may go on: nothing changes, or the
// user answered Yes.
bool ConfirmColourChange(Ui& ui, int pixels);

} // namespace celdo
