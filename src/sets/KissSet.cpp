#include "sets/KissSet.h"

#include "formats/FileReplace.h"
#include "formats/KissCellFile.h"
#include "formats/KissPaletteFile.h"
#include "formats/ShiftJis.h"
#include "sets/SetNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <span>
#include <system_error>

namespace celdo {

namespace {

// Configuration files are a few kilobytes; anything this large is not one.
constexpr std::size_t ConfigurationLimit = 1 << 20;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

Status readConfiguration(const std::string& path, std::string& bytes) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return status::OpenError;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return status::OpenError;
    if (static_cast<unsigned long long>(info.st_size) > ConfigurationLimit)
        return status::FormatError;
    // Read one byte past the limit so that a file grown since fstat is caught.
    bytes.resize(ConfigurationLimit + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return status::ReadError;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > ConfigurationLimit)
        return status::FormatError;
    bytes.resize(filled);
    return status::Ok;
}

Status readCellFile(const std::string& path, SetCellFile& cell) {
    KissCellFile reader(path);
    Status code = reader.readHeader();
    if (code != status::Ok)
        return code;
    CellImagePtr picture = reader.readImage();
    if (!picture)
        return reader.error() != status::Ok ? reader.error() : status::ReadError;
    cell.picture = std::move(picture);
    cell.mask = reader.takeMask();
    cell.kind = reader.kind();
    cell.offsetX = reader.offsetX();
    cell.offsetY = reader.offsetY();
    cell.loaded = true;
    return status::Ok;
}

std::string quoted(const std::string& name) {
    return "「" + KissSet::nameText(name) + "」";
}

} // namespace

Status KissSet::Load(const std::string& cnfPath, std::unique_ptr<KissSet>& set) {
    set.reset();
    std::string bytes;
    if (const Status code = readConfiguration(cnfPath, bytes); code != status::Ok)
        return code;
    auto loaded = std::make_unique<KissSet>(Token{});
    loaded->m_path = cnfPath;
    const std::size_t slash = cnfPath.find_last_of('/');
    loaded->m_folder = slash == std::string::npos ? "./" : cnfPath.substr(0, slash + 1);
    loaded->m_document = CnfDocument::Parse(bytes);

    const std::vector<std::string> files = loaded->folderFiles();
    loaded->LoadPalettes(files);
    loaded->LoadCells(files);
    for (const CnfWarning& warning : loaded->m_document.warnings())
        loaded->Report(warning.text);
    set = std::move(loaded);
    return status::Ok;
}

std::string KissSet::nameText(std::string_view cnfName) {
    return fromShiftJis(cnfName);
}

void KissSet::Report(const std::string& text) {
    // Several lines naming one missing file make one report.
    if (std::find(m_reports.begin(), m_reports.end(), text) == m_reports.end())
        m_reports.push_back(text);
}

std::vector<std::string> KissSet::folderFiles() const {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kindError;
        if (it->is_regular_file(kindError))
            names.push_back(it->path().filename().string());
    }
    // The same answer whatever order the folder lists its files in.
    std::sort(names.begin(), names.end());
    return names;
}

std::string KissSet::resolveIn(const std::vector<std::string>& files, std::string_view name) const {
    const std::string_view wanted = lastPathComponent(name);
    if (wanted.empty())
        return {};
    if (std::find(files.begin(), files.end(), wanted) != files.end())
        return m_folder + std::string(wanted);
    const std::string folded = foldedName(wanted);
    for (const std::string& file : files)
        if (foldedName(file) == folded)
            return m_folder + file;
    return {};
}

std::string KissSet::resolve(std::string_view name) const {
    return resolveIn(folderFiles(), name);
}

int KissSet::fileIndex(const std::string& path) const {
    for (std::size_t i = 0; i < m_files.size(); ++i)
        if (m_files[i].path == path)
            return static_cast<int>(i);
    return -1;
}

int KissSet::fileOf(int cell) const {
    if (cell < 0 || cell >= static_cast<int>(m_fileOfCell.size()))
        return -1;
    return m_fileOfCell[static_cast<std::size_t>(cell)];
}

void KissSet::LoadPalettes(const std::vector<std::string>& files) {
    for (const std::string& name : m_document.paletteFiles()) {
        SetPaletteFile palette;
        palette.name = name;
        palette.path = resolveIn(files, name);
        if (palette.path.empty()) {
            Report(quoted(name) + "が見つかりません");
        } else {
            KissPaletteFile reader(palette.path);
            // The header asks for every group the palette can hold.
            Status code = reader.readHeader();
            if (code == status::Ok)
                code = reader.readGroups(palette.colours);
            if (code == status::Ok) {
                palette.loaded = true;
                palette.groupCount = reader.groupCount();
                palette.coloursPerGroup = reader.coloursPerGroup();
            } else {
                Report(quoted(name) + "を読めません");
            }
        }
        m_palettes.push_back(std::move(palette));
    }
    m_attachedPalettes.assign(m_palettes.size(), nullptr);
}

void KissSet::LoadCells(const std::vector<std::string>& files) {
    const std::vector<CnfCell>& cells = m_document.cells();
    for (const CnfCell& cell : cells) {
        const std::string path = resolveIn(files, cell.file);
        if (path.empty()) {
            Report(quoted(cell.file) + "が見つかりません");
            m_fileOfCell.push_back(-1);
            continue;
        }
        int index = fileIndex(path);
        if (index < 0) {
            SetCellFile file;
            file.path = path;
            if (readCellFile(path, file) != status::Ok)
                Report(quoted(cell.file) + "を読めません");
            m_files.push_back(std::move(file));
            index = static_cast<int>(m_files.size()) - 1;
        }
        m_fileOfCell.push_back(index);
    }
    m_attachedPictures.assign(m_files.size(), nullptr);
    m_attachedMasks.assign(m_files.size(), nullptr);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int palette = cells[i].paletteFile;
        if (m_fileOfCell[i] < 0)
            continue;
        if (palette < 0 || palette >= static_cast<int>(m_palettes.size()) ||
            !m_palettes[static_cast<std::size_t>(palette)].loaded)
            Report(quoted(cells[i].file) + "はパレット " + std::to_string(palette) +
                   " がないため表示しません");
    }
}

void KissSet::AttachPicture(int file, const CellImage* picture, const CellImage* mask) {
    if (file < 0 || file >= static_cast<int>(m_files.size()))
        return;
    m_attachedPictures[static_cast<std::size_t>(file)] = picture;
    m_attachedMasks[static_cast<std::size_t>(file)] = picture ? mask : nullptr;
}

void KissSet::AttachPalette(int paletteFile, const PaletteSet* colours) {
    if (paletteFile < 0 || paletteFile >= static_cast<int>(m_palettes.size()))
        return;
    m_attachedPalettes[static_cast<std::size_t>(paletteFile)] = colours;
}

const CellImage* KissSet::pictureOf(int file) const {
    if (file < 0 || file >= static_cast<int>(m_files.size()))
        return nullptr;
    const auto f = static_cast<std::size_t>(file);
    return m_attachedPictures[f] ? m_attachedPictures[f] : m_files[f].picture.get();
}

const CellImage* KissSet::maskOf(int file) const {
    if (file < 0 || file >= static_cast<int>(m_files.size()))
        return nullptr;
    const auto f = static_cast<std::size_t>(file);
    return m_attachedPictures[f] ? m_attachedMasks[f] : m_files[f].mask.get();
}

const PaletteSet* KissSet::coloursOf(int paletteFile) const {
    if (paletteFile < 0 || paletteFile >= static_cast<int>(m_palettes.size()))
        return nullptr;
    const auto p = static_cast<std::size_t>(paletteFile);
    if (m_attachedPalettes[p])
        return m_attachedPalettes[p];
    return m_palettes[p].loaded ? &m_palettes[p].colours : nullptr;
}

void KissSet::SetOffsets(int file, int x, int y) {
    if (file < 0 || file >= static_cast<int>(m_files.size()))
        return;
    m_files[static_cast<std::size_t>(file)].offsetX = x;
    m_files[static_cast<std::size_t>(file)].offsetY = y;
}

Status KissSet::ReloadFile(int file) {
    if (file < 0 || file >= static_cast<int>(m_files.size()))
        return status::OpenError;
    SetCellFile& current = m_files[static_cast<std::size_t>(file)];
    SetCellFile fresh;
    fresh.path = current.path;
    // A failed read keeps the copy the set has.
    if (const Status code = readCellFile(fresh.path, fresh); code != status::Ok)
        return code;
    current = std::move(fresh);
    return status::Ok;
}

Rect KissSet::cellBounds(int page, int cell) const {
    const std::vector<CnfCell>& cells = m_document.cells();
    if (cell < 0 || cell >= static_cast<int>(cells.size()))
        return {};
    const CnfCell& line = cells[static_cast<std::size_t>(cell)];
    const int file = fileOf(cell);
    const CellImage* picture = pictureOf(file);
    if (!line.shownOn(page) || !picture || !coloursOf(line.paletteFile))
        return {};
    const Point at = m_document.objectPosition(page, line.object);
    const SetCellFile& cellFile = m_files[static_cast<std::size_t>(file)];
    const int left = at.x + cellFile.offsetX;
    const int top = at.y + cellFile.offsetY;
    return {left, top, left + picture->width(), top + picture->height()};
}

Rect KissSet::objectBounds(int page, int object) const {
    Rect bounds;
    const std::vector<CnfCell>& cells = m_document.cells();
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].object == object)
            bounds = bounds.united(cellBounds(page, static_cast<int>(i)));
    return bounds;
}

Status KissSet::Save() {
    const std::string bytes = m_document.bytes();
    const Status code = ReplaceFileBytes(
        m_path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    if (code == status::Ok)
        m_document.MarkSaved();
    return code;
}

} // namespace celdo
