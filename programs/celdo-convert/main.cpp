// celdo-convert: converts pictures between the editor's formats (BMP, MAG,
// ICO, CUR, CEL) and palettes (KCF), and prints a file's header.  Files are
// given to the format objects exactly as the editor's load and save dispatch
// gives them (CreateFormatFor), and a save runs the editor's "save as"
// sequence (checkSavable, setFromImage, setFromDocument with the input's
// file) with the options of the command line in place of the options dialog.
// Nothing is asked.

#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/LoadSaveDispatch.h"
#include "app/ProgramDirectory.h"
#include "core/CellImage.h"
#include "formats/BmpFile.h"
#include "formats/GraphicFile.h"
#include "formats/IconFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/MagFile.h"
#include "palette/ColourConversionSettings.h"
#include "palette/PaletteSet.h"
#include "palette/ReduceToGroup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace celdo;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "usage: celdo-convert [options] IN OUT\n"
    "       celdo-convert --info FILE\n"
    "\n"
    "Converts by extension: pictures are read from BMP, MAG, ICO, CUR and CEL and\n"
    "written to any of them; palettes (KCF) are read and written, and a picture's\n"
    "colours can be written as one palette group.  --info prints the file's header\n"
    "as one JSON object.\n"
    "\n"
    "  --palette FILE.KCF  load every group of a palette file first\n"
    "  --group N           the current group (0-9) of that palette\n"
    "  --reduce            reduce a true-colour picture onto the current group\n"
    "                      (DEFAULT.KCF's when no --palette is given)\n"
    "  --bits N            output depth: BMP 1, 4, 8 or 24; MAG 4 or 8;\n"
    "                      ICO and CUR 1, 4 or 8\n"
    "  --page N            the page (image) of an icon or cursor to read, from 1\n"
    "  --kind K            CEL: old, 16, 256 or 32 (true colour with alpha);\n"
    "                      KCF: old, 16 or 256\n"
    "\n"
    "Without --reduce a picture keeps its depth where the output allows it.\n";

// Kinds of --kind; cells and palettes number old/16/256 as 0/1/2.
enum class Kind { Default = -1, Old = 0, Sixteen = 1, Indexed256 = 2, TrueColour = 3 };

// The extension as the output formats know it: ICO, CUR, MAG, CEL, KCF or
// BMP; "" for an extension no writer claims.
std::string writableFormat(const std::string& path) {
    const std::string extension = FileExtension(path);
    for (const char* known : {"BMP", "ICO", "CUR", "MAG", "CEL", "KCF"})
        if (extension == known)
            return extension;
    return {};
}

// The format a file is read as: palettes by extension, pictures as the
// editor reads them (an unknown extension is tried as BMP).
std::string readableFormat(const std::string& path) {
    const std::string format = writableFormat(path);
    return format.empty() ? "BMP" : format;
}

bool isPalette(const std::string& format) { return format == "KCF"; }

// --- JSON -------------------------------------------------------------------

class JsonObject {
public:
    void add(const char* key, long long value) { field(key) += std::to_string(value); }
    void addFlag(const char* key, bool value) { field(key) += value ? "true" : "false"; }
    void add(const char* key, const std::string& value) {
        std::string& out = field(key);
        out += '"';
        for (const unsigned char c : value) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
        out += '"';
    }
    void add(const char* key, const std::vector<JsonObject>& list) {
        std::string& out = field(key);
        out += '[';
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i > 0)
                out += ',';
            out += list[i].text();
        }
        out += ']';
    }
    std::string text() const { return m_text.empty() ? "{}" : m_text + "}"; }

private:
    std::string& field(const char* key) {
        m_text += m_text.empty() ? "{" : ",";
        m_text += '"';
        m_text += key;
        m_text += "\":";
        return m_text;
    }
    std::string m_text;
};

// --- command line --------------------------------------------------------------

struct Arguments {
    bool info = false;
    bool reduce = false;
    std::string palette;
    int group = -1;
    int bits = 0;
    int page = 0;
    Kind kind = Kind::Default;
    std::vector<std::string> files;
};

int usage(const std::string& problem) {
    if (!problem.empty())
        std::fprintf(stderr, "celdo-convert: %s\n", problem.c_str());
    std::fputs(UsageText, stderr);
    return ExitUsage;
}

int failure(const std::string& file, int code) {
    std::fprintf(stderr, "celdo-convert: %s: %s\n", file.c_str(), errorMessageText(code).c_str());
    return ExitFailure;
}

bool parseKind(const std::string& text, Kind& kind) {
    if (text == "old")
        kind = Kind::Old;
    else if (text == "16")
        kind = Kind::Sixteen;
    else if (text == "256")
        kind = Kind::Indexed256;
    else if (text == "32")
        kind = Kind::TrueColour;
    else
        return false;
    return true;
}

bool parseNumber(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return false;
    out = value;
    return true;
}

// The depths --bits may name for an output format.
bool bitsAllowed(const std::string& format, int bits) {
    if (format == "BMP")
        return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    if (format == "MAG")
        return bits == 4 || bits == 8;
    if (format == "ICO" || format == "CUR")
        return bits == 1 || bits == 4 || bits == 8;
    return false;
}

// Returns an exit code for a usage error, -1 after --help, or 0 when the
// arguments are whole.
int parse(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (word == "--help" || word == "-h") {
            std::fputs(UsageText, stdout);
            return -1;
        } else if (word == "--info") {
            arguments.info = true;
        } else if (word == "--reduce") {
            arguments.reduce = true;
        } else if (word == "--palette") {
            if (!value(arguments.palette))
                return usage("--palette needs a file");
        } else if (word == "--group") {
            if (!value(text) || !parseNumber(text, 0, 9, arguments.group))
                return usage("--group needs a group number 0-9");
        } else if (word == "--bits") {
            if (!value(text) || !parseNumber(text, 1, 24, arguments.bits))
                return usage("--bits needs 1, 4, 8 or 24");
        } else if (word == "--page") {
            if (!value(text) || !parseNumber(text, 1, 9999, arguments.page))
                return usage("--page needs a page number from 1");
        } else if (word == "--kind") {
            if (!value(text) || !parseKind(text, arguments.kind))
                return usage("--kind is one of old, 16, 256, 32");
        } else if (word.size() > 1 && word[0] == '-') {
            return usage("unknown option " + word);
        } else {
            arguments.files.push_back(word);
        }
    }
    if (arguments.info) {
        if (arguments.files.size() != 1 || !arguments.palette.empty() || arguments.group >= 0 ||
            arguments.kind != Kind::Default || arguments.bits || arguments.page ||
            arguments.reduce)
            return usage("--info takes one file and no other option");
        return 0;
    }
    if (arguments.files.size() != 2)
        return usage("give one input and one output file");
    if (arguments.group >= 0 && arguments.palette.empty())
        return usage("--group needs --palette");

    const std::string input = readableFormat(arguments.files[0]);
    const std::string output = writableFormat(arguments.files[1]);
    if (arguments.bits && !output.empty() && !bitsAllowed(output, arguments.bits))
        return usage("--bits " + std::to_string(arguments.bits) + " cannot be written as " +
                     output);
    if (arguments.kind != Kind::Default && !output.empty() && output != "CEL" && output != "KCF")
        return usage("--kind is for CEL and KCF files");
    if (arguments.kind == Kind::TrueColour && output == "KCF")
        return usage("--kind 32 is for pictures only");
    if (arguments.page && isPalette(input))
        return usage("--page is for pictures");
    return 0;
}

// --- loading -------------------------------------------------------------------

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

// --- saving --------------------------------------------------------------------

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

// The editor's "save as" with the command line's options.
Status savePicture(const std::string& path, const std::string& format,
                   const Arguments& arguments, Conversion& conversion) {
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
    }
    return file->saveTo(*picture, mask);
}

int convert(const Arguments& arguments) {
    const std::string& in = arguments.files[0];
    const std::string& out = arguments.files[1];
    const std::string input = readableFormat(in);
    const std::string output = writableFormat(out);
    if (output.empty())
        return failure(out, status::Unsupported);
    if (isPalette(input) && !isPalette(output))
        return failure(out, status::Unsupported);

    Conversion conversion;
    std::string palettePath = arguments.palette;
    if (palettePath.empty() && arguments.reduce && !isPalette(input))
        palettePath = defaultPalettePath();
    if (!palettePath.empty()) {
        const Status loaded = readAllGroups(palettePath, conversion.palette, nullptr, nullptr);
        if (loaded != status::Ok)
            return failure(palettePath, loaded);
        conversion.paletteLoaded = true;
        if (arguments.group >= 0)
            conversion.palette.setCurrentGroup(arguments.group);
    }

    if (isPalette(input)) {
        const Status loaded = readAllGroups(in, conversion.palette, &conversion.paletteGroups,
                                            &conversion.paletteKind);
        if (loaded != status::Ok)
            return failure(in, loaded);
        const Status saved = savePalette(out, arguments, conversion);
        return saved == status::Ok ? 0 : failure(out, saved);
    }

    int pageCount = 1;
    Status result = loadPicture(in, arguments.page, conversion, pageCount);
    if (result != status::Ok)
        return failure(in, result);
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
            return failure(in, status::OutOfMemory);
        conversion.picture = std::move(reduced);
    }

    result = isPalette(output) ? savePalette(out, arguments, conversion)
                               : savePicture(out, output, arguments, conversion);
    return result == status::Ok ? 0 : failure(out, result);
}

// --- information ------------------------------------------------------------------

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
        }
        if (result == status::Ok)
            json.add("fileSize", file->fileSize());
    }
    if (result != status::Ok)
        return failure(path, result);
    std::printf("%s\n", json.text().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    const int parsed = parse(argc, argv, arguments);
    if (parsed < 0)
        return 0;
    if (parsed != 0)
        return parsed;
    return arguments.info ? printInfo(arguments.files[0]) : convert(arguments);
}
