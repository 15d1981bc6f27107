#include "formats/BmpFile.h"

#include "formats/LittleEndian.h"
#include "formats/ReduceAdaptive.h"
#include "framework/Ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace celdo {

namespace {

constexpr std::uint32_t NoCompression = 0;
constexpr std::uint32_t Rle8 = 1;
constexpr std::uint32_t Rle4 = 2;
constexpr std::uint32_t BitFields = 3;
constexpr int FileHeaderSize = 14;
// The information header fields the reader uses all lie in the first 64 bytes.
constexpr std::uint32_t HeaderArea = 64;
// A run-length picture may hold this much more than 256 pixels for every byte
// of its data; a tiny file declaring an enormous picture is refused before
// anything is allocated.
constexpr std::uint64_t RleAllowance = 16u << 20;

using littleEndian::dword;
using littleEndian::putDword;
using littleEndian::putWord;
using littleEndian::word;

bool readableDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 16 || bits == 32;
}

} // namespace

BmpFile::BmpFile(std::string path) : GraphicFile(std::move(path)) {
    m_typeName = "BMP";
    m_bitsPerPixel = 0;
}

Status BmpFile::readFileHeader() {
    std::uint8_t fileHeader[FileHeaderSize];
    if (Status s = read(fileHeader, sizeof fileHeader); s != status::Ok)
        return s;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        close();
        return fail(status::FormatError);
    }
    m_dataOffset = dword(fileHeader + 10);
    return status::Ok;
}

Status BmpFile::readHeader() {
    if (Status s = open('R', true); s != status::Ok)
        return s;
    if (measureFileSize() < 0)
        return fail(status::SeekError);
    const long long headerStart = m_packed ? 0 : FileHeaderSize;
    if (!m_packed)
        if (Status s = readFileHeader(); s != status::Ok)
            return s;

    std::uint32_t headerSize = 0;
    if (Status s = readDword(headerSize); s != status::Ok)
        return s;
    if (headerSize > m_fileSize - headerStart)
        return fail(status::ReadError);
    m_headerSize = headerSize;
    m_coreHeader = headerSize == 12;
    std::uint8_t area[HeaderArea] = {};
    if (m_coreHeader) {
        // OS/2 core header: 16-bit sizes, no compression field.
        if (Status s = read(area + 4, 8); s != status::Ok)
            return s;
        m_width = word(area + 4);
        m_height = word(area + 6);
        m_topDown = false;
        m_bitsPerPixel = CellImage::declaredDepth(word(area + 8), word(area + 10));
        m_compression = NoCompression;
    } else {
        if (headerSize < 16) {
            close();
            return fail(status::FormatError);
        }
        const std::uint32_t kept = std::min(headerSize, HeaderArea);
        if (Status s = read(area + 4, kept - 4); s != status::Ok)
            return s;
        const auto width = static_cast<std::int32_t>(dword(area + 4));
        const auto height = static_cast<std::int32_t>(dword(area + 8));
        // Negative heights are top-down files; sizes beyond an int are refused
        // by the reader later, so clamping keeps them out of range.
        m_topDown = height < 0;
        const long long rows = height < 0 ? -static_cast<long long>(height) : height;
        m_width = width;
        m_height = static_cast<int>(std::min<long long>(rows, 0x7FFFFFFF));
        m_bitsPerPixel = CellImage::declaredDepth(word(area + 12), word(area + 14));
        m_compression = headerSize >= 20 ? dword(area + 16) : NoCompression;
    }
    m_paletteColours = m_bitsPerPixel >= 1 && m_bitsPerPixel <= 8 ? 1 << m_bitsPerPixel : 0;
    m_tableColours = m_paletteColours;
    m_palettePosition = headerStart + static_cast<long long>(headerSize);

    m_masks = defaultMasks(m_bitsPerPixel);
    if (m_compression == BitFields) {
        // Version 2 and later headers hold the masks; a 40-byte header is
        // followed by them, and the colour table comes after.
        const std::uint8_t* masks = area + 40;
        std::uint8_t following[12] = {};
        if (headerSize < 52) {
            if (seek(m_palettePosition, SEEK_SET) < 0)
                return fail(status::SeekError);
            if (Status s = read(following, sizeof following); s != status::Ok)
                return s;
            masks = following;
            m_palettePosition += sizeof following;
        }
        m_masks = {dword(masks), dword(masks + 4), dword(masks + 8)};
    }
    if (m_packed)
        if (Status s = placePackedData(area); s != status::Ok)
            return s;
    return fail(status::Ok);
}

Status BmpFile::placePackedData(const std::uint8_t* area) {
    // Without a file header the pixels follow the colour table.  Its length
    // is the colours-used field when set (a picture of more than 8 bits may
    // carry such a table too), else the full table of the depth.
    const std::uint32_t used = !m_coreHeader && m_headerSize >= 36 ? dword(area + 32) : 0;
    if (m_bitsPerPixel <= 8 && used > static_cast<std::uint32_t>(m_paletteColours)) {
        close();
        return fail(status::FormatError);
    }
    if (used > 0)
        m_tableColours = m_bitsPerPixel <= 8 ? static_cast<int>(used) : 0;
    const long long entries = used > 0 ? used : m_paletteColours;
    m_dataOffset = m_palettePosition + entries * (m_coreHeader ? 3 : 4);
    return status::Ok;
}

int BmpFile::showInfo(Ui& ui) {
    ControlTable table = BmpLoadTable(name(), m_width, m_height, m_bitsPerPixel, m_compression);
    return ui.runDialog(table);
}

Status BmpFile::checkReadable() {
    // Compressions this reader does not know (JPEG, PNG, Huffman, RLE24 ...)
    // are refused as unsupported before the depth, which they may leave 0.
    if (m_compression > BitFields)
        return status::Unsupported;
    if (m_width <= 0 || m_height <= 0 || !readableDepth(m_bitsPerPixel))
        return status::FormatError;
    const bool supported =
        m_compression == NoCompression || (m_compression == Rle8 && m_bitsPerPixel == 8) ||
        (m_compression == Rle4 && m_bitsPerPixel == 4) ||
        (m_compression == BitFields && (m_bitsPerPixel == 16 || m_bitsPerPixel == 32));
    if (!supported)
        return status::Unsupported;
    m_rowSize = dibRowSize(m_width, m_bitsPerPixel);
    if (m_rowSize == 0)
        return status::FormatError;
    if (m_dataOffset >= m_fileSize)
        return status::ReadError;
    const std::uint64_t available = static_cast<std::uint64_t>(m_fileSize - m_dataOffset);
    if (m_compression == Rle8 || m_compression == Rle4) {
        const std::uint64_t pixels = static_cast<std::uint64_t>(m_width) * m_height;
        if (pixels > RleAllowance + 256 * available)
            return status::FormatError;
    } else if (static_cast<std::uint64_t>(m_rowSize) * m_height > available) {
        return status::ReadError;
    }
    if (m_width > CellImage::MaxDimension || m_height > CellImage::MaxDimension)
        return status::OutOfMemory;
    return status::Ok;
}

CellImagePtr BmpFile::readImage() {
    struct Closer {
        BmpFile& file;
        ~Closer() {
            const Status kept = file.error();
            file.close();
            file.fail(kept);
        }
    } closer{*this};

    if (Status s = checkReadable(); s != status::Ok) {
        fail(s);
        return nullptr;
    }
    const int depth = m_bitsPerPixel > 8 ? 24 : m_bitsPerPixel;
    auto image = CellImage::Create(m_width, m_height, depth);
    if (image->status() != status::Ok) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    Status s = m_bitsPerPixel <= 8 ? readPalette(*image) : status::Ok;
    if (s == status::Ok && seek(m_dataOffset, SEEK_SET) < 0)
        s = status::SeekError;
    if (s == status::Ok)
        s = m_compression == Rle8 || m_compression == Rle4 ? readRunLengthRows(*image)
                                                           : readPlainRows(*image);
    fail(s);
    if (s != status::Ok)
        return nullptr;
    return image;
}

Status BmpFile::readPalette(CellImage& image) {
    // The full table of the depth is read whatever the colours-used field
    // says; only a file too short to hold it gets black for the missing
    // entries.
    const int entrySize = m_coreHeader ? 3 : 4;
    std::array<ColourValue, 256> palette{};
    const long long room = std::max(0LL, m_fileSize - m_palettePosition) / entrySize;
    const int count = static_cast<int>(std::min<long long>(m_tableColours, room));
    if (count > 0) {
        std::vector<std::uint8_t> table(static_cast<std::size_t>(count) * entrySize);
        if (seek(m_palettePosition, SEEK_SET) < 0)
            return status::SeekError;
        if (Status s = read(table.data(), table.size()); s != status::Ok)
            return s;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* e = table.data() + static_cast<std::size_t>(i) * entrySize;
            palette[i] = rgb(e[2], e[1], e[0]);
        }
    }
    image.SetPalette(palette.data(), m_paletteColours);
    return status::Ok;
}

Status BmpFile::readPlainRows(CellImage& image) {
    const int height = m_height;
    if (m_bitsPerPixel == image.bitsPerPixel()) {
        // The stored rows have the record's own layout.
        if (!m_topDown)
            return read(image.pixels(), image.imageSize());
        for (int y = 0; y < height; ++y)
            if (Status s = read(image.row(y), m_rowSize); s != status::Ok)
                return s;
        return status::Ok;
    }
    const MaskedRowConverter converter(m_masks, m_bitsPerPixel);
    std::vector<std::uint8_t> row(m_rowSize);
    for (int i = 0; i < height; ++i) {
        if (Status s = read(row.data(), row.size()); s != status::Ok)
            return s;
        converter.convert(row.data(), m_width, image.row(m_topDown ? i : height - 1 - i));
    }
    return status::Ok;
}

Status BmpFile::readRunLengthRows(CellImage& image) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(m_fileSize - m_dataOffset));
    if (Status s = read(data.data(), data.size()); s != status::Ok)
        return s;
    return decodeRle(data.data(), data.size(), m_bitsPerPixel, m_topDown, image);
}

void BmpFile::setFromImage(const CellImage& image) {
    m_saveBits = image.bitsPerPixel() == 0 ? 8 : image.bitsPerPixel();
}

int BmpFile::askSaveOptions(Ui& ui) {
    ControlTable table = BmpSaveTable(name(), m_saveBits);
    const int result = ui.runDialog(table);
    if (result == 1)
        m_saveBits = BmpSaveChoice(table);
    return result;
}

Status BmpFile::writeBody() {
    const CellImage& source = *image();
    const int from = source.bitsPerPixel();
    const int to = m_saveBits == 0 ? from : m_saveBits;
    CellImagePtr converted;
    bool converting = true;
    if (to == from) {
        converting = false;
    } else if (to == 1 && (from == 4 || from == 8)) {
        if (auto copy = source.Duplicate())
            converted = copy->ConvertTo1();
    } else if (to == 4 && (from == 1 || from == 8)) {
        if (auto copy = source.Duplicate())
            converted = copy->ConvertTo4();
    } else if (to == 8 && (from == 1 || from == 4)) {
        if (auto copy = source.Duplicate())
            converted = copy->ConvertTo8(nullptr);
    } else if (to == 8 && from == 24) {
        converted = ReduceAdaptive(source);
    } else if (to == 24 && from <= 8) {
        converted = source.ConvertTo24();
    } else {
        converting = false;
    }
    if (converting && !converted)
        return fail(status::OutOfMemory);
    const CellImage& out = converted ? *converted : source;

    const int bits = out.bitsPerPixel();
    const std::uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const std::uint32_t rowSize = out.stride();
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(out.height());
    const std::uint32_t dataOffset = 54 + 4 * colours;

    std::vector<std::uint8_t> header(dataOffset, 0);
    header[0] = 'B';
    header[1] = 'M';
    putDword(&header[2], dataOffset + imageSize);
    putDword(&header[10], dataOffset);
    putDword(&header[14], 40);
    putDword(&header[18], static_cast<std::uint32_t>(out.width()));
    putDword(&header[22], static_cast<std::uint32_t>(out.height()));
    putWord(&header[26], 1);
    putWord(&header[28], static_cast<std::uint32_t>(bits));
    putDword(&header[34], imageSize);
    putDword(&header[46], colours);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const ColourValue c = out.paletteEntry(static_cast<int>(i));
        std::uint8_t* e = &header[54 + 4 * i];
        e[0] = static_cast<std::uint8_t>(blueOf(c));
        e[1] = static_cast<std::uint8_t>(greenOf(c));
        e[2] = static_cast<std::uint8_t>(redOf(c));
    }
    if (Status s = write(header.data(), header.size()); s != status::Ok)
        return s;
    // Seeking writes the buffered header out, so the pixel block below goes
    // to the file in one piece instead of through the buffer.
    if (seek(position(), SEEK_SET) < 0)
        return fail(status::WriteError);
    // The record's rows are already stored bottom row first, padded to 4.
    if (Status s = write(out.pixels(), imageSize); s != status::Ok)
        return s;
    return fail(status::Ok);
}

ControlTable BmpLoadTable(const std::string& fileName, int width, int height, int bitsPerPixel,
                          std::uint32_t compression) {
    char size[64];
    std::snprintf(size, sizeof size, "%d × %d", width, height);
    const char* method = "（不明）";
    switch (compression) {
    case NoCompression:
        method = "（なし）";
        break;
    case Rle8:
        method = "RLE8";
        break;
    case Rle4:
        method = "RLE4";
        break;
    default:
        break;
    }
    ControlTable table;
    table.name = "BmpLoad";
    table.title = "BMP ファイル情報";
    table.add(staticText(-1, "ファイル:", 0));
    table.add(staticText(200, fileName, 0));
    table.add(staticText(-1, "サイズ:", 1));
    table.add(staticText(201, size, 1));
    table.add(staticText(-1, "ビット長:", 2));
    table.add(staticText(202, std::to_string(bitsPerPixel), 2));
    table.add(staticText(-1, "圧縮方式", 3));
    table.add(staticText(203, method, 3));
    table.add(button(1, "&Load", 4));
    table.add(button(2, "&Cancel", 4));
    return table;
}

ControlTable BmpSaveTable(const std::string& fileName, int bits) {
    const int checked = bits == 1 ? 241 : bits == 4 ? 242 : bits == 24 ? 244 : 243;
    ControlTable table;
    table.name = "BmpSave";
    table.title = "BMP ファイルの保存";
    table.add(staticText(-1, "ファイル名:", 0));
    table.add(staticText(200, fileName, 0));
    table.add(groupBox(240, " 種類 ", 1));
    table.add(radioButton(241, "モノクロ", 1, checked == 241, 2));
    table.add(radioButton(242, "16色", 1, checked == 242, 2));
    table.add(radioButton(243, "256色", 1, checked == 243, 3));
    table.add(radioButton(244, "フルカラー", 1, checked == 244, 3));
    table.add(button(1, "&Save", 4));
    table.add(button(2, "&Cancel", 4));
    return table;
}

int BmpSaveChoice(const ControlTable& table) {
    switch (table.checkedRadio(241, 244)) {
    case 241:
        return 1;
    case 242:
        return 4;
    case 244:
        return 24;
    default:
        return 8;
    }
}

} // namespace celdo
