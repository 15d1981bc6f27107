#include "canvas/MaskFile.h"

#include "canvas/MaskEdit.h"
#include "core/FileExtension.h"
#include "framework/Ui.h"

#include <filesystem>
#include <system_error>

namespace celdo {

namespace {

constexpr const char* ApplicationCaption = "Celdos";

bool allZero(const CellImage& mask) {
    for (int y = 0; y < mask.height(); ++y) {
        const std::uint8_t* row = mask.row(y);
        for (int x = 0; x < mask.width(); ++x)
            if (row[x])
                return false;
    }
    return true;
}

} // namespace

std::string maskFileName(const std::string& pictureFileName) {
    const std::size_t dot = extensionDot(pictureFileName);
    if (dot == std::string::npos)
        return pictureFileName + ".MSK";
    return pictureFileName.substr(0, dot + 1) + "MSK";
}

void removeFileIfPresent(const std::string& fileName) {
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
}

Status SaveMask(PaintSurface& surface, const std::string& pictureFileName, const MaskWriter& writer,
                Ui& ui, const FileRemover& remover) {
    if (!surface.mask || !surface.mask->pixels())
        return status::Ok;
    CommitMaskView(surface);
    CellImage& mask = *surface.mask;
    mask.SetGreyPalette();
    const std::string name = maskFileName(pictureFileName);
    if (allZero(mask)) {
        remover(name);
        return status::Ok;
    }
    const Status written = writer ? writer(name, mask, MaskFileComment) : status::CannotWrite;
    if (written != status::Ok)
        ui.messageBox(MaskSaveFailedText, ApplicationCaption, MessageIcon::Information,
                      MessageButtons::Ok);
    return written;
}

CellImagePtr LoadMask(CellImagePtr formatMask, const std::string& pictureFileName,
                      const MaskReader& reader) {
    if (formatMask)
        return formatMask;
    const std::string name = maskFileName(pictureFileName);
    std::error_code error;
    if (!reader || !std::filesystem::is_regular_file(name, error))
        return nullptr;
    return reader(name);
}

} // namespace celdo
