#pragma once

#include "core/Colour.h"

#include <cstdint>
#include <string>

namespace celdo {

// A colour as three channels 0–255.
struct ColourTriple {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const ColourTriple&, const ColourTriple&) = default;
};

constexpr ColourTriple tripleOf(ColourValue c) {
    return {static_cast<int>(redOf(c)), static_cast<int>(greenOf(c)), static_cast<int>(blueOf(c))};
}
constexpr ColourValue valueOf(ColourTriple c) {
    return rgb(static_cast<unsigned>(c.r), static_cast<unsigned>(c.g), static_cast<unsigned>(c.b));
}

// The settings of the colour matching that every caller shares (the
// conversion of pastes and true-colour pictures, and the soft brushes).
struct ColourMatchOptions {
    bool useTile = true;  // allow two-colour mixes
    bool useTile2 = true; // also try three-quarter mixes
    int rgbOut = 70;      // per-channel cut-off of the distance
};

// The distance of a colour more than the cut-off away in some channel.
inline constexpr int OutOfReachDistance = 20000;
// Larger than any distance: the starting best of a search.
inline constexpr int NoMatchDistance = 30000;

// The weighted distance of two colours: channel differences plus luminance and
// chrominance differences, or OutOfReachDistance when a channel differs by more
// than `rgbOut`.
int colourDistance(ColourTriple a, ColourTriple b, int rgbOut);
// False when a channel differs by more than `rgbOut`.
bool withinReach(ColourTriple a, ColourTriple b, int rgbOut);

// The luminance and chrominance terms of the distance (arithmetic shifts, so
// negative sums round towards minus infinity).
constexpr int lumaOf(int r, int g, int b) {
    return (77 * r + 150 * g + 29 * b) >> 8;
}
constexpr int inPhaseOf(int r, int g, int b) {
    return (153 * r - 70 * g - 82 * b) >> 8;
}
constexpr int quadratureOf(int r, int g, int b) {
    return (54 * r - 134 * g + 80 * b) >> 8;
}

// How one source colour is drawn: one palette entry, or a fine two-entry
// pattern.  Kind 0 draws `first` everywhere; kind 1 is a checkerboard (first
// where x + y is odd); kind 2 draws `second` where x and y are both odd.
struct ColourMapping {
    std::uint8_t kind = 0;
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    friend bool operator==(const ColourMapping&, const ColourMapping&) = default;

    static constexpr ColourMapping single(int index) {
        return {0, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index)};
    }
    static constexpr ColourMapping mix(int kind, int first, int second) {
        return {static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(first),
                static_cast<std::uint8_t>(second)};
    }

    // The palette index this mapping draws at image position (x, y), row 0
    // at the top.
    constexpr int indexAt(int x, int y) const {
        switch (kind) {
        case 1:
            return ((x + y) & 1) ? first : second;
        case 2:
            return ((x & 1) && (y & 1)) ? second : first;
        default:
            return first;
        }
    }
};

// "  [%3d]", "  [%3d]+[%3d]" or "3*[%3d]+[%3d]".
std::string mappingText(const ColourMapping& mapping);
// The colour a mapping shows from afar: the entry, the channel mean of a half
// mix, or (3a + b) / 4 of a three-quarter mix.
ColourTriple mixedColour(const ColourMapping& mapping, const ColourValue* palette);

// usable[i] is 1 unless a lower entry holds exactly the same value, so a
// duplicate entry is never chosen.  Entry 0 is always usable.
void buildUsableFlags(const ColourValue* palette, std::uint8_t* usable);

// The automatic mapping of colour c over palette entries lo … hi (clamped to
// 0–255) among the usable ones (all when `usable` is null): the nearest entry,
// then, with mixes allowed and no entry closer than 8, every pair of usable
// entries within reach as a half mix and both three-quarter mixes, the pair's
// own distances adding an eighth.  Strict comparisons: the first best wins.
// Index 0 when no usable entry lies in the range.
//
// This is the plain form of the rule; ColourMatcher gives identical results
// faster for many colours against one palette.
ColourMapping mapColourDirect(ColourTriple c, const ColourValue* palette,
                              const std::uint8_t* usable, int lo, int hi,
                              const ColourMatchOptions& options);

// The colour match of the soft brushes: the automatic mapping over
// `firstIndex` … 255 of a 256-entry palette with every entry usable
// (duplicates are not excluded here).
ColourMapping matchAverageColour(ColourTriple c, const ColourValue* palette, int firstIndex,
                                 const ColourMatchOptions& options);

// True-colour levels: each channel is quantised to 17 levels 0, 16 … 240, 255;
// a pixel's source colour number is R' × 289 + G' × 17 + B'.
inline constexpr int LevelColourCount = 4913;
constexpr int levelOf(int v) {
    return (v + 8) >> 4;
}
constexpr int levelValue(int k) {
    return k == 16 ? 255 : 16 * k;
}
constexpr int levelColourNumber(int r, int g, int b) {
    return levelOf(r) * 289 + levelOf(g) * 17 + levelOf(b);
}
constexpr ColourTriple levelColour(int n) {
    return {levelValue(n / 289), levelValue((n / 17) % 17), levelValue(n % 17)};
}

} // namespace celdo
