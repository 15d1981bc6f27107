#pragma once

#include <string>

namespace celdo::convert {

// --info: prints the file's header fields as one JSON object on standard
// output; the exit code.
int printInfo(const std::string& path);

} // namespace celdo::convert
