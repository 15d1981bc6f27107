#pragma once

#include "core/FileExtension.h"

#include <string>
#include <vector>

namespace celdo {

// One word of the command line or one dropped file.  Each argument is one
// word, so names may contain blanks, "-" and "/".  A word is an option when
// it starts with "-" or is "/CB" in any case; every other word is a file
// name: a palette when its extension is KCF, a KiSS set when it is CNF.
struct CommandWord {
    enum class Kind { Option, Palette, Image, Set };
    Kind kind = Kind::Image;
    std::string text;
};

CommandWord ClassifyWord(const std::string& word);
// Classifies arguments 1..argc-1 (the program name is skipped); empty
// arguments are no words.  Relative file names are made absolute against the
// working directory.
std::vector<CommandWord> ParseCommandLine(int argc, const char* const* argv);
std::vector<CommandWord> ParseWords(const std::vector<std::string>& words);

// "/CB" or "-CB" in any case: open the clipboard picture after start-up.
bool IsClipboardOption(const CommandWord& word);

// What the single-document build does with its words: the first image opens
// in this instance; each further image starts another instance with the
// arguments given; then the palette (if any) is loaded; the clipboard option
// opens the clipboard picture last.
struct SingleDocumentStart {
    std::string firstImage;
    std::string palette;
    // Argument lists (after the program name) of the further instances: the
    // image, followed by the palette when the image's extension is CEL.
    std::vector<std::vector<std::string>> instances;
    bool openClipboard = false;
    // KiSS sets, each opened in a set window of this instance.
    std::vector<std::string> sets;
};

// `lastPaletteWins`: dropped files take the last KCF file as the palette,
// the command line takes the first.
SingleDocumentStart PlanSingleDocument(const std::vector<CommandWord>& words,
                                       bool lastPaletteWins = false);

} // namespace celdo
