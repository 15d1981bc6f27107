#include "palette/ColourMatcher.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

namespace celdo {

namespace {

// A colour with its luminance and chrominance terms.
struct Terms {
    int r, g, b, y, i, q;
};

Terms termsOf(ColourTriple c) {
    return {c.r,
            c.g,
            c.b,
            lumaOf(c.r, c.g, c.b),
            inPhaseOf(c.r, c.g, c.b),
            quadratureOf(c.r, c.g, c.b)};
}

// colourDistance(c, m) written without branches so that loops over many
// mixes vectorise.
inline int mixDistance(const Terms& c, int t, int mr, int mg, int mb) {
    const int dr = std::abs(c.r - mr);
    const int dg = std::abs(c.g - mg);
    const int db = std::abs(c.b - mb);
    const int dy = std::abs(c.y - lumaOf(mr, mg, mb));
    const int di = std::abs(c.i - inPhaseOf(mr, mg, mb));
    const int dq = std::abs(c.q - quadratureOf(mr, mg, mb));
    const int d = dr + dg + db + 2 * (dy + di) + dq;
    return ((dr > t) | (dg > t) | (db > t)) ? OutOfReachDistance : d;
}

// The entries within reach of one colour, in index order, with their own
// distance to it.
struct Reachable {
    int count = 0;
    int r[256], g[256], b[256], d[256];
    std::uint8_t index[256];
};

// The pair loops below are most of the work of a search; they are built
// vectorised whatever the build's optimisation level, with a wider variant for
// processors that have it.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define CELDO_PAIR_LOOP __attribute__((optimize("O3"), target_clones("avx2", "default")))
#else
#define CELDO_PAIR_LOOP
#endif

// Scores of the pairs (p, q) for every q of the arrays: the half mix and the
// two three-quarter mixes, each with the pair's eighth added.
CELDO_PAIR_LOOP void scorePairs(const Terms& c, int t, bool threeQuarters, int pr, int pg, int pb,
                                int dp, const int* __restrict r, const int* __restrict g,
                                const int* __restrict b, const int* __restrict d, int n,
                                int* __restrict half, int* __restrict three,
                                int* __restrict threeB) {
    for (int k = 0; k < n; ++k) {
        const int base = (dp + d[k]) >> 3;
        half[k] = mixDistance(c, t, (pr + r[k]) >> 1, (pg + g[k]) >> 1, (pb + b[k]) >> 1) + base;
    }
    if (!threeQuarters)
        return;
    for (int k = 0; k < n; ++k) {
        const int base = (dp + d[k]) >> 3;
        three[k] =
            mixDistance(c, t, (3 * pr + r[k]) >> 2, (3 * pg + g[k]) >> 2, (3 * pb + b[k]) >> 2) +
            base;
        threeB[k] =
            mixDistance(c, t, (3 * r[k] + pr) >> 2, (3 * g[k] + pg) >> 2, (3 * b[k] + pb) >> 2) +
            base;
    }
}

int distanceToRange(int v, int lo, int hi) {
    return v < lo ? lo - v : (v > hi ? v - hi : 0);
}

// A lower bound of colourDistance(c, m) for every m inside the box.  Luminance
// is non-decreasing in every channel, the chrominance terms rise with some
// channels and fall with others, so each term's range over the box is found at
// two of its corners.
int boxLowerBound(const Terms& c, int minR, int maxR, int minG, int maxG, int minB, int maxB) {
    const int rgb = distanceToRange(c.r, minR, maxR) + distanceToRange(c.g, minG, maxG) +
                    distanceToRange(c.b, minB, maxB);
    const int dy = distanceToRange(c.y, lumaOf(minR, minG, minB), lumaOf(maxR, maxG, maxB));
    const int di = distanceToRange(c.i, inPhaseOf(minR, maxG, maxB), inPhaseOf(maxR, minG, minB));
    const int dq =
        distanceToRange(c.q, quadratureOf(minR, maxG, minB), quadratureOf(maxR, minG, maxB));
    return rgb + 2 * (dy + di) + dq;
}

} // namespace

ColourMatcher::ColourMatcher(const ColourValue* palette, const std::uint8_t* usable, int lo, int hi,
                             const ColourMatchOptions& options)
    : m_options(options) {
    lo = std::max(lo, 0);
    hi = std::min(hi, 255);
    for (int i = lo; i <= hi; ++i) {
        if (usable != nullptr && usable[i] == 0)
            continue;
        const Terms e = termsOf(tripleOf(palette[i]));
        m_index[m_count] = static_cast<std::uint8_t>(i);
        m_r[m_count] = e.r;
        m_g[m_count] = e.g;
        m_b[m_count] = e.b;
        m_luma[m_count] = e.y;
        m_inPhase[m_count] = e.i;
        m_quadrature[m_count] = e.q;
        ++m_count;
    }
}

ColourMapping ColourMatcher::match(ColourTriple colour) const {
    const Terms c = termsOf(colour);
    const int t = m_options.rgbOut;

    // Nearest single entry; on the way, collect the entries within reach.
    Reachable reach;
    int best = NoMatchDistance;
    int index = 0;
    for (int k = 0; k < m_count; ++k) {
        const int dr = std::abs(c.r - m_r[k]);
        const int dg = std::abs(c.g - m_g[k]);
        const int db = std::abs(c.b - m_b[k]);
        int d = OutOfReachDistance;
        if (dr <= t && dg <= t && db <= t) {
            d = dr + dg + db + 2 * (std::abs(c.y - m_luma[k]) + std::abs(c.i - m_inPhase[k])) +
                std::abs(c.q - m_quadrature[k]);
            const int s = reach.count++;
            reach.r[s] = m_r[k];
            reach.g[s] = m_g[k];
            reach.b[s] = m_b[k];
            reach.d[s] = d;
            reach.index[s] = m_index[k];
        }
        if (d < best) {
            best = d;
            index = m_index[k];
        }
    }
    ColourMapping mapping = ColourMapping::single(index);
    if (!m_options.useTile || best < 8 || reach.count < 2)
        return mapping;

    // For each first entry of a pair: the smallest own distance and the
    // bounding box of the entries from it on.  Every mix of a pair lies in the
    // box of its two entries, and every mix's score is at least its distance
    // plus the pair's eighth, so a first entry whose bound is not below the
    // best so far has no pair that could win.
    const int n = reach.count;
    int sufMinD[257], minR[256], maxR[256], minG[256], maxG[256], minB[256], maxB[256];
    sufMinD[n] = NoMatchDistance;
    for (int s = n - 1; s >= 0; --s) {
        sufMinD[s] = std::min(sufMinD[s + 1], reach.d[s]);
        const bool last = s == n - 1;
        minR[s] = last ? reach.r[s] : std::min(minR[s + 1], reach.r[s]);
        maxR[s] = last ? reach.r[s] : std::max(maxR[s + 1], reach.r[s]);
        minG[s] = last ? reach.g[s] : std::min(minG[s + 1], reach.g[s]);
        maxG[s] = last ? reach.g[s] : std::max(maxG[s + 1], reach.g[s]);
        minB[s] = last ? reach.b[s] : std::min(minB[s + 1], reach.b[s]);
        maxB[s] = last ? reach.b[s] : std::max(maxB[s + 1], reach.b[s]);
    }

    const bool threeQuarters = m_options.useTile2;
    int half[256], three[256], threeB[256];
    for (int s = 0; s + 1 < n; ++s) {
        const int dp = reach.d[s];
        const int bound = boxLowerBound(c, minR[s], maxR[s], minG[s], maxG[s], minB[s], maxB[s]) +
                          ((dp + sufMinD[s + 1]) >> 3);
        if (bound >= best)
            continue;
        const int first = s + 1;
        const int count = n - first;
        scorePairs(c, t, threeQuarters, reach.r[s], reach.g[s], reach.b[s], dp, reach.r + first,
                   reach.g + first, reach.b + first, reach.d + first, count, half, three, threeB);
        int rowBest = NoMatchDistance;
        for (int k = 0; k < count; ++k)
            rowBest = std::min(rowBest, half[k]);
        if (threeQuarters)
            for (int k = 0; k < count; ++k)
                rowBest = std::min(rowBest, std::min(three[k], threeB[k]));
        if (rowBest >= best)
            continue;
        // Walk the row in the rule's order so that the first best pair wins.
        const int p = reach.index[s];
        for (int k = 0; k < count; ++k) {
            const int q = reach.index[first + k];
            if (half[k] < best) {
                best = half[k];
                mapping = ColourMapping::mix(1, p, q);
            }
            if (threeQuarters) {
                if (three[k] < best) {
                    best = three[k];
                    mapping = ColourMapping::mix(2, p, q);
                }
                if (threeB[k] < best) {
                    best = threeB[k];
                    mapping = ColourMapping::mix(2, q, p);
                }
            }
        }
    }
    return mapping;
}

void ColourMatcher::matchAll(const ColourTriple* colours, std::size_t count, ColourMapping* out,
                             const ProgressFunction& progress) const {
    constexpr std::size_t Chunk = 8;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> finished{0};
    // Takes the next chunk of colours; false when none is left.
    auto takeChunk = [&]() {
        const std::size_t from = next.fetch_add(Chunk);
        if (from >= count)
            return false;
        const std::size_t to = std::min(count, from + Chunk);
        for (std::size_t k = from; k < to; ++k)
            out[k] = match(colours[k]);
        finished.fetch_add(to - from);
        return true;
    };

    // Helpers take chunks alongside this thread; a helper that cannot be
    // started only makes the work slower.
    std::vector<std::thread> helpers;
    if (count >= 4 * Chunk) {
        const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 16u));
        try {
            for (unsigned k = 1; k < cores; ++k)
                helpers.emplace_back([&takeChunk]() {
                    while (takeChunk()) {
                    }
                });
        } catch (...) {
        }
    }
    while (takeChunk()) {
        if (progress)
            progress(static_cast<long long>(finished.load()), static_cast<long long>(count));
    }
    for (auto& helper : helpers)
        helper.join();
    if (progress)
        progress(static_cast<long long>(count), static_cast<long long>(count));
}

ColourMapping matchAverageColour(ColourTriple c, const ColourValue* palette, int firstIndex,
                                 const ColourMatchOptions& options) {
    return ColourMatcher(palette, nullptr, firstIndex, 255, options).match(c);
}

} // namespace celdo
