#pragma once

#include <cstddef>
#include <string>

namespace celdo {

// The one extension rule of the program, for the format table, mask files
// and the converter: the extension is the text after the last "." of the
// file name without its directory, so "doll.v2.cel" is a cell.  A dot that
// starts the name marks a hidden file, not an extension.

// Position in `path` of the dot that starts the extension, or npos.
std::size_t extensionDot(const std::string& path);
// The extension in upper case ("" without one).
std::string FileExtension(const std::string& path);

} // namespace celdo
