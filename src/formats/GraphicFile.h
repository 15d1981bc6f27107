#pragma once

#include "core/CellImage.h"
#include "core/Status.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace celdo {

class Ui;

// The base of every file-format object.  It owns the file name and the open
// file, gives the formats a buffered byte stream whose failures are the fixed
// status codes, declares the operations through which the load and save
// dispatch drives every format, and writes files safely: a save goes to a
// temporary file in the target directory that replaces the target with one
// atomic rename, so no failure can lose the existing file.
//
// A load calls readHeader, selectPage, optionally showInfo, readImage and
// takeMask; a save calls checkSavable, setFromImage, setFromDocument,
// optionally askSaveOptions, then saveTo.
class GraphicFile {
public:
    // The buffer is at least 512 bytes; a larger one keeps big pictures fast.
    static constexpr std::size_t BufferSize = 64 * 1024;

    explicit GraphicFile(std::string path);
    virtual ~GraphicFile();
    GraphicFile(const GraphicFile&) = delete;
    GraphicFile& operator=(const GraphicFile&) = delete;

    // --- the operations a format overrides, in this order -----------------
    // Writes the file body from image() and mask() into the open file.
    virtual Status writeBody();
    virtual Status readHeader();
    virtual Status selectPage();
    // The information dialog before a load: 1 confirmed, 2 cancelled.
    virtual int showInfo(Ui& ui);
    // The picture, or null with the code in error().
    virtual CellImagePtr readImage();
    // Hands out the mask plane read with the picture, if any.
    virtual CellImagePtr takeMask();
    virtual Status checkSavable(const CellImage& image);
    // The save options dialog: 1 confirmed, 2 cancelled.
    virtual int askSaveOptions(Ui& ui);
    virtual void setFromImage(const CellImage& image);
    // Takes over what a previous document of the same picture remembered.
    virtual void setFromDocument(const GraphicFile& document);
    virtual int width() const { return m_width; }
    virtual int height() const { return m_height; }

    // --- file access -------------------------------------------------------
    // mode 'R' read, 'U' read and write, 'W' create or truncate.
    Status open(char mode, bool buffered);
    Status close();
    bool isOpen() const { return m_fd >= 0; }
    // Returns the new position, or -1 with error 25.  origin: SEEK_SET/CUR/END.
    long long seek(long long offset, int origin);
    long long position() const { return m_position; }
    // Reads exactly `count` bytes; end of file is a read error (0x4002).
    Status read(void* buffer, std::size_t count);
    // Reads `bytesEach` bytes into each target in turn, as that many read
    // calls would, but with few system calls and no copy through the buffer:
    // picture rows go straight where they belong.
    Status readInto(std::span<std::uint8_t* const> targets, std::size_t bytesEach);
    Status write(const void* data, std::size_t count);
    // Writes `bytesEach` bytes from each source in turn, as that many write
    // calls would, with few system calls and no copy through the buffer.
    Status writeFrom(std::span<const std::uint8_t* const> sources, std::size_t bytesEach);
    Status writeByte(std::uint8_t value);
    Status writeWord(std::uint16_t value);
    Status writeDword(std::uint32_t value);
    Status readByte(std::uint8_t& value);
    Status readWord(std::uint16_t& value);
    Status readDword(std::uint32_t& value);
    // Size of the open file (seeks to the end and back to 0), or -1 with 25.
    long long measureFileSize();

    // The safe save of `image` (and `mask`, which may be null).
    Status saveTo(const CellImage& image, const CellImage* mask);
    // The same safe save for a file whose body is not a picture (palette
    // files): writeBody runs with no image and no mask.
    Status saveWithoutImage();

    // --- fields ------------------------------------------------------------
    const std::string& path() const { return m_path; }
    const std::string& directory() const { return m_directory; }
    const std::string& name() const { return m_name; }
    Status error() const { return m_error; }
    const std::string& typeName() const { return m_typeName; }
    const std::string& comment() const { return m_comment; }
    const std::string& author() const { return m_author; }
    // An empty text leaves the comment as it is.
    Status setComment(const std::string& text);
    void setAuthor(const std::string& text) { m_author = text; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    int page() const { return m_page; }
    void setPage(int page) { m_page = page; }
    int pageCount() const { return m_pageCount; }
    long long dataOffset() const { return m_dataOffset; }
    long long fileSize() const { return m_fileSize; }
    // The temporary name used by the last safe save.
    const std::string& temporaryPath() const { return m_temporaryPath; }

protected:
    Status fail(Status code) { return m_error = code; }
    // The picture and mask plane being written during saveTo.
    const CellImage* image() const { return m_image; }
    const CellImage* mask() const { return m_mask; }

    std::string m_typeName;
    std::string m_comment;
    std::string m_author;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_page = 0;
    int m_pageCount = 1;
    long long m_dataOffset = 0;
    long long m_fileSize = 0;
    Status m_error = status::Ok;

private:
    Status flushPending();
    Status writeAll(const void* data, std::size_t count);
    Status safeSave(const CellImage* image, const CellImage* mask);
    Status writeBodyInto(const std::string& target, bool& created);
    void dropReadBuffer();

    std::string m_path;
    std::string m_directory;
    std::string m_name;
    std::string m_temporaryPath;
    char m_mode = 0;
    int m_fd = -1;
    bool m_buffered = false;
    std::vector<std::uint8_t> m_buffer;
    long long m_position = 0;
    long long m_bufferPosition = 0;
    std::size_t m_readOffset = 0;
    std::size_t m_bytesLeft = 0;
    std::size_t m_bytesPending = 0;
    const CellImage* m_image = nullptr;
    const CellImage* m_mask = nullptr;
};

// The message the user sees for a status code ("" for 0).
std::string errorMessageText(int code);
// Shows that message in a box with the caption "Celdos" and the information
// icon; nothing for 0.
void ShowErrorMessage(Ui& ui, int code);

} // namespace celdo
