#pragma once

#include "core/Colour.h"
#include "core/Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace celdo {

// The platform bitmap description that starts every record: a 40-byte
// BITMAPINFOHEADER.  Only size, width, height, planes and bit count are ever
// non-zero in records the editor makes.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

// Frees pixel and header blocks that came from std::malloc (plug-in results,
// clipboard data) or from our own allocation, which uses the same allocator.
struct MallocDeleter {
    void operator()(void* p) const noexcept;
};

// The one in-memory image record: pictures, mask planes, mask views and every
// intermediate of a conversion.  Pixels are stored bottom row first in rows
// padded to 4 bytes, exactly as a device-independent bitmap, so the record
// can be handed to and from files, the clipboard and plug-ins byte for byte.
// Row numbers in the interface count from the top (row 0 is the top row).
//
// Operations that build a new record return null when memory runs out (the
// source's status tells 8 where noted) and never leave a partial result.
class CellImage {
public:
    static constexpr int MaxDimension = 32767;

    // A record of the given size and depth (1, 4, 8 or 24 bits).  With
    // `allocate` the pixels are zero-filled memory; when that fails (or the
    // size is not 1..32767 in each direction) status() is 8 and pixels() is
    // null.  A 1-bit record's palette is black and white.
    static std::unique_ptr<CellImage> Create(int width, int height, int bitsPerPixel,
                                             bool allocate = true);

    // Takes a header block (BITMAPINFOHEADER followed by its colour table) and
    // a pixel block, both from std::malloc, as a plug-in returns a picture.
    // The pixel block becomes the record's owned pixels and the header block is
    // freed.  Null (both blocks freed) when the header does not describe a
    // picture of 1, 4, 8 or 24 bits.
    static std::unique_ptr<CellImage> AdoptGlobalBitmap(void* headerBlock, void* pixelBlock);

    ~CellImage();
    CellImage(const CellImage&) = delete;
    CellImage& operator=(const CellImage&) = delete;

    // Stride and image size of a row layout, 0 for impossible sizes.
    static std::uint32_t strideFor(int width, int bitsPerPixel);
    // Colour-table entries of a full table: 2, 16 or 256; 0 for 24 bits.
    static int fullColourCount(int bitsPerPixel);
    // Planes times bits per plane as a header declares them.  Taken wide, so
    // that hostile values give an unusable depth (at most 0x7FFF) instead of
    // overflowing.
    static int declaredDepth(std::uint32_t planes, std::uint32_t bitCount);

    const BitmapInfoHeader& bitmapHeader() const { return m_header; }
    // 256 colour-table entries in blue, green, red, 0 byte order.
    const std::uint32_t* colorTable() const { return m_colorTable.data(); }
    std::uint8_t* pixels() { return m_pixels; }
    const std::uint8_t* pixels() const { return m_pixels; }
    bool ownsPixels() const { return m_ownsPixels; }
    // Entries of the screen's hardware palette; displays here are true colour.
    int deviceColors() const { return 0; }
    Status status() const { return m_status; }
    void setStatus(Status s) { m_status = s; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    std::uint32_t stride() const { return m_stride; }
    std::uint32_t imageSize() const { return m_imageSize; }
    const ColourValue* palette() const { return m_palette.data(); }
    ColourValue paletteEntry(int index) const { return m_palette[index & 0xFF]; }
    int colorCount() const { return m_colorCount; }

    // Start of row y (0 = top) in the stored bottom-up layout.
    std::uint8_t* row(int y) { return m_pixels + rowOffset(y); }
    const std::uint8_t* row(int y) const { return m_pixels + rowOffset(y); }
    // Pixel access for 8-bit records.
    std::uint8_t& at(int x, int y) { return row(y)[x]; }
    std::uint8_t at(int x, int y) const { return row(y)[x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // Replaces the pixels with a block from std::malloc of at least
    // imageSize() bytes; with `own` the record frees it.
    void AdoptPixels(void* block, bool own);

    std::unique_ptr<CellImage> Duplicate() const;

    // Copy stride() bytes of row y out of or into the record.
    void GetRow(std::uint8_t* buffer, int y) const;
    void PutRow(const std::uint8_t* buffer, int y);

    // Pack: stride() output bytes from 2 (4-bit) or 8 (1-bit) one-byte values
    // each.  Unpack: one byte a pixel; the destination holds 2 × stride() bytes
    // (4-bit) or the width rounded up to 8 (1-bit).
    void PackRow4(std::uint8_t* destination, const std::uint8_t* source) const;
    void UnpackRow4(std::uint8_t* destination, const std::uint8_t* source) const;
    void PackRow1(std::uint8_t* destination, const std::uint8_t* source) const;
    void UnpackRow1(std::uint8_t* destination, const std::uint8_t* source) const;

    // Copies colorCount() colour-table entries; with `swap` as 0x00BBGGRR
    // values, otherwise in table order.  Returns the count.
    int GetPalette(std::uint32_t* destination, bool swap) const;
    // For 1, 4 and 8 bits: sets `count` entries (negative: 2, 16 or 256 by
    // depth) from `source`, or rewrites the kept palette when source is null.
    void SetPalette(const ColourValue* source, int count);
    void SyncPaletteFromTable();
    void SetGreyPalette();

    // Right and bottom are exclusive.  8 and 24 bits only; null otherwise or
    // when the rectangle does not lie inside the record.
    std::unique_ptr<CellImage> Crop(int left, int top, int right, int bottom) const;
    // Nearest-neighbour scaling with integer accumulators.
    std::unique_ptr<CellImage> Resample(int newWidth, int newHeight) const;

    // Conversions between depths.  ConvertTo8, ConvertTo4 and ConvertTo1 set
    // this record's status to 8 while they run and back to 0 when done.
    std::unique_ptr<CellImage> ConvertTo8(const ColourValue* defaultPalette);
    std::unique_ptr<CellImage> ConvertTo4();
    std::unique_ptr<CellImage> ConvertTo1();
    std::unique_ptr<CellImage> ConvertTo24() const;

    // Plain copies of the pixel bytes and palette of another record of the
    // same size and depth.
    bool samePixels(const CellImage& other) const;

private:
    CellImage() = default;
    std::size_t rowOffset(int y) const {
        return static_cast<std::size_t>(m_height - 1 - y) * m_stride;
    }
    void releasePixels();
    void writeColorTable(int from, int count);

    BitmapInfoHeader m_header;
    std::array<std::uint32_t, 256> m_colorTable{};
    std::uint8_t* m_pixels = nullptr;
    bool m_ownsPixels = true;
    Status m_status = status::Ok;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 8;
    std::uint32_t m_imageSize = 0;
    std::uint32_t m_stride = 0;
    std::array<ColourValue, 256> m_palette{};
    int m_colorCount = 0;
};

using CellImagePtr = std::unique_ptr<CellImage>;

} // namespace celdo
