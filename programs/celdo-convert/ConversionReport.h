#pragma once

#include <string>
#include <vector>

namespace celdo::convert {

// What converting one file came to: whether the output was written, and what
// the program has to say about it in the order it happened (warnings, then
// the failure), each line beginning with the file it is about.
struct ConversionReport {
    bool written = false;
    std::vector<std::string> lines;
};

} // namespace celdo::convert
