// Bitmap files from memory, plain and run-length encoded.  A picture read
// is written again at its own depth (16- and 32-bit files are read as 24-bit
// pictures, which is what the writer keeps) and read back: size, depth,
// pixels and the full colour table must agree.
#include "FuzzSupport.h"

#include "formats/BmpFile.h"

using namespace celdo;
using namespace celdo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BmpFile in("fuzz.bmp");
    CellImagePtr image = LoadFromMemory(in, bytesOf(data, size));
    if (!image)
        return 0;
    TouchPixels(*image);
    const int depth = in.bitsPerPixel() > 8 ? 24 : in.bitsPerPixel();
    Require(image->bitsPerPixel() == depth, "picture depth for the file depth");
    Require(image->width() == in.width() && image->height() == in.height(),
            "picture size differs from the header");

    BmpFile out("fuzz.bmp");
    out.setFromImage(*image);
    Bytes written;
    Require(out.saveToMemory(*image, nullptr, written) == status::Ok, "writing a read bitmap");
    const std::size_t colours = depth <= 8 ? std::size_t{1} << depth : 0;
    Require(written.size() == 54 + 4 * colours + std::size_t{image->stride()} * image->height(),
            "written bitmap length");

    BmpFile back("fuzz.bmp");
    CellImagePtr again = LoadFromMemory(back, written);
    Require(again != nullptr, "reading a written bitmap");
    Require(samePixels(*image, *again), "bitmap pixels after a round trip");
    Require(sameFullPalette(*image, *again), "bitmap colours after a round trip");
    return 0;
}
