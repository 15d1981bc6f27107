// MAG pictures from memory, with their texts.  A picture read is written
// again with the same number of colours and read back: size, depth, pixels
// and the palette must agree.  The texts go through Shift-JIS, where bytes
// that are no character become U+FFFD and then '?', so they are checked as
// what the writer keeps: plain ASCII comes back exactly, and a second save
// changes nothing.  The user name is read from one byte before where it is
// written, as the program always did, so a name of the full 18 bytes loses
// its last byte once more on the second save; from there on it is stable.
#include "FuzzSupport.h"

#include "formats/MagFile.h"

#include <algorithm>
#include <string>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

bool plainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The bytes the program's save writes for `image` after loading `document`.
Bytes SavedAfter(const CellImage& image, const MagFile& document) {
    MagFile out("fuzz.mag");
    out.setFromImage(image);
    out.setFromDocument(document);
    out.setMachineCode(document.machineCode());
    Bytes written;
    Require(out.saveToMemory(image, nullptr, written) == status::Ok, "writing a read picture");
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MagFile in("fuzz.mag");
    CellImagePtr image = LoadFromMemory(in, bytesOf(data, size));
    if (!image)
        return 0;
    TouchPixels(*image);
    Require(image->bitsPerPixel() == 4 || image->bitsPerPixel() == 8, "MAG picture depth");
    Require(image->width() == in.width() && image->height() == in.height(),
            "picture size differs from the header");

    const Bytes firstBytes = SavedAfter(*image, in);
    MagFile first("fuzz.mag");
    CellImagePtr firstImage = LoadFromMemory(first, firstBytes);
    Require(firstImage != nullptr, "reading a written picture");
    Require(samePixels(*image, *firstImage), "MAG pixels after a round trip");
    Require(sameFullPalette(*image, *firstImage), "MAG palette after a round trip");

    if (plainAscii(in.comment()))
        Require(first.comment() == in.comment(), "ASCII comment after a round trip");
    if (plainAscii(in.machineCode()))
        Require(first.machineCode() == in.machineCode(), "ASCII machine code after a round trip");
    // The written name is read back behind the writer's space; a name read
    // from a file already starts with that space, which the writer drops.
    std::string name = in.userName();
    if (!name.empty() && name.front() == ' ')
        name.erase(0, 1);
    if (!name.empty() && plainAscii(name) && name.size() < MagFile::UserNameBytes)
        Require(first.userName() == " " + name, "ASCII user name after a round trip");

    const Bytes secondBytes = SavedAfter(*firstImage, first);
    MagFile second("fuzz.mag");
    CellImagePtr secondImage = LoadFromMemory(second, secondBytes);
    Require(secondImage != nullptr, "reading a picture written twice");
    Require(second.comment() == first.comment(), "comment changes on every save");
    Require(second.machineCode() == first.machineCode(), "machine code changes on every save");
    Require(samePixels(*image, *secondImage), "MAG pixels after a second round trip");

    const Bytes thirdBytes = SavedAfter(*secondImage, second);
    MagFile third("fuzz.mag");
    Require(LoadFromMemory(third, thirdBytes) != nullptr, "reading a picture written again");
    Require(third.userName() == second.userName(), "user name changes on every save");
    Require(thirdBytes == secondBytes, "file changes on every save");
    return 0;
}
