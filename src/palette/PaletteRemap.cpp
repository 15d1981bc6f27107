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
    // A local copy of the table and the width: stores through a byte
    // pointer could alias either, which would reload them for every pixel.
    const Table table = m_table;
    const int width = picture.width();
    std::uint8_t differ = 0;
    // Rows are stored bottom-up: the last row first keeps the pass in
    // memory order, which the prefetcher follows across rows.
    for (int y = picture.height() - 1; y >= 0; --y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t old = row[x];
            const std::uint8_t v = table[old];
            differ |= static_cast<std::uint8_t>(old ^ v);
            row[x] = v;
        }
    }
    return differ != 0;
}

} // namespace celdo
