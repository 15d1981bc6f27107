#pragma once

#include "core/CellImage.h"
#include "core/Status.h"
#include "formats/ByteStream.h"
#include "formats/FileByteStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace celdo {

class Ui;

// The base of every file-format object.  It owns the file name and the open
// byte stream (the file, or memory for the clipboard and tests), gives the
// formats reads and writes whose failures are the fixed status codes,
// declares the operations through which the load and save dispatch drives
// every format, and writes files safely: a save goes to a temporary file in
// the target directory that replaces the target with one atomic rename, so
// no failure can lose the existing file.
//
// A load calls readHeader, selectPage, optionally showInfo, readImage and
// takeMask; a save calls checkSavable, setFromImage, setFromDocument,
// optionally askSaveOptions, then saveTo.
class GraphicFile {
public:
    // The size of the file buffer of a buffered opening.
    static constexpr std::size_t BufferSize = FileByteStream::BufferSize;

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
    // mode 'R' read, 'U' read and write, 'W' create or truncate.  After
    // readFromMemory only 'R' opens, and it opens those bytes.
    Status open(char mode, bool buffered);
    Status close();
    bool isOpen() const { return m_stream != nullptr; }
    // From now on the object reads `bytes` instead of its file: readHeader
    // and readImage run exactly as they do on a file holding these bytes.
    // The bytes must outlive the reading.
    void readFromMemory(std::span<const std::uint8_t> bytes);
    // Returns the new position, or -1 with error 25.  origin: SEEK_SET/CUR/END.
    long long seek(long long offset, int origin);
    long long position() const { return m_stream ? m_stream->position() : 0; }
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
    // Size of the open file or memory (seeks to the end and back to 0), or -1
    // with 25.
    long long measureFileSize();

    // The safe save of `image` (and `mask`, which may be null).
    Status saveTo(const CellImage& image, const CellImage* mask);
    // The same safe save for a file whose body is not a picture (palette
    // files): writeBody runs with no image and no mask.
    Status saveWithoutImage();
    // writeBody of `image` (and `mask`) into memory instead of a file.  On
    // success `bytes` holds exactly what a file would; on failure it is left
    // as it was.
    Status saveToMemory(const CellImage& image, const CellImage* mask,
                        std::vector<std::uint8_t>& bytes);

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
    Status safeSave(const CellImage* image, const CellImage* mask);
    Status writeBodyInto(const std::string& target, bool& created);
    // Runs writeBody on `stream` and closes it; the first failure is kept.
    Status writeBodyTo(std::unique_ptr<ByteStream> stream);
    // Passes a stream's result on, recording a failure in the error field.
    Status checked(Status code) { return code == status::Ok ? code : fail(code); }

    std::string m_path;
    std::string m_directory;
    std::string m_name;
    std::string m_temporaryPath;
    std::unique_ptr<ByteStream> m_stream;
    std::span<const std::uint8_t> m_memory;
    bool m_readsMemory = false;
    const CellImage* m_image = nullptr;
    const CellImage* m_mask = nullptr;
};

// The message the user sees for a status code ("" for 0).
std::string errorMessageText(int code);
// Words for a code that is a number of the run-time library, empty otherwise.
std::string systemErrorCause(int code);
// Shows that message in a box with the caption "Celdos" and the information
// icon; nothing for 0.
void ShowErrorMessage(Ui& ui, int code);

} // namespace celdo
