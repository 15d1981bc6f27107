// celdo-convert: converts KiSS cells and palettes on the command line, and
// prints a file's header.  The formats are chosen by extension through one
// table, so further formats join by adding a row.  Nothing is asked: saves
// use each format object's defaults plus the options given.

#include "core/CellImage.h"
#include "formats/GraphicFile.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "palette/PaletteSet.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace celdo;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "usage: celdo-convert [--palette FILE.KCF] [--group N] [--kind old|16|256|32] IN OUT\n"
    "       celdo-convert --info FILE\n"
    "\n"
    "Converts by the output's extension (CEL, KCF).  --palette loads every group of a\n"
    "palette file first and --group (0-9) picks the group that indexed cells are read\n"
    "with.  --kind picks the output kind: old, 16 or 256 colours, or 32 (true colour\n"
    "with alpha, cells only).  --info prints the file's header as one JSON object.\n";

// Output kinds of --kind; cells and palettes number old/16/256 as 0/1/2.
enum class Kind { Default = -1, Old = 0, Sixteen = 1, Indexed256 = 2, TrueColour = 3 };

// What one conversion carries from the input to the output.
struct Conversion {
    PaletteSet palette;
    bool paletteLoaded = false;
    Kind kind = Kind::Default;
    CellImagePtr picture;
    CellImagePtr mask;
    // Set when the input was a palette file.
    int paletteGroups = 0;
    int paletteKind = -1;
};

// --- JSON -------------------------------------------------------------------

class JsonObject {
public:
    void add(const char* key, long long value) { field(key) += std::to_string(value); }
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
    std::string text() const { return m_text + "}"; }

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

// --- the formats --------------------------------------------------------------

Status loadCell(const std::string& path, Conversion& conversion) {
    KissCellFile file(path);
    if (conversion.paletteLoaded)
        file.setSourcePalette(conversion.palette.current());
    if (file.readHeader() != status::Ok)
        return file.error();
    conversion.picture = file.readImage();
    if (!conversion.picture)
        return file.error();
    conversion.mask = file.takeMask();
    return status::Ok;
}

Status saveCell(const std::string& path, Conversion& conversion) {
    if (!conversion.picture)
        return status::Unsupported;
    const CellImage* picture = conversion.picture.get();
    const CellImage* mask = conversion.mask.get();
    CellImagePtr trueColour;
    if (conversion.kind == Kind::TrueColour && picture->bitsPerPixel() <= 8) {
        trueColour = picture->ConvertTo24();
        if (!trueColour)
            return status::OutOfMemory;
        picture = trueColour.get();
        mask = nullptr;
    }
    // Reducing true colour to a colour group is the editor's business.
    if (picture->bitsPerPixel() == 24 && conversion.kind != Kind::Default &&
        conversion.kind != Kind::TrueColour)
        return status::DepthNotSavable;
    // Kind and offsets default to those of the cell just read.
    KissCellFile file(path);
    if (conversion.kind != Kind::Default && conversion.kind != Kind::TrueColour)
        file.setKind(static_cast<int>(conversion.kind));
    file.setFromImage(*picture);
    return file.saveTo(*picture, mask);
}

Status cellInfo(const std::string& path, JsonObject& json) {
    KissCellFile file(path);
    if (file.readHeader() != status::Ok)
        return file.error();
    json.add("kind", file.kind());
    json.add("kindText", KissCellFile::kindText(file.kind(), file.bitsPerPixel()));
    json.add("width", file.width());
    json.add("height", file.height());
    json.add("bits", file.bitsPerPixel());
    json.add("offsetX", file.offsetX());
    json.add("offsetY", file.offsetY());
    json.add("dataOffset", file.dataOffset());
    json.add("dataSize", file.dataSize());
    json.add("fileSize", file.fileSize());
    return status::Ok;
}

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

Status loadPalette(const std::string& path, Conversion& conversion) {
    return readAllGroups(path, conversion.palette, &conversion.paletteGroups,
                         &conversion.paletteKind);
}

Status savePalette(const std::string& path, Conversion& conversion) {
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
    if (conversion.kind != Kind::Default)
        file.setKind(static_cast<int>(conversion.kind));
    file.setColourSource(&conversion.palette);
    return file.saveWithoutImage();
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

struct Format {
    const char* extension;
    const char* typeName;
    Status (*load)(const std::string& path, Conversion& conversion);
    Status (*save)(const std::string& path, Conversion& conversion);
    Status (*info)(const std::string& path, JsonObject& json);
    bool trueColourOutput;
};

const Format Formats[] = {
    {"CEL", "CELL", loadCell, saveCell, cellInfo, true},
    {"KCF", "PALETTE", loadPalette, savePalette, paletteInfo, false},
};

// The extension is the text after the first dot of the file name, in upper
// case ("a.b.cel" gives "B.CEL", which no format claims).
std::string extensionOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension;
}

const Format* formatFor(const std::string& path) {
    const std::string extension = extensionOf(path);
    for (const Format& format : Formats)
        if (extension == format.extension)
            return &format;
    return nullptr;
}

// --- command line --------------------------------------------------------------

struct Arguments {
    bool info = false;
    std::string palette;
    int group = -1;
    Kind kind = Kind::Default;
    std::vector<std::string> files;
};

int usage(const char* problem) {
    if (problem)
        std::fprintf(stderr, "celdo-convert: %s\n", problem);
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

// Returns an exit code for a usage error, or 0 when the arguments are whole.
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
        } else if (word == "--palette") {
            if (!value(arguments.palette))
                return usage("--palette needs a file");
        } else if (word == "--group") {
            if (!value(text) || text.size() != 1 || !std::isdigit(static_cast<unsigned char>(text[0])))
                return usage("--group needs a group number 0-9");
            arguments.group = text[0] - '0';
        } else if (word == "--kind") {
            if (!value(text) || !parseKind(text, arguments.kind))
                return usage("--kind is one of old, 16, 256, 32");
        } else if (word.size() > 1 && word[0] == '-') {
            return usage(("unknown option " + word).c_str());
        } else {
            arguments.files.push_back(word);
        }
    }
    if (arguments.info) {
        if (arguments.files.size() != 1 || !arguments.palette.empty() || arguments.group >= 0 ||
            arguments.kind != Kind::Default)
            return usage("--info takes one file and no other option");
        return 0;
    }
    if (arguments.files.size() != 2)
        return usage("give one input and one output file");
    if (arguments.group >= 0 && arguments.palette.empty())
        return usage("--group needs --palette");
    return 0;
}

int printInfo(const std::string& path) {
    const Format* format = formatFor(path);
    if (!format)
        return failure(path, status::Unsupported);
    JsonObject json;
    const auto slash = path.find_last_of('/');
    json.add("file", slash == std::string::npos ? path : path.substr(slash + 1));
    json.add("format", std::string(format->extension));
    json.add("type", std::string(format->typeName));
    const Status result = format->info(path, json);
    if (result != status::Ok)
        return failure(path, result);
    std::printf("%s\n", json.text().c_str());
    return 0;
}

int convert(const Arguments& arguments) {
    const std::string& in = arguments.files[0];
    const std::string& out = arguments.files[1];
    const Format* input = formatFor(in);
    const Format* output = formatFor(out);
    if (!input)
        return failure(in, status::Unsupported);
    if (!output)
        return failure(out, status::Unsupported);
    if (arguments.kind == Kind::TrueColour && !output->trueColourOutput)
        return usage("--kind 32 is for pictures only");

    Conversion conversion;
    conversion.kind = arguments.kind;
    if (!arguments.palette.empty()) {
        const Status loaded =
            readAllGroups(arguments.palette, conversion.palette, nullptr, nullptr);
        if (loaded != status::Ok)
            return failure(arguments.palette, loaded);
        conversion.paletteLoaded = true;
        if (arguments.group >= 0)
            conversion.palette.setCurrentGroup(arguments.group);
    }
    Status result = input->load(in, conversion);
    if (result != status::Ok)
        return failure(in, result);
    result = output->save(out, conversion);
    if (result != status::Ok)
        return failure(out, result);
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
