#include "canvas/qt/Clipboard.h"

#include "canvas/MaskClipboard.h"
#include "formats/DibReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <cstring>
#include <memory>

namespace celdo {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

void putWord(std::vector<std::uint8_t>& out, std::size_t at, unsigned v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void putDword(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    putWord(out, at, v & 0xFFFF);
    putWord(out, at + 2, v >> 16);
}
unsigned word(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t dword(const std::uint8_t* p) {
    return word(p) | (static_cast<std::uint32_t>(word(p + 2)) << 16);
}

int tableEntries(int bits) {
    return bits <= 8 ? (1 << bits) : 0;
}

// A QImage of the record for programs that cannot read our bitmap bytes.
QImage displayImage(const CellImage& image) {
    if (image.bitsPerPixel() == 24) {
        QImage out(image.width(), image.height(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            const std::uint8_t* src = image.row(y);
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        }
        return out;
    }
    QImage out(image.width(), image.height(), QImage::Format_Indexed8);
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i) {
        const ColourValue c = image.paletteEntry(i);
        table[i] = qRgb(redOf(c), greenOf(c), blueOf(c));
    }
    out.setColorTable(table);
    std::vector<std::uint8_t> values(static_cast<std::size_t>(image.width()) + 8);
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* src = image.row(y);
        switch (image.bitsPerPixel()) {
        case 8:
            std::memcpy(values.data(), src, static_cast<std::size_t>(image.width()));
            break;
        case 4:
            values.resize(std::max(values.size(), 2 * static_cast<std::size_t>(image.stride())));
            image.UnpackRow4(values.data(), src);
            break;
        default:
            image.UnpackRow1(values.data(), src);
            break;
        }
        std::memcpy(out.scanLine(y), values.data(), static_cast<std::size_t>(image.width()));
    }
    return out;
}

CellImagePtr fromQImage(const QImage& source) {
    if (source.isNull() || source.width() > CellImage::MaxDimension ||
        source.height() > CellImage::MaxDimension)
        return nullptr;
    if (source.format() == QImage::Format_Indexed8 || source.format() == QImage::Format_Mono ||
        source.format() == QImage::Format_MonoLSB) {
        const QImage indexed = source.convertToFormat(QImage::Format_Indexed8);
        auto image = CellImage::Create(indexed.width(), indexed.height(), 8);
        if (!image || image->status() != status::Ok)
            return nullptr;
        std::vector<ColourValue> palette(256, 0);
        const QList<QRgb> table = indexed.colorTable();
        for (qsizetype i = 0; i < std::min<qsizetype>(table.size(), 256); ++i)
            palette[static_cast<std::size_t>(i)] =
                rgb(qRed(table[i]), qGreen(table[i]), qBlue(table[i]));
        image->SetPalette(palette.data(), 256);
        for (int y = 0; y < indexed.height(); ++y)
            std::memcpy(image->row(y), indexed.constScanLine(y),
                        static_cast<std::size_t>(indexed.width()));
        return image;
    }
    const QImage colour = source.convertToFormat(QImage::Format_RGB32);
    auto image = CellImage::Create(colour.width(), colour.height(), 24);
    if (!image || image->status() != status::Ok)
        return nullptr;
    for (int y = 0; y < colour.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
        std::uint8_t* out = image->row(y);
        for (int x = 0; x < colour.width(); ++x) {
            out[3 * x] = static_cast<std::uint8_t>(qBlue(line[x]));
            out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(line[x]));
            out[3 * x + 2] = static_cast<std::uint8_t>(qRed(line[x]));
        }
    }
    return image;
}

// Puts the picture and (when there are any) the mask bytes on the clipboard
// as one set of formats.
void publish(const CellImage& picture, std::vector<std::uint8_t> maskBytes) {
    auto mime = std::make_unique<QMimeData>();
    const std::vector<std::uint8_t> bitmap = bitmapFileBytes(picture);
    mime->setData(BitmapMimeType, QByteArray(reinterpret_cast<const char*>(bitmap.data()),
                                             static_cast<qsizetype>(bitmap.size())));
    mime->setImageData(displayImage(picture));
    if (!maskBytes.empty())
        mime->setData(MaskMimeType, QByteArray(reinterpret_cast<const char*>(maskBytes.data()),
                                               static_cast<qsizetype>(maskBytes.size())));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

} // namespace

std::vector<std::uint8_t> bitmapFileBytes(const CellImage& image) {
    if (!image.pixels())
        return {};
    const int entries = tableEntries(image.bitsPerPixel());
    const std::size_t offset =
        FileHeaderSize + InfoHeaderSize + 4 * static_cast<std::size_t>(entries);
    std::vector<std::uint8_t> out(offset + image.imageSize(), 0);
    out[0] = 'B';
    out[1] = 'M';
    putDword(out, 2, static_cast<std::uint32_t>(out.size()));
    putDword(out, 10, static_cast<std::uint32_t>(offset));
    std::size_t h = FileHeaderSize;
    putDword(out, h, InfoHeaderSize);
    putDword(out, h + 4, static_cast<std::uint32_t>(image.width()));
    putDword(out, h + 8, static_cast<std::uint32_t>(image.height()));
    putWord(out, h + 12, 1);
    putWord(out, h + 14, static_cast<unsigned>(image.bitsPerPixel()));
    for (int i = 0; i < entries; ++i)
        putDword(out, h + InfoHeaderSize + 4 * static_cast<std::size_t>(i),
                 swapRedBlue(image.paletteEntry(i)));
    std::memcpy(out.data() + offset, image.pixels(), image.imageSize());
    return out;
}

CellImagePtr readBitmapBytes(const std::uint8_t* data, std::size_t size) {
    if (!data)
        return nullptr;
    std::size_t start = 0;
    std::size_t pixelOffset = 0;
    if (size >= FileHeaderSize && data[0] == 'B' && data[1] == 'M') {
        start = FileHeaderSize;
        pixelOffset = dword(data + 10);
    }
    if (size < start + InfoHeaderSize)
        return nullptr;
    const std::uint8_t* h = data + start;
    const std::uint32_t headerSize = dword(h);
    if (headerSize < InfoHeaderSize || headerSize > size - start)
        return nullptr;
    const auto width = static_cast<std::int32_t>(dword(h + 4));
    const auto rawHeight = static_cast<std::int32_t>(dword(h + 8));
    const unsigned planes = word(h + 12);
    const int bits = static_cast<int>(word(h + 14));
    const std::uint32_t compression = dword(h + 16);
    const std::uint32_t used = dword(h + 32);
    if (planes != 1 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return nullptr;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    if (width > CellImage::MaxDimension || height > CellImage::MaxDimension)
        return nullptr;

    const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    const bool fields = compression == 3 && (bits == 16 || bits == 32);
    if (!rle && !fields && compression != 0)
        return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return nullptr;
    if (rle && topDown)
        return nullptr;

    std::size_t tableAt = start + headerSize;
    ChannelMasks masks = defaultMasks(bits);
    if (fields) {
        const std::uint8_t* m = h + InfoHeaderSize;
        if (headerSize == InfoHeaderSize) {
            if (size < tableAt + 12)
                return nullptr;
            m = data + tableAt;
            tableAt += 12;
        }
        masks = {dword(m), dword(m + 4), dword(m + 8)};
    }
    int colours = 0;
    if (bits <= 8) {
        colours = used ? static_cast<int>(std::min<std::uint32_t>(used, 1u << bits)) : (1 << bits);
        if (used > (1u << bits))
            return nullptr;
    }
    const std::size_t tableEnd = tableAt + 4 * static_cast<std::size_t>(colours);
    if (tableEnd > size)
        return nullptr;
    if (pixelOffset == 0)
        pixelOffset = tableEnd;
    if (pixelOffset < tableEnd || pixelOffset > size)
        return nullptr;

    const std::uint32_t rowSize = dibRowSize(width, bits);
    if (rowSize == 0)
        return nullptr;
    const std::size_t available = size - pixelOffset;
    if (!rle &&
        static_cast<std::uint64_t>(rowSize) * static_cast<std::uint64_t>(height) > available)
        return nullptr;

    const int recordBits = bits > 8 ? 24 : bits;
    auto image = CellImage::Create(width, height, recordBits);
    if (!image || image->status() != status::Ok)
        return nullptr;
    if (bits <= 8) {
        std::vector<ColourValue> palette(static_cast<std::size_t>(1 << bits), 0);
        for (int i = 0; i < colours; ++i)
            palette[static_cast<std::size_t>(i)] =
                swapRedBlue(dword(data + tableAt + 4 * static_cast<std::size_t>(i)));
        image->SetPalette(palette.data(), 1 << bits);
    }
    const std::uint8_t* pixels = data + pixelOffset;
    if (rle) {
        if (decodeRle(pixels, available, bits, false, *image) != status::Ok)
            return nullptr;
        return image;
    }
    const MaskedRowConverter converter(masks, bits == 16 || bits == 32 ? bits : 32);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* src = pixels + static_cast<std::size_t>(r) * rowSize;
        const int y = topDown ? r : height - 1 - r;
        std::uint8_t* out = image->row(y);
        if (bits == 16 || bits == 32)
            converter.convert(src, width, out);
        else
            std::memcpy(out, src, std::min<std::size_t>(rowSize, image->stride()));
    }
    return image;
}

bool CopyPictureToClipboard(PaintSurface& surface) {
    if (!surface.picture)
        return false;
    publish(*surface.picture, maskClipboardDataFor(surface));
    return true;
}

bool CopyRegionToClipboard(PaintSurface& surface, const Rect& region) {
    if (!surface.picture)
        return false;
    const Rect r = region.intersected({0, 0, surface.picture->width(), surface.picture->height()});
    if (r.empty())
        return false;
    CellImagePtr part = surface.picture->Crop(r.left, r.top, r.right, r.bottom);
    if (!part)
        return false;
    publish(*part, maskClipboardDataFor(surface, r));
    return true;
}

void PutPictureOnClipboard(const CellImage& picture, const CellImage* mask) {
    publish(picture, mask ? writeMaskClipboardData(*mask) : std::vector<std::uint8_t>());
}

ClipboardPicture ReadClipboardPicture() {
    ClipboardPicture result;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return result;
    if (mime->hasFormat(BitmapMimeType)) {
        const QByteArray bytes = mime->data(BitmapMimeType);
        result.picture = readBitmapBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size()));
    }
    if (!result.picture && mime->hasImage())
        result.picture = fromQImage(qvariant_cast<QImage>(mime->imageData()));
    if (!result.picture)
        return result;
    if (mime->hasFormat(MaskMimeType)) {
        const QByteArray bytes = mime->data(MaskMimeType);
        CellImagePtr mask =
            readMaskClipboardData(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size()));
        if (mask && mask->width() == result.picture->width() &&
            mask->height() == result.picture->height())
            result.mask = std::move(mask);
    }
    return result;
}

bool ClipboardHasPicture() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (mime->hasFormat(BitmapMimeType) || mime->hasImage());
}

} // namespace celdo
