#include "core/CellImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace celdo {

void MallocDeleter::operator()(void* p) const noexcept {
    std::free(p);
}

namespace {

bool validDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

} // namespace

int CellImage::fullColourCount(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

int CellImage::declaredDepth(std::uint32_t planes, std::uint32_t bitCount) {
    const std::uint64_t depth = static_cast<std::uint64_t>(planes) * bitCount;
    return static_cast<int>(std::min<std::uint64_t>(depth, 0x7FFF));
}

std::uint32_t CellImage::strideFor(int width, int bitsPerPixel) {
    if (width <= 0 || width > MaxDimension || !validDepth(bitsPerPixel))
        return 0;
    std::uint32_t rowBytes = 0;
    switch (bitsPerPixel) {
    case 1:
        rowBytes = (static_cast<std::uint32_t>(width) + 7) / 8;
        break;
    case 4:
        rowBytes = (static_cast<std::uint32_t>(width) + 1) / 2;
        break;
    case 8:
        rowBytes = static_cast<std::uint32_t>(width);
        break;
    default:
        rowBytes = static_cast<std::uint32_t>(width) * 3;
        break;
    }
    return (rowBytes + 3) & ~3u;
}

std::unique_ptr<CellImage> CellImage::Create(int width, int height, int bitsPerPixel,
                                             bool allocate) {
    std::unique_ptr<CellImage> image(new CellImage);
    const bool sizeOk = width > 0 && height > 0 && width <= MaxDimension &&
                        height <= MaxDimension && validDepth(bitsPerPixel);
    image->m_width = sizeOk ? width : 0;
    image->m_height = sizeOk ? height : 0;
    image->m_bitsPerPixel = validDepth(bitsPerPixel) ? bitsPerPixel : 8;
    image->m_header.width = image->m_width;
    image->m_header.height = image->m_height;
    image->m_header.bitCount = static_cast<std::uint16_t>(image->m_bitsPerPixel);
    image->m_stride = sizeOk ? strideFor(width, bitsPerPixel) : 0;
    image->m_imageSize = image->m_stride * static_cast<std::uint32_t>(image->m_height);
    image->m_colorCount = CellImage::fullColourCount(image->m_bitsPerPixel);
    if (image->m_bitsPerPixel == 1) {
        image->m_palette[0] = 0x000000;
        image->m_palette[1] = 0xFFFFFF;
    }
    if (!sizeOk) {
        image->m_status = status::OutOfMemory;
        return image;
    }
    if (allocate) {
        image->m_pixels = static_cast<std::uint8_t*>(std::calloc(image->m_imageSize, 1));
        image->m_ownsPixels = true;
        if (!image->m_pixels)
            image->m_status = status::OutOfMemory;
    }
    return image;
}

std::unique_ptr<CellImage> CellImage::AdoptGlobalBitmap(void* headerBlock, void* pixelBlock) {
    std::unique_ptr<void, MallocDeleter> header(headerBlock);
    std::unique_ptr<void, MallocDeleter> pixels(pixelBlock);
    if (!header || !pixels)
        return nullptr;
    BitmapInfoHeader info;
    std::memcpy(&info, header.get(), sizeof info);
    const int depth = declaredDepth(info.planes, info.bitCount);
    if (info.size < sizeof(BitmapInfoHeader) || info.width <= 0 || info.height <= 0 ||
        info.compression != 0 || !validDepth(depth))
        return nullptr;
    auto image = Create(info.width, info.height, depth, false);
    if (image->status() != status::Ok)
        return nullptr;
    image->AdoptPixels(pixels.release(), true);
    const int count = CellImage::fullColourCount(depth);
    const auto* table = static_cast<const std::uint8_t*>(header.get()) + info.size;
    for (int i = 0; i < count; ++i) {
        std::uint32_t entry;
        std::memcpy(&entry, table + 4 * i, 4);
        image->m_palette[i] = swapRedBlue(entry & 0xFFFFFF);
    }
    image->SetPalette(nullptr, count);
    return image;
}

CellImage::~CellImage() {
    releasePixels();
}

void CellImage::releasePixels() {
    if (m_ownsPixels)
        std::free(m_pixels);
    m_pixels = nullptr;
}

void CellImage::AdoptPixels(void* block, bool own) {
    releasePixels();
    m_pixels = static_cast<std::uint8_t*>(block);
    m_ownsPixels = own;
    if (m_pixels && m_status == status::OutOfMemory)
        m_status = status::Ok;
}

std::unique_ptr<CellImage> CellImage::Duplicate() const {
    auto copy = Create(m_width, m_height, m_bitsPerPixel);
    if (copy->status() != status::Ok || !m_pixels)
        return nullptr;
    if (m_bitsPerPixel <= 8)
        copy->SetPalette(m_palette.data(), m_colorCount);
    std::memcpy(copy->m_pixels, m_pixels, m_imageSize);
    return copy;
}

void CellImage::GetRow(std::uint8_t* buffer, int y) const {
    std::memcpy(buffer, row(y), m_stride);
}

void CellImage::PutRow(const std::uint8_t* buffer, int y) {
    std::memcpy(row(y), buffer, m_stride);
}

void CellImage::PackRow4(std::uint8_t* destination, const std::uint8_t* source) const {
    for (std::uint32_t i = 0; i < m_stride; ++i)
        destination[i] =
            static_cast<std::uint8_t>((source[2 * i] << 4) | (source[2 * i + 1] & 0x0F));
}

void CellImage::UnpackRow4(std::uint8_t* destination, const std::uint8_t* source) const {
    for (std::uint32_t i = 0; i < m_stride; ++i) {
        destination[2 * i] = source[i] >> 4;
        destination[2 * i + 1] = source[i] & 0x0F;
    }
}

void CellImage::PackRow1(std::uint8_t* destination, const std::uint8_t* source) const {
    for (std::uint32_t i = 0; i < m_stride; ++i) {
        std::uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (source[8 * i + bit])
                byte |= static_cast<std::uint8_t>(0x80 >> bit);
        destination[i] = byte;
    }
}

void CellImage::UnpackRow1(std::uint8_t* destination, const std::uint8_t* source) const {
    for (int x = 0; x < m_width; x += 8) {
        const std::uint8_t byte = source[x / 8];
        for (int bit = 0; bit < 8; ++bit)
            destination[x + bit] = (byte >> (7 - bit)) & 1;
    }
}

int CellImage::GetPalette(std::uint32_t* destination, bool swap) const {
    for (int i = 0; i < m_colorCount; ++i)
        destination[i] = swap ? swapRedBlue(m_colorTable[i]) : m_colorTable[i];
    return m_colorCount;
}

void CellImage::writeColorTable(int from, int count) {
    for (int i = from; i < from + count; ++i)
        m_colorTable[i] = swapRedBlue(m_palette[i]) & 0xFFFFFF;
}

void CellImage::SetPalette(const ColourValue* source, int count) {
    if (m_bitsPerPixel > 8)
        return;
    if (count < 0)
        count = CellImage::fullColourCount(m_bitsPerPixel);
    count = std::min(count, 256);
    m_colorCount = count;
    if (source)
        std::copy(source, source + count, m_palette.begin());
    writeColorTable(0, count);
}

void CellImage::SyncPaletteFromTable() {
    if (m_bitsPerPixel > 8)
        return;
    for (int i = 0; i < m_colorCount; ++i)
        m_palette[i] = swapRedBlue(m_colorTable[i]);
}

void CellImage::SetGreyPalette() {
    switch (m_bitsPerPixel) {
    case 8:
        for (int i = 0; i < 256; ++i)
            m_palette[i] = static_cast<ColourValue>(i) * 0x010101u;
        break;
    case 4:
        for (int i = 0; i < 16; ++i)
            m_palette[i] = static_cast<ColourValue>(17 * i) * 0x010101u;
        break;
    case 1:
        m_palette[0] = 0x000000;
        m_palette[1] = 0xFFFFFF;
        break;
    default:
        return;
    }
    writeColorTable(0, m_colorCount);
}

std::unique_ptr<CellImage> CellImage::Crop(int left, int top, int right, int bottom) const {
    if ((m_bitsPerPixel != 8 && m_bitsPerPixel != 24) || !m_pixels || left < 0 || top < 0 ||
        right > m_width || bottom > m_height || left >= right || top >= bottom)
        return nullptr;
    auto out = Create(right - left, bottom - top, m_bitsPerPixel);
    if (out->status() != status::Ok)
        return nullptr;
    if (m_bitsPerPixel == 8)
        out->SetPalette(m_palette.data(), m_colorCount);
    const int bytesPerPixel = m_bitsPerPixel / 8;
    for (int y = top; y < bottom; ++y)
        std::memcpy(out->row(y - top), row(y) + left * bytesPerPixel,
                    static_cast<std::size_t>(right - left) * bytesPerPixel);
    return out;
}

std::unique_ptr<CellImage> CellImage::Resample(int newWidth, int newHeight) const {
    if (!m_pixels)
        return nullptr;
    auto out = Create(newWidth, newHeight, m_bitsPerPixel);
    if (out->status() != status::Ok)
        return nullptr;
    if (m_bitsPerPixel <= 8)
        out->SetPalette(m_palette.data(), m_colorCount);

    // Work on one byte a pixel (three for 24 bits); 1- and 4-bit rows are
    // unpacked before and packed after.
    const int unit = m_bitsPerPixel == 24 ? 3 : 1;
    const std::size_t inLength = std::max<std::size_t>(8 * m_stride, m_width * unit);
    const std::size_t outLength = std::max<std::size_t>(8 * out->m_stride, newWidth * unit);
    std::vector<std::uint8_t> source(inLength), wide(outLength), packed(out->m_stride);

    auto prepare = [&](int y) {
        const std::uint8_t* in = row(y);
        if (m_bitsPerPixel == 4) {
            UnpackRow4(source.data(), in);
            in = source.data();
        } else if (m_bitsPerPixel == 1) {
            UnpackRow1(source.data(), in);
            in = source.data();
        }
        int accumulator = 0;
        std::uint8_t* outPixel = wide.data();
        for (int x = 0; x < m_width; ++x) {
            accumulator += newWidth;
            while (accumulator >= m_width) {
                std::memcpy(outPixel, in + x * unit, unit);
                outPixel += unit;
                accumulator -= m_width;
            }
        }
    };
    auto put = [&](int outY) {
        if (m_bitsPerPixel == 4) {
            out->PackRow4(packed.data(), wide.data());
            std::memcpy(out->row(outY), packed.data(), out->m_stride);
        } else if (m_bitsPerPixel == 1) {
            out->PackRow1(packed.data(), wide.data());
            std::memcpy(out->row(outY), packed.data(), out->m_stride);
        } else {
            std::memcpy(out->row(outY), wide.data(), static_cast<std::size_t>(newWidth) * unit);
        }
    };

    int accumulator = 0;
    int outY = 0;
    for (int y = 0; y < m_height; ++y) {
        accumulator += newHeight;
        if (accumulator < m_height)
            continue;
        prepare(y);
        while (accumulator >= m_height) {
            put(outY++);
            accumulator -= m_height;
        }
    }
    return out;
}

std::unique_ptr<CellImage> CellImage::ConvertTo8(const ColourValue* defaultPalette) {
    if (m_bitsPerPixel >= 8 || !m_pixels)
        return nullptr;
    m_status = status::OutOfMemory;
    auto out = Create(m_width, m_height, 8);
    if (out->status() != status::Ok)
        return nullptr;
    if (defaultPalette)
        out->SetPalette(defaultPalette, 256);
    std::copy(m_palette.begin(), m_palette.begin() + m_colorCount, out->m_palette.begin());
    out->SetPalette(nullptr, m_colorCount);
    std::vector<std::uint8_t> wide(std::max<std::size_t>(8 * m_stride, out->m_stride));
    for (int y = 0; y < m_height; ++y) {
        if (m_bitsPerPixel == 4)
            UnpackRow4(wide.data(), row(y));
        else
            UnpackRow1(wide.data(), row(y));
        std::memcpy(out->row(y), wide.data(), out->m_stride);
    }
    m_status = status::Ok;
    return out;
}

std::unique_ptr<CellImage> CellImage::ConvertTo4() {
    if (m_bitsPerPixel > 8 || !m_pixels)
        return nullptr;
    m_status = status::OutOfMemory;
    auto out = Create(m_width, m_height, 4);
    if (out->status() != status::Ok)
        return nullptr;
    out->SetPalette(m_palette.data(), 16);
    std::vector<std::uint8_t> wide(std::max<std::size_t>(8 * m_stride, 2 * out->m_stride));
    for (int y = 0; y < m_height; ++y) {
        if (m_bitsPerPixel == 4) {
            std::memcpy(out->row(y), row(y), m_stride);
            continue;
        }
        std::fill(wide.begin(), wide.end(), 0);
        if (m_bitsPerPixel == 1)
            UnpackRow1(wide.data(), row(y));
        else
            std::memcpy(wide.data(), row(y), m_width);
        out->PackRow4(out->row(y), wide.data());
    }
    m_status = status::Ok;
    return out;
}

std::unique_ptr<CellImage> CellImage::ConvertTo1() {
    if ((m_bitsPerPixel != 4 && m_bitsPerPixel != 8) || !m_pixels)
        return nullptr;
    m_status = status::OutOfMemory;
    auto out = Create(m_width, m_height, 1);
    if (out->status() != status::Ok)
        return nullptr;
    out->SetPalette(m_palette.data(), 2);
    std::vector<std::uint8_t> wide(std::max<std::size_t>(8 * out->m_stride, 2 * m_stride), 0);
    for (int y = 0; y < m_height; ++y) {
        std::fill(wide.begin(), wide.end(), 0);
        if (m_bitsPerPixel == 4)
            UnpackRow4(wide.data(), row(y));
        else
            std::memcpy(wide.data(), row(y), m_width);
        // Unpacked padding nibbles of a 4-bit row beyond the width must not
        // become set bits.
        std::fill(wide.begin() + m_width, wide.end(), 0);
        out->PackRow1(out->row(y), wide.data());
    }
    m_status = status::Ok;
    return out;
}

std::unique_ptr<CellImage> CellImage::ConvertTo24() const {
    if (m_bitsPerPixel > 8 || !m_pixels)
        return nullptr;
    auto out = Create(m_width, m_height, 24);
    if (out->status() != status::Ok)
        return nullptr;
    std::vector<std::uint8_t> wide(std::max<std::size_t>(8 * m_stride, m_width));
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* indices = row(y);
        if (m_bitsPerPixel == 4) {
            UnpackRow4(wide.data(), row(y));
            indices = wide.data();
        } else if (m_bitsPerPixel == 1) {
            UnpackRow1(wide.data(), row(y));
            indices = wide.data();
        }
        std::uint8_t* dst = out->row(y);
        for (int x = 0; x < m_width; ++x) {
            const ColourValue c = m_palette[indices[x]];
            dst[3 * x] = static_cast<std::uint8_t>(blueOf(c));
            dst[3 * x + 1] = static_cast<std::uint8_t>(greenOf(c));
            dst[3 * x + 2] = static_cast<std::uint8_t>(redOf(c));
        }
    }
    return out;
}

bool CellImage::samePixels(const CellImage& other) const {
    if (m_width != other.m_width || m_height != other.m_height ||
        m_bitsPerPixel != other.m_bitsPerPixel || !m_pixels || !other.m_pixels)
        return false;
    return std::memcmp(m_pixels, other.m_pixels, m_imageSize) == 0;
}

} // namespace celdo
