#pragma once

#include <cstdint>

namespace celdo::littleEndian {

// Fields of file headers held in memory, least significant byte first.

inline std::uint16_t word(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// A 16-bit field read as a signed value (sizes and offsets of KiSS files).
inline int signedWord(const std::uint8_t* p) {
    return static_cast<std::int16_t>(word(p));
}

inline std::uint32_t dword(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Stores the low 16 bits of v.
inline void putWord(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void putDword(std::uint8_t* p, std::uint32_t v) {
    putWord(p, v);
    putWord(p + 2, v >> 16);
}

} // namespace celdo::littleEndian
