#include "formats/DibReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace celdo {

std::uint32_t dibRowSize(std::int64_t width, int bits) {
    if (width <= 0 || bits <= 0)
        return 0;
    const std::uint64_t bytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    return bytes > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(bytes);
}

namespace {

// Where the decoder is and what it has built of the current row.
class RleState {
public:
    RleState(CellImage& image, int bits, bool topDown)
        : m_image(image), m_bits(bits), m_topDown(topDown),
          m_row(static_cast<std::size_t>(image.width()) + 4, 0) {}

    bool finished() const { return m_fileRow >= m_image.height(); }

    // Pixels past the row end are dropped.
    void put(std::uint8_t value) {
        if (m_x < m_image.width())
            m_row[m_x++] = value;
    }

    // End of line: the next row starts from this row's pixels.
    void endLine() {
        store();
        ++m_fileRow;
        m_x = 0;
    }

    void endBitmap() {
        store();
        m_fileRow = m_image.height();
    }

    void delta(int right, int down) {
        if (down == 0) {
            skip(right);
            return;
        }
        // The rest of this row and the rows passed over are skipped.
        const int column = std::min(m_x + right, m_image.width());
        skip(m_image.width());
        store();
        m_fileRow += down;
        std::fill(m_row.begin(), m_row.end(), 0);
        m_x = column;
    }

private:
    void skip(int count) {
        const int to = std::min(m_x + count, m_image.width());
        std::fill(m_row.begin() + m_x, m_row.begin() + to, 0);
        m_x = to;
    }

    void store() {
        if (m_fileRow < 0 || m_fileRow >= m_image.height())
            return;
        const int y = m_topDown ? m_fileRow : m_image.height() - 1 - m_fileRow;
        std::uint8_t* out = m_image.row(y);
        const int width = m_image.width();
        if (m_bits == 8) {
            std::memcpy(out, m_row.data(), static_cast<std::size_t>(width));
            return;
        }
        for (int x = 0; x < width; x += 2) {
            const std::uint8_t second = x + 1 < width ? (m_row[x + 1] & 0x0F) : 0;
            out[x / 2] = static_cast<std::uint8_t>((m_row[x] << 4) | second);
        }
    }

    CellImage& m_image;
    int m_bits;
    bool m_topDown;
    std::vector<std::uint8_t> m_row;
    int m_x = 0;
    int m_fileRow = 0;
};

} // namespace

Status decodeRle(const std::uint8_t* data, std::size_t size, int bits, bool topDown,
                 CellImage& image) {
    RleState state(image, bits, topDown);
    std::size_t at = 0;
    auto take = [&](std::size_t count) {
        if (size - at < count)
            return false;
        at += count;
        return true;
    };
    while (!state.finished()) {
        if (!take(2))
            return status::ReadError;
        const std::uint8_t count = data[at - 2];
        const std::uint8_t value = data[at - 1];
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                state.put(bits == 8 ? value : ((i & 1) ? (value & 0x0F) : (value >> 4)));
            continue;
        }
        switch (value) {
        case 0:
            state.endLine();
            break;
        case 1:
            state.endBitmap();
            break;
        case 2:
            if (!take(2))
                return status::ReadError;
            state.delta(data[at - 2], data[at - 1]);
            break;
        default: {
            const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2;
            const std::size_t padded = bytes + (bytes & 1);
            if (!take(padded))
                return status::ReadError;
            const std::uint8_t* pixels = data + at - padded;
            for (int i = 0; i < value; ++i)
                state.put(bits == 8 ? pixels[i]
                                    : ((i & 1) ? (pixels[i / 2] & 0x0F) : (pixels[i / 2] >> 4)));
            break;
        }
        }
    }
    return status::Ok;
}

ChannelMasks defaultMasks(int bits) {
    if (bits == 16)
        return {0x7C00, 0x03E0, 0x001F};
    return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

MaskedRowConverter::MaskedRowConverter(const ChannelMasks& masks, int bits)
    : m_red(channelFor(masks.red)), m_green(channelFor(masks.green)),
      m_blue(channelFor(masks.blue)), m_bytes(bits / 8) {}

MaskedRowConverter::Channel MaskedRowConverter::channelFor(std::uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0)
        return channel;
    while (((mask >> channel.shift) & 1u) == 0)
        ++channel.shift;
    channel.maximum = mask >> channel.shift;
    return channel;
}

std::uint8_t MaskedRowConverter::scale(const Channel& channel, std::uint32_t pixel) {
    if (channel.maximum == 0)
        return 0;
    // Masks with holes are taken as their full span; the value still never
    // exceeds the span's maximum.
    const std::uint64_t v = (pixel & channel.mask) >> channel.shift;
    return static_cast<std::uint8_t>((v * 255 + channel.maximum / 2) / channel.maximum);
}

void MaskedRowConverter::convert(const std::uint8_t* source, int width, std::uint8_t* bgr) const {
    for (int x = 0; x < width; ++x) {
        std::uint32_t pixel = 0;
        for (int b = 0; b < m_bytes; ++b)
            pixel |= static_cast<std::uint32_t>(source[b]) << (8 * b);
        source += m_bytes;
        bgr[0] = scale(m_blue, pixel);
        bgr[1] = scale(m_green, pixel);
        bgr[2] = scale(m_red, pixel);
        bgr += 3;
    }
}

} // namespace celdo
