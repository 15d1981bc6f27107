#include "canvas/MaskFileIo.h"

#include "formats/MagFile.h"

namespace celdo {

MaskWriter MagMaskWriter() {
    return [](const std::string& fileName, const CellImage& mask, const std::string& comment) {
        return MagFile::Save(fileName, mask, comment);
    };
}

MaskReader MagMaskReader() {
    return [](const std::string& fileName) -> CellImagePtr {
        MagFile file(fileName);
        return readMaskPlane(file);
    };
}

CellImagePtr readMaskPlane(MagFile& file) {
    if (file.readHeader() != status::Ok || file.selectPage() != status::Ok)
        return nullptr;
    CellImagePtr plane = file.readImage();
    if (!plane || plane->bitsPerPixel() == 8)
        return plane;
    return plane->ConvertTo8(nullptr);
}

} // namespace celdo
