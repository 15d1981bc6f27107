#include "boards/BoardFiles.h"

#include "formats/BmpFile.h"

namespace celdo {

CellImagePtr ReadBoardBitmap(const std::string& path) {
    BmpFile file(path);
    if (file.readHeader() != status::Ok)
        return nullptr;
    return file.readImage();
}

std::function<Status(const CellImage&)> BoardBitmapWriter(const std::string& path) {
    return [path](const CellImage& image) {
        BmpFile file(path);
        file.setFromImage(image);
        return file.saveTo(image, nullptr);
    };
}

bool LoadBrushSetFile(BrushSet& set, const std::string& path, Ui& ui, const std::string& caption) {
    return set.load(ReadBoardBitmap(path), ui, caption);
}

Status SaveBrushSetFile(const BrushSet& set, const std::string& path, Ui& ui,
                        const std::string& caption) {
    return set.save(BoardBitmapWriter(path), ui, caption);
}

bool LoadTileSetFile(TileSet& set, const std::string& path, const ColourValue* palette, Ui& ui,
                     const std::string& caption) {
    return set.load(ReadBoardBitmap(path), palette, ui, caption);
}

Status SaveTileSetFile(const TileSet& set, const std::string& path, Ui& ui,
                       const std::string& caption) {
    return set.save(BoardBitmapWriter(path), ui, caption);
}

} // namespace celdo
