#include "palette/ColourDistance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace celdo {

int colourDistance(ColourTriple a, ColourTriple b, int rgbOut) {
    const int dR = std::abs(a.r - b.r);
    const int dG = std::abs(a.g - b.g);
    const int dB = std::abs(a.b - b.b);
    if (dR > rgbOut || dG > rgbOut || dB > rgbOut)
        return OutOfReachDistance;
    const int dY = std::abs(lumaOf(a.r, a.g, a.b) - lumaOf(b.r, b.g, b.b));
    const int dI = std::abs(inPhaseOf(a.r, a.g, a.b) - inPhaseOf(b.r, b.g, b.b));
    const int dQ = std::abs(quadratureOf(a.r, a.g, a.b) - quadratureOf(b.r, b.g, b.b));
    return dR + dG + dB + 2 * (dY + dI) + dQ;
}

bool withinReach(ColourTriple a, ColourTriple b, int rgbOut) {
    return std::abs(a.r - b.r) <= rgbOut && std::abs(a.g - b.g) <= rgbOut &&
           std::abs(a.b - b.b) <= rgbOut;
}

std::string mappingText(const ColourMapping& mapping) {
    char text[32];
    switch (mapping.kind) {
    case 1:
        std::snprintf(text, sizeof text, "  [%3d]+[%3d]", mapping.first, mapping.second);
        break;
    case 2:
        std::snprintf(text, sizeof text, "3*[%3d]+[%3d]", mapping.first, mapping.second);
        break;
    default:
        std::snprintf(text, sizeof text, "  [%3d]", mapping.first);
        break;
    }
    return text;
}

ColourTriple mixedColour(const ColourMapping& mapping, const ColourValue* palette) {
    const ColourTriple a = tripleOf(palette[mapping.first]);
    const ColourTriple b = tripleOf(palette[mapping.second]);
    switch (mapping.kind) {
    case 1:
        return {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
    case 2:
        return {(3 * a.r + b.r) / 4, (3 * a.g + b.g) / 4, (3 * a.b + b.b) / 4};
    default:
        return a;
    }
}

void buildUsableFlags(const ColourValue* palette, std::uint8_t* usable) {
    for (int i = 0; i < 256; ++i) {
        usable[i] = 1;
        for (int j = 0; j < i; ++j) {
            if (palette[j] == palette[i]) {
                usable[i] = 0;
                break;
            }
        }
    }
}

ColourMapping mapColourDirect(ColourTriple c, const ColourValue* palette,
                              const std::uint8_t* usable, int lo, int hi,
                              const ColourMatchOptions& options) {
    // Indices outside the palette do not exist; a range that starts above its
    // end is left empty and maps to 0.
    lo = std::max(lo, 0);
    hi = std::min(hi, 255);
    const int t = options.rgbOut;
    auto isUsable = [usable](int i) { return usable == nullptr || usable[i] != 0; };
    auto entry = [palette](int i) { return tripleOf(palette[i]); };

    int best = NoMatchDistance;
    int index = 0;
    for (int i = lo; i <= hi; ++i) {
        if (!isUsable(i))
            continue;
        const int d = colourDistance(c, entry(i), t);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    ColourMapping mapping = ColourMapping::single(index);
    if (!options.useTile || best < 8)
        return mapping;

    for (int p = lo; p <= hi - 1; ++p) {
        const ColourTriple a = entry(p);
        if (!isUsable(p) || !withinReach(c, a, t))
            continue;
        const int dp = colourDistance(c, a, t);
        for (int q = p + 1; q <= hi; ++q) {
            const ColourTriple b = entry(q);
            if (!isUsable(q) || !withinReach(c, b, t))
                continue;
            const int base = (dp + colourDistance(c, b, t)) / 8;
            const ColourTriple mean{(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
            const int half = colourDistance(c, mean, t) + base;
            if (half < best) {
                best = half;
                mapping = ColourMapping::mix(1, p, q);
            }
            if (options.useTile2) {
                const ColourTriple mostlyA{(3 * a.r + b.r) / 4, (3 * a.g + b.g) / 4,
                                           (3 * a.b + b.b) / 4};
                const int three = colourDistance(c, mostlyA, t) + base;
                if (three < best) {
                    best = three;
                    mapping = ColourMapping::mix(2, p, q);
                }
                const ColourTriple mostlyB{(3 * b.r + a.r) / 4, (3 * b.g + a.g) / 4,
                                           (3 * b.b + a.b) / 4};
                const int threeB = colourDistance(c, mostlyB, t) + base;
                if (threeB < best) {
                    best = threeB;
                    mapping = ColourMapping::mix(2, q, p);
                }
            }
        }
    }
    return mapping;
}

} // namespace celdo
