// KiSS configuration files.  Whatever the bytes, the reader keeps them: the
// document writes back exactly what it read.  Moving an object (page, object
// and place taken from the input) changes that object's place on that page
// and nothing else a reader sees: the cells, the other places, the groups.
#include "FuzzSupport.h"

#include "sets/CnfDocument.h"

#include <string>
#include <string_view>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

bool sameCells(const CnfDocument& a, const CnfDocument& b) {
    if (a.cells().size() != b.cells().size())
        return false;
    for (std::size_t i = 0; i < a.cells().size(); ++i) {
        const CnfCell& x = a.cells()[i];
        const CnfCell& y = b.cells()[i];
        if (x.object != y.object || x.fix != y.fix || x.file != y.file ||
            x.paletteFile != y.paletteFile || x.pages != y.pages ||
            x.transparency != y.transparency)
            return false;
    }
    return a.paletteFiles() == b.paletteFiles() && a.width() == b.width() &&
           a.height() == b.height() && a.borderColour() == b.borderColour();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    // The first four bytes choose the move; the rest is the file.
    const int page = data[0] % CnfDocument::PageCount;
    const Point to{static_cast<int>(static_cast<std::int8_t>(data[2])) * 7,
                   static_cast<int>(static_cast<std::int8_t>(data[3])) * 5};
    const std::string_view bytes(reinterpret_cast<const char*>(data + 4), size - 4);

    const CnfDocument read = CnfDocument::Parse(bytes);
    Require(read.bytes() == bytes, "the document did not write back what it read");
    Require(!read.modified(), "a document read is modified");
    const int objects = read.objectCount();
    if (objects == 0 || objects > 4096)
        return 0;
    const int object = data[1] % objects;

    CnfDocument moved = CnfDocument::Parse(bytes);
    moved.SetObjectPosition(page, object, to);
    Require(moved.objectPosition(page, object) == to, "the object is not where it was moved");
    const CnfDocument again = CnfDocument::Parse(moved.bytes());
    Require(again.objectPosition(page, object) == to, "the written place reads otherwise");
    Require(sameCells(read, again), "moving an object changed the cells");
    for (int p = 0; p < CnfDocument::PageCount; ++p) {
        if (read.pageExists(p))
            Require(again.pageGroup(p) == read.pageGroup(p), "moving an object changed a group");
        for (int o = 0; o < objects; ++o)
            if (p != page || o != object)
                Require(again.objectPosition(p, o) == read.objectPosition(p, o),
                        "moving an object moved another");
    }
    return 0;
}
