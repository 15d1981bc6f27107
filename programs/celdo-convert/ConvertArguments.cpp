#include "ConvertArguments.h"

#include "app/CommandLine.h"
#include "formats/GraphicFile.h"

#include <algorithm>
#include <cstdio>

namespace celdo::convert {

std::string writableFormat(const std::string& path) {
    const std::string extension = FileExtension(path);
    for (const char* known : {"BMP", "ICO", "CUR", "MAG", "CEL", "KCF", "PNG"})
        if (extension == known)
            return extension;
    return {};
}

std::string readableFormat(const std::string& path) {
    const std::string format = writableFormat(path);
    return format.empty() ? "BMP" : format;
}

bool isPalette(const std::string& format) {
    return format == "KCF";
}

int reportFailure(const std::string& file, int code) {
    std::fprintf(stderr, "celdo-convert: %s: %s\n", file.c_str(), errorMessageText(code).c_str());
    return ExitFailure;
}

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "usage: celdo-convert [options] IN OUT\n"
    "       celdo-convert [options] --to FORMAT -o DIR IN...\n"
    "       celdo-convert --info FILE\n"
    "       celdo-convert --render SET.CNF [--page N] [--fkiss-init] OUT.png\n"
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
    "                      ICO and CUR 1, 4 or 8; PNG 4 or 8 (4 only when\n"
    "                      every index is below 16)\n"
    "  --page N            the page (image) of an icon or cursor to read, from 1\n"
    "  --kind K            CEL: old, 16, 256 or 32 (true colour with alpha);\n"
    "                      KCF: old, 16 or 256\n"
    "  --strict-colours    refuse (write nothing) when the output's 2 or 16\n"
    "                      colours cannot hold some pixels' indices\n"
    "\n"
    "Several files: each IN becomes DIR/NAME.FORMAT, with the options above\n"
    "applied to every file.  A folder stands for the pictures in it (for --to KCF\n"
    "its palettes), in the order of their names.\n"
    "  --to FORMAT         the output format, as its extension (BMP, CEL, ...)\n"
    "  -o DIR              the output folder (made when missing)\n"
    "  --recursive         also the files in folders below a folder\n"
    "  --overwrite         replace existing outputs (they are skipped otherwise)\n"
    "  --jobs N            files converted at once (default: one per core)\n"
    "\n"
    "A KiSS set's page (0-9, default 0) is drawn as a viewer shows it, into an\n"
    "RGB PNG file; --fkiss-init hides the cells its script's initialize event\n"
    "unmaps.\n"
    "\n"
    "Without --reduce a picture keeps its depth where the output allows it.  An\n"
    "output of 2 or 16 colours keeps the low bits of each index: the pixels whose\n"
    "colour changes that way are counted in a warning.\n";

int usage(const std::string& problem) {
    if (!problem.empty())
        std::fprintf(stderr, "celdo-convert: %s\n", problem.c_str());
    std::fputs(UsageText, stderr);
    return ExitUsage;
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
    if (format == "MAG" || format == "PNG")
        return bits == 4 || bits == 8;
    if (format == "ICO" || format == "CUR")
        return bits == 1 || bits == 4 || bits == 8;
    return false;
}

// The options checked against the output format and the inputs named on
// the command line.
int checkOptions(const Arguments& arguments, const std::vector<std::string>& inputs,
                 const std::string& output) {
    if (arguments.bits && !output.empty() && !bitsAllowed(output, arguments.bits))
        return usage("--bits " + std::to_string(arguments.bits) + " cannot be written as " +
                     output);
    if (arguments.kind != Kind::Default && !output.empty() && output != "CEL" && output != "KCF")
        return usage("--kind is for CEL and KCF files");
    if (arguments.kind == Kind::TrueColour && output == "KCF")
        return usage("--kind 32 is for pictures only");
    if (arguments.page && std::any_of(inputs.begin(), inputs.end(), [](const std::string& in) {
            return isPalette(readableFormat(in));
        }))
        return usage("--page is for pictures");
    return 0;
}

} // namespace

int parseArguments(int argc, char** argv, Arguments& arguments) {
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
        } else if (word == "--strict-colours") {
            arguments.strictColours = true;
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
            // A set's pages count from 0, an icon's from 1: checked below.
            if (!value(text) || !parseNumber(text, 0, 9999, arguments.page))
                return usage("--page needs a page number");
            arguments.pageGiven = true;
        } else if (word == "--render") {
            if (!value(arguments.render) || arguments.render.empty())
                return usage("--render needs a set's configuration file");
        } else if (word == "--fkiss-init") {
            arguments.fkissInit = true;
        } else if (word == "--kind") {
            if (!value(text) || !parseKind(text, arguments.kind))
                return usage("--kind is one of old, 16, 256, 32");
        } else if (word == "--to") {
            if (!value(text) || text.find_first_of("./") != std::string::npos ||
                writableFormat("x." + text).empty())
                return usage("--to needs an output format");
            arguments.to = text;
        } else if (word == "-o") {
            if (!value(arguments.outputFolder) || arguments.outputFolder.empty())
                return usage("-o needs a folder");
        } else if (word == "--recursive") {
            arguments.recursive = true;
        } else if (word == "--overwrite") {
            arguments.overwrite = true;
        } else if (word == "--jobs") {
            if (!value(text) || !parseNumber(text, 1, 1024, arguments.jobs))
                return usage("--jobs needs a number from 1");
        } else if (word.size() > 1 && word[0] == '-') {
            return usage("unknown option " + word);
        } else {
            arguments.files.push_back(word);
        }
    }
    if (!arguments.render.empty()) {
        if (arguments.info || arguments.reduce || arguments.strictColours ||
            !arguments.palette.empty() || arguments.group >= 0 || arguments.bits ||
            arguments.kind != Kind::Default || arguments.batch() || arguments.recursive ||
            arguments.overwrite || arguments.jobs)
            return usage("--render takes only --page and --fkiss-init");
        if (arguments.files.size() != 1 || writableFormat(arguments.files[0]) != "PNG")
            return usage("--render writes one PNG file");
        if (arguments.page > 9)
            return usage("a set's pages are 0-9");
        return 0;
    }
    if (arguments.fkissInit)
        return usage("--fkiss-init is for --render");
    if (arguments.pageGiven && arguments.page < 1)
        return usage("--page needs a page number from 1");
    if (arguments.info) {
        if (arguments.files.size() != 1 || !arguments.palette.empty() || arguments.group >= 0 ||
            arguments.kind != Kind::Default || arguments.bits || arguments.page ||
            arguments.reduce || arguments.strictColours || arguments.batch() ||
            arguments.recursive || arguments.overwrite || arguments.jobs)
            return usage("--info takes one file and no other option");
        return 0;
    }
    if (arguments.batch()) {
        if (arguments.to.empty() || arguments.outputFolder.empty())
            return usage("several files need both --to and -o");
        if (arguments.files.empty())
            return usage("give at least one input");
        if (arguments.group >= 0 && arguments.palette.empty())
            return usage("--group needs --palette");
        return checkOptions(arguments, arguments.files, writableFormat("x." + arguments.to));
    }
    if (arguments.recursive || arguments.overwrite || arguments.jobs)
        return usage("--recursive, --overwrite and --jobs are for --to FORMAT -o DIR");
    if (arguments.files.size() != 2)
        return usage("give one input and one output file");
    if (arguments.group >= 0 && arguments.palette.empty())
        return usage("--group needs --palette");
    return checkOptions(arguments, {arguments.files[0]}, writableFormat(arguments.files[1]));
}

} // namespace celdo::convert
