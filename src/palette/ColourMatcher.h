#pragma once

#include "core/Colour.h"
#include "palette/ColourDistance.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace celdo {

// Reports the progress of long work as (done, total); always called on the
// thread that started the work.
using ProgressFunction = std::function<void(long long done, long long total)>;

// The automatic mapping of many colours against one palette, range and set of
// usable entries.  Results are identical to mapColourDirect; the speed comes
// from colour terms worked out once per entry, from skipping pairs whose
// distance cannot beat the best found so far, and from spreading colours over
// threads.
class ColourMatcher {
public:
    // `usable` may be null (every entry usable); lo and hi are clamped to 0–255.
    ColourMatcher(const ColourValue* palette, const std::uint8_t* usable, int lo, int hi,
                  const ColourMatchOptions& options);

    // Safe to call from several threads at once.
    ColourMapping match(ColourTriple c) const;

    // out[i] = match(colours[i]) for every i, on up to the machine's number
    // of threads.  `progress` (optional) sees the count of colours done.
    void matchAll(const ColourTriple* colours, std::size_t count, ColourMapping* out,
                  const ProgressFunction& progress = {}) const;

private:
    ColourMatchOptions m_options;
    int m_count = 0; // usable entries in the range, in index order
    std::array<std::uint8_t, 256> m_index{};
    std::array<int, 256> m_r{}, m_g{}, m_b{};
    std::array<int, 256> m_luma{}, m_inPhase{}, m_quadrature{};
};

} // namespace celdo
