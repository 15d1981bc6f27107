#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace celdo {

// Names in configuration files are Shift-JIS bytes: a lead byte's trail may
// be '\' or a letter, which then is neither a separator nor foldable.
inline bool isShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The part after the last '\' or '/'.
inline std::string_view lastPathComponent(std::string_view name) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (isShiftJisLead(c))
            ++i;
        else if (c == '\\' || c == '/')
            start = i + 1;
    }
    return name.substr(std::min(start, name.size()));
}

// ASCII letters in lower case; two-byte characters as they are.
inline std::string foldedName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (isShiftJisLead(c))
            ++i;
        else if (c >= 'A' && c <= 'Z')
            folded[i] = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// Whether two names written in a set name the same file.
inline bool sameFileName(std::string_view a, std::string_view b) {
    return foldedName(lastPathComponent(a)) == foldedName(lastPathComponent(b));
}

} // namespace celdo
