#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A folder for benchmark files, removed afterwards: $CELDO_BENCH_DIR, else
// the memory file system /dev/shm when there is one, so that the figures
// measure the program rather than the disk; else the temporary folder.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (const char* chosen = std::getenv("CELDO_BENCH_DIR"))
            base = chosen;
        else if (std::filesystem::is_directory("/dev/shm", error))
            base = "/dev/shm";
        std::string pattern = (base / "celdo-bench-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            m_path = made;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const char* name) const { return (m_path / name).string(); }
    bool ok() const { return !m_path.empty(); }

private:
    std::filesystem::path m_path;
};
