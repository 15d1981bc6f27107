#include "formats/FileByteStream.h"

#include "formats/SaveIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace celdo {

namespace {

// How far a scattered transfer of equal pieces has come: the piece being
// moved and the bytes of it already moved.
struct PieceCursor {
    std::size_t count;
    std::size_t each;
    std::size_t index = 0;
    std::size_t done = 0;

    bool finished() const { return index >= count; }
    void advance(std::size_t bytes) {
        while (bytes > 0) {
            const std::size_t room = each - done;
            if (bytes < room) {
                done += bytes;
                return;
            }
            bytes -= room;
            ++index;
            done = 0;
        }
    }
    // The rest of the pieces as one system call takes them.
    template <typename Byte>
    void fill(std::vector<iovec>& parts, std::span<Byte* const> bases) const {
        parts.clear();
        for (std::size_t i = index; i < count && parts.size() < IOV_MAX; ++i) {
            const std::size_t skip = i == index ? done : 0;
            parts.push_back({const_cast<std::uint8_t*>(bases[i]) + skip, each - skip});
        }
    }
};

} // namespace

std::unique_ptr<FileByteStream> FileByteStream::open(const std::string& path, char mode,
                                                     bool buffered) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case 'R':
        flags |= O_RDONLY;
        break;
    case 'U':
        flags |= O_RDWR;
        break;
    case 'W':
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    default:
        return nullptr;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileByteStream>(fd, mode, buffered);
}

FileByteStream::FileByteStream(int fd, char mode, bool buffered)
    : m_fd(fd), m_mode(mode), m_buffered(buffered) {
    if (buffered)
        m_buffer.resize(BufferSize);
}

FileByteStream::~FileByteStream() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Status FileByteStream::close() {
    if (m_fd < 0)
        return status::Ok;
    Status result = status::Ok;
    if (m_mode != 'R' && flushPending() != status::Ok)
        result = status::WriteError;
    if (m_mode == 'R') {
        ::close(m_fd);
    } else if (SaveIo::current().close(m_fd) != 0) {
        result = status::WriteError;
    }
    m_fd = -1;
    m_bytesLeft = m_bytesPending = 0;
    return result;
}

Status FileByteStream::sync() {
    if (m_fd < 0 || m_mode == 'R')
        return status::WriteError;
    if (flushPending() != status::Ok)
        return status::WriteError;
    return SaveIo::current().fsync(m_fd) == 0 ? status::Ok : status::WriteError;
}

Status FileByteStream::writeAll(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        const ssize_t written = SaveIo::current().write(m_fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return status::WriteError;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return status::Ok;
}

Status FileByteStream::flushPending() {
    if (m_bytesPending == 0)
        return status::Ok;
    const std::size_t pending = m_bytesPending;
    m_bytesPending = 0;
    return writeAll(m_buffer.data(), pending);
}

void FileByteStream::dropReadBuffer() {
    if (m_bytesLeft > 0)
        ::lseek(m_fd, m_position, SEEK_SET);
    m_bytesLeft = 0;
    m_readOffset = 0;
}

Status FileByteStream::seek(long long offset, int origin) {
    if (m_fd < 0)
        return status::SeekError;
    if (flushPending() != status::Ok)
        return status::WriteError;
    if (origin == SEEK_CUR) {
        // The kernel's position may be ahead of ours by the read buffer.
        offset += m_position;
        origin = SEEK_SET;
    }
    m_bytesLeft = 0;
    m_readOffset = 0;
    const off_t result = ::lseek(m_fd, static_cast<off_t>(offset), origin);
    if (result < 0) {
        ::lseek(m_fd, m_position, SEEK_SET);
        return status::SeekError;
    }
    m_position = result;
    return status::Ok;
}

Status FileByteStream::readDirect(std::uint8_t*& out, std::size_t& count) {
    ssize_t got;
    do
        got = ::read(m_fd, out, count);
    while (got < 0 && errno == EINTR);
    if (got <= 0)
        return status::ReadError;
    out += got;
    count -= static_cast<std::size_t>(got);
    m_position += got;
    return status::Ok;
}

Status FileByteStream::read(void* buffer, std::size_t count) {
    if (m_fd < 0)
        return status::ReadError;
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (!m_buffered) {
        while (count > 0)
            if (readDirect(out, count) != status::Ok)
                return status::ReadError;
        return status::Ok;
    }
    if (m_bytesPending > 0 && flushPending() != status::Ok)
        return status::WriteError;
    while (count > 0) {
        if (m_bytesLeft == 0) {
            // Large reads go straight into the caller's memory.
            if (count >= m_buffer.size()) {
                if (readDirect(out, count) != status::Ok)
                    return status::ReadError;
                continue;
            }
            ssize_t got;
            do
                got = ::read(m_fd, m_buffer.data(), m_buffer.size());
            while (got < 0 && errno == EINTR);
            if (got <= 0)
                return status::ReadError;
            m_readOffset = 0;
            m_bytesLeft = static_cast<std::size_t>(got);
        }
        const std::size_t take = std::min(count, m_bytesLeft);
        std::memcpy(out, m_buffer.data() + m_readOffset, take);
        out += take;
        count -= take;
        m_readOffset += take;
        m_bytesLeft -= take;
        m_position += static_cast<long long>(take);
    }
    return status::Ok;
}

Status FileByteStream::readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) {
    if (m_fd < 0)
        return status::ReadError;
    if (bytesEach == 0 || targets.empty())
        return status::Ok;
    if (m_bytesPending > 0 && flushPending() != status::Ok)
        return status::WriteError;
    PieceCursor cursor{targets.size(), bytesEach};
    // What the buffer already holds comes first.
    while (!cursor.finished() && m_bytesLeft > 0) {
        const std::size_t take = std::min(bytesEach - cursor.done, m_bytesLeft);
        std::memcpy(targets[cursor.index] + cursor.done, m_buffer.data() + m_readOffset, take);
        m_readOffset += take;
        m_bytesLeft -= take;
        m_position += static_cast<long long>(take);
        cursor.advance(take);
    }
    std::vector<iovec> parts;
    while (!cursor.finished()) {
        cursor.fill(parts, targets);
        const ssize_t got = ::readv(m_fd, parts.data(), static_cast<int>(parts.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return status::ReadError;
        m_position += got;
        cursor.advance(static_cast<std::size_t>(got));
    }
    return status::Ok;
}

Status FileByteStream::writeFrom(std::span<const std::uint8_t* const> sources,
                                 std::size_t bytesEach) {
    if (m_fd < 0 || m_mode == 'R')
        return status::WriteError;
    if (bytesEach == 0 || sources.empty())
        return status::Ok;
    if (m_bytesLeft > 0)
        dropReadBuffer();
    if (flushPending() != status::Ok)
        return status::WriteError;
    PieceCursor cursor{sources.size(), bytesEach};
    std::vector<iovec> parts;
    while (!cursor.finished()) {
        cursor.fill(parts, sources);
        const ssize_t put =
            SaveIo::current().writev(m_fd, parts.data(), static_cast<int>(parts.size()));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return status::WriteError;
        m_position += put;
        cursor.advance(static_cast<std::size_t>(put));
    }
    return status::Ok;
}

Status FileByteStream::write(const void* data, std::size_t count) {
    if (m_fd < 0 || m_mode == 'R')
        return status::WriteError;
    const auto* in = static_cast<const std::uint8_t*>(data);
    if (!m_buffered) {
        if (writeAll(in, count) != status::Ok)
            return status::WriteError;
        m_position += static_cast<long long>(count);
        return status::Ok;
    }
    if (m_bytesLeft > 0)
        dropReadBuffer();
    while (count > 0) {
        if (m_bytesPending == 0 && count >= m_buffer.size()) {
            if (writeAll(in, count) != status::Ok)
                return status::WriteError;
            m_position += static_cast<long long>(count);
            return status::Ok;
        }
        const std::size_t take = std::min(count, m_buffer.size() - m_bytesPending);
        std::memcpy(m_buffer.data() + m_bytesPending, in, take);
        m_bytesPending += take;
        in += take;
        count -= take;
        m_position += static_cast<long long>(take);
        if (m_bytesPending == m_buffer.size() && flushPending() != status::Ok)
            return status::WriteError;
    }
    return status::Ok;
}

} // namespace celdo
