#include "formats/GraphicFile.h"

#include "formats/MemoryByteStream.h"
#include "formats/SaveIo.h"
#include "framework/Ui.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

std::string systemErrorCause(int code) {
    switch (code) {
    case EPERM:
        return "操作が許可されていません";
    case ENOENT:
        return "ファイルまたはフォルダーがありません";
    case EIO:
        return "入出力エラー";
    case EBUSY:
        return "使用中です";
    case EEXIST:
        return "ファイルが既にあります";
    case EXDEV:
        return "別のファイルシステムへは移せません";
    case ENOTDIR:
        return "フォルダーではありません";
    case EISDIR:
        return "フォルダーです";
    case EFBIG:
        return "ファイルが大きすぎます";
    case ENOSPC:
        return "ディスクに空きがありません";
    case EROFS:
        return "読み取り専用のファイルシステムです";
    case EMLINK:
        return "リンクが多すぎます";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます";
    case ENOTEMPTY:
        return "フォルダーが空ではありません";
    case ELOOP:
        return "シンボリックリンクが多すぎます";
    case EDQUOT:
        return "ディスク使用量の制限を超えました";
    default:
        break;
    }
    // Other numbers of the library keep its own words.
    if (code > 0 && code < 0x4000) {
        const char* words = std::strerror(code);
        if (words && std::strncmp(words, "Unknown error", 13) != 0)
            return words;
    }
    return {};
}

GraphicFile::GraphicFile(std::string path)
    : m_path(std::move(path)), m_directory(directoryOf(m_path)), m_name(nameOf(m_path)) {}

GraphicFile::~GraphicFile() = default;

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
    if (m_stream)
        return fail(status::AlreadyOpen);
    if (m_readsMemory) {
        if (mode != 'R')
            return fail(status::OpenError);
        m_stream = std::make_unique<MemoryByteStream>(m_memory);
        return fail(status::Ok);
    }
    m_stream = FileByteStream::open(m_path, mode, buffered);
    return fail(m_stream ? status::Ok : status::OpenError);
}

Status GraphicFile::close() {
    if (!m_stream)
        return fail(status::Ok);
    const Status result = m_stream->close();
    m_stream.reset();
    return fail(result);
}

void GraphicFile::readFromMemory(std::span<const std::uint8_t> bytes) {
    if (m_stream)
        close();
    m_memory = bytes;
    m_readsMemory = true;
}

long long GraphicFile::seek(long long offset, int origin) {
    if (!m_stream) {
        fail(status::SeekError);
        return -1;
    }
    if (const Status s = m_stream->seek(offset, origin); s != status::Ok) {
        fail(s);
        return -1;
    }
    return m_stream->position();
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
    return checked(m_stream ? m_stream->read(buffer, count) : status::ReadError);
}

Status GraphicFile::readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach) {
    return checked(m_stream ? m_stream->readInto(targets, bytesEach) : status::ReadError);
}

Status GraphicFile::write(const void* data, std::size_t count) {
    return checked(m_stream ? m_stream->write(data, count) : status::WriteError);
}

Status GraphicFile::writeFrom(std::span<const std::uint8_t* const> sources, std::size_t bytesEach) {
    return checked(m_stream ? m_stream->writeFrom(sources, bytesEach) : status::WriteError);
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
    const int fd =
        SaveIo::current().open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST
                   ? status::AlreadyOpen
                   : (errno == EACCES || errno == EROFS ? status::CannotWrite : status::OpenError);
    created = true;
    return writeBodyTo(std::make_unique<FileByteStream>(fd, 'W', true));
}

Status GraphicFile::writeBodyTo(std::unique_ptr<ByteStream> stream) {
    m_stream = std::move(stream);
    Status result = writeBody();
    // The data reaches the disk before it replaces anything.
    if (result == status::Ok && m_stream)
        result = m_stream->sync();
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
    if (m_stream)
        close();
    m_image = image;
    m_mask = mask;
    struct ImageRelease {
        GraphicFile& file;
        ~ImageRelease() { file.m_image = file.m_mask = nullptr; }
    } release{*this};

    // Saving through a symbolic link replaces the file it names, beside that
    // file, and leaves the link a link.
    const std::string target = SaveTargetOf(m_path);
    struct stat existing {};
    const bool found = ::stat(target.c_str(), &existing) == 0;
    if (found &&
        (S_ISDIR(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         ::access(target.c_str(), W_OK) != 0))
        return fail(status::CannotWrite);

    // Even a new file is written under a temporary name first, so an
    // interrupted save never leaves a partial file under the real name.
    const std::string targetDirectory = directoryOf(target);
    const std::string directory = targetDirectory.empty() ? std::string("./") : targetDirectory;
    SaveIo& io = SaveIo::current();
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
            io.unlink(m_temporaryPath.c_str());
        return fail(!created && result == status::AlreadyOpen ? status::OpenError : result);
    }
    // The replaced file keeps its permissions; a new one gets the umask's.
    if (found)
        ::chmod(m_temporaryPath.c_str(), existing.st_mode & 07777);
    if (io.rename(m_temporaryPath.c_str(), target.c_str()) != 0) {
        const int error = errno;
        io.unlink(m_temporaryPath.c_str());
        return fail(errnoStatus(error));
    }
    // The new contents are already in place; only the folder entry may not
    // have reached the disk, which the user is told.
    if (!SyncDirectory(directory))
        return fail(status::WriteError);
    return fail(status::Ok);
}

Status GraphicFile::saveToMemory(const CellImage& image, const CellImage* mask,
                                 std::vector<std::uint8_t>& bytes) {
    if (m_stream)
        close();
    m_image = &image;
    m_mask = mask;
    struct ImageRelease {
        GraphicFile& file;
        ~ImageRelease() { file.m_image = file.m_mask = nullptr; }
    } release{*this};

    std::vector<std::uint8_t> written;
    if (const Status s = writeBodyTo(std::make_unique<MemoryByteStream>(written)); s != status::Ok)
        return fail(s);
    bytes = std::move(written);
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
    // A code from the run-time library (a failed rename) also says why.
    const std::string cause = systemErrorCause(code);
    return cause.empty() ? std::string(text) : text + ("（" + cause + "）");
}

void ShowErrorMessage(Ui& ui, int code) {
    if (code == 0)
        return;
    ui.messageBox(errorMessageText(code), "Celdos", MessageIcon::Information, MessageButtons::Ok);
}

} // namespace celdo
