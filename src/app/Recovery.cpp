#include "app/Recovery.h"

#include "formats/BmpFile.h"
#include "formats/GraphicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <signal.h>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace celdo {

namespace fs = std::filesystem;

namespace {

constexpr const char* RecordMagic = "CELDO-RECOVERY 1";

// The record is not a picture, but it goes through the same safe save.
class RecordFile : public GraphicFile {
public:
    RecordFile(std::string path, std::string text)
        : GraphicFile(std::move(path)), m_text(std::move(text)) {}
    Status writeBody() override { return write(m_text.data(), m_text.size()); }

private:
    std::string m_text;
};

// Names may hold any byte; one line each keeps the record simple to read.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

class Fingerprint {
public:
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            m_value ^= bytes[i];
            m_value *= 0x100000001B3ull;
        }
    }
    void add(int value) { add(&value, sizeof value); }
    void add(const CellImage& image) {
        add(image.width());
        add(image.height());
        add(image.bitsPerPixel());
        add(image.palette(), sizeof(ColourValue) * 256);
        add(image.pixels(), image.imageSize());
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xCBF29CE484222325ull;
};

std::string makeInstanceName() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    // The counter tells apart instances one process makes in the same tick.
    static std::atomic<int> made{0};
    char name[80];
    std::snprintf(name, sizeof name, "%d-%llxn%d", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(ns), made.fetch_add(1));
    return name;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Record {
    int pid = 0;
    std::string instance;
    std::string path;
    int group = 0;
    std::string picture;
    std::string mask;
    std::array<ColourValue, PaletteSet::GroupSize> colours{};
};

std::optional<Record> readRecord(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != RecordMagic)
        return std::nullopt;
    Record record;
    bool haveColours = false;
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value =
            space == std::string::npos ? std::string() : line.substr(space + 1);
        if (key == "pid")
            record.pid = std::atoi(value.c_str());
        else if (key == "instance")
            record.instance = value;
        else if (key == "path")
            record.path = unescaped(value);
        else if (key == "group")
            record.group = std::clamp(std::atoi(value.c_str()), 0, PaletteSet::GroupCount - 1);
        else if (key == "picture")
            record.picture = value;
        else if (key == "mask")
            record.mask = value;
        else if (key == "colours") {
            std::istringstream words(value);
            int count = 0;
            std::string word;
            while (count < PaletteSet::GroupSize && words >> word)
                record.colours[count++] = static_cast<ColourValue>(std::stoul(word, nullptr, 16));
            haveColours = count == PaletteSet::GroupSize;
        }
    }
    // Names of other folders never come from a record.
    const auto plain = [](const std::string& name) {
        return name.find('/') == std::string::npos && name != "." && name != "..";
    };
    if (!haveColours || record.instance.empty() || record.picture.empty() ||
        !plain(record.picture) || !plain(record.mask) || !plain(record.instance))
        return std::nullopt;
    return record;
}

CellImagePtr readBitmap(const fs::path& file) {
    BmpFile bitmap(file.string());
    if (bitmap.readHeader() != status::Ok)
        return nullptr;
    return bitmap.readImage();
}

bool saveBitmap(const fs::path& file, const CellImage& image) {
    BmpFile bitmap(file.string());
    bitmap.setFromImage(image);
    return bitmap.saveTo(image, nullptr) == status::Ok;
}

} // namespace

fs::path Recovery::DefaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    fs::path base;
    if (state && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && home[0] ? home : "/tmp") / ".local" / "state";
    }
    return base / "celdo" / "recovery";
}

bool Recovery::processRunning(int pid) {
    if (pid <= 0)
        return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

Recovery::Recovery(fs::path folder) : m_folder(std::move(folder)), m_instance(makeInstanceName()) {
    std::error_code error;
    fs::create_directories(m_folder, error);
    const fs::path lock = m_folder / (m_instance + ".lock");
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    m_lock = fd;
}

Recovery::~Recovery() {
    for (auto& [name, fd] : m_taken)
        ::close(fd);
    if (m_lock < 0)
        return;
    // A lock with nothing left to guard is clutter; with files left it
    // stays, unlocked, and marks them as a dead instance's.
    if (m_written.empty()) {
        std::error_code error;
        fs::remove(m_folder / (m_instance + ".lock"), error);
    }
    ::close(m_lock);
}

fs::path Recovery::slotFile(int slot, const char* suffix, int generation) const {
    std::string name = m_instance + "-" + std::to_string(slot);
    if (generation >= 0)
        name += "-" + std::to_string(generation);
    return m_folder / (name + suffix);
}

bool Recovery::AutoSave(int slot, const std::string& originalPath, int group,
                        const ColourValue* colours, const CellImage& picture,
                        const CellImage* mask) {
    if (!valid())
        return false;
    Fingerprint print;
    print.add(picture);
    print.add(mask ? 1 : 0);
    if (mask)
        print.add(*mask);
    print.add(group);
    print.add(colours, sizeof(ColourValue) * PaletteSet::GroupSize);
    print.add(originalPath.data(), originalPath.size());
    auto found = m_written.find(slot);
    if (found != m_written.end() && found->second.fingerprint == print.value())
        return false;

    // New names each time: the record still names complete files if the
    // program dies between the writes below.
    const int previous = found != m_written.end() ? found->second.generation : -1;
    const int generation = previous + 1;
    const fs::path pictureFile = slotFile(slot, ".bmp", generation);
    const fs::path maskFile = slotFile(slot, ".msk", generation);
    if (!saveBitmap(pictureFile, picture) || (mask && !saveBitmap(maskFile, *mask))) {
        std::error_code error;
        fs::remove(pictureFile, error);
        fs::remove(maskFile, error);
        return false;
    }

    std::ostringstream text;
    text << RecordMagic << '\n'
         << "pid " << ::getpid() << '\n'
         << "instance " << m_instance << '\n'
         << "path " << escaped(originalPath) << '\n'
         << "group " << group << '\n'
         << "picture " << pictureFile.filename().string() << '\n'
         << "mask " << (mask ? maskFile.filename().string() : std::string()) << '\n'
         << "colours";
    for (int i = 0; i < PaletteSet::GroupSize; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, " %08X", static_cast<unsigned>(colours[i]));
        text << word;
    }
    text << '\n';
    RecordFile record(slotFile(slot, ".rec", -1).string(), text.str());
    std::error_code error;
    if (record.saveWithoutImage() != status::Ok) {
        fs::remove(pictureFile, error);
        fs::remove(maskFile, error);
        return false;
    }
    if (previous >= 0) {
        fs::remove(slotFile(slot, ".bmp", previous), error);
        fs::remove(slotFile(slot, ".msk", previous), error);
    }
    m_written[slot] = {print.value(), generation};
    return true;
}

void Recovery::removeFilesOf(const std::string& prefix) const {
    std::error_code error;
    std::vector<fs::path> doomed;
    for (const auto& entry : fs::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (startsWith(name, prefix))
            doomed.push_back(entry.path());
    }
    for (const auto& path : doomed)
        fs::remove(path, error);
}

void Recovery::Remove(int slot) {
    if (!valid())
        return;
    const std::string prefix = m_instance + "-" + std::to_string(slot);
    // The record goes first: without it the pictures are never offered.
    std::error_code error;
    fs::remove(slotFile(slot, ".rec", -1), error);
    removeFilesOf(prefix + "-");
    m_written.erase(slot);
}

void Recovery::RemoveAll() {
    if (!valid())
        return;
    std::error_code error;
    for (const auto& [slot, written] : m_written)
        fs::remove(slotFile(slot, ".rec", -1), error);
    removeFilesOf(m_instance + "-");
    m_written.clear();
}

bool Recovery::ownerRunning(const std::string& instance, int pid) const {
    if (!processRunning(pid))
        return false;
    // The process number may belong to someone else by now: only the lock
    // says whether the instance itself lives.
    const fs::path lock = m_folder / (instance + ".lock");
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

std::vector<std::string> Recovery::FindOrphans() const {
    std::vector<std::string> orphans;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!endsWith(name, ".rec") || startsWith(name, m_instance + "-"))
            continue;
        const auto record = readRecord(entry.path());
        if (!record || record->instance == m_instance ||
            !startsWith(name, record->instance + "-") ||
            std::find(orphans.begin(), orphans.end(), record->instance) != orphans.end())
            continue;
        if (!ownerRunning(record->instance, record->pid))
            orphans.push_back(record->instance);
    }
    std::sort(orphans.begin(), orphans.end());
    return orphans;
}

bool Recovery::take(const std::string& instance) {
    const fs::path lock = m_folder / (instance + ".lock");
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_taken.emplace_back(instance, fd);
    return true;
}

std::vector<RecoveredPicture> Recovery::TakeOrphans(std::size_t maxInstances) {
    std::vector<RecoveredPicture> pictures;
    std::size_t taken = 0;
    for (const std::string& instance : FindOrphans()) {
        if (taken == maxInstances)
            break;
        if (!take(instance))
            continue;
        ++taken;
        std::vector<std::pair<int, fs::path>> records;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_folder, error)) {
            const std::string name = entry.path().filename().string();
            if (!startsWith(name, instance + "-") || !endsWith(name, ".rec"))
                continue;
            const std::string slot =
                name.substr(instance.size() + 1, name.size() - instance.size() - 5);
            records.emplace_back(std::atoi(slot.c_str()), entry.path());
        }
        std::sort(records.begin(), records.end());
        for (const auto& [slot, file] : records) {
            const auto record = readRecord(file);
            if (!record || record->instance != instance)
                continue;
            RecoveredPicture recovered;
            recovered.originalPath = record->path;
            recovered.group = record->group;
            recovered.colours = record->colours;
            recovered.picture = readBitmap(m_folder / record->picture);
            if (!recovered.picture)
                continue;
            if (!record->mask.empty()) {
                recovered.mask = readBitmap(m_folder / record->mask);
                if (!recovered.mask)
                    continue;
            }
            pictures.push_back(std::move(recovered));
        }
    }
    return pictures;
}

void Recovery::DiscardTaken() {
    std::error_code error;
    for (auto& [instance, fd] : m_taken) {
        removeFilesOf(instance + "-");
        fs::remove(m_folder / (instance + ".lock"), error);
        ::close(fd);
    }
    m_taken.clear();
}

void Recovery::DiscardOrphans() {
    for (const std::string& instance : FindOrphans())
        take(instance);
    DiscardTaken();
}

} // namespace celdo
