#include "FileInfo.h"

#include "ConvertArguments.h"
#include "JsonObject.h"

#include "app/LoadSaveDispatch.h"
#include "formats/BmpFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "formats/PngFile.h"

#include <cstdio>
#include <memory>

namespace celdo::convert {

namespace {

Status bmpInfo(BmpFile& file, JsonObject& json) {
    json.add("width", file.width());
    json.add("height", file.height());
    json.add("bits", file.bitsPerPixel());
    json.add("compression", static_cast<long long>(file.compression()));
    json.add("colours", file.paletteColours());
    json.addFlag("topDown", file.topDown());
    json.add("dataOffset", file.dataOffset());
    return status::Ok;
}

Status magInfo(MagFile& file, JsonObject& json) {
    const auto& header = file.magHeader();
    json.add("width", file.width());
    json.add("height", file.height());
    json.add("bits", file.bitsPerPixel());
    json.add("colours", file.bitsPerPixel() == 8 ? 256 : 16);
    json.add("machineCode", file.machineCode());
    json.add("user", file.userName());
    json.add("comment", file.comment());
    json.add("machine", header[1]);
    json.add("machineFlags", header[2]);
    json.add("screenMode", header[3]);
    json.add("headerOffset", file.headerOffset());
    json.add("flagBytesPerLine", file.flagBytesPerLine());
    return status::Ok;
}

Status iconInfo(IconFile& file, JsonObject& json) {
    json.add("variant", std::string(file.variant() == IconFile::CursorVariant ? "cursor" : "icon"));
    json.add("pages", file.pageCount());
    std::vector<JsonObject> pages;
    for (int page = 0; page < file.pageCount(); ++page) {
        file.setPage(page);
        JsonObject entry;
        entry.add("page", page + 1);
        // A page the reader refuses (a true-colour image, say) is listed
        // with its message; the others stay readable.
        if (const Status s = file.selectPage(); s != status::Ok) {
            if (s == status::ReadError || s == status::SeekError || s == status::OutOfMemory)
                return s;
            entry.add("error", errorMessageText(s));
            pages.push_back(std::move(entry));
            continue;
        }
        entry.add("width", file.width());
        entry.add("height", file.height());
        entry.add("colours", file.colours());
        entry.add("bits", file.bitsPerPixel());
        entry.add("hotspotX", file.hotspotX());
        entry.add("hotspotY", file.hotspotY());
        pages.push_back(std::move(entry));
    }
    json.add("pageList", pages);
    return status::Ok;
}

Status cellInfo(KissCellFile& file, JsonObject& json) {
    json.add("kind", file.kind());
    json.add("kindText", KissCellFile::kindText(file.kind(), file.bitsPerPixel()));
    json.add("width", file.width());
    json.add("height", file.height());
    json.add("bits", file.bitsPerPixel());
    json.add("offsetX", file.offsetX());
    json.add("offsetY", file.offsetY());
    json.add("dataOffset", file.dataOffset());
    json.add("dataSize", file.dataSize());
    return status::Ok;
}

Status pngInfo(PngFile& file, JsonObject& json) {
    json.add("width", file.width());
    json.add("height", file.height());
    json.add("bitDepth", file.bitDepth());
    json.add("colourType", file.colourType());
    json.add("colourTypeText", PngColourTypeText(file.colourType()));
    json.add("bits", file.bitsPerPixel());
    json.addFlag("interlaced", file.interlaced());
    json.add("paletteEntries", file.paletteEntries());
    json.add("transparentEntries", file.transparentEntries());
    json.addFlag("offsets", file.hasOffsets());
    if (file.hasOffsets()) {
        json.add("offsetX", file.offsetX());
        json.add("offsetY", file.offsetY());
    }
    json.addFlag("animated", file.animated());
    return status::Ok;
}

Status paletteInfo(const std::string& path, JsonObject& json) {
    KissPaletteFile file(path);
    if (file.readHeader() != status::Ok)
        return file.error();
    json.add("kind", file.kind());
    json.add("kindText", KissPaletteFile::loadKindText(file.kind()));
    json.add("bits", file.bitsPerColour());
    json.add("groups", file.groupCount());
    json.add("coloursPerGroup", file.coloursPerGroup());
    json.add("dataOffset", file.dataOffset());
    json.add("fileSize", file.fileSize());
    return status::Ok;
}

} // namespace

int printInfo(const std::string& path) {
    const std::string format = readableFormat(path);
    JsonObject json;
    const auto slash = path.find_last_of('/');
    json.add("file", slash == std::string::npos ? path : path.substr(slash + 1));
    json.add("format", format);
    Status result = status::Ok;
    if (isPalette(format)) {
        json.add("type", std::string("PALETTE"));
        result = paletteInfo(path, json);
    } else {
        std::unique_ptr<GraphicFile> file = CreateFormatFor(path);
        json.add("type", file->typeName());
        result = file->readHeader();
        if (result == status::Ok) {
            if (auto* cell = dynamic_cast<KissCellFile*>(file.get()))
                result = cellInfo(*cell, json);
            else if (auto* bmp = dynamic_cast<BmpFile*>(file.get()))
                result = bmpInfo(*bmp, json);
            else if (auto* mag = dynamic_cast<MagFile*>(file.get()))
                result = magInfo(*mag, json);
            else if (auto* icon = dynamic_cast<IconFile*>(file.get()))
                result = iconInfo(*icon, json);
            else if (auto* png = dynamic_cast<PngFile*>(file.get()))
                result = pngInfo(*png, json);
        }
        if (result == status::Ok)
            json.add("fileSize", file->fileSize());
    }
    if (result != status::Ok)
        return reportFailure(path, result);
    std::printf("%s\n", json.text().c_str());
    return 0;
}

} // namespace celdo::convert
