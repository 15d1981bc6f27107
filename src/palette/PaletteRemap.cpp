#include "palette/PaletteRemap.h"

namespace celdo {

PaletteRemap::PaletteRemap() {
    for (int i = 0; i < 256; ++i)
        m_table[i] = static_cast<std::uint8_t>(i);
}

PaletteRemap PaletteRemap::deletion(int index) {
    index &= 0xFF;
    PaletteRemap remap;
    remap.map(index, 0);
    for (int v = index + 1; v < 256; ++v)
        remap.map(v, v - 1);
    return remap;
}

PaletteRemap PaletteRemap::exchange(int a, int b) {
    PaletteRemap remap;
    remap.map(a, b & 0xFF);
    remap.map(b, a & 0xFF);
    return remap;
}

PaletteRemap PaletteRemap::merge(int from, int to) {
    from &= 0xFF;
    to &= 0xFF;
    PaletteRemap remap;
    for (int v = 0; v < 256; ++v) {
        const int retargeted = v == from ? to : v;
        remap.map(v, retargeted > from ? retargeted - 1 : retargeted);
    }
    return remap;
}

bool PaletteRemap::isIdentity() const {
    for (int i = 0; i < 256; ++i)
        if (m_table[i] != i)
            return false;
    return true;
}

bool PaletteRemap::isInvertible() const {
    std::array<bool, 256> hit{};
    for (int i = 0; i < 256; ++i) {
        if (hit[m_table[i]])
            return false;
        hit[m_table[i]] = true;
    }
    return true;
}

PaletteRemap PaletteRemap::inverted() const {
    PaletteRemap inverse;
    for (int i = 0; i < 256; ++i)
        inverse.map(m_table[i], i);
    return inverse;
}

PaletteRemap PaletteRemap::then(const PaletteRemap& next) const {
    PaletteRemap combined;
    for (int i = 0; i < 256; ++i)
        combined.map(i, next[m_table[i]]);
    return combined;
}

bool PaletteRemap::apply(CellImage& picture) const {
    if (picture.bitsPerPixel() != 8 || !picture.pixels() || isIdentity())
        return false;
    bool changed = false;
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint8_t v = m_table[row[x]];
            changed |= v != row[x];
            row[x] = v;
        }
    }
    return changed;
}

} // namespace celdo
