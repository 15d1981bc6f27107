// KiSS palettes from memory.  The groups read are written in the kind that
// holds them (the old kind as old, 16 colours of 12 bits as kind 1, anything
// else as 24-bit kind 2) and read back: all ten palette groups must agree.
#include "FuzzSupport.h"

#include "formats/KissPaletteFile.h"
#include "palette/PaletteSet.h"

#include <algorithm>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

bool sameGroups(const PaletteSet& a, const PaletteSet& b) {
    const int entries = PaletteSet::GroupCount * PaletteSet::GroupSize;
    return std::equal(a.all(), a.all() + entries, b.all());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KissPaletteFile in("fuzz.kcf");
    in.readFromMemory(bytesOf(data, size));
    if (in.readHeader() != status::Ok)
        return 0;
    const int groups = in.loadCount();
    Require(groups >= 1 && groups <= PaletteSet::GroupCount, "groups to load");
    PaletteSet read;
    if (in.readGroups(read) != status::Ok)
        return 0;
    // Groups past the loaded ones stay as they were: zero.
    for (int g = groups; g < PaletteSet::GroupCount; ++g)
        Require(std::all_of(read.group(g), read.group(g) + PaletteSet::GroupSize,
                            [](ColourValue c) { return c == 0; }),
                "a group that was not loaded changed");

    int kind = 2;
    if (in.kind() == 0)
        kind = 0;
    else if (in.kind() == 1 && in.coloursPerGroup() <= 16)
        kind = 1;
    KissPaletteFile out("fuzz.kcf");
    out.setColourSource(&read);
    out.setKind(kind);
    out.setGroupCount(groups);
    out.setReadPosition(0);
    // A palette file has no picture; the body ignores the one handed over.
    const CellImagePtr none = CellImage::Create(1, 1, 8);
    Bytes written;
    Require(out.saveToMemory(*none, nullptr, written) == status::Ok, "writing read groups");
    const std::size_t expected = kind == 0   ? 10u * 16 * 2
                                 : kind == 1 ? 32u + groups * 16 * 2
                                             : 32u + groups * 256 * 3;
    Require(written.size() == expected, "written palette length");

    KissPaletteFile back("fuzz.kcf");
    back.readFromMemory(written);
    Require(back.readHeader() == status::Ok, "reading a written palette header");
    Require(back.kind() == kind, "palette kind after a round trip");
    PaletteSet again;
    Require(back.readGroups(again) == status::Ok, "reading written groups");
    Require(sameGroups(read, again), "palette groups after a round trip");
    return 0;
}
