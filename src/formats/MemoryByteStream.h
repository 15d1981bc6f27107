#pragma once

#include "formats/ByteStream.h"

#include <vector>

namespace celdo {

// A byte stream over memory: either bytes to read, which must outlive the
// stream, or a vector the stream writes into (and reads back from), growing
// it as needed.  Reads and writes are plain copies.
class MemoryByteStream : public ByteStream {
public:
    explicit MemoryByteStream(std::span<const std::uint8_t> bytes);
    explicit MemoryByteStream(std::vector<std::uint8_t>& sink);

    Status read(void* buffer, std::size_t count) override;
    Status readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) override;
    Status write(const void* data, std::size_t count) override;
    Status writeFrom(std::span<const std::uint8_t* const> sources, std::size_t bytesEach) override;
    // A position past the end is allowed, as in a file: reading there fails,
    // writing there fills the gap with zeros.
    Status seek(long long offset, int origin) override;
    Status close() override;
    long long position() const override { return static_cast<long long>(m_position); }

private:
    const std::uint8_t* data() const { return m_sink ? m_sink->data() : m_bytes.data(); }
    std::size_t size() const { return m_sink ? m_sink->size() : m_bytes.size(); }
    bool canRead(std::size_t count) const;
    // Makes room for `count` bytes at the position; false when memory runs out.
    bool reserve(std::size_t count);

    std::span<const std::uint8_t> m_bytes;
    std::vector<std::uint8_t>* m_sink = nullptr;
    std::size_t m_position = 0;
    bool m_open = true;
};

} // namespace celdo
