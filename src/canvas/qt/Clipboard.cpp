#include "canvas/qt/Clipboard.h"

#include "canvas/ClipboardData.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace celdo {

namespace {

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

QByteArray byteArrayOf(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// Puts the picture's bytes, its display image and (when there are any) the
// mask bytes on the clipboard as one set of formats.
void publish(const CellImage& picture, const ClipboardData& data) {
    auto mime = std::make_unique<QMimeData>();
    mime->setData(BitmapMimeType, byteArrayOf(data.bitmap));
    mime->setImageData(displayImage(picture));
    if (!data.mask.empty())
        mime->setData(MaskMimeType, byteArrayOf(data.mask));
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

} // namespace

bool CopyPictureToClipboard(PaintSurface& surface) {
    if (!surface.picture)
        return false;
    publish(*surface.picture, ClipboardData::ofSurface(surface));
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
    publish(*part, ClipboardData::ofRegion(surface, region));
    return true;
}

void PutPictureOnClipboard(const CellImage& picture, const CellImage* mask) {
    publish(picture, ClipboardData::ofPicture(picture, mask));
}

ClipboardPicture ReadClipboardPicture() {
    ClipboardPicture result;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return result;
    if (mime->hasFormat(BitmapMimeType))
        result.picture = ClipboardData::readPicture(bytesOf(mime->data(BitmapMimeType)));
    if (!result.picture && mime->hasImage())
        result.picture = fromQImage(qvariant_cast<QImage>(mime->imageData()));
    if (result.picture && mime->hasFormat(MaskMimeType))
        result.mask = ClipboardData::readMask(bytesOf(mime->data(MaskMimeType)), *result.picture);
    return result;
}

bool ClipboardHasPicture() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (mime->hasFormat(BitmapMimeType) || mime->hasImage());
}

} // namespace celdo
