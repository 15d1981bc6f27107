// Mask files (MAG pictures beside a picture file) from memory.  The plane
// read must hold the indices of the MAG picture one byte a pixel; written
// as a mask save writes it and read back, it must come back unchanged.
#include "FuzzSupport.h"

#include "canvas/MaskFile.h"
#include "canvas/MaskFileIo.h"
#include "formats/MagFile.h"

using namespace celdo;
using namespace celdo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MagFile in("fuzz.msk");
    in.readFromMemory(bytesOf(data, size));
    CellImagePtr plane = readMaskPlane(in);
    if (!plane)
        return 0;
    TouchPixels(*plane);
    Require(plane->bitsPerPixel() == 8, "mask planes are 8 bits");

    MagFile picture("fuzz.msk");
    CellImagePtr indices = LoadFromMemory(picture, bytesOf(data, size));
    Require(indices != nullptr, "a mask read from a picture that does not read");
    Require(plane->width() == indices->width() && plane->height() == indices->height(),
            "mask size differs from the picture");
    for (int y = 0; y < plane->height(); ++y)
        for (int x = 0; x < plane->width(); ++x)
            Require(pixelAt(*plane, x, y) == pixelAt(*indices, x, y), "mask values differ");

    // What SaveMask and MagFile::Save do, into memory.
    plane->SetGreyPalette();
    MagFile out("fuzz.msk");
    out.setFromImage(*plane);
    out.replaceComment(MaskFileComment);
    Bytes written;
    Require(out.saveToMemory(*plane, nullptr, written) == status::Ok, "writing a read mask");

    MagFile back("fuzz.msk");
    back.readFromMemory(written);
    CellImagePtr again = readMaskPlane(back);
    Require(again != nullptr, "reading a written mask");
    Require(samePixels(*plane, *again), "mask after a round trip");
    Require(samePalette(*plane, *again, 256), "mask palette after a round trip");
    Require(back.comment() == MaskFileComment, "mask comment after a round trip");
    return 0;
}
