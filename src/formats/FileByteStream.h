#pragma once

#include "formats/ByteStream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace celdo {

// A byte stream over an open file descriptor, optionally buffered so that
// the formats can read and write byte by byte.  Scattered reads and gathered
// writes (readInto, writeFrom) bypass the buffer with readv and writev, so
// picture rows move between the file and the picture without a copy.
class FileByteStream : public ByteStream {
public:
    // At least 512 bytes; a larger buffer keeps big pictures fast.
    static constexpr std::size_t BufferSize = 64 * 1024;

    // Opens `path`: mode 'R' read, 'U' read and write, 'W' create or
    // truncate.  Null when the file cannot be opened or is a directory.
    static std::unique_ptr<FileByteStream> open(const std::string& path, char mode, bool buffered);

    // Takes over `fd`, opened for `mode`; it is closed with the stream.
    FileByteStream(int fd, char mode, bool buffered);
    ~FileByteStream() override;

    Status read(void* buffer, std::size_t count) override;
    Status readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) override;
    Status write(const void* data, std::size_t count) override;
    Status writeFrom(std::span<const std::uint8_t* const> sources, std::size_t bytesEach) override;
    Status seek(long long offset, int origin) override;
    // Writes out pending bytes; a failed flush or close of a file opened for
    // writing gives 0x4003.
    Status close() override;
    Status sync() override;
    long long position() const override { return m_position; }

private:
    Status flushPending();
    // One read(2) straight into the caller's memory, retried when a signal
    // interrupts it; advances `out`, `count` and the position.
    Status readDirect(std::uint8_t*& out, std::size_t& count);
    Status writeAll(const void* data, std::size_t count);
    void dropReadBuffer();

    int m_fd;
    char m_mode;
    bool m_buffered;
    std::vector<std::uint8_t> m_buffer;
    long long m_position = 0;
    std::size_t m_readOffset = 0;
    std::size_t m_bytesLeft = 0;
    std::size_t m_bytesPending = 0;
};

} // namespace celdo
