#pragma once

#include "core/Colour.h"

#include <array>

namespace celdo {

// The program's one palette: ten colour groups (組) of 256 colour values held
// one after the other, group g starting at entry 256 × g.  One group is
// current; the palette operations act on it and every picture shows it.
class PaletteSet {
public:
    static constexpr int GroupCount = 10;
    static constexpr int GroupSize = 256;

    ColourValue* group(int g) { return m_entries.data() + GroupSize * clampGroup(g); }
    const ColourValue* group(int g) const { return m_entries.data() + GroupSize * clampGroup(g); }
    ColourValue* current() { return group(m_currentGroup); }
    const ColourValue* current() const { return group(m_currentGroup); }
    ColourValue* all() { return m_entries.data(); }
    const ColourValue* all() const { return m_entries.data(); }

    int currentGroup() const { return m_currentGroup; }
    // Makes group g (0–9) current; false when it already was or is out of range.
    bool setCurrentGroup(int g) {
        if (g < 0 || g >= GroupCount || g == m_currentGroup)
            return false;
        m_currentGroup = g;
        return true;
    }

private:
    static int clampGroup(int g) { return g < 0 ? 0 : (g >= GroupCount ? GroupCount - 1 : g); }

    std::array<ColourValue, GroupCount * GroupSize> m_entries{};
    int m_currentGroup = 0;
};

} // namespace celdo
