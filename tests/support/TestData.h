#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace celdo::test {

// The shared conformance files live beside the project (or where
// CELDO_TESTDATA says); tests that need them skip with a message when they
// are absent, and fail instead when CELDO_TESTDATA_REQUIRED is set (CI sets
// it, so a run without the files can never pass).
std::filesystem::path testDataDir();
bool testDataRequired();
#define CELDO_REQUIRE_TESTDATA(sub)                                                                \
    do {                                                                                           \
        if (!std::filesystem::exists(::celdo::test::testDataDir() / (sub))) {                      \
            if (::celdo::test::testDataRequired())                                                 \
                FAIL() << "shared test data required but not found: "                              \
                       << (::celdo::test::testDataDir() / (sub)).string();                         \
            GTEST_SKIP() << "shared test data not found: "                                         \
                         << (::celdo::test::testDataDir() / (sub)).string();                       \
        }                                                                                          \
    } while (0)

// A fresh directory under the system's temporary folder, removed with the
// object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

std::vector<std::uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Names of the entries in a directory, sorted.
std::vector<std::string> listDir(const std::filesystem::path& dir);

} // namespace celdo::test
