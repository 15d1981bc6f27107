#include "formats/GraphicFile.h"

#include "framework/Ui.h"

#include <algorithm>
#include <atomic>
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

// Temporary names are numbered for the whole program run.
std::atomic<int> temporaryCounter{0};

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status errnoStatus(int error) {
    // Status codes are 16 bits; the run-time library's numbers fit.
    return static_cast<Status>(error & 0x7FFF);
}

} // namespace

GraphicFile::GraphicFile(std::string path)
    : m_path(std::move(path)), m_directory(directoryOf(m_path)), m_name(nameOf(m_path)) {}

GraphicFile::~GraphicFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Status GraphicFile::writeBody() {
    return 1;
}
Status GraphicFile::readHeader() {
    return status::Ok;
}
Status GraphicFile::selectPage() {
    return status::Ok;
}
int GraphicFile::showInfo(Ui&) {
    return 1;
}
CellImagePtr GraphicFile::readImage() {
    return nullptr;
}
CellImagePtr GraphicFile::takeMask() {
    return nullptr;
}
Status GraphicFile::checkSavable(const CellImage&) {
    return status::Ok;
}
int GraphicFile::askSaveOptions(Ui&) {
    return 2;
}
void GraphicFile::setFromImage(const CellImage&) {}
void GraphicFile::setFromDocument(const GraphicFile&) {}

Status GraphicFile::setComment(const std::string& text) {
    if (!text.empty())
        m_comment = text;
    return status::Ok;
}

Status GraphicFile::open(char mode, bool buffered) {
    if (m_fd >= 0)
        return fail(status::AlreadyOpen);
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
        return fail(status::OpenError);
    }
    const int fd = ::open(m_path.c_str(), flags, 0666);
    if (fd < 0)
        return fail(status::OpenError);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return fail(status::OpenError);
    }
    m_fd = fd;
    m_mode = mode;
    m_buffered = buffered;
    if (buffered && m_buffer.size() < BufferSize)
        m_buffer.resize(BufferSize);
    m_position = m_bufferPosition = 0;
    m_readOffset = m_bytesLeft = m_bytesPending = 0;
    return fail(status::Ok);
}

Status GraphicFile::close() {
    if (m_fd < 0)
        return fail(status::Ok);
    Status result = status::Ok;
    if (m_mode != 'R' && flushPending() != status::Ok)
        result = status::WriteError;
    if (::close(m_fd) != 0 && m_mode != 'R')
        result = status::WriteError;
    m_fd = -1;
    m_bytesLeft = m_bytesPending = 0;
    return fail(result);
}

Status GraphicFile::writeAll(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (count > 0) {
        const ssize_t written = ::write(m_fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return status::WriteError;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return status::Ok;
}

Status GraphicFile::flushPending() {
    if (m_bytesPending == 0)
        return status::Ok;
    const std::size_t pending = m_bytesPending;
    m_bytesPending = 0;
    return writeAll(m_buffer.data(), pending);
}

void GraphicFile::dropReadBuffer() {
    if (m_bytesLeft > 0)
        ::lseek(m_fd, m_position, SEEK_SET);
    m_bytesLeft = 0;
    m_readOffset = 0;
}

long long GraphicFile::seek(long long offset, int origin) {
    if (m_fd < 0) {
        fail(status::SeekError);
        return -1;
    }
    if (flushPending() != status::Ok) {
        fail(status::WriteError);
        return -1;
    }
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
        fail(status::SeekError);
        return -1;
    }
    m_position = result;
    m_bufferPosition = result;
    return result;
}

long long GraphicFile::measureFileSize() {
    const long long size = seek(0, SEEK_END);
    if (size < 0 || seek(0, SEEK_SET) < 0) {
        fail(status::SeekError);
        return -1;
    }
    m_fileSize = size;
    return size;
}

Status GraphicFile::read(void* buffer, std::size_t count) {
    if (m_fd < 0)
        return fail(status::ReadError);
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (!m_buffered) {
        while (count > 0) {
            const ssize_t got = ::read(m_fd, out, count);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return fail(status::ReadError);
            out += got;
            count -= static_cast<std::size_t>(got);
            m_position += got;
        }
        return status::Ok;
    }
    if (m_bytesPending > 0 && flushPending() != status::Ok)
        return fail(status::WriteError);
    while (count > 0) {
        if (m_bytesLeft == 0) {
            // Large reads go straight into the caller's memory.
            if (count >= m_buffer.size()) {
                const ssize_t got = ::read(m_fd, out, count);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return fail(status::ReadError);
                out += got;
                count -= static_cast<std::size_t>(got);
                m_position += got;
                m_bufferPosition = m_position;
                continue;
            }
            ssize_t got;
            do
                got = ::read(m_fd, m_buffer.data(), m_buffer.size());
            while (got < 0 && errno == EINTR);
            if (got <= 0)
                return fail(status::ReadError);
            m_bufferPosition = m_position;
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

Status GraphicFile::readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) {
    if (m_fd < 0)
        return fail(status::ReadError);
    if (bytesEach == 0 || targets.empty())
        return status::Ok;
    if (m_bytesPending > 0 && flushPending() != status::Ok)
        return fail(status::WriteError);
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
            return fail(status::ReadError);
        m_position += got;
        m_bufferPosition = m_position;
        cursor.advance(static_cast<std::size_t>(got));
    }
    return status::Ok;
}

Status GraphicFile::writeFrom(std::span<const std::uint8_t* const> sources, std::size_t bytesEach) {
    if (m_fd < 0 || m_mode == 'R')
        return fail(status::WriteError);
    if (bytesEach == 0 || sources.empty())
        return status::Ok;
    if (m_bytesLeft > 0)
        dropReadBuffer();
    if (flushPending() != status::Ok)
        return fail(status::WriteError);
    PieceCursor cursor{sources.size(), bytesEach};
    std::vector<iovec> parts;
    while (!cursor.finished()) {
        cursor.fill(parts, sources);
        const ssize_t put = ::writev(m_fd, parts.data(), static_cast<int>(parts.size()));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return fail(status::WriteError);
        m_position += put;
        cursor.advance(static_cast<std::size_t>(put));
    }
    return status::Ok;
}

Status GraphicFile::write(const void* data, std::size_t count) {
    if (m_fd < 0 || m_mode == 'R')
        return fail(status::WriteError);
    const auto* in = static_cast<const std::uint8_t*>(data);
    if (!m_buffered) {
        if (writeAll(in, count) != status::Ok)
            return fail(status::WriteError);
        m_position += static_cast<long long>(count);
        return status::Ok;
    }
    if (m_bytesLeft > 0)
        dropReadBuffer();
    while (count > 0) {
        if (m_bytesPending == 0 && count >= m_buffer.size()) {
            if (writeAll(in, count) != status::Ok)
                return fail(status::WriteError);
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
            return fail(status::WriteError);
    }
    return status::Ok;
}

Status GraphicFile::writeByte(std::uint8_t value) {
    return write(&value, 1);
}

Status GraphicFile::writeWord(std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                   static_cast<std::uint8_t>(value >> 8)};
    return write(bytes, 2);
}

Status GraphicFile::writeDword(std::uint32_t value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return write(bytes, 4);
}

Status GraphicFile::readByte(std::uint8_t& value) {
    return read(&value, 1);
}

Status GraphicFile::readWord(std::uint16_t& value) {
    std::uint8_t bytes[2];
    const Status s = read(bytes, 2);
    value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
    return s;
}

Status GraphicFile::readDword(std::uint32_t& value) {
    std::uint8_t bytes[4];
    const Status s = read(bytes, 4);
    value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
            (static_cast<std::uint32_t>(bytes[2]) << 16) |
            (static_cast<std::uint32_t>(bytes[3]) << 24);
    return s;
}

Status GraphicFile::writeBodyInto(const std::string& target, bool& created) {
    // `created` tells the caller whether a file now exists under `target`
    // that it must remove on failure; a name that is taken is never touched.
    created = false;
    const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST
                   ? status::AlreadyOpen
                   : (errno == EACCES || errno == EROFS ? status::CannotWrite : status::OpenError);
    created = true;
    m_fd = fd;
    m_mode = 'W';
    m_buffered = true;
    if (m_buffer.size() < BufferSize)
        m_buffer.resize(BufferSize);
    m_position = m_bufferPosition = 0;
    m_readOffset = m_bytesLeft = m_bytesPending = 0;
    Status result = writeBody();
    const Status closed = close();
    if (result == status::Ok)
        result = closed;
    return result;
}

Status GraphicFile::saveTo(const CellImage& image, const CellImage* mask) {
    return safeSave(&image, mask);
}

Status GraphicFile::saveWithoutImage() {
    return safeSave(nullptr, nullptr);
}

Status GraphicFile::safeSave(const CellImage* image, const CellImage* mask) {
    // A handle left from reading the file is stale once we replace it.
    if (m_fd >= 0)
        close();
    m_image = image;
    m_mask = mask;
    struct ImageRelease {
        GraphicFile& file;
        ~ImageRelease() { file.m_image = file.m_mask = nullptr; }
    } release{*this};

    struct stat existing {};
    const bool found = ::stat(m_path.c_str(), &existing) == 0;
    if (found &&
        (S_ISDIR(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         ::access(m_path.c_str(), W_OK) != 0))
        return fail(status::CannotWrite);

    // Even a new file is written under a temporary name first, so an
    // interrupted save never leaves a partial file under the real name.
    const std::string directory = m_directory.empty() ? std::string("./") : m_directory;
    Status result = status::AlreadyOpen;
    bool created = false;
    for (int attempt = 0; attempt < 10000 && !created; ++attempt) {
        char temporaryName[32];
        std::snprintf(temporaryName, sizeof temporaryName, "@@gf%04d.$$$",
                      temporaryCounter.fetch_add(1) % 10000);
        m_temporaryPath = directory + temporaryName;
        result = writeBodyInto(m_temporaryPath, created);
        // Only a taken name is worth another try.
        if (!created && result != status::AlreadyOpen)
            break;
    }
    if (result != status::Ok) {
        if (created)
            ::unlink(m_temporaryPath.c_str());
        return fail(!created && result == status::AlreadyOpen ? status::OpenError : result);
    }
    // The replaced file keeps its permissions; a new one gets the umask's.
    if (found)
        ::chmod(m_temporaryPath.c_str(), existing.st_mode & 07777);
    if (::rename(m_temporaryPath.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_temporaryPath.c_str());
        return fail(errnoStatus(error));
    }
    return fail(status::Ok);
}

std::string errorMessageText(int code) {
    switch (code) {
    case 0:
        return {};
    case status::OutOfMemory:
        return "メモリー不足";
    case status::FormatError:
        return "フォーマット異常";
    case status::CannotWrite:
        return "ファイルに書き込めません";
    case status::SeekError:
        return "シークエラー";
    case status::OpenError:
        return "ファイルオープンエラー";
    case status::ReadError:
        return "読込エラー";
    case status::WriteError:
        return "書込エラー";
    case status::PrintError:
        return "印刷に失敗しました";
    case status::Unsupported:
        return "サポートしてない画像形式です";
    case status::DepthNotSavable:
        return "このビット長の画像はセーブできません";
    case status::SizeNotSavable:
        return "この画像のサイズはセーブできません";
    case status::BadImage:
        return "画像形式に誤りがあります";
    case status::PluginNotLoadable:
        return "プラグインが読込めません";
    default:
        break;
    }
    // The code is widened to 32 bits with its sign, so -1 reads FFFFFFFF.
    char text[40];
    std::snprintf(text, sizeof text, "エラー　%04X", static_cast<std::uint32_t>(code));
    return text;
}

void ShowErrorMessage(Ui& ui, int code) {
    if (code == 0)
        return;
    ui.messageBox(errorMessageText(code), "Celdos", MessageIcon::Information, MessageButtons::Ok);
}

} // namespace celdo
