#include "formats/IconFile.h"

#include "formats/DibReader.h"
#include "formats/LittleEndian.h"
#include "framework/Ui.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace celdo {

namespace {

constexpr int DirectoryHeaderSize = 6;
constexpr int EntrySize = 16;
constexpr int InfoHeaderSize = 40;
constexpr int MaxSide = 256;

using littleEndian::dword;
using littleEndian::putDword;
using littleEndian::putWord;
using littleEndian::word;

int bitsForColours(int colours) {
    return colours == 2 ? 1 : colours == 256 ? 8 : 4;
}

// The palette index of pixel x of a stored row of 1, 4 or 8 bits.
int indexAt(const std::uint8_t* row, int x, int bits) {
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

void putIndex(std::uint8_t* row, int x, int bits, int value) {
    switch (bits) {
    case 1:
        if (value & 1)
            row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        break;
    case 4:
        row[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? (value & 0x0F) : ((value & 0x0F) << 4));
        break;
    default:
        row[x] = static_cast<std::uint8_t>(value);
        break;
    }
}

} // namespace

IconFile::IconFile(std::string path, int variant)
    : GraphicFile(std::move(path)),
      m_variant(variant == CursorVariant ? CursorVariant : IconVariant),
      m_colours(m_variant == CursorVariant ? 2 : 16) {
    m_typeName = "ICON";
    m_bitsPerPixel = bitsForColours(m_colours);
    m_width = 32;
    m_height = 32;
}

void IconFile::setColours(int colours) {
    m_colours = colours == 2 || colours == 256 ? colours : 16;
    m_bitsPerPixel = bitsForColours(m_colours);
}

void IconFile::setSize(int width, int height) {
    m_width = std::clamp(width, 1, MaxSide);
    m_height = std::clamp(height, 1, MaxSide);
}

void IconFile::setHotspot(int x, int y) {
    m_hotspotX = x;
    m_hotspotY = y;
}

Status IconFile::readHeader() {
    if (Status s = open('R', true); s != status::Ok)
        return s;
    if (measureFileSize() < 0)
        return fail(status::SeekError);
    std::uint8_t header[DirectoryHeaderSize];
    if (Status s = read(header, sizeof header); s != status::Ok)
        return s;
    const int type = word(header + 2);
    const int count = word(header + 4);
    if (word(header) != 0 || (type != IconVariant && type != CursorVariant) || count == 0) {
        close();
        return fail(status::FormatError);
    }
    if (DirectoryHeaderSize + static_cast<long long>(EntrySize) * count > m_fileSize)
        return fail(status::ReadError);
    m_variant = type;
    m_pageCount = count;
    return fail(status::Ok);
}

Status IconFile::selectPage() {
    close();
    if (Status s = open('R', true); s != status::Ok)
        return s;
    if (m_page < 0 || m_page >= m_pageCount)
        return fail(status::FormatError);
    std::uint8_t entry[EntrySize];
    if (seek(DirectoryHeaderSize + static_cast<long long>(EntrySize) * m_page, SEEK_SET) < 0)
        return fail(status::SeekError);
    if (Status s = read(entry, sizeof entry); s != status::Ok)
        return s;
    // A size byte of 0 stands for 256.
    int width = entry[0] == 0 ? MaxSide : entry[0];
    int height = entry[1] == 0 ? MaxSide : entry[1];
    const int colourCount = entry[2];
    m_hotspotX = word(entry + 4);
    m_hotspotY = word(entry + 6);
    const long long offset = dword(entry + 12);

    if (offset + InfoHeaderSize > m_fileSize)
        return fail(status::ReadError);
    std::uint8_t info[InfoHeaderSize];
    if (seek(offset, SEEK_SET) < 0)
        return fail(status::SeekError);
    if (Status s = read(info, sizeof info); s != status::Ok)
        return s;
    static const std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(info, PngSignature, sizeof PngSignature) == 0)
        return fail(status::Unsupported);

    const std::uint32_t headerSize = dword(info);
    const auto dibWidth = static_cast<std::int32_t>(dword(info + 4));
    const auto dibHeight = static_cast<std::int32_t>(dword(info + 8));
    const int bitCount = word(info + 14);
    const int depth = CellImage::declaredDepth(word(info + 12), word(info + 14));
    const std::uint32_t compression = dword(info + 16);
    if (headerSize < InfoHeaderSize)
        return fail(status::FormatError);
    if (bitCount > 8 || depth > 8 || compression != 0)
        return fail(status::Unsupported);

    // The image's own header describes the bytes that follow; the directory
    // only stands in where the header leaves the depth open.
    int bits = 0;
    if (depth == 1 || depth == 4 || depth == 8)
        bits = depth;
    else if (colourCount == 2)
        bits = 1;
    else if (colourCount == 8 || colourCount == 16)
        bits = 4;
    else
        return fail(status::FormatError);
    if (dibWidth >= 1 && dibWidth <= MaxSide && dibHeight >= 2 && dibHeight <= 2 * MaxSide) {
        width = dibWidth;
        height = dibHeight / 2;
    }

    m_bitsPerPixel = bits;
    m_colours = 1 << bits;
    m_width = width;
    m_height = height;
    m_xorRowSize = dibRowSize(width, bits);
    m_andRowSize = dibRowSize(width, 1);
    m_palettePosition = offset + headerSize;
    m_xorPosition = m_palettePosition + 4LL * m_colours;
    m_andPosition = m_xorPosition + static_cast<long long>(height) * m_xorRowSize;
    m_dataOffset = m_xorPosition;
    if (m_andPosition + static_cast<long long>(height) * m_andRowSize > m_fileSize)
        return fail(status::ReadError);
    return fail(status::Ok);
}

int IconFile::showInfo(Ui& ui) {
    ControlTable table =
        m_variant == CursorVariant
            ? CurLoadTable(name(), m_colours, m_width, m_height, m_hotspotX, m_hotspotY)
            : IconLoadTable(name(), m_colours, m_width, m_height);
    return ui.runDialog(table);
}

CellImagePtr IconFile::readImage() {
    struct Closer {
        IconFile& file;
        ~Closer() {
            const Status kept = file.error();
            file.close();
            file.fail(kept);
        }
    } closer{*this};

    // Without a selected page there is nothing measured to read.
    if (m_xorRowSize == 0 || (m_colours != 2 && m_colours != 16 && m_colours != 256)) {
        fail(status::FormatError);
        return nullptr;
    }
    auto image = CellImage::Create(m_width, m_height, 8);
    if (image->status() != status::Ok) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    std::vector<std::uint8_t> table(4 * static_cast<std::size_t>(m_colours));
    std::vector<std::uint8_t> xorRows(static_cast<std::size_t>(m_xorRowSize) * m_height);
    std::vector<std::uint8_t> andRows(static_cast<std::size_t>(m_andRowSize) * m_height);
    Status s = status::Ok;
    if (seek(m_palettePosition, SEEK_SET) < 0)
        s = status::SeekError;
    if (s == status::Ok)
        s = read(table.data(), table.size());
    if (s == status::Ok)
        s = read(xorRows.data(), xorRows.size());
    if (s == status::Ok)
        s = read(andRows.data(), andRows.size());
    if (s != status::Ok) {
        fail(s);
        return nullptr;
    }

    std::array<ColourValue, 256> palette{};
    for (int i = 0; i < m_colours; ++i)
        palette[i] = rgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
    palette[Inverted] = m_colours == 2 ? rgb(255, 0, 255) : rgb(166, 202, 240);
    palette[Screen] = m_colours == 2 ? rgb(0, 128, 128) : rgb(192, 220, 192);
    image->SetPalette(palette.data(), 256);

    for (int i = 0; i < m_height; ++i) {
        const std::uint8_t* xorRow = xorRows.data() + static_cast<std::size_t>(i) * m_xorRowSize;
        const std::uint8_t* andRow = andRows.data() + static_cast<std::size_t>(i) * m_andRowSize;
        std::uint8_t* out = image->row(m_height - 1 - i);
        for (int x = 0; x < m_width; ++x) {
            const int value = indexAt(xorRow, x, m_bitsPerPixel);
            if (indexAt(andRow, x, 1) == 0)
                out[x] = static_cast<std::uint8_t>(value);
            else
                out[x] = value == 0 ? Screen : Inverted;
        }
    }
    fail(status::Ok);
    return image;
}

void IconFile::setFromImage(const CellImage& image) {
    if (m_variant == CursorVariant) {
        m_width = m_height = 32;
        return;
    }
    m_width = std::min(image.width(), MaxSide);
    m_height = std::min(image.height(), MaxSide);
}

void IconFile::setFromDocument(const GraphicFile& document) {
    auto side = [](int v) { return v >= 256 ? 255 : v <= 0 ? 32 : v; };
    if (m_variant == CursorVariant) {
        m_width = m_height = 32;
    } else {
        m_width = side(document.width());
        m_height = side(document.height());
    }
    const int bits = document.bitsPerPixel();
    setColours(bits == 1 ? 2 : bits == 8 ? 256 : 16);
    if (const auto* icon = dynamic_cast<const IconFile*>(&document))
        setHotspot(icon->hotspotX(), icon->hotspotY());
}

int IconFile::askSaveOptions(Ui& ui) {
    ControlTable table = m_variant == CursorVariant
                             ? CursorSaveTable(name(), m_colours, m_hotspotX, m_hotspotY)
                             : IconSaveTable(name(), m_colours, m_width, m_height);
    const int result = ui.runDialog(table);
    if (result != 1)
        return result;
    setColours(IconSaveColours(table));
    if (m_variant == CursorVariant)
        setHotspot(table.value(360), table.value(363));
    else
        setSize(table.value(360), table.value(363));
    return result;
}

Status IconFile::writeBody() {
    const CellImage& source = *image();
    const int sourceBits = source.bitsPerPixel();
    if (sourceBits > 8)
        return fail(status::DepthNotSavable);
    const int colours = m_colours == 2 || m_colours == 256 ? m_colours : 16;
    const int bits = bitsForColours(colours);
    const int width = m_variant == CursorVariant ? 32 : m_width;
    const int height = m_variant == CursorVariant ? 32 : m_height;
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
        return fail(status::SizeNotSavable);
    const std::uint32_t xorRowSize = dibRowSize(width, bits);
    const std::uint32_t andRowSize = dibRowSize(width, 1);
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(height) * (xorRowSize + andRowSize);
    const std::uint32_t tableBytes = 4u * static_cast<std::uint32_t>(colours);

    std::vector<std::uint8_t> head(22 + InfoHeaderSize + tableBytes, 0);
    putWord(&head[2], static_cast<std::uint32_t>(m_variant));
    putWord(&head[4], 1);
    std::uint8_t* entry = &head[6];
    entry[0] = static_cast<std::uint8_t>(width);
    entry[1] = static_cast<std::uint8_t>(height);
    if (m_variant == CursorVariant) {
        putWord(entry + 4, static_cast<std::uint32_t>(m_hotspotX));
        putWord(entry + 6, static_cast<std::uint32_t>(m_hotspotY));
    } else {
        entry[2] = static_cast<std::uint8_t>(colours);
    }
    putDword(entry + 8, pixelBytes + tableBytes + InfoHeaderSize);
    putDword(entry + 12, 22);
    std::uint8_t* info = &head[22];
    putDword(info, InfoHeaderSize);
    putDword(info + 4, static_cast<std::uint32_t>(width));
    putDword(info + 8, static_cast<std::uint32_t>(2 * height));
    putWord(info + 12, 1);
    putWord(info + 14, static_cast<std::uint32_t>(bits));
    putDword(info + 20, pixelBytes);
    for (int i = 0; i < colours; ++i) {
        const ColourValue c =
            (colours == 256 && i == Screen) ? rgb(255, 255, 255) : source.paletteEntry(i);
        std::uint8_t* e = &head[22 + InfoHeaderSize + 4 * i];
        e[0] = static_cast<std::uint8_t>(blueOf(c));
        e[1] = static_cast<std::uint8_t>(greenOf(c));
        e[2] = static_cast<std::uint8_t>(redOf(c));
    }

    std::vector<std::uint8_t> xorRows(static_cast<std::size_t>(xorRowSize) * height, 0);
    std::vector<std::uint8_t> andRows(static_cast<std::size_t>(andRowSize) * height, 0);
    const int rows = std::min(height, source.height());
    const int columns = std::min(width, source.width());
    const int allOnes = (1 << bits) - 1;
    for (int i = 0; i < rows; ++i) {
        const std::uint8_t* in = source.row(rows - 1 - i);
        std::uint8_t* xorRow = xorRows.data() + static_cast<std::size_t>(i) * xorRowSize;
        std::uint8_t* andRow = andRows.data() + static_cast<std::size_t>(i) * andRowSize;
        for (int x = 0; x < columns; ++x) {
            const int index = indexAt(in, x, sourceBits);
            if (index == Inverted || index == Screen) {
                putIndex(andRow, x, 1, 1);
                if (index == Inverted)
                    putIndex(xorRow, x, bits, allOnes);
            } else {
                putIndex(xorRow, x, bits, index);
            }
        }
    }
    if (Status s = write(head.data(), head.size()); s != status::Ok)
        return s;
    if (Status s = write(xorRows.data(), xorRows.size()); s != status::Ok)
        return s;
    if (Status s = write(andRows.data(), andRows.size()); s != status::Ok)
        return s;
    return fail(status::Ok);
}

namespace {

void addColourGroup(ControlTable& table, int colours, int row) {
    table.add(groupBox(240, "色数", row));
    table.add(radioButton(241, "2色", 1, colours == 2, row + 1));
    table.add(radioButton(242, "16色", 1, colours != 2 && colours != 256, row + 1));
    table.add(radioButton(243, "256色", 1, colours == 256, row + 1));
}

ControlTable loadTable(const char* name, const char* title, const std::string& fileName,
                       int colours, int width, int height) {
    char size[64];
    std::snprintf(size, sizeof size, "%d色  %d × %d", colours, width, height);
    ControlTable table;
    table.name = name;
    table.title = title;
    table.add(staticText(-1, "ファイル", 0));
    table.add(staticText(200, fileName, 0));
    table.add(staticText(-1, "サイズ", 1));
    table.add(staticText(201, size, 1));
    return table;
}

void addLoadButtons(ControlTable& table) {
    table.add(button(1, "&Load", 5));
    table.add(button(2, "&Cancel", 5));
}

void addSaveButtons(ControlTable& table) {
    table.add(button(1, "保存(&S)", 9));
    table.add(button(2, "取消(&C)", 9));
}

} // namespace

ControlTable IconLoadTable(const std::string& fileName, int colours, int width, int height) {
    ControlTable table =
        loadTable("IconLoad", "Icon ファイル情報", fileName, colours, width, height);
    addLoadButtons(table);
    return table;
}

ControlTable CurLoadTable(const std::string& fileName, int colours, int width, int height,
                          int hotspotX, int hotspotY) {
    ControlTable table =
        loadTable("CurLoad", "Cursor ファイル情報", fileName, colours, width, height);
    char hotspot[32];
    std::snprintf(hotspot, sizeof hotspot, "%d,%d", hotspotX, hotspotY);
    table.add(staticText(-1, "ホットスポット", 2));
    table.add(staticText(202, hotspot, 2));
    addLoadButtons(table);
    return table;
}

ControlTable IconSaveTable(const std::string& fileName, int colours, int width, int height) {
    static const int Sizes[3] = {32, 16, 48};
    int chosen = 3;
    for (int i = 0; i < 3; ++i)
        if (width == Sizes[i] && height == Sizes[i])
            chosen = i;
    ControlTable table;
    table.name = "IconSave";
    table.title = "アイコンの保存";
    table.add(staticText(-1, "ファイル名", 0));
    table.add(staticText(200, fileName, 0));
    addColourGroup(table, colours, 1);
    table.add(staticText(-1, "サイズ", 3));
    table.add(listBox(320, {"32×32", "16×16", "48×48", "その他"}, chosen, 3));
    table.add(groupBox(-1, "大きさ", 4));
    table.add(staticText(-1, "横幅", 5));
    table.add(scrollBar(360, 1, 256, 10, width, 361, 5));
    table.add(staticText(361, std::to_string(width), 5));
    table.add(staticText(-1, "高さ", 6));
    table.add(scrollBar(363, 1, 256, 10, height, 364, 6));
    table.add(staticText(364, std::to_string(height), 6));
    table.setEnabled(360, chosen == 3);
    table.setEnabled(363, chosen == 3);
    table.onChange = [](ControlTable& t, int id) {
        if (id != 320)
            return;
        const int entry = t.value(320);
        if (entry >= 0 && entry < 3) {
            t.assignValue(360, Sizes[entry]);
            t.assignValue(363, Sizes[entry]);
        }
        t.setEnabled(360, entry == 3);
        t.setEnabled(363, entry == 3);
    };
    addSaveButtons(table);
    return table;
}

ControlTable CursorSaveTable(const std::string& fileName, int colours, int hotspotX, int hotspotY) {
    ControlTable table;
    table.name = "CursorSave";
    table.title = "カーソルの保存";
    table.add(staticText(-1, "ファイル名", 0));
    table.add(staticText(200, fileName, 0));
    addColourGroup(table, colours, 1);
    table.add(staticText(-1, "サイズ　３２×３２", 3));
    table.add(groupBox(-1, "ホットスポット", 4));
    table.add(staticText(-1, "Ｘ座標", 5));
    table.add(scrollBar(360, 0, 31, 8, hotspotX, 361, 5));
    table.add(staticText(361, std::to_string(std::clamp(hotspotX, 0, 31)), 5));
    table.add(staticText(-1, "Ｙ座標", 6));
    table.add(scrollBar(363, 0, 31, 8, hotspotY, 364, 6));
    table.add(staticText(364, std::to_string(std::clamp(hotspotY, 0, 31)), 6));
    addSaveButtons(table);
    return table;
}

int IconSaveColours(const ControlTable& table) {
    switch (table.checkedRadio(241, 243)) {
    case 241:
        return 2;
    case 243:
        return 256;
    default:
        return 16;
    }
}

} // namespace celdo
