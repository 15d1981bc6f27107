#include "formats/KissCellFile.h"

#include "formats/KissHeader.h"

#include "formats/LittleEndian.h"
#include "formats/PngFile.h"
#include "framework/Ui.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace celdo {

std::atomic<int> KissCellFile::lastCellKind{DefaultKind};
std::atomic<int> KissCellFile::lastCellOffsetX{0};
std::atomic<int> KissCellFile::lastCellOffsetY{0};

namespace {

constexpr std::uint8_t Magic[4] = {'K', 'i', 'S', 'S'};
constexpr std::uint8_t CellMark = 0x20;

using littleEndian::signedWord;

void putWord(std::uint8_t* bytes, int value) {
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

long long rowBytesFor(int width, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 4:
        return (static_cast<long long>(width) + 1) / 2;
    case 8:
        return width;
    case 32:
        return 4LL * width;
    default:
        return 0;
    }
}

} // namespace

KissCellFile::KissCellFile(std::string path)
    : GraphicFile(std::move(path)), m_kind(lastCellKind), m_offsetX(lastCellOffsetX),
      m_offsetY(lastCellOffsetY) {
    m_typeName = "CELL";
}

long long KissCellFile::dataSize() const {
    if (m_width <= 0 || m_height <= 0)
        return 0;
    return rowBytesFor(m_width, m_bitsPerPixel) * m_height;
}

Status KissCellFile::readHeader() {
    KissHead header;
    bool tagged = false;
    if (const Status code = ReadKissHead(*this, header, tagged); code != status::Ok)
        return fail(code);
    auto failClosed = [this](Status code) {
        close();
        return fail(code);
    };
    if (tagged) {
        m_bitsPerPixel = header[5];
        m_width = signedWord(&header[8]);
        m_height = signedWord(&header[10]);
        m_offsetX = signedWord(&header[12]);
        m_offsetY = signedWord(&header[14]);
        m_kind = m_bitsPerPixel == 4 ? 1 : 2;
        m_dataOffset = HeaderSize;
        if (m_bitsPerPixel != 4 && m_bitsPerPixel != 8 && m_bitsPerPixel != 32)
            return failClosed(status::FormatError);
    } else {
        // Anything without the magic is an old cell: two size words.
        m_width = signedWord(&header[0]);
        m_height = signedWord(&header[2]);
        m_kind = 0;
        m_offsetX = m_offsetY = 0;
        m_bitsPerPixel = 4;
        m_dataOffset = OldHeaderSize;
    }
    // A picture needs at least one pixel; the sizes are signed 16-bit.
    if (m_width <= 0 || m_height <= 0)
        return failClosed(status::FormatError);
    return fail(status::Ok);
}

std::string KissCellFile::kindText(int kind, int bitsPerPixel) {
    switch (kind) {
    case 0:
        return "16色（旧タイプ）";
    case 1:
        return "16色";
    case 2:
        if (bitsPerPixel == 8)
            return "256色";
        if (bitsPerPixel == 32)
            return "True Color";
        break;
    default:
        break;
    }
    return "（不明）";
}

ControlTable KissCellFile::loadDialog() const {
    ControlTable table;
    table.name = "KissCellLoad";
    table.title = "KiSS セル ファイル情報";
    // Unnumbered captions say what each value is.
    table.add(staticText(200, name(), 0));
    table.add(staticText(-1, "サイズ:", 1));
    table.add(staticText(201, std::to_string(m_width) + " × " + std::to_string(m_height), 1));
    table.add(staticText(-1, "位置:", 2));
    table.add(
        staticText(202, std::to_string(m_offsetX) + "  " + std::to_string(m_offsetY) + " ", 2));
    table.add(staticText(-1, "種類:", 3));
    table.add(staticText(203, kindText(m_kind, m_bitsPerPixel), 3));
    table.add(button(1, "&Load", 5));
    table.add(button(2, "&Cancel", 5));
    return table;
}

ControlTable KissCellFile::loadDialog2() const {
    ControlTable table = loadDialog();
    table.name = "KissCellLoad2";
    table.assignText(203, "True Color");
    // The check box sits above the buttons.
    auto buttons = table.controls.end() - 2;
    table.controls.insert(buttons, checkBox(280, "αチャネルをマスクにする", m_alphaToMask, 4));
    return table;
}

ControlTable KissCellFile::saveDialog() const {
    ControlTable table;
    table.name = "KissCellSave";
    table.title = "KiSS セル ファイル保存情報";
    table.add(staticText(200, name(), 0));
    const int x = std::clamp(m_offsetX, 0, OffsetMaximum);
    const int y = std::clamp(m_offsetY, 0, OffsetMaximum);
    table.add(staticText(-1, "X位置", 1));
    table.add(scrollBar(360, 0, OffsetMaximum, 50, x, 361, 1));
    table.add(staticText(361, std::to_string(x), 1));
    table.add(staticText(-1, "Y位置", 2));
    table.add(scrollBar(363, 0, OffsetMaximum, 50, y, 364, 2));
    table.add(staticText(364, std::to_string(y), 2));
    table.add(groupBox(240, " 種類 ", 3));
    table.add(radioButton(241, "16色(old)", 240, m_kind == 0, 4));
    table.add(radioButton(242, "16色", 240, m_kind == 1, 4));
    table.add(radioButton(243, "256色", 240, m_kind == 2, 4));
    table.add(button(1, "&Save", 5));
    table.add(button(2, "&Cancel", 5));
    return table;
}

ControlTable KissCellFile::saveDialog2() const {
    ControlTable table;
    table.name = "KissCellSave2";
    table.title = "KiSS セル（True Color） ファイル保存情報";
    ControlTable plain = saveDialog();
    // The name and the two offsets with their captions.
    for (const Control& c : plain.controls)
        if (c.row >= 0 && c.row <= 2)
            table.add(c);
    table.add(checkBox(280, "マスクをαチャネルにする", m_maskToAlpha, 3));
    table.add(button(1, "&Save", 5));
    table.add(button(2, "&Cancel", 5));
    return table;
}

void KissCellFile::applyLoadDialog(const ControlTable& table) {
    if (table.has(280))
        m_alphaToMask = table.value(280) != 0;
}

void KissCellFile::applySaveDialog(const ControlTable& table) {
    // The scroll bars cannot show offsets outside 0–2000; an offset the user
    // did not move keeps its exact value (a negative offset stays negative).
    if (table.value(360) != std::clamp(m_offsetX, 0, OffsetMaximum))
        m_offsetX = table.value(360);
    if (table.value(363) != std::clamp(m_offsetY, 0, OffsetMaximum))
        m_offsetY = table.value(363);
    if (table.has(241)) {
        const int chosen = table.checkedRadio(241, 243);
        if (chosen >= 0)
            m_kind = chosen - 241;
    }
    if (table.has(280))
        m_maskToAlpha = table.value(280) != 0;
}

int KissCellFile::showInfo(Ui& ui) {
    ControlTable table = (m_kind == 2 && m_bitsPerPixel == 32) ? loadDialog2() : loadDialog();
    const int result = ui.runDialog(table);
    if (result == 1)
        applyLoadDialog(table);
    return result;
}

int KissCellFile::askSaveOptions(Ui& ui) {
    ControlTable table = m_bitsPerPixel < 24 ? saveDialog() : saveDialog2();
    const int result = ui.runDialog(table);
    if (result == 1)
        applySaveDialog(table);
    return result;
}

void KissCellFile::setFromImage(const CellImage& image) {
    m_bitsPerPixel = image.bitsPerPixel();
    m_maskToAlpha = m_bitsPerPixel >= 24;
}

void KissCellFile::setFromDocument(const GraphicFile& document) {
    // A PNG of 16 colours was a 16-colour cell, an old one when it carries
    // no offsets.
    const auto* png = dynamic_cast<const PngFile*>(&document);
    if (!png || png->bitDepth() == 0)
        return;
    if (png->hasOffsets())
        setOffsets(png->offsetX(), png->offsetY());
    if (png->colourType() == PngFile::PaletteType)
        m_kind = png->bitDepth() <= 4 ? (png->hasOffsets() ? 1 : 0) : 2;
}

void KissCellFile::remember() const {
    lastCellOffsetX = m_offsetX;
    lastCellOffsetY = m_offsetY;
    lastCellKind = m_kind;
}

CellImagePtr KissCellFile::readImage() {
    m_readMask.reset();
    if (!isOpen() && open('R', true) != status::Ok)
        return nullptr;
    CellImagePtr image = readPixels();
    // Closing a file opened for reading cannot fail, but it resets the error
    // field; keep the reader's code.
    const Status result = image ? status::Ok : m_error;
    close();
    fail(result);
    if (!image) {
        m_readMask.reset();
        return nullptr;
    }
    remember();
    return image;
}

CellImagePtr KissCellFile::readPixels() {
    if (m_width <= 0 || m_height <= 0 || dataSize() == 0) {
        fail(status::FormatError);
        return nullptr;
    }
    // Checked before anything is allocated: a header may promise more rows
    // than the file holds.
    if (m_fileSize < m_dataOffset || m_fileSize - m_dataOffset < dataSize()) {
        fail(status::ReadError);
        return nullptr;
    }
    if (seek(m_dataOffset, SEEK_SET) < 0)
        return nullptr;
    return m_bitsPerPixel == 32 ? readTrueColour() : readIndexed();
}

CellImagePtr KissCellFile::readIndexed() {
    CellImagePtr image = CellImage::Create(m_width, m_height, 8);
    if (image->status() != status::Ok) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    if (m_sourcePalette) {
        image->SetPalette(m_sourcePalette, 256);
    } else {
        std::array<ColourValue, 256> grey{};
        if (m_bitsPerPixel == 4)
            for (int i = 0; i < 16; ++i)
                grey[i] = static_cast<ColourValue>(17 * i) * 0x010101u;
        else
            for (int i = 0; i < 256; ++i)
                grey[i] = static_cast<ColourValue>(i) * 0x010101u;
        image->SetPalette(grey.data(), 256);
    }
    if (m_bitsPerPixel == 8) {
        // File rows run top-down and unpadded, picture rows bottom-up.
        std::vector<std::uint8_t*> rows(static_cast<std::size_t>(m_height));
        for (int y = 0; y < m_height; ++y)
            rows[static_cast<std::size_t>(y)] = image->row(y);
        if (readInto(rows, static_cast<std::size_t>(m_width)) != status::Ok)
            return nullptr;
        return image;
    }
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(rowBytesFor(m_width, 4)));
    for (int y = 0; y < m_height; ++y) {
        if (read(packed.data(), packed.size()) != status::Ok)
            return nullptr;
        // Left pixel in the high nibble; an odd width leaves the last low
        // nibble as padding.
        std::uint8_t* row = image->row(y);
        for (int x = 0; x < m_width; ++x)
            row[x] = (x & 1) ? (packed[x / 2] & 0x0F) : (packed[x / 2] >> 4);
    }
    return image;
}

CellImagePtr KissCellFile::readTrueColour() {
    CellImagePtr image = CellImage::Create(m_width, m_height, 24);
    CellImagePtr mask;
    if (m_alphaToMask)
        mask = CellImage::Create(m_width, m_height, 8);
    if (image->status() != status::Ok || (mask && mask->status() != status::Ok)) {
        fail(status::OutOfMemory);
        return nullptr;
    }
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(rowBytesFor(m_width, 32)));
    for (int y = 0; y < m_height; ++y) {
        if (read(packed.data(), packed.size()) != status::Ok)
            return nullptr;
        std::uint8_t* out = image->row(y);
        std::uint8_t* maskRow = mask ? mask->row(y) : nullptr;
        for (int x = 0; x < m_width; ++x) {
            const std::uint8_t* pixel = &packed[4 * static_cast<std::size_t>(x)];
            out[3 * x] = pixel[0];
            out[3 * x + 1] = pixel[1];
            out[3 * x + 2] = pixel[2];
            if (maskRow)
                maskRow[x] = static_cast<std::uint8_t>(255 - pixel[3]);
        }
    }
    m_readMask = std::move(mask);
    return image;
}

CellImagePtr KissCellFile::takeMask() {
    return std::move(m_readMask);
}

Status KissCellFile::writeBody() {
    const CellImage* picture = image();
    if (!picture || !picture->pixels())
        return fail(status::BadImage);
    const int width = picture->width();
    const int height = picture->height();
    const int depth = picture->bitsPerPixel();
    // True colour is always a "KiSS" 32-bit cell, whatever kind was chosen.
    const bool trueColour = depth == 24;
    const int kind = trueColour ? 2 : std::clamp(m_kind, 0, 2);
    const int fileBits = trueColour ? 32 : (kind == 2 ? 8 : 4);

    std::vector<std::uint8_t> indices, packed;
    try {
        indices.resize(2 * static_cast<std::size_t>(width) + 32);
        packed.resize((trueColour ? 8 : 2) * static_cast<std::size_t>(width) + 32);
    } catch (const std::bad_alloc&) {
        return fail(status::OutOfMemory);
    }

    if (kind == 0) {
        if (writeWord(static_cast<std::uint16_t>(width)) != status::Ok ||
            writeWord(static_cast<std::uint16_t>(height)) != status::Ok)
            return m_error;
    } else {
        std::array<std::uint8_t, HeaderSize> header{};
        std::memcpy(header.data(), Magic, 4);
        header[4] = CellMark;
        header[5] = static_cast<std::uint8_t>(fileBits);
        putWord(&header[8], width);
        putWord(&header[10], height);
        putWord(&header[12], m_offsetX);
        putWord(&header[14], m_offsetY);
        if (write(header.data(), header.size()) != status::Ok)
            return m_error;
    }

    const CellImage* maskPlane = mask();
    const bool useMask = trueColour && m_maskToAlpha && maskPlane && maskPlane->pixels() &&
                         maskPlane->bitsPerPixel() == 8 && maskPlane->width() == width &&
                         maskPlane->height() == height;
    if (!trueColour && depth == 8 && kind == 2) {
        // File rows run top-down and unpadded: straight from the picture.
        std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            rows[static_cast<std::size_t>(y)] = picture->row(y);
        if (writeFrom(rows, static_cast<std::size_t>(width)) != status::Ok)
            return m_error;
        return fail(status::Ok);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture->row(y);
        if (trueColour) {
            const std::uint8_t* maskRow = useMask ? maskPlane->row(y) : nullptr;
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = &packed[4 * static_cast<std::size_t>(x)];
                pixel[0] = row[3 * x];
                pixel[1] = row[3 * x + 1];
                pixel[2] = row[3 * x + 2];
                // Without a mask the picture is fully opaque.
                pixel[3] = maskRow ? static_cast<std::uint8_t>(~maskRow[x]) : 0xFF;
            }
            if (write(packed.data(), 4 * static_cast<std::size_t>(width)) != status::Ok)
                return m_error;
            continue;
        }
        // One index a byte, whatever the picture's depth.
        if (depth == 4) {
            picture->UnpackRow4(indices.data(), row);
            row = indices.data();
        } else if (depth == 1) {
            picture->UnpackRow1(indices.data(), row);
            row = indices.data();
        } else if (depth != 8) {
            return fail(status::DepthNotSavable);
        }
        if (kind == 2) {
            if (write(row, static_cast<std::size_t>(width)) != status::Ok)
                return m_error;
            continue;
        }
        const std::size_t bytes = static_cast<std::size_t>(rowBytesFor(width, 4));
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::size_t left = 2 * i;
            const std::uint8_t right =
                left + 1 < static_cast<std::size_t>(width) ? (row[left + 1] & 0x0F) : 0;
            packed[i] = static_cast<std::uint8_t>(((row[left] & 0x0F) << 4) | right);
        }
        if (write(packed.data(), bytes) != status::Ok)
            return m_error;
    }
    return fail(status::Ok);
}

} // namespace celdo
