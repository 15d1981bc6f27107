#pragma once

#include "core/Status.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace celdo {

// The bytes a format object reads and writes: an open file or a block of
// memory.  Every failure is one of the fixed status codes and nothing is
// thrown, so the formats run the same code whatever lies underneath.  End of
// data during a read is a read error (0x4002), never a short success.
class ByteStream {
public:
    ByteStream() = default;
    virtual ~ByteStream() = default;
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    // Reads exactly `count` bytes.
    virtual Status read(void* buffer, std::size_t count) = 0;
    // Reads `bytesEach` bytes into each target in turn, as that many read
    // calls would.
    virtual Status readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) = 0;
    virtual Status write(const void* data, std::size_t count) = 0;
    // Writes `bytesEach` bytes from each source in turn, as that many write
    // calls would.
    virtual Status writeFrom(std::span<const std::uint8_t* const> sources,
                             std::size_t bytesEach) = 0;
    // origin: SEEK_SET, SEEK_CUR or SEEK_END.  On failure the position stays.
    virtual Status seek(long long offset, int origin) = 0;
    // Writes out whatever is still held back; the stream is unusable after.
    virtual Status close() = 0;
    // Writes out pending bytes and makes them durable; 0x4003 when that
    // fails.  Streams with nothing beneath them have nothing to do.
    virtual Status sync() { return 0; }
    virtual long long position() const = 0;
};

} // namespace celdo
