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

// The palette the editor starts with: DEFAULT.KCF where the editor finds it.
std::string defaultPalettePath() {
    const AppState app(FrameVariant::MultipleDocument, ProgramDirectory());
    return app.dataFile("DEFAULT.KCF").string();
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
                        bool strict) {
    const int pixels = pixelsChangingColour(file, picture);
    if (pixels == 0)
        return true;
    const int colours = 1 << savedIndexBits(file);
    const char* what = pixels == 1 ? "pixel changes" : "pixels change";
    if (strict) {
        std::fprintf(stderr,
                     "celdo-convert: %s: %d %s colour (indices beyond %d colours); "
                     "nothing written\n",
                     path.c_str(), pixels, what, colours);
        return false;
    }
    std::fprintf(stderr, "celdo-convert: %s: warning: %d %s colour (indices beyond %d colours)\n",
                 path.c_str(), pixels, what, colours);
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
    file->setFromDocument(*conversion.document);
    if (auto* cell = dynamic_cast<KissCellFile*>(file.get())) {
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
    if (!acceptColourChange(path, *file, *picture, arguments.strictColours)) {
        refused = true;
        return status::Ok;
    }
    return file->saveTo(*picture, mask);
}

} // namespace

int convert(const Arguments& arguments) {
    const std::string& in = arguments.files[0];
    const std::string& out = arguments.files[1];
    const std::string input = readableFormat(in);
    const std::string output = writableFormat(out);
    if (output.empty())
        return reportFailure(out, status::Unsupported);
    if (isPalette(input) && !isPalette(output))
        return reportFailure(out, status::Unsupported);

    Conversion conversion;
    std::string palettePath = arguments.palette;
    if (palettePath.empty() && arguments.reduce && !isPalette(input))
        palettePath = defaultPalettePath();
    if (!palettePath.empty()) {
        const Status loaded = readAllGroups(palettePath, conversion.palette, nullptr, nullptr);
        if (loaded != status::Ok)
            return reportFailure(palettePath, loaded);
        conversion.paletteLoaded = true;
        if (arguments.group >= 0)
            conversion.palette.setCurrentGroup(arguments.group);
    }

    if (isPalette(input)) {
        const Status loaded = readAllGroups(in, conversion.palette, &conversion.paletteGroups,
                                            &conversion.paletteKind);
        if (loaded != status::Ok)
            return reportFailure(in, loaded);
        const Status saved = savePalette(out, arguments, conversion);
        return saved == status::Ok ? 0 : reportFailure(out, saved);
    }

    int pageCount = 1;
    Status result = loadPicture(in, arguments.page, conversion, pageCount);
    if (result != status::Ok)
        return reportFailure(in, result);
    if (!conversion.picture) {
        std::fprintf(stderr, "celdo-convert: %s: no page %d (the file has %d)\n", in.c_str(),
                     arguments.page, pageCount);
        return ExitFailure;
    }

    if (arguments.reduce && conversion.picture->bitsPerPixel() == 24) {
        const ColourConversionSettings settings;
        CellImagePtr reduced = ReduceToGroup(*conversion.picture, conversion.palette.current(),
                                             settings.matchOptions(), reductionProgress());
        if (!reduced)
            return reportFailure(in, status::OutOfMemory);
        conversion.picture = std::move(reduced);
    }

    bool refused = false;
    result = isPalette(output) ? savePalette(out, arguments, conversion)
                               : savePicture(out, output, arguments, conversion, refused);
    if (refused)
        return ExitFailure;
    return result == status::Ok ? 0 : reportFailure(out, result);
}

} // namespace celdo::convert
