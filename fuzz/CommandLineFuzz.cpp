// Command-line words.  The input is the arguments separated by zero bytes.
// The classification and the single-document plan are checked against the
// rules written in CommandLine.h, worked out here from the words alone.
#include "FuzzSupport.h"

#include "app/CommandLine.h"

#include <string>
#include <vector>

using namespace celdo;
using namespace celdo::fuzz;

namespace {

constexpr std::size_t WordsTried = 64;

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The text after the last dot of the name without its directory, in upper
// case; a dot that starts the name is none.
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        return {};
    return upper(path.substr(dot + 1));
}

bool isOption(const std::string& word) {
    return word.front() == '-' || upper(word) == "/CB";
}

bool isClipboard(const std::string& word) {
    return word.size() == 3 && (word[0] == '-' || word[0] == '/') && upper(word.substr(1)) == "CB";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size && words.size() <= WordsTried; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else
            words.back().push_back(static_cast<char>(data[i]));
    }
    const bool lastPaletteWins = size > 0 && (data[0] & 1);

    const std::vector<CommandWord> parsed = ParseWords(words);
    std::vector<std::string> images;
    std::vector<std::string> sets;
    std::string firstPalette, lastPalette;
    bool clipboard = false;
    std::size_t next = 0;
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        Require(next < parsed.size(), "a word was lost");
        const CommandWord& got = parsed[next++];
        Require(got.text == word, "a word's text changed");
        if (isOption(word)) {
            Require(got.kind == CommandWord::Kind::Option, "an option taken as a file");
            Require(IsClipboardOption(got) == isClipboard(word), "the clipboard option");
            clipboard = clipboard || isClipboard(word);
        } else if (extensionOf(word) == "KCF") {
            Require(got.kind == CommandWord::Kind::Palette, "a palette not taken as one");
            Require(!IsClipboardOption(got), "a palette taken as the clipboard option");
            if (firstPalette.empty())
                firstPalette = word;
            lastPalette = word;
        } else if (extensionOf(word) == "CNF") {
            Require(got.kind == CommandWord::Kind::Set, "a set not taken as one");
            Require(!IsClipboardOption(got), "a set taken as the clipboard option");
            sets.push_back(word);
        } else {
            Require(got.kind == CommandWord::Kind::Image, "a picture not taken as one");
            Require(!IsClipboardOption(got), "a picture taken as the clipboard option");
            images.push_back(word);
        }
    }
    Require(next == parsed.size(), "words were added");

    const SingleDocumentStart plan = PlanSingleDocument(parsed, lastPaletteWins);
    const std::string palette = lastPaletteWins ? lastPalette : firstPalette;
    Require(plan.palette == palette, "the palette of the plan");
    Require(plan.openClipboard == clipboard, "the clipboard in the plan");
    Require(plan.sets == sets, "the sets of the plan");
    Require(plan.firstImage == (images.empty() ? std::string() : images.front()),
            "the first picture of the plan");
    Require(plan.instances.size() == (images.empty() ? 0 : images.size() - 1),
            "the further instances of the plan");
    for (std::size_t i = 0; i < plan.instances.size(); ++i) {
        const std::vector<std::string>& arguments = plan.instances[i];
        const std::string& image = images[i + 1];
        const bool withPalette = !palette.empty() && extensionOf(image) == "CEL";
        Require(arguments.size() == (withPalette ? 2u : 1u) && arguments[0] == image &&
                    (!withPalette || arguments[1] == palette),
                "the arguments of a further instance");
    }

    // The program's own arguments: the same words, file names made whole.
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    const std::vector<CommandWord> started =
        ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    Require(started.size() == parsed.size() - (words.front().empty() ? 0 : 1),
            "the program name was taken as a word");
    const std::size_t skipped = words.front().empty() ? 0 : 1;
    for (std::size_t i = 0; i < started.size(); ++i) {
        const CommandWord& plain = parsed[i + skipped];
        Require(started[i].kind == plain.kind, "a program argument classified otherwise");
        if (plain.kind == CommandWord::Kind::Option)
            Require(started[i].text == plain.text, "an option changed");
        else
            Require(!started[i].text.empty() && started[i].text.front() == '/',
                    "a file name not made whole");
    }
    return 0;
}
