#include "support/TestData.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace celdo::test {

std::filesystem::path testDataDir() {
    // CELDO_TESTDATA names the conformance files when the checkout does not
    // sit beside them.
    if (const char* named = std::getenv("CELDO_TESTDATA"); named && *named)
        return named;
    return std::filesystem::path(CELDO_SOURCE_DIR) / ".." / "shared" / "testdata";
}

bool testDataRequired() {
    const char* required = std::getenv("CELDO_TESTDATA_REQUIRED");
    return required && *required && std::string(required) != "0";
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "celdo-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data()))
        m_path = made;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> listDir(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace celdo::test
