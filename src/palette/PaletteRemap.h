#pragma once

#include "core/CellImage.h"

#include <array>
#include <cstdint>

namespace celdo {

// Where each of the 256 palette indices goes when the palette is rearranged:
// one table applied to every open picture.  A value, so that a history can
// keep the table of an operation instead of the pixels it changed.
class PaletteRemap {
public:
    using Table = std::array<std::uint8_t, 256>;

    // The identity: every index stays.
    PaletteRemap();
    explicit PaletteRemap(const Table& table) : m_table(table) {}

    // Deleting entry `index`: its pixels become 0, higher pixels move down by one.
    static PaletteRemap deletion(int index);
    // Exchanging entries a and b.
    static PaletteRemap exchange(int a, int b);
    // Merging entry `from` into `to` and deleting `from`: pixels of `from` take
    // `to`, then every pixel above `from` moves down by one.
    static PaletteRemap merge(int from, int to);

    int operator[](int index) const { return m_table[index & 0xFF]; }
    const Table& table() const { return m_table; }
    void map(int from, int to) { m_table[from & 0xFF] = static_cast<std::uint8_t>(to & 0xFF); }

    bool isIdentity() const;
    // True when no two indices go to the same place.
    bool isInvertible() const;
    // For an invertible remap, the one that undoes it.  Otherwise each index
    // that something goes to goes back to the highest such source, and the
    // others stay.
    PaletteRemap inverted() const;
    // This remap followed by `next`.
    PaletteRemap then(const PaletteRemap& next) const;

    // Rewrites every pixel of an 8-bit picture; other depths are left alone.
    // Returns whether any pixel changed.
    bool apply(CellImage& picture) const;

    bool operator==(const PaletteRemap&) const = default;

private:
    Table m_table;
};

} // namespace celdo
