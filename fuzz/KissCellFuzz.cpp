// KiSS cells from memory.  A cell read is written again with the same kind
// and offsets and read back: sizes, offsets, pixels and the alpha mask of a
// 32-bit cell must come back unchanged, since a cell stores every pixel
// value it can hold.
#include "FuzzSupport.h"

#include "formats/KissCellFile.h"

using namespace celdo;
using namespace celdo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KissCellFile in("fuzz.cel");
    CellImagePtr image = LoadFromMemory(in, bytesOf(data, size));
    if (!image)
        return 0;
    TouchPixels(*image);
    CellImagePtr mask = in.takeMask();
    const bool trueColour = in.bitsPerPixel() == 32;
    Require(image->width() == in.width() && image->height() == in.height(),
            "picture size differs from the header");
    Require(image->bitsPerPixel() == (trueColour ? 24 : 8), "picture depth for the cell kind");
    Require((mask != nullptr) == trueColour, "alpha mask only for 32-bit cells");
    if (in.bitsPerPixel() == 4)
        for (int y = 0; y < image->height(); ++y)
            for (int x = 0; x < image->width(); ++x)
                Require(pixelAt(*image, x, y) < 16, "16-colour cell index above 15");
    // The cell fits the file: header and packed rows.
    Require(in.dataOffset() + in.dataSize() <= static_cast<long long>(size),
            "cell read past its data");

    KissCellFile out("fuzz.cel");
    out.setFromImage(*image);
    out.setKind(in.kind());
    out.setOffsets(in.offsetX(), in.offsetY());
    Bytes written;
    Require(out.saveToMemory(*image, mask.get(), written) == status::Ok, "writing a read cell");
    Require(static_cast<long long>(written.size()) == in.dataOffset() + in.dataSize(),
            "written cell length");

    KissCellFile back("fuzz.cel");
    CellImagePtr again = LoadFromMemory(back, written);
    Require(again != nullptr, "reading a written cell");
    Require(back.kind() == in.kind() && back.bitsPerPixel() == in.bitsPerPixel(),
            "cell kind after a round trip");
    Require(back.offsetX() == in.offsetX() && back.offsetY() == in.offsetY(),
            "cell offsets after a round trip");
    Require(samePixels(*image, *again), "cell pixels after a round trip");
    Require(sameFullPalette(*image, *again), "cell palette after a round trip");
    CellImagePtr maskAgain = back.takeMask();
    Require((maskAgain != nullptr) == (mask != nullptr), "alpha mask after a round trip");
    if (mask)
        Require(samePixels(*mask, *maskAgain), "alpha after a round trip");
    return 0;
}
