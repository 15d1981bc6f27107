// PNG files from memory, every colour type and depth libpng takes.  An
// indexed picture read is written again as a palette PNG and read back; a
// true-colour one as RGB.  Size and pixels must agree.
#include "FuzzSupport.h"

#include "formats/PngFile.h"

using namespace celdo;
using namespace celdo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PngFile in("fuzz.png");
    CellImagePtr image = LoadFromMemory(in, bytesOf(data, size));
    if (!image)
        return 0;
    TouchPixels(*image);
    Require(image->bitsPerPixel() == 8 || image->bitsPerPixel() == 24,
            "a PNG is read as an 8- or 24-bit picture");

    PngFile out("fuzz.png");
    out.setFromImage(*image);
    Bytes written;
    Require(out.saveToMemory(*image, nullptr, written) == status::Ok, "writing a read PNG");

    PngFile back("fuzz.png");
    CellImagePtr again = LoadFromMemory(back, written);
    Require(again != nullptr, "reading a written PNG");
    Require(again->width() == image->width() && again->height() == image->height(),
            "PNG size after a round trip");
    Require(samePixels(*image, *again), "PNG pixels after a round trip");
    return 0;
}
