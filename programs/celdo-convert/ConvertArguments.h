#pragma once

#include <string>
#include <vector>

namespace celdo::convert {

inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Kinds of --kind; cells and palettes number old/16/256 as 0/1/2.
enum class Kind { Default = -1, Old = 0, Sixteen = 1, Indexed256 = 2, TrueColour = 3 };

// The command line, as parseArguments found it.
struct Arguments {
    bool info = false;
    bool reduce = false;
    // Refuse a conversion that would change pixels' colours instead of
    // warning about it.
    bool strictColours = false;
    std::string palette;
    int group = -1;
    int bits = 0;
    int page = 0;
    bool pageGiven = false;
    // --render SET.CNF: draw one page of a KiSS set into a PNG file.
    std::string render;
    bool fkissInit = false;
    Kind kind = Kind::Default;
    std::vector<std::string> files;
    // The batch form: --to FORMAT -o DIR, the inputs in `files`.
    std::string to;
    std::string outputFolder;
    bool recursive = false;
    bool overwrite = false;
    // Files converted at once; 0 for one per core.
    int jobs = 0;

    bool batch() const { return !to.empty() || !outputFolder.empty(); }
};

// The extension as the output formats know it: ICO, CUR, MAG, CEL, KCF or
// BMP; "" for an extension no writer claims.
std::string writableFormat(const std::string& path);
// The format a file is read as: palettes by extension, pictures as the
// editor reads them (an unknown extension is tried as BMP).
std::string readableFormat(const std::string& path);
bool isPalette(const std::string& format);

// Returns an exit code for a usage error, -1 after --help, or 0 when the
// arguments are whole.
int parseArguments(int argc, char** argv, Arguments& arguments);

// Prints the program's own message text for `code` about `file`; returns
// the failure exit code.
int reportFailure(const std::string& file, int code);

} // namespace celdo::convert
