#pragma once

#include <string>
#include <vector>

namespace celdo::convert {

// What became of one file of a batch.
enum class BatchOutcome { Pending, Converted, Skipped, Failed };

// One input of a batch, its output and what the program says about it.
struct BatchFile {
    std::string in;
    std::string out;
    BatchOutcome outcome = BatchOutcome::Pending;
    std::vector<std::string> lines;
};

} // namespace celdo::convert
