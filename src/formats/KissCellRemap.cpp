#include "formats/KissCellRemap.h"

#include "formats/KissHeader.h"
#include "formats/LittleEndian.h"

#include <cstring>

namespace celdo {

namespace {

// Where a cell file's pixels lie, as the cell reader finds them.
struct CellLayout {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::size_t dataOffset = 0;
    std::size_t rowBytes = 0;
};

Status layoutOf(const std::vector<std::uint8_t>& bytes, CellLayout& layout) {
    static constexpr std::uint8_t Magic[4] = {'K', 'i', 'S', 'S'};
    constexpr std::size_t OldHeaderSize = 4;
    if (bytes.size() < OldHeaderSize)
        return status::FormatError;
    if (std::memcmp(bytes.data(), Magic, 4) == 0) {
        if (bytes.size() < static_cast<std::size_t>(KissHeaderSize))
            return status::FormatError;
        layout.bitsPerPixel = bytes[5];
        layout.width = littleEndian::signedWord(&bytes[8]);
        layout.height = littleEndian::signedWord(&bytes[10]);
        layout.dataOffset = KissHeaderSize;
        if (layout.bitsPerPixel != 4 && layout.bitsPerPixel != 8 && layout.bitsPerPixel != 32)
            return status::FormatError;
    } else {
        // Anything without the mark is an old 16-colour cell: two size words.
        layout.bitsPerPixel = 4;
        layout.width = littleEndian::signedWord(&bytes[0]);
        layout.height = littleEndian::signedWord(&bytes[2]);
        layout.dataOffset = OldHeaderSize;
    }
    if (layout.width <= 0 || layout.height <= 0)
        return status::FormatError;
    const auto width = static_cast<std::size_t>(layout.width);
    layout.rowBytes = layout.bitsPerPixel == 4   ? (width + 1) / 2
                      : layout.bitsPerPixel == 8 ? width
                                                 : 4 * width;
    const std::size_t dataSize = layout.rowBytes * static_cast<std::size_t>(layout.height);
    if (bytes.size() - layout.dataOffset < dataSize)
        return status::FormatError;
    return status::Ok;
}

} // namespace

Status RemapKissCellBytes(std::vector<std::uint8_t>& bytes, const PaletteRemap& remap,
                          bool& changed) {
    changed = false;
    CellLayout layout;
    if (const Status s = layoutOf(bytes, layout); s != status::Ok)
        return s;
    // A 32-bit cell carries its colours, not indices.
    if (layout.bitsPerPixel == 32)
        return status::Ok;
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    std::uint8_t* data = bytes.data() + layout.dataOffset;

    if (layout.bitsPerPixel == 8) {
        for (std::size_t i = 0; i < width * height; ++i) {
            const auto mapped = static_cast<std::uint8_t>(remap[data[i]]);
            changed = changed || mapped != data[i];
            data[i] = mapped;
        }
        return status::Ok;
    }

    // Left pixel in the high nibble.  An odd width's last low nibble is no
    // pixel and keeps whatever it holds.  Every pixel is checked before any
    // is written, so a remap that does not fit leaves the file whole.
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data + y * layout.rowBytes;
        for (std::size_t x = 0; x < width; ++x) {
            const int index = (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
            if (remap[index] > 15)
                return status::DepthNotSavable;
        }
    }
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = data + y * layout.rowBytes;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint8_t& packed = row[x / 2];
            const std::uint8_t rewritten =
                (x & 1) ? static_cast<std::uint8_t>((packed & 0xF0) | remap[packed & 0x0F])
                        : static_cast<std::uint8_t>((packed & 0x0F) | (remap[packed >> 4] << 4));
            changed = changed || rewritten != packed;
            packed = rewritten;
        }
    }
    return status::Ok;
}

} // namespace celdo
