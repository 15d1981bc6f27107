#pragma once

#include "palette/ColourDistance.h"

namespace celdo {

// The program-wide settings of colour conversion.  The first five are the
// settings file's keys (UseTile, ConvertSrc and ConvertDes are written back at
// exit); the two "last" values are recomputed at every new paste and kept for
// the rest of the run.
struct ColourConversionSettings {
    bool useTile = true;       // UseTile: allow two-colour mixes
    int convertSrc = 1;        // ConvertSrc: first source colour converted automatically
    int convertDes = 1;        // ConvertDes: first destination entry chosen automatically
    bool useTile2 = true;      // UseTile2: also try three-quarter mixes
    int rgbOut = 70;           // RGBOUT: per-channel cut-off of the colour distance
    int lastSource = 255;      // last source colour converted automatically
    int lastDestination = 255; // last destination entry chosen automatically

    ColourMatchOptions matchOptions() const { return {useTile, useTile2, rgbOut}; }
};

} // namespace celdo
