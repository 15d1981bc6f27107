#include "formats/SaveIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace celdo {

namespace {

SaveIo g_systemIo;
SaveIo* g_current = &g_systemIo;

} // namespace

int SaveIo::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t SaveIo::write(int fd, const void* data, std::size_t count) {
    return ::write(fd, data, count);
}
ssize_t SaveIo::writev(int fd, const iovec* parts, int count) {
    return ::writev(fd, parts, count);
}
int SaveIo::fsync(int fd) {
    return ::fsync(fd);
}
int SaveIo::close(int fd) {
    return ::close(fd);
}
int SaveIo::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int SaveIo::unlink(const char* path) {
    return ::unlink(path);
}

SaveIo& SaveIo::current() {
    return *g_current;
}

ScopedSaveIo::ScopedSaveIo(SaveIo& io) : m_previous(g_current) {
    g_current = &io;
}

ScopedSaveIo::~ScopedSaveIo() {
    g_current = m_previous;
}

std::string SaveTargetOf(const std::string& path) {
    std::string target = path;
    // The kernel's own limit on links followed in one lookup.
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        std::vector<char> text(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = ::readlink(target.c_str(), text.data(), text.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= text.size())
            break;
        std::string next(text.data(), static_cast<std::size_t>(length));
        if (next.front() != '/') {
            const auto slash = target.find_last_of('/');
            if (slash != std::string::npos)
                next = target.substr(0, slash + 1) + next;
        }
        target = next;
    }
    return target;
}

bool SyncDirectory(const std::string& directory) {
    SaveIo& io = SaveIo::current();
    const std::string name = directory.empty() ? std::string(".") : directory;
    const int fd = io.open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool synced = io.fsync(fd) == 0 || errno == EINVAL;
    const bool closed = io.close(fd) == 0;
    return synced && closed;
}

} // namespace celdo
