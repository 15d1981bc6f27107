// Icon and cursor files from memory, every page up to a limit.  Each image
// read is written again with its colour count and size (a cursor keeps its
// hot spot, and is written as a cursor only at the 32 × 32 a cursor save
// always has) and read back: the pixels, screen and inverted ones included,
// and all 256 palette entries must agree.
#include "FuzzSupport.h"

#include "formats/IconFile.h"

#include <algorithm>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

constexpr int PagesTried = 8;

void CheckPage(const IconFile& in, const CellImage& image) {
    TouchPixels(image);
    Require(image.bitsPerPixel() == 8, "icon images load as 8 bits");
    Require(image.width() >= 1 && image.width() <= 256 && image.height() >= 1 &&
                image.height() <= 256,
            "icon size beyond 256");
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t v = pixelAt(image, x, y);
            Require(v < static_cast<std::uint32_t>(in.colours()) || v == IconFile::Inverted ||
                        v == IconFile::Screen,
                    "icon index outside its colours");
        }

    const bool cursor =
        in.variant() == IconFile::CursorVariant && image.width() == 32 && image.height() == 32;
    const int variant = cursor ? IconFile::CursorVariant : IconFile::IconVariant;
    IconFile out("fuzz.ico", variant);
    out.setColours(in.colours());
    out.setSize(image.width(), image.height());
    out.setHotspot(in.hotspotX(), in.hotspotY());
    Bytes written;
    Require(out.saveToMemory(image, nullptr, written) == status::Ok, "writing a read icon");

    IconFile back("fuzz.ico", variant);
    CellImagePtr again = LoadFromMemory(back, written);
    Require(again != nullptr, "reading a written icon");
    Require(back.pageCount() == 1 && back.colours() == in.colours(), "icon after a round trip");
    Require(samePixels(image, *again), "icon pixels after a round trip");
    Require(samePalette(image, *again, 256), "icon palette after a round trip");
    if (cursor)
        Require(back.hotspotX() == in.hotspotX() && back.hotspotY() == in.hotspotY(),
                "cursor hot spot after a round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IconFile in("fuzz.ico", IconFile::IconVariant);
    in.readFromMemory(bytesOf(data, size));
    if (in.readHeader() != status::Ok)
        return 0;
    Require(in.pageCount() >= 1, "an icon file without images");
    const int pages = std::min(in.pageCount(), PagesTried);
    for (int page = 0; page < pages; ++page) {
        in.setPage(page);
        if (in.selectPage() != status::Ok)
            continue;
        CellImagePtr image = in.readImage();
        if (!image) {
            Require(in.error() != status::Ok, "a failed read that reports no error");
            continue;
        }
        CheckPage(in, *image);
    }
    return 0;
}
