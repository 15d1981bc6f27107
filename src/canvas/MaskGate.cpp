#include "canvas/MaskGate.h"

#include <algorithm>
#include <cstring>

namespace celdo {

MaskGate::MaskGate(const CellImage* mask, int width, int height) {
    guard(mask, width, height);
}

MaskGate::MaskGate(const PaintSurface& surface, MaskPolicy policy) {
    const CellImage* picture = surface.picture.get();
    if (!picture || policy == MaskPolicy::Ignore ||
        (policy == MaskPolicy::HonourWhenEnabled && !surface.maskEnabled))
        return;
    guard(surface.mask.get(), picture->width(), picture->height());
}

void MaskGate::guard(const CellImage* mask, int width, int height) {
    if (!mask || width <= 0 || height <= 0)
        return;
    m_guards = true;
    m_width = width;
    if (!mask->pixels() || mask->bitsPerPixel() != 8) {
        m_allProtected = true;
        m_row.assign(static_cast<std::size_t>(width), 0xFF);
        return;
    }
    m_mask = mask;
    m_direct = mask->width() == width && mask->height() == height;
    if (!m_direct)
        m_row.resize(static_cast<std::size_t>(width));
}

const std::uint8_t* MaskGate::coveredRow(int y) {
    if (m_allProtected)
        return m_row.data();
    std::fill(m_row.begin(), m_row.end(), std::uint8_t{0});
    if (y >= 0 && y < m_mask->height())
        std::copy_n(m_mask->row(y), std::min(m_mask->width(), m_width), m_row.begin());
    return m_row.data();
}

namespace {

// GCC builds the loop vectorised whatever the build's optimisation level, with
// a wider variant for processors that have it; clang has no such attribute.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define CELDO_ROW_LOOP __attribute__((optimize("O3"), target_clones("avx2", "default")))
#else
#define CELDO_ROW_LOOP
#endif

// A select rather than a skipped store, so the loop vectorises.  The rows are
// distinct records or distinct rows of one (a row onto itself changes
// nothing and never comes here).
CELDO_ROW_LOOP void applyGuardedRow(std::uint8_t* __restrict target,
                                    const std::uint8_t* __restrict fresh,
                                    const std::uint8_t* __restrict guard, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint8_t keep = static_cast<std::uint8_t>(-(guard[i] != 0));
        target[i] = static_cast<std::uint8_t>((target[i] & keep) | (fresh[i] & ~keep));
    }
}

} // namespace

void MaskGate::Apply(int y, int x0, int count, const std::uint8_t* fresh, std::uint8_t* target,
                     int bytesPerPixel) {
    if (count <= 0)
        return;
    const std::uint8_t* protectedRow = protection(y);
    const auto size = static_cast<std::size_t>(bytesPerPixel);
    if (!protectedRow) {
        std::memmove(target, fresh, static_cast<std::size_t>(count) * size);
        return;
    }
    const std::uint8_t* guard = protectedRow + x0;
    if (size == 1) {
        if (target != fresh)
            applyGuardedRow(target, fresh, guard, count);
        return;
    }
    for (int i = 0; i < count; ++i)
        if (!guard[i])
            std::memmove(target + i * size, fresh + i * size, size);
}

} // namespace celdo
