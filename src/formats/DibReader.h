#pragma once

#include "core/CellImage.h"
#include "core/Status.h"

#include <cstddef>
#include <cstdint>

namespace celdo {

// Pixel decoding shared by the readers of device-independent bitmaps (BMP
// files, icon images, clipboard bitmaps).  Everything works on bytes already
// in memory, so the callers decide how much to read and check it against the
// file size first.

// Bytes of one stored row of `width` pixels at `bits` per pixel, padded to 4.
// 0 when the size does not fit 32 bits or the arguments are not positive.
std::uint32_t dibRowSize(std::int64_t width, int bits);

// Decodes RLE8 (`bits` 8) or RLE4 (`bits` 4) data into `image`, an 8- or
// 4-bit record of the bitmap's size.  File row r is image row height-1-r, or
// row r when `topDown`.  Runs that reach past the row end are cut at the
// width; a delta escape moves right and down, and the pixels it skips are 0.
// After an end of line the next row starts from the previous row's pixels;
// end of bitmap stores the row being built as the next row.  Data that ends
// before the bitmap is complete gives 0x4002.
Status decodeRle(const std::uint8_t* data, std::size_t size, int bits, bool topDown,
                 CellImage& image);

// Colour masks of 16- and 32-bit pixels.
struct ChannelMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
};

// The masks a 16- or 32-bit bitmap without a bit-field section uses.
ChannelMasks defaultMasks(int bits);

// Turns one row of 16- or 32-bit pixels into blue, green, red bytes.  Each
// channel is scaled so that its largest value gives 255.
class MaskedRowConverter {
public:
    MaskedRowConverter(const ChannelMasks& masks, int bits);
    void convert(const std::uint8_t* source, int width, std::uint8_t* bgr) const;

private:
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        std::uint64_t maximum = 0;
    };
    static Channel channelFor(std::uint32_t mask);
    static std::uint8_t scale(const Channel& channel, std::uint32_t pixel);

    Channel m_red, m_green, m_blue;
    int m_bytes;
};

} // namespace celdo
