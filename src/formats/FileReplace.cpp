#include "formats/FileReplace.h"

#include "formats/SaveIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace celdo {

namespace {

std::atomic<unsigned> temporaryCounter{0};

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool writeAll(SaveIo& io, int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

Status ReplaceFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    // Through a symbolic link the file it names is replaced, beside it, and
    // the link stays a link.
    const std::string target = SaveTargetOf(path);
    struct stat existing {};
    const bool found = ::stat(target.c_str(), &existing) == 0;
    if (found &&
        (S_ISDIR(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         ::access(target.c_str(), W_OK) != 0))
        return status::CannotWrite;

    const std::string directory = directoryOf(target);
    SaveIo& io = SaveIo::current();
    std::string temporary;
    int fd = -1;
    // Only a taken name is worth another try.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = directory + ".celdo-" + std::to_string(::getpid()) + '-' +
                    std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
        fd = io.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errno == EACCES || errno == EROFS ? status::CannotWrite : status::OpenError;
    }
    if (fd < 0)
        return status::OpenError;

    // The replaced file keeps its permissions; a new one gets the umask's.
    bool ok = !found || ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && writeAll(io, fd, bytes);
    // The data reaches the disk before it replaces the old file.
    ok = ok && io.fsync(fd) == 0;
    ok = (io.close(fd) == 0) && ok;
    ok = ok && io.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        io.unlink(temporary.c_str());
        return status::WriteError;
    }
    // The new contents are in place; only the folder entry may not have
    // reached the disk, which the caller is still told.
    return SyncDirectory(directory) ? status::Ok : status::WriteError;
}

Status ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return status::OpenError;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
        return status::ReadError;
    if (info.st_size > 0 && static_cast<unsigned long long>(info.st_size) > limit)
        return status::ReadError;

    // The size is only a hint: the file may change while it is read, and
    // some files report none.
    std::vector<std::uint8_t> read;
    std::size_t done = 0;
    try {
        // One byte more than the size, so the end is seen without growing.
        read.resize(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 1);
    } catch (const std::bad_alloc&) {
        return status::OutOfMemory;
    }
    for (;;) {
        if (done == read.size()) {
            if (done > limit)
                return status::ReadError;
            // Never more than one byte past the limit.
            const std::size_t growth = std::min(std::max<std::size_t>(done, 4096), limit - done);
            try {
                read.resize(done + growth + 1);
            } catch (const std::bad_alloc&) {
                return status::OutOfMemory;
            }
        }
        const ssize_t n = ::read(fd, read.data() + done, read.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return status::ReadError;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    if (done > limit)
        return status::ReadError;
    read.resize(done);
    bytes = std::move(read);
    return status::Ok;
}

} // namespace celdo
