#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <sys/uio.h>

namespace celdo {

// The system calls through which files are written and replaced.  Every
// writer of the program goes through the one current instance, so tests can
// put in one that fails a chosen call.  Each call behaves as its system call:
// -1 with errno set on failure.
class SaveIo {
public:
    virtual ~SaveIo() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, std::size_t count);
    virtual ssize_t writev(int fd, const iovec* parts, int count);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);

    // The instance in use; the plain system calls unless replaced.
    static SaveIo& current();
};

// Puts `io` in place for the lifetime of the object.
class ScopedSaveIo {
public:
    explicit ScopedSaveIo(SaveIo& io);
    ~ScopedSaveIo();
    ScopedSaveIo(const ScopedSaveIo&) = delete;
    ScopedSaveIo& operator=(const ScopedSaveIo&) = delete;

private:
    SaveIo* m_previous;
};

// The file a save to `path` really replaces: symbolic links are followed,
// also when the last one points at a file that does not exist yet, so a
// link stays a link and its target gets the new contents.
std::string SaveTargetOf(const std::string& path);

// Makes a rename or a new file in `directory` durable.  Folders that cannot
// be synchronised at all (EINVAL) count as done.
bool SyncDirectory(const std::string& directory);

} // namespace celdo
