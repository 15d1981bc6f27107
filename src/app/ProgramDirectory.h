#pragma once

#include <filesystem>

namespace celdo {

// The directory of the running executable; the current directory when it
// cannot be found out.
std::filesystem::path ProgramDirectory();

} // namespace celdo
