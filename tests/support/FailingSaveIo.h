#pragma once

#include "formats/SaveIo.h"

#include <cerrno>
#include <string>
#include <vector>

namespace celdo::test {

// Records every call a save makes (and the paths it opened) and fails the
// `failAt`-th call (from 1) with `error`, as a full disk or a failing device
// would.
class FailingSaveIo : public SaveIo {
public:
    int failAt = 0;
    int error = ENOSPC;
    std::vector<std::string> calls;
    std::vector<std::string> opened;

    int open(const char* path, int flags, mode_t mode) override {
        opened.emplace_back(path);
        return fails("open") ? -1 : SaveIo::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, std::size_t count) override {
        return fails("write") ? -1 : SaveIo::write(fd, data, count);
    }
    ssize_t writev(int fd, const iovec* parts, int count) override {
        return fails("writev") ? -1 : SaveIo::writev(fd, parts, count);
    }
    int fsync(int fd) override { return fails("fsync") ? -1 : SaveIo::fsync(fd); }
    int close(int fd) override {
        // A failing close still releases the descriptor, as the system's does.
        if (fails("close")) {
            SaveIo::close(fd);
            errno = error;
            return -1;
        }
        return SaveIo::close(fd);
    }
    int rename(const char* from, const char* to) override {
        return fails("rename") ? -1 : SaveIo::rename(from, to);
    }
    int unlink(const char* path) override { return fails("unlink") ? -1 : SaveIo::unlink(path); }

private:
    bool fails(const char* name) {
        calls.emplace_back(name);
        if (static_cast<int>(calls.size()) != failAt)
            return false;
        errno = error;
        return true;
    }
};

} // namespace celdo::test
