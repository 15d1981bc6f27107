#include "app/CommandLine.h"

#include <filesystem>
#include <system_error>

namespace celdo {

namespace {

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

CommandWord ClassifyWord(const std::string& word) {
    CommandWord result;
    result.text = word;
    if (!word.empty() && (word.front() == '-' || upper(word) == "/CB"))
        result.kind = CommandWord::Kind::Option;
    else if (FileExtension(word) == "KCF")
        result.kind = CommandWord::Kind::Palette;
    else if (FileExtension(word) == "CNF")
        result.kind = CommandWord::Kind::Set;
    else
        result.kind = CommandWord::Kind::Image;
    return result;
}

std::vector<CommandWord> ParseWords(const std::vector<std::string>& words) {
    std::vector<CommandWord> result;
    for (const auto& word : words)
        if (!word.empty())
            result.push_back(ClassifyWord(word));
    return result;
}

std::vector<CommandWord> ParseCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        if (argv[i])
            words.emplace_back(argv[i]);
    auto result = ParseWords(words);
    // File names go into the histories and to further instances, which may
    // run from another directory: keep them whole from here on.
    for (CommandWord& word : result) {
        if (word.kind == CommandWord::Kind::Option)
            continue;
        std::error_code error;
        const auto full = std::filesystem::absolute(word.text, error);
        if (!error)
            word.text = full.lexically_normal().string();
    }
    return result;
}

bool IsClipboardOption(const CommandWord& word) {
    return word.kind == CommandWord::Kind::Option && word.text.size() == 3 &&
           upper(word.text.substr(1)) == "CB";
}

SingleDocumentStart PlanSingleDocument(const std::vector<CommandWord>& words,
                                       bool lastPaletteWins) {
    SingleDocumentStart plan;
    std::vector<std::string> images;
    for (const auto& word : words) {
        switch (word.kind) {
        case CommandWord::Kind::Option:
            if (IsClipboardOption(word))
                plan.openClipboard = true;
            break;
        case CommandWord::Kind::Palette:
            if (plan.palette.empty() || lastPaletteWins)
                plan.palette = word.text;
            break;
        case CommandWord::Kind::Image:
            images.push_back(word.text);
            break;
        case CommandWord::Kind::Set:
            // The set window opens the set's cells itself; further sets are
            // further set windows of this instance.
            plan.sets.push_back(word.text);
            break;
        }
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (i == 0) {
            plan.firstImage = images[i];
            continue;
        }
        std::vector<std::string> arguments{images[i]};
        if (!plan.palette.empty() && FileExtension(images[i]) == "CEL")
            arguments.push_back(plan.palette);
        plan.instances.push_back(std::move(arguments));
    }
    return plan;
}

} // namespace celdo
