#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace celdo {

// Conversions between the editor's UTF-8 text and the Shift-JIS bytes that
// Japanese file formats of the period store (Windows code page 932, which
// adds the NEC and IBM extensions that period files use).

// Shift-JIS bytes to UTF-8.  Bytes that are not valid Shift-JIS become
// U+FFFD, so a damaged text still shows everything around the damage.
std::string fromShiftJis(std::string_view bytes);

// UTF-8 to Shift-JIS bytes.  Characters that have no Shift-JIS form (and
// malformed UTF-8) become '?'.
std::string toShiftJis(std::string_view utf8);

// The longest prefix of Shift-JIS `bytes` of at most `maxBytes` bytes that
// does not split a double-byte character.
std::string cutShiftJis(std::string_view bytes, std::size_t maxBytes);

// UTF-8 text cut so that its Shift-JIS form takes at most `maxBytes` bytes,
// cut between characters.  Characters without a Shift-JIS form count as the
// one '?' byte they are written as.
std::string fitShiftJis(std::string_view utf8, std::size_t maxBytes);

// Bytes the Shift-JIS form of `utf8` takes.
std::size_t shiftJisLength(std::string_view utf8);

} // namespace celdo
