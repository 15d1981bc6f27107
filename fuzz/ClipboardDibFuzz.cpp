// Bitmaps on the clipboard, with or without the 14-byte file header.  A
// picture read is put on the clipboard as a copy does and read back, both
// as that file and as the bare bitmap behind its file header: size, depth,
// pixels and colours must agree.
#include "FuzzSupport.h"

#include "canvas/ClipboardData.h"

using namespace celdo;
using namespace celdo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CellImagePtr picture = ClipboardData::readPicture(bytesOf(data, size));
    if (!picture)
        return 0;
    TouchPixels(*picture);

    const Bytes copied = ClipboardData::bitmapOf(*picture);
    Require(copied.size() > 14 && copied[0] == 'B' && copied[1] == 'M',
            "a copy puts no bitmap file on the clipboard");
    CellImagePtr again = ClipboardData::readPicture(copied);
    Require(again != nullptr, "reading a copied bitmap");
    Require(samePixels(*picture, *again), "clipboard pixels after a round trip");
    Require(sameFullPalette(*picture, *again), "clipboard colours after a round trip");

    const std::span<const std::uint8_t> bare = std::span(copied).subspan(14);
    CellImagePtr packed = ClipboardData::readPicture(bare);
    Require(packed != nullptr, "reading a bare copied bitmap");
    Require(samePixels(*picture, *packed), "bare bitmap pixels after a round trip");
    Require(sameFullPalette(*picture, *packed), "bare bitmap colours after a round trip");
    return 0;
}
