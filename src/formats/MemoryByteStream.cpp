#include "formats/MemoryByteStream.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace celdo {

MemoryByteStream::MemoryByteStream(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

MemoryByteStream::MemoryByteStream(std::vector<std::uint8_t>& sink) : m_sink(&sink) {}

bool MemoryByteStream::canRead(std::size_t count) const {
    return m_open && m_position <= size() && count <= size() - m_position;
}

Status MemoryByteStream::read(void* buffer, std::size_t count) {
    if (!canRead(count))
        return status::ReadError;
    if (count > 0)
        std::memcpy(buffer, data() + m_position, count);
    m_position += count;
    return status::Ok;
}

Status MemoryByteStream::readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) {
    // Whatever fits is delivered before the end is reported, as a file does.
    for (std::uint8_t* target : targets)
        if (Status s = read(target, bytesEach); s != status::Ok)
            return s;
    return status::Ok;
}

bool MemoryByteStream::reserve(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() - m_position)
        return false;
    const std::size_t end = m_position + count;
    if (end <= m_sink->size())
        return true;
    try {
        m_sink->resize(end);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

Status MemoryByteStream::write(const void* data, std::size_t count) {
    if (!m_open || !m_sink || !reserve(count))
        return status::WriteError;
    if (count > 0)
        std::memcpy(m_sink->data() + m_position, data, count);
    m_position += count;
    return status::Ok;
}

Status MemoryByteStream::writeFrom(std::span<const std::uint8_t* const> sources,
                                   std::size_t bytesEach) {
    if (!m_open || !m_sink)
        return status::WriteError;
    if (sources.size() > 0 && bytesEach > std::numeric_limits<std::size_t>::max() / sources.size())
        return status::WriteError;
    // One growth for the whole block, then a copy per piece.
    if (!reserve(sources.size() * bytesEach))
        return status::WriteError;
    for (const std::uint8_t* source : sources)
        if (Status s = write(source, bytesEach); s != status::Ok)
            return s;
    return status::Ok;
}

Status MemoryByteStream::seek(long long offset, int origin) {
    if (!m_open)
        return status::SeekError;
    long long base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<long long>(m_position);
    else if (origin == SEEK_END)
        base = static_cast<long long>(size());
    else if (origin != SEEK_SET)
        return status::SeekError;
    if ((offset < 0 && base < -offset) ||
        (offset > 0 && base > std::numeric_limits<long long>::max() - offset))
        return status::SeekError;
    m_position = static_cast<std::size_t>(base + offset);
    return status::Ok;
}

Status MemoryByteStream::close() {
    m_open = false;
    return status::Ok;
}

} // namespace celdo
