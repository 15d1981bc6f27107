#include "Conversion.h"

#include "app/AppState.h"
#include "app/LoadSaveDispatch.h"
#include "app/ProgramDirectory.h"
#include "app/SaveColourCheck.h"
#include "core/CellImage.h"
#include "formats/BmpFile.h"
#include "formats/GraphicFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "formats/PngFile.h"
#include "palette/ColourConversionSettings.h"
#include "palette/PaletteSet.h"
#include "palette/ReduceToGroup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace celdo::convert {

namespace {

// What one conversion carries from the input to the output.
struct Conversion {
    PaletteSet palette;
    bool paletteLoaded = false;
    // A picture input: the format object it was read with, the picture and
    // the mask plane the format delivered.
    std::unique_ptr<GraphicFile> document;
    CellImagePtr picture;
    CellImagePtr mask;
    // A palette input.
    int paletteGroups = 0;
    int paletteKind = -1;
    // What the editor remembers from a cell load and gives a new cell or
    // palette file: the input cell's kind and offsets, else the defaults of a
    // fresh run.  Kept here, not in KissCellFile's run-wide values, so a
    // conversion does not depend on the files converted before or beside it.
    int cellKind = KissCellFile::DefaultKind;
    int cellOffsetX = 0;
    int cellOffsetY = 0;
    // What the program says, in order.
    std::vector<std::string> lines;

    void Report(const std::string& file, const std::string& text) {
        lines.push_back(file + ": " + text);
    }
};

Status readAllGroups(const std::string& path, PaletteSet& palette, int* groups, int* kind) {
    KissPaletteFile file(path);
    if (file.readHeader() != status::Ok)
        return file.error();
    file.setLoadPosition(0);
    file.setSetPosition(0);
    file.setLoadCount(file.loadableGroups());
    if (file.readGroups(palette) != status::Ok)
        return file.error();
    if (groups)
        *groups = file.loadableGroups();
    if (kind)
        *kind = file.kind();
    return status::Ok;
}

// Reads the page of a picture file; `page` counts from 1, 0 for the first.
// A page beyond the file's pages is reported with `pageCount`.
Status loadPicture(const std::string& path, int page, Conversion& conversion, int& pageCount) {
    conversion.document =
        CreateFormatFor(path, conversion.paletteLoaded ? conversion.palette.current() : nullptr);
    GraphicFile& file = *conversion.document;
    if (const Status s = file.readHeader(); s != status::Ok)
        return s;
    pageCount = file.pageCount();
    if (page > pageCount)
        return status::Ok;
    file.setPage(page > 0 ? page - 1 : 0);
    if (const Status s = file.selectPage(); s != status::Ok)
        return s;
    conversion.picture = file.readImage();
    if (!conversion.picture)
        return file.error() != status::Ok ? file.error() : status::ReadError;
    conversion.mask = file.takeMask();
    if (const auto* cell = dynamic_cast<const KissCellFile*>(&file)) {
        conversion.cellKind = cell->kind();
        conversion.cellOffsetX = cell->offsetX();
        conversion.cellOffsetY = cell->offsetY();
    }
    return status::Ok;
}

// Shows how far a reduction has come, on a terminal only and only once it
// has taken a moment.
ProgressFunction reductionProgress() {
    if (!isatty(STDERR_FILENO))
        return {};
    struct State {
        std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
        int shown = -1;
    };
    auto state = std::make_shared<State>();
    return [state](long long done, long long total) {
        const bool finished = done >= total;
        if (state->shown < 0 && (finished || std::chrono::steady_clock::now() - state->start <
                                                 std::chrono::milliseconds(300)))
            return;
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
        if (percent != state->shown) {
            state->shown = percent;
            std::fprintf(stderr, "\rceldo-convert: reducing colours %3d%%", percent);
            if (finished)
                std::fputc('\n', stderr);
            std::fflush(stderr);
        }
    };
}

Status savePalette(const std::string& path, const Arguments& arguments, Conversion& conversion) {
    KissPaletteFile file(path);
    file.setKind(conversion.cellKind);
    if (conversion.picture) {
        // A picture's own colours become one group of the palette file.
        if (conversion.picture->bitsPerPixel() > 8)
            return status::DepthNotSavable;
        const int group = conversion.palette.currentGroup();
        std::copy_n(conversion.picture->palette(), PaletteSet::GroupSize,
                    conversion.palette.group(group));
        file.setReadPosition(group);
        file.setGroupCount(1);
    } else {
        file.setReadPosition(0);
        file.setGroupCount(std::max(conversion.paletteGroups, 1));
        if (conversion.paletteKind >= 0)
            file.setKind(conversion.paletteKind);
    }
    if (arguments.kind != Kind::Default)
        file.setKind(static_cast<int>(arguments.kind));
    file.setColourSource(&conversion.palette);
    return file.saveWithoutImage();
}

// Tells about the pixels a 2- or 16-colour output cannot hold; true when the
// conversion may go on (none, or a warning without --strict-colours).
bool acceptColourChange(const std::string& path, const GraphicFile& file, const CellImage& picture,
                        bool strict, Conversion& conversion) {
    const int pixels = pixelsChangingColour(file, picture);
    if (pixels == 0)
        return true;
    const int colours = 1 << savedIndexBits(file);
    const std::string change = std::to_string(pixels) +
                               (pixels == 1 ? " pixel changes" : " pixels change") +
                               " colour (indices beyond " + std::to_string(colours) + " colours)";
    if (strict) {
        conversion.Report(path, change + "; nothing written");
        return false;
    }
    conversion.Report(path, "warning: " + change);
    return true;
}

// The editor's "save as" with the command line's options.  `refused` is set
// when --strict-colours stopped the save.
Status savePicture(const std::string& path, const std::string& format, const Arguments& arguments,
                   Conversion& conversion, bool& refused) {
    const CellImage* picture = conversion.picture.get();
    const CellImage* mask = conversion.mask.get();
    CellImagePtr converted;
    if (format == "CEL") {
        if (arguments.kind == Kind::TrueColour && picture->bitsPerPixel() <= 8) {
            converted = conversion.picture->ConvertTo24();
            if (!converted)
                return status::OutOfMemory;
            mask = nullptr;
        } else if (picture->bitsPerPixel() < 8) {
            // Cells hold one index a byte; the editor widens the same way.
            converted = conversion.picture->ConvertTo8(
                conversion.paletteLoaded ? conversion.palette.current() : nullptr);
            if (!converted)
                return status::OutOfMemory;
        }
        if (converted)
            picture = converted.get();
        // An indexed kind was asked for: true colour needs --reduce first.
        if (arguments.kind != Kind::Default && arguments.kind != Kind::TrueColour &&
            picture->bitsPerPixel() == 24)
            return status::DepthNotSavable;
    }

    std::unique_ptr<GraphicFile> file = CreateFormatFor(path);
    if (const Status s = file->checkSavable(*picture); s != status::Ok)
        return s;
    file->setFromImage(*picture);
    auto* cell = dynamic_cast<KissCellFile*>(file.get());
    if (cell) {
        cell->setKind(conversion.cellKind);
        cell->setOffsets(conversion.cellOffsetX, conversion.cellOffsetY);
    }
    // What the input document itself says (a PNG's depth and offsets) comes
    // before the defaults, and an explicit --kind before both.
    file->setFromDocument(*conversion.document);
    if (cell) {
        if (arguments.kind != Kind::Default && arguments.kind != Kind::TrueColour)
            cell->setKind(static_cast<int>(arguments.kind));
    } else if (auto* bmp = dynamic_cast<BmpFile*>(file.get())) {
        if (arguments.bits)
            bmp->setSaveBits(arguments.bits);
    } else if (auto* mag = dynamic_cast<MagFile*>(file.get())) {
        if (arguments.bits)
            mag->setSaveBits(arguments.bits);
    } else if (auto* icon = dynamic_cast<IconFile*>(file.get())) {
        if (arguments.bits)
            icon->setColours(1 << arguments.bits);
    } else if (auto* png = dynamic_cast<PngFile*>(file.get())) {
        if (arguments.bits)
            png->setSaveBits(arguments.bits);
    }
    if (!acceptColourChange(path, *file, *picture, arguments.strictColours, conversion)) {
        refused = true;
        return status::Ok;
    }
    return file->saveTo(*picture, mask);
}

// The conversion's lines so far, with `code`'s message about `file` last.
ConversionReport failure(Conversion& conversion, const std::string& file, Status code) {
    conversion.Report(file, errorMessageText(code));
    return {false, std::move(conversion.lines)};
}

} // namespace

std::string defaultPalettePath() {
    const AppState app(FrameVariant::MultipleDocument, ProgramDirectory());
    return app.dataFile("DEFAULT.KCF").string();
}

ConversionReport ConvertFile(const std::string& in, const std::string& out,
                             const Arguments& arguments, const std::string& defaultPalette,
                             const ProgressFunction& progress) {
    Conversion conversion;
    const std::string input = readableFormat(in);
    const std::string output = writableFormat(out);
    if (output.empty())
        return failure(conversion, out, status::Unsupported);
    if (isPalette(input) && !isPalette(output))
        return failure(conversion, out, status::Unsupported);

    std::string palettePath = arguments.palette;
    if (palettePath.empty() && arguments.reduce && !isPalette(input))
        palettePath = defaultPalette;
    if (!palettePath.empty()) {
        const Status loaded = readAllGroups(palettePath, conversion.palette, nullptr, nullptr);
        if (loaded != status::Ok)
            return failure(conversion, palettePath, loaded);
        conversion.paletteLoaded = true;
        if (arguments.group >= 0)
            conversion.palette.setCurrentGroup(arguments.group);
    }

    if (isPalette(input)) {
        const Status loaded = readAllGroups(in, conversion.palette, &conversion.paletteGroups,
                                            &conversion.paletteKind);
        if (loaded != status::Ok)
            return failure(conversion, in, loaded);
        const Status saved = savePalette(out, arguments, conversion);
        if (saved != status::Ok)
            return failure(conversion, out, saved);
        return {true, std::move(conversion.lines)};
    }

    int pageCount = 1;
    Status result = loadPicture(in, arguments.page, conversion, pageCount);
    if (result != status::Ok)
        return failure(conversion, in, result);
    if (!conversion.picture) {
        conversion.Report(in, "no page " + std::to_string(arguments.page) + " (the file has " +
                                  std::to_string(pageCount) + ")");
        return {false, std::move(conversion.lines)};
    }

    if (arguments.reduce && conversion.picture->bitsPerPixel() == 24) {
        const ColourConversionSettings settings;
        CellImagePtr reduced = ReduceToGroup(*conversion.picture, conversion.palette.current(),
                                             settings.matchOptions(), progress);
        if (!reduced)
            return failure(conversion, in, status::OutOfMemory);
        conversion.picture = std::move(reduced);
    }

    bool refused = false;
    result = isPalette(output) ? savePalette(out, arguments, conversion)
                               : savePicture(out, output, arguments, conversion, refused);
    if (refused)
        return {false, std::move(conversion.lines)};
    if (result != status::Ok)
        return failure(conversion, out, result);
    return {true, std::move(conversion.lines)};
}

int convert(const Arguments& arguments) {
    // Found only when needed: the editor's settings are located on the way.
    const std::string defaultPalette =
        arguments.reduce && arguments.palette.empty() ? defaultPalettePath() : std::string();
    const ConversionReport report = ConvertFile(arguments.files[0], arguments.files[1], arguments,
                                                defaultPalette, reductionProgress());
    for (const std::string& line : report.lines)
        std::fprintf(stderr, "celdo-convert: %s\n", line.c_str());
    return report.written ? 0 : ExitFailure;
}

} // namespace celdo::convert
