#pragma once

#include "boards/Brush.h"
#include "canvas/PaintSurface.h"
#include "core/Colour.h"
#include "core/Rect.h"
#include "palette/ColourDistance.h"

namespace celdo {

// The colour matching settings a soft dab paints with.
struct SoftDabSettings {
    int convertDes = 1; // first palette index a soft dab may paint
    int rgbOut = 70;
    bool useTile = true;
    bool useTile2 = true;
};

// How an average colour is drawn: kind 0 one index; kind 1 a checkerboard
// of two; kind 2 three pixels of the first to one of the second.  The same
// mapping as the colour conversion's.
using SoftDabMatch = ColourMapping;

// The automatic colour mapping of `colour` over the indices
// settings.convertDes ... 255 of the colour group `group` (256 entries),
// every index usable (duplicate colours are not excluded): the nearest entry
// by the weighted colour distance, or a two-colour mix when that matches
// better; the first best wins a tie.
SoftDabMatch matchSoftDabColour(ColourValue colour, const ColourValue* group,
                                const SoftDabSettings& settings);

// The index a match draws at image position (x, y).
inline int softDabIndexAt(const SoftDabMatch& match, int x, int y) {
    return match.indexAt(x, y);
}

// One dab of the water drop and blur brush centred on (x, y), placed and
// clipped as an ordinary dab.  Image edit mode: the covered unprotected
// pixels get the match of their average colour in `group`.  Mask edit
// mode: the covered mask view pixels get a protection pattern of the
// density of protection under the brush.  Returns the changed rectangle.
Rect SoftDab(PaintSurface& surface, int x, int y, const Brush& brush, const ColourValue* group,
             const SoftDabSettings& settings = {});

} // namespace celdo
