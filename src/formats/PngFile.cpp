#include "formats/PngFile.h"

#include "formats/KissCellFile.h"
#include "framework/Ui.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace celdo {

int PngFile::lastSaveBits = 8;
bool PngFile::lastTransparentZero = true;
bool PngFile::lastWriteOffsets = true;

namespace {

// Deflate cannot expand data by more than about 1032 to 1; a file declaring
// more rows than its size could hold is refused before the picture is made.
constexpr std::uint64_t InflateRatio = 1100;
constexpr std::uint64_t InflateSlack = 1u << 20;
constexpr int CompressionLevel = 6;

// What the callbacks of one libpng operation record: libpng reports through
// them, then jumps back to the guarded call, which turns this into a code.
struct PngCall {
    GraphicFile* file = nullptr;
    Status streamError = status::Ok;
    bool outOfMemory = false;
    bool tooLarge = false;
    bool animated = false;
};

void pngError(png_structp png, png_const_charp message) {
    auto* call = static_cast<PngCall*>(png_get_error_ptr(png));
    if (call && message &&
        (std::strstr(message, "memory") || std::strstr(message, "Out of") ||
         std::strstr(message, "too large")))
        call->outOfMemory = true;
    // Straight back to the guarded call; libpng's default would print first.
    png_longjmp(png, 1);
}

void pngWarning(png_structp png, png_const_charp message) {
    auto* call = static_cast<PngCall*>(png_get_error_ptr(png));
    if (call && message && std::strstr(message, "exceeds user limit"))
        call->tooLarge = true;
}

void pngRead(png_structp png, png_bytep data, std::size_t length) {
    auto* call = static_cast<PngCall*>(png_get_io_ptr(png));
    const Status s = call->file->read(data, length);
    if (s != status::Ok) {
        call->streamError = s;
        png_error(png, "read failed");
    }
}

void pngWrite(png_structp png, png_bytep data, std::size_t length) {
    auto* call = static_cast<PngCall*>(png_get_io_ptr(png));
    const Status s = call->file->write(data, length);
    if (s != status::Ok) {
        call->streamError = s;
        png_error(png, "write failed");
    }
}

void pngFlush(png_structp) {}

int pngUnknownChunk(png_structp png, png_unknown_chunkp chunk) {
    auto* call = static_cast<PngCall*>(png_get_user_chunk_ptr(png));
    if (call && std::memcmp(chunk->name, "acTL", 4) == 0)
        call->animated = true;
    // Left to libpng, which drops unknown chunks.
    return 0;
}

Status failureOf(const PngCall& call, Status otherwise) {
    if (call.streamError != status::Ok)
        return call.streamError;
    if (call.tooLarge || call.outOfMemory)
        return status::OutOfMemory;
    return otherwise;
}

// --- the guarded calls ------------------------------------------------------
// libpng reports errors by longjmp into the frame that called setjmp.  Each
// call below is that frame for one step; nothing in it has a destructor, so
// the jump skips no clean-up.  Memory and the libpng structures belong to
// the callers.

bool GuardedReadInfo(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

bool GuardedUpdateInfo(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_update_info(png, info);
    return true;
}

bool GuardedReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    // Up to IEND: a file cut after its pixels is still refused.
    png_read_end(png, nullptr);
    return true;
}

// The fields of a save, decided before libpng is called.
struct PngWriteJob {
    const CellImage* picture = nullptr;
    const CellImage* mask = nullptr;
    int bitDepth = 8;
    int colourType = PngFile::PaletteType;
    png_color palette[256] = {};
    int paletteEntries = 0;
    bool transparentZero = false;
    bool offsets = false;
    int offsetX = 0;
    int offsetY = 0;
    // One row in the layout libpng takes, for rows that need converting.
    std::uint8_t* rowBuffer = nullptr;
};

void fillRow(const PngWriteJob& job, int y, const std::uint8_t*& row) {
    const CellImage& picture = *job.picture;
    const std::uint8_t* source = picture.row(y);
    const int depth = picture.bitsPerPixel();
    if (depth == 4) {
        picture.UnpackRow4(job.rowBuffer, source);
        row = job.rowBuffer;
    } else if (depth == 1) {
        picture.UnpackRow1(job.rowBuffer, source);
        row = job.rowBuffer;
    } else if (depth == 24 && job.mask) {
        // The mask becomes alpha as in a 32-bit KiSS cell: alpha = 255 − mask.
        const std::uint8_t* maskRow = job.mask->row(y);
        std::uint8_t* out = job.rowBuffer;
        for (int x = 0; x < picture.width(); ++x) {
            out[4 * x] = source[3 * x];
            out[4 * x + 1] = source[3 * x + 1];
            out[4 * x + 2] = source[3 * x + 2];
            out[4 * x + 3] = static_cast<std::uint8_t>(~maskRow[x]);
        }
        row = job.rowBuffer;
    } else {
        row = source;
    }
}

bool GuardedWrite(png_structp png, png_infop info, const PngWriteJob& job) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    const CellImage& picture = *job.picture;
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
                 static_cast<png_uint_32>(picture.height()), job.bitDepth, job.colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job.colourType == PngFile::PaletteType) {
        png_set_PLTE(png, info, job.palette, job.paletteEntries);
        if (job.transparentZero) {
            png_byte alpha = 0;
            png_set_tRNS(png, info, &alpha, 1, nullptr);
        }
    }
    if (job.offsets)
        png_set_oFFs(png, info, job.offsetX, job.offsetY, PNG_OFFSET_PIXEL);
    png_set_compression_level(png, CompressionLevel);
    if (job.colourType == PngFile::PaletteType) {
        // Indices along a palette ramp differ little from their left
        // neighbour, and flat areas are runs: the Sub filter with run-length
        // matching writes smaller files than the adaptive filters with full
        // matching, several times faster, and they read faster too.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_strategy(png, Z_RLE);
    } else {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    }
    png_write_info(png, info);
    if (job.colourType == PngFile::PaletteType && job.bitDepth < 8)
        png_set_packing(png);
    if (job.colourType != PngFile::PaletteType)
        png_set_bgr(png);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = nullptr;
        fillRow(job, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

ColourValue greyLevel(int index, int levels) {
    const auto v = static_cast<unsigned>(index * 255 / (levels - 1));
    return rgb(v, v, v);
}

} // namespace

struct PngFile::Reader {
    PngCall call;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Reader() {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

namespace {

// libpng's write structures for one save, freed with the object.
struct PngWriter {
    PngCall call;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() {
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

} // namespace

PngFile::PngFile(std::string path)
    : GraphicFile(std::move(path)), m_saveBits(lastSaveBits),
      m_transparentZero(lastTransparentZero), m_writeOffsets(lastWriteOffsets) {
    m_typeName = "PNG";
}

PngFile::~PngFile() = default;

void PngFile::releaseReader() {
    m_reader.reset();
}

void PngFile::setOffsets(int x, int y) {
    m_offsetX = x;
    m_offsetY = y;
    m_hasOffsets = true;
}

Status PngFile::readHeader() {
    releaseReader();
    if (isOpen())
        close();
    if (const Status s = open('R', true); s != status::Ok)
        return s;
    const auto failClosed = [this](Status code) {
        releaseReader();
        close();
        return fail(code);
    };
    if (measureFileSize() < 0)
        return failClosed(status::SeekError);

    m_reader = std::make_unique<Reader>();
    Reader& r = *m_reader;
    r.call.file = this;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r.call, pngError, pngWarning);
    if (!r.png)
        return failClosed(status::OutOfMemory);
    r.info = png_create_info_struct(r.png);
    if (!r.info)
        return failClosed(status::OutOfMemory);
    png_set_read_fn(r.png, &r.call, pngRead);
    // Declared sizes are checked against these before libpng allocates.
    png_set_user_limits(r.png, CellImage::MaxDimension, CellImage::MaxDimension);
    png_set_chunk_cache_max(r.png, MaxChunkCount);
    png_set_chunk_malloc_max(r.png, MaxChunkBytes);
    png_set_read_user_chunk_fn(r.png, &r.call, pngUnknownChunk);
    if (!GuardedReadInfo(r.png, r.info))
        return failClosed(failureOf(r.call, status::FormatError));

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    m_width = static_cast<int>(std::min<png_uint_32>(width, 0x7FFFFFFF));
    m_height = static_cast<int>(std::min<png_uint_32>(height, 0x7FFFFFFF));
    m_bitDepth = depth;
    m_colourType = colourType;
    m_interlaced = interlace != PNG_INTERLACE_NONE;
    m_bitsPerPixel = depth * png_get_channels(r.png, r.info);
    m_animated = r.call.animated;

    m_paletteEntries = 0;
    png_colorp palette = nullptr;
    if (png_get_PLTE(r.png, r.info, &palette, &m_paletteEntries) == 0)
        m_paletteEntries = 0;
    m_transparentEntries = 0;
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p transparentColour = nullptr;
    if (png_get_tRNS(r.png, r.info, &alpha, &alphaCount, &transparentColour) != 0)
        m_transparentEntries = colourType == PaletteType ? alphaCount : 1;

    m_hasOffsets = false;
    png_int_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_oFFs(r.png, r.info, &x, &y, &unit) != 0 && unit == PNG_OFFSET_PIXEL) {
        m_hasOffsets = true;
        m_offsetX = x;
        m_offsetY = y;
    }
    // A save over the file writes what it holds.
    m_saveBits = colourType == PaletteType && depth <= 4 ? 4 : 8;
    m_transparentZero = colourType == PaletteType && alphaCount > 0 && alpha && alpha[0] == 0;
    m_writeOffsets = m_hasOffsets;

    if (m_width <= 0 || m_height <= 0)
        return failClosed(status::FormatError);
    if (m_width > CellImage::MaxDimension || m_height > CellImage::MaxDimension)
        return failClosed(status::OutOfMemory);
    // The rows as they are stored, one filter byte each; both products fit
    // in 64 bits for any size libpng lets through.
    const std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(m_width) * static_cast<std::uint64_t>(m_bitsPerPixel) + 7) / 8;
    const std::uint64_t stored = (rowBytes + 1) * static_cast<std::uint64_t>(m_height);
    if (stored > MaxDecodedBytes)
        return failClosed(status::OutOfMemory);
    if (stored > InflateRatio * static_cast<std::uint64_t>(m_fileSize) + InflateSlack)
        return failClosed(status::FormatError);
    return fail(status::Ok);
}

int PngFile::showInfo(Ui& ui) {
    ControlTable table = PngLoadTable(*this);
    return ui.runDialog(table);
}

CellImagePtr PngFile::readImage() {
    m_readMask.reset();
    if (!m_reader && readHeader() != status::Ok)
        return nullptr;
    struct Closer {
        PngFile& file;
        ~Closer() {
            const Status kept = file.error();
            file.releaseReader();
            file.close();
            file.fail(kept);
        }
    } closer{*this};
    Reader& r = *m_reader;

    const bool indexed = m_colourType == PaletteType || m_colourType == GreyType;
    const bool greyAlpha = m_colourType == GreyAlphaType;
    if (m_colourType == PaletteType || m_colourType == GreyType)
        if (m_bitDepth < 8)
            png_set_packing(r.png);
    if (m_bitDepth == 16)
        png_set_strip_16(r.png);
    if (!indexed && !greyAlpha) {
        png_set_bgr(r.png);
        if (m_colourType == RgbType && m_transparentEntries > 0)
            png_set_tRNS_to_alpha(r.png);
    }
    // A grey picture's transparent level marks the mask like alpha: a 16-bit
    // level is compared by libpng before the samples lose their low byte,
    // narrower ones below on the indices.
    const bool greyKey = m_colourType == GreyType && m_transparentEntries > 0;
    if (greyKey && m_bitDepth == 16)
        png_set_tRNS_to_alpha(r.png);
    png_set_interlace_handling(r.png);
    if (!GuardedUpdateInfo(r.png, r.info)) {
        fail(failureOf(r.call, status::FormatError));
        return nullptr;
    }
    const int channels = png_get_channels(r.png, r.info);
    const std::size_t rowBytes = png_get_rowbytes(r.png, r.info);
    const bool hasAlpha = channels == 2 || channels == 4;

    auto image = CellImage::Create(m_width, m_height, channels >= 3 ? 24 : 8);
    CellImagePtr mask;
    const bool keyMask = greyKey && m_bitDepth <= 8 && m_alphaToMask;
    int key = -1;
    if (keyMask) {
        png_bytep alpha = nullptr;
        int count = 0;
        png_color_16p colour = nullptr;
        if (png_get_tRNS(r.png, r.info, &alpha, &count, &colour) != 0 && colour)
            key = colour->gray;
    }
    if ((hasAlpha && m_alphaToMask) || keyMask)
        mask = CellImage::Create(m_width, m_height, 8);
    if (image->status() != status::Ok || (mask && mask->status() != status::Ok)) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    std::vector<std::uint8_t> decoded;
    std::vector<png_bytep> rows;
    try {
        if (hasAlpha)
            decoded.resize(rowBytes * static_cast<std::size_t>(m_height));
        rows.resize(static_cast<std::size_t>(m_height));
    } catch (const std::bad_alloc&) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    // Rows without alpha go straight into the picture.
    for (int y = 0; y < m_height; ++y)
        rows[static_cast<std::size_t>(y)] =
            hasAlpha ? decoded.data() + rowBytes * static_cast<std::size_t>(y) : image->row(y);
    if (!GuardedReadRows(r.png, rows.data())) {
        fail(failureOf(r.call, status::FormatError));
        return nullptr;
    }

    if (channels <= 2) {
        std::array<ColourValue, 256> palette{};
        const int levels =
            m_colourType == PaletteType ? m_paletteEntries : 1 << std::min(m_bitDepth, 8);
        // Entries a picture of fewer than 8 bits cannot use come from the
        // current group, as a 1- or 4-bit bitmap is widened.
        if (m_bitDepth < 8 && m_sourcePalette)
            std::copy_n(m_sourcePalette, 256, palette.begin());
        if (m_colourType == PaletteType) {
            png_colorp entries = nullptr;
            int count = 0;
            png_get_PLTE(r.png, r.info, &entries, &count);
            for (int i = 0; i < count && i < 256; ++i)
                palette[i] = rgb(entries[i].red, entries[i].green, entries[i].blue);
        } else {
            for (int i = 0; i < levels; ++i)
                palette[i] = greyLevel(i, levels);
        }
        image->SetPalette(palette.data(), 256);
        // Only a short palette needs its indices checked.
        const bool checkIndices = m_colourType == PaletteType && levels < (1 << m_bitDepth);
        for (int y = 0; y < m_height && (checkIndices || channels == 2 || keyMask); ++y) {
            const std::uint8_t* source = rows[static_cast<std::size_t>(y)];
            std::uint8_t* out = image->row(y);
            std::uint8_t* maskRow = mask ? mask->row(y) : nullptr;
            for (int x = 0; x < m_width; ++x) {
                const std::uint8_t index = source[channels * x];
                // An index beyond the palette has no colour: the file is wrong.
                if (checkIndices && index >= levels) {
                    fail(status::FormatError);
                    return nullptr;
                }
                if (channels == 2) {
                    out[x] = index;
                    if (maskRow)
                        maskRow[x] = static_cast<std::uint8_t>(255 - source[2 * x + 1]);
                } else if (maskRow) {
                    maskRow[x] = index == key ? 255 : 0;
                }
            }
        }
    } else if (channels == 4) {
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* source = rows[static_cast<std::size_t>(y)];
            std::uint8_t* out = image->row(y);
            std::uint8_t* maskRow = mask ? mask->row(y) : nullptr;
            for (int x = 0; x < m_width; ++x) {
                out[3 * x] = source[4 * x];
                out[3 * x + 1] = source[4 * x + 1];
                out[3 * x + 2] = source[4 * x + 2];
                if (maskRow)
                    maskRow[x] = static_cast<std::uint8_t>(255 - source[4 * x + 3]);
            }
        }
    }
    m_readMask = std::move(mask);
    fail(status::Ok);
    return image;
}

CellImagePtr PngFile::takeMask() {
    return std::move(m_readMask);
}

void PngFile::setFromImage(const CellImage& image) {
    m_bitsPerPixel = image.bitsPerPixel();
}

void PngFile::setFromDocument(const GraphicFile& document) {
    // The KiSS offsets travel with the picture between cells and PNGs.
    if (const auto* cell = dynamic_cast<const KissCellFile*>(&document)) {
        setOffsets(cell->offsetX(), cell->offsetY());
        // A 16-colour cell stays 16 colours, and an old one, which has no
        // offsets, writes none: the PNG then turns back into the same cell.
        if (cell->kind() != 2 || cell->bitsPerPixel() == 4)
            m_saveBits = 4;
        m_writeOffsets = cell->kind() != 0;
    } else if (const auto* png = dynamic_cast<const PngFile*>(&document); png && png->hasOffsets())
        setOffsets(png->offsetX(), png->offsetY());
}

void PngFile::remember() const {
    lastSaveBits = m_saveBits;
    lastTransparentZero = m_transparentZero;
    lastWriteOffsets = m_writeOffsets;
}

int PngFile::askSaveOptions(Ui& ui) {
    ControlTable table = PngSaveTable(*this, m_bitsPerPixel <= 8);
    const int result = ui.runDialog(table);
    if (result == 1) {
        ApplyPngSaveTable(table, *this);
        remember();
    }
    return result;
}

Status PngFile::writeBody() {
    m_storedMask = false;
    const CellImage* picture = image();
    if (!picture || !picture->pixels())
        return fail(status::BadImage);
    const int depth = picture->bitsPerPixel();
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return fail(status::DepthNotSavable);
    const CellImage* maskPlane = mask();
    const bool useMask = depth == 24 && maskPlane && maskPlane->pixels() &&
                         maskPlane->bitsPerPixel() == 8 && maskPlane->width() == picture->width() &&
                         maskPlane->height() == picture->height();

    auto job = std::make_unique<PngWriteJob>();
    job->picture = picture;
    job->mask = useMask ? maskPlane : nullptr;
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(std::max<std::size_t>(8 * static_cast<std::size_t>(picture->stride()),
                                            4 * static_cast<std::size_t>(picture->width())) +
                      32);
    } catch (const std::bad_alloc&) {
        return fail(status::OutOfMemory);
    }
    job->rowBuffer = buffer.data();
    if (depth == 24) {
        job->colourType = useMask ? RgbAlphaType : RgbType;
        job->bitDepth = 8;
    } else {
        // 4 bits only when asked for and every index fits.
        bool fitsFour = depth <= 4;
        if (!fitsFour && m_saveBits == 4) {
            fitsFour = true;
            for (int y = 0; y < picture->height() && fitsFour; ++y) {
                const std::uint8_t* row = picture->row(y);
                for (int x = 0; x < picture->width(); ++x)
                    if (row[x] > 15) {
                        fitsFour = false;
                        break;
                    }
            }
        }
        job->colourType = PaletteType;
        job->bitDepth = m_saveBits == 4 && fitsFour ? 4 : 8;
        job->paletteEntries = 1 << job->bitDepth;
        for (int i = 0; i < job->paletteEntries; ++i) {
            const ColourValue c = picture->paletteEntry(i);
            job->palette[i] = {static_cast<png_byte>(redOf(c)), static_cast<png_byte>(greenOf(c)),
                               static_cast<png_byte>(blueOf(c))};
        }
        job->transparentZero = m_transparentZero;
    }
    job->offsets = m_writeOffsets;
    job->offsetX = m_offsetX;
    job->offsetY = m_offsetY;

    PngWriter writer;
    writer.call.file = this;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer.call, pngError, pngWarning);
    if (!writer.png)
        return fail(status::OutOfMemory);
    writer.info = png_create_info_struct(writer.png);
    if (!writer.info)
        return fail(status::OutOfMemory);
    png_set_write_fn(writer.png, &writer.call, pngWrite, pngFlush);
    if (!GuardedWrite(writer.png, writer.info, *job))
        return fail(failureOf(writer.call, status::WriteError));
    m_storedMask = useMask;
    return fail(status::Ok);
}

Status ReadPngFromMemory(std::span<const std::uint8_t> bytes, CellImagePtr& picture,
                         CellImagePtr& mask) {
    PngFile file("memory.png");
    file.readFromMemory(bytes);
    if (const Status s = file.readHeader(); s != status::Ok)
        return s;
    picture = file.readImage();
    if (!picture)
        return file.error() != status::Ok ? file.error() : status::FormatError;
    mask = file.takeMask();
    return status::Ok;
}

std::string PngColourTypeText(int colourType) {
    switch (colourType) {
    case PngFile::GreyType:
        return "グレー";
    case PngFile::RgbType:
        return "RGB";
    case PngFile::PaletteType:
        return "パレット";
    case PngFile::GreyAlphaType:
        return "グレー＋α";
    case PngFile::RgbAlphaType:
        return "RGB＋α";
    default:
        return "（不明）";
    }
}

ControlTable PngLoadTable(const PngFile& file) {
    char size[64];
    std::snprintf(size, sizeof size, "%d × %d", file.width(), file.height());
    std::string transparency = "（なし）";
    if (file.transparentEntries() > 0)
        transparency = file.colourType() == PngFile::PaletteType
                           ? std::to_string(file.transparentEntries()) + " 色"
                           : std::string("あり");
    std::string offsets = "（なし）";
    if (file.hasOffsets())
        offsets = std::to_string(file.offsetX()) + "  " + std::to_string(file.offsetY());
    std::string type = PngColourTypeText(file.colourType());
    if (file.interlaced())
        type += "（インターレース）";
    ControlTable table;
    table.name = "PngLoad";
    table.title = "PNG ファイル情報";
    table.add(staticText(-1, "ファイル:", 0));
    table.add(staticText(200, file.name(), 0));
    table.add(staticText(-1, "サイズ:", 1));
    table.add(staticText(201, size, 1));
    table.add(staticText(-1, "ビット長:", 2));
    table.add(staticText(202, std::to_string(file.bitDepth()), 2));
    table.add(staticText(-1, "種類:", 3));
    table.add(staticText(203, type, 3));
    table.add(staticText(-1, "パレット:", 4));
    table.add(staticText(204, std::to_string(file.paletteEntries()), 4));
    table.add(staticText(-1, "透明色:", 5));
    table.add(staticText(205, transparency, 5));
    table.add(staticText(-1, "位置:", 6));
    table.add(staticText(206, offsets, 6));
    table.add(button(1, "&Load", 7));
    table.add(button(2, "&Cancel", 7));
    return table;
}

ControlTable PngSaveTable(const PngFile& file, bool indexed) {
    ControlTable table;
    table.name = "PngSave";
    table.title = "PNG ファイルの保存";
    table.add(staticText(-1, "ファイル名:", 0));
    table.add(staticText(200, file.name(), 0));
    table.add(groupBox(240, " 種類 ", 1));
    table.add(radioButton(241, "16色", 240, file.saveBits() == 4, 2));
    table.add(radioButton(242, "256色", 240, file.saveBits() != 4, 2));
    table.controls.back().enabled = indexed;
    table.controls[table.controls.size() - 2].enabled = indexed;
    table.add(checkBox(280, "インデックス0を透明にする", file.transparentZero(), 3));
    table.controls.back().enabled = indexed;
    // The offsets come from the picture's cell or PNG and are only shown.
    table.add(checkBox(281,
                       "位置を保存する（" + std::to_string(file.offsetX()) + ", " +
                           std::to_string(file.offsetY()) + "）",
                       file.writeOffsets(), 4));
    table.add(button(1, "&Save", 5));
    table.add(button(2, "&Cancel", 5));
    return table;
}

void ApplyPngSaveTable(const ControlTable& table, PngFile& file) {
    const int chosen = table.checkedRadio(241, 242);
    if (chosen >= 0)
        file.setSaveBits(chosen == 241 ? 4 : 8);
    if (table.has(280))
        file.setTransparentZero(table.value(280) != 0);
    if (table.has(281))
        file.setWriteOffsets(table.value(281) != 0);
}

} // namespace celdo
