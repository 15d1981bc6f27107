#include "formats/MagFile.h"

#include "formats/LittleEndian.h"
#include "formats/ShiftJis.h"
#include "framework/Ui.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace celdo {

namespace {

constexpr char kMagic[] = "MAKI02  ";
constexpr std::uint8_t kEndOfComment = 0x1A;
constexpr char kUnknownUser[] = "（不明）";

// Copy vectors: a flag nibble v takes the unit kDx[v] units to the left and
// kDy[v] lines up.
constexpr int kDx[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kDy[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// The encoder keeps the last match in the order 15, 3, 14, 13, 12, 11, 8, 2,
// 10, 9, 7, 6, 5, 4, 1; trying them backwards and keeping the first match
// gives the same choice with fewer comparisons.
constexpr int kCandidatesLastFirst[15] = {1, 4, 5, 6, 7, 9, 10, 2, 8, 11, 12, 13, 14, 3, 15};

using littleEndian::dword;
using littleEndian::putDword;
using littleEndian::putWord;
using littleEndian::word;

// A header text field: up to the first zero byte, without its space padding.
std::string textField(const std::uint8_t* bytes, std::size_t size) {
    std::size_t length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    while (length > 0 && bytes[length - 1] == ' ')
        --length;
    return fromShiftJis(std::string_view(reinterpret_cast<const char*>(bytes), length));
}

// One of the three coded streams, read through a buffer of its own from its
// file position and never past its size.
class StreamReader {
public:
    StreamReader(GraphicFile& file, long long position, long long size, std::size_t bufferSize)
        : m_file(file), m_position(position), m_left(std::max(0LL, size)),
          m_buffer(static_cast<std::size_t>(
              std::min<long long>(static_cast<long long>(bufferSize), std::max(1LL, m_left)))) {}

    bool readByte(std::uint8_t& value) {
        if (m_next == m_end && !refill())
            return false;
        value = *m_next++;
        return true;
    }
    // Reads `count` bytes (a unit or two).
    bool read(std::uint8_t* destination, std::size_t count) {
        if (static_cast<std::size_t>(m_end - m_next) >= count) {
            std::memcpy(destination, m_next, count);
            m_next += count;
            return true;
        }
        for (std::size_t k = 0; k < count; ++k)
            if (!readByte(destination[k]))
                return false;
        return true;
    }
    Status error() const { return m_error; }

private:
    bool refill() {
        if (m_left == 0) {
            m_error = status::ReadError;
            return false;
        }
        const auto count = static_cast<std::size_t>(
            std::min<long long>(m_left, static_cast<long long>(m_buffer.size())));
        if (m_file.seek(m_position, SEEK_SET) < 0) {
            m_error = status::SeekError;
            return false;
        }
        if (const Status s = m_file.read(m_buffer.data(), count); s != status::Ok) {
            m_error = s;
            return false;
        }
        m_position += static_cast<long long>(count);
        m_left -= static_cast<long long>(count);
        m_next = m_buffer.data();
        m_end = m_next + count;
        return true;
    }

    GraphicFile& m_file;
    long long m_position;
    long long m_left;
    std::vector<std::uint8_t> m_buffer;
    const std::uint8_t* m_next = nullptr;
    const std::uint8_t* m_end = nullptr;
    Status m_error = status::Ok;
};

// Decodes the units of flag bytes [from, to) of one line.  The last four
// units stay in `recent` (newest in the low bits), so copies along the line
// do not wait for the store of the unit they repeat.  `Checked` tests that
// every source lies inside the picture.
struct LineDecoder {
    const std::ptrdiff_t* offset;
    StreamReader& pixels;
    std::uint64_t m_recent = 0;

    template <bool Checked>
    Status run(const std::uint8_t* flags, std::size_t from, std::size_t to, std::uint8_t* line,
               int y) {
        // A local copy stays in a register; the member only carries it over
        // to the next call for the same line.
        std::uint64_t recent = from == 0 ? 0 : m_recent;
        for (std::size_t i = from; i < to; ++i) {
            const std::uint8_t f = flags[i];
            std::uint8_t* unit = line + 4 * i;
            if (f == 0) {
                if (!pixels.read(unit, 4))
                    return pixels.error();
                std::uint16_t first, second;
                std::memcpy(&first, unit, 2);
                std::memcpy(&second, unit + 2, 2);
                recent = recent << 32 | std::uint64_t{first} << 16 | second;
                continue;
            }
            if (!Checked && f == 0x11) {
                // A run of units repeating the unit before them.
                std::size_t end = i + 1;
                while (end < to && flags[end] == 0x11)
                    ++end;
                const std::uint64_t pattern = (recent & 0xFFFF) * std::uint64_t{0x0001000100010001};
                std::uint8_t* at = unit;
                std::uint8_t* const stop = line + 4 * end;
                for (; stop - at >= 8; at += 8)
                    std::memcpy(at, &pattern, 8);
                if (at < stop)
                    std::memcpy(at, &pattern, 4);
                // One flag byte covers only the two newest of the four units.
                recent = end - i >= 2 ? pattern : recent << 32 | (pattern & 0xFFFFFFFF);
                i = end - 1;
                continue;
            }
            if (!Checked && (f >> 4) == (f & 0x0F) && kDy[f & 0x0F] != 0) {
                // A run of units copied from one earlier line.
                std::size_t end = i + 1;
                while (end < to && flags[end] == f)
                    ++end;
                std::memcpy(unit, unit + offset[f & 0x0F], 4 * (end - i));
                // Units before the run start exist: unchecked runs begin at
                // the third flag byte or later.
                const std::uint8_t* last = line + 4 * end - 8;
                recent = 0;
                for (int k = 0; k < 4; ++k) {
                    std::uint16_t value;
                    std::memcpy(&value, last + 2 * k, 2);
                    recent = recent << 16 | value;
                }
                i = end - 1;
                continue;
            }
            if (f == 0x11 && i > 0) {
                // Both units repeat the unit before them.
                const auto value = static_cast<std::uint16_t>(recent);
                std::memcpy(unit, &value, 2);
                std::memcpy(unit + 2, &value, 2);
                recent = recent << 32 | std::uint64_t{value} << 16 | value;
                continue;
            }
            const int j = static_cast<int>(2 * i);
            for (const int half : {0, 1}) {
                const int v = half ? (f & 0x0F) : (f >> 4);
                std::uint8_t* target = unit + 2 * half;
                std::uint16_t value;
                if (v == 0) {
                    if (!pixels.read(target, 2))
                        return pixels.error();
                    std::memcpy(&value, target, 2);
                } else {
                    // Copies from above the first line or left of the line
                    // start have no source: the file is malformed.
                    if (Checked && (y < kDy[v] || j + half < kDx[v]))
                        return status::FormatError;
                    if (kDy[v] == 0)
                        value = static_cast<std::uint16_t>(recent >> (16 * (kDx[v] - 1)));
                    else
                        std::memcpy(&value, target + offset[v], 2);
                    std::memcpy(target, &value, 2);
                }
                recent = recent << 16 | value;
            }
        }
        m_recent = recent;
        return status::Ok;
    }
};

// Bytes of a stream that lie inside the file.
long long availableBytes(long long position, long long size, long long fileSize) {
    if (position < 0 || position >= fileSize || size <= 0)
        return 0;
    return std::min(size, fileSize - position);
}

// Copies row y of `source` (any depth up to 8 bits) as one index a byte into
// `indices`, which holds at least the width rounded up to 8 pixels; pixels
// past the width are 0.
void indicesOfRow(const CellImage& source, int y, std::vector<std::uint8_t>& scratch,
                  std::uint8_t* indices, std::size_t count) {
    const int width = source.width();
    switch (source.bitsPerPixel()) {
    case 8:
        std::memcpy(indices, source.row(y), static_cast<std::size_t>(width));
        break;
    case 4:
        source.UnpackRow4(scratch.data(), source.row(y));
        std::memcpy(indices, scratch.data(), static_cast<std::size_t>(width));
        break;
    default:
        source.UnpackRow1(scratch.data(), source.row(y));
        std::memcpy(indices, scratch.data(), static_cast<std::size_t>(width));
        break;
    }
    std::fill(indices + width, indices + count, 0);
}

} // namespace

MagFile::MagFile(std::string path) : GraphicFile(std::move(path)) {
    m_typeName = "MAG";
    m_author = kUnknownUser;
}

Status MagFile::Save(const std::string& path, const CellImage& image, const std::string& comment) {
    MagFile file(path);
    file.setFromImage(image);
    file.replaceComment(comment);
    return file.saveTo(image, nullptr);
}

void MagFile::setFromImage(const CellImage& image) {
    m_saveBits = image.bitsPerPixel() > 7 ? 8 : 4;
}

void MagFile::setFromDocument(const GraphicFile& document) {
    std::string name = document.author();
    // The reader takes the user name from one byte before where the writer
    // puts it, so a name read from a file starts with the writer's space.
    // Dropping that space keeps the name in the file the same however often
    // the picture is loaded and saved again.
    const auto* previous = dynamic_cast<const MagFile*>(&document);
    if (previous && previous->m_userNameFromFile && !name.empty() && name.front() == ' ')
        name.erase(0, 1);
    m_author = name.empty() ? std::string(kUnknownUser) : fitShiftJis(name, UserNameBytes);
    m_userNameFromFile = false;
    m_comment = document.comment();
}

Status MagFile::readHeader() {
    if (isOpen())
        close();
    if (const Status s = open('R', false); s != status::Ok)
        return s;
    const auto failClosed = [this](Status code) {
        close();
        return fail(code);
    };
    const long long fileSize = measureFileSize();
    if (fileSize < 0)
        return failClosed(status::SeekError);

    std::uint8_t lead[31];
    if (read(lead, sizeof lead) != status::Ok)
        return failClosed(status::ReadError);
    if (std::memcmp(lead, kMagic, 8) != 0)
        return failClosed(status::FormatError);
    m_machineCode = textField(lead + 8, 4);
    m_author = textField(lead + 12, UserNameBytes);
    m_userNameFromFile = true;

    // The comment runs to the first 0x1A, at most CommentBytes bytes.
    const long long scan = std::min<long long>(CommentBytes + 1, fileSize - 31);
    std::vector<std::uint8_t> text(static_cast<std::size_t>(std::max(0LL, scan)));
    if (scan <= 0 || read(text.data(), text.size()) != status::Ok)
        return failClosed(status::ReadError);
    const auto end = std::find(text.begin(), text.end(), kEndOfComment);
    if (end == text.end())
        return failClosed(scan > CommentBytes ? status::FormatError : status::ReadError);
    m_comment = fromShiftJis(
        std::string_view(reinterpret_cast<const char*>(text.data()), end - text.begin()));
    m_headerOffset = 31 + (end - text.begin()) + 1;

    if (seek(m_headerOffset, SEEK_SET) < 0)
        return failClosed(status::SeekError);
    if (read(m_header.data(), m_header.size()) != status::Ok)
        return failClosed(status::ReadError);
    if (m_header[0] != 0)
        return failClosed(status::FormatError);

    const int startX = word(&m_header[4]);
    const int startY = word(&m_header[6]);
    const int endX = word(&m_header[8]);
    const int endY = word(&m_header[10]);
    if (endX < startX || endY < startY)
        return failClosed(status::FormatError);
    const bool fullColour = (m_header[3] & 0x80) != 0;
    const int unitPixels = fullColour ? 4 : 8;
    m_bitsPerPixel = fullColour ? 8 : 4;
    m_width = endX - startX + 1;
    m_height = endY - startY + 1;
    m_flagBytesPerLine = endX / unitPixels - startX / unitPixels + 1;
    // Lines are coded from the unit boundary at or before start X.
    m_leadingPixels = startX % unitPixels;

    const long long flagAOffset = dword(&m_header[12]);
    const long long flagBOffset = dword(&m_header[16]);
    m_flagA = {m_headerOffset + flagAOffset, flagBOffset - flagAOffset};
    m_flagB = {m_headerOffset + flagBOffset, dword(&m_header[20])};
    m_pixelData = {m_headerOffset + dword(&m_header[24]), dword(&m_header[28])};
    m_dataOffset = m_pixelData.position;
    return fail(status::Ok);
}

CellImagePtr MagFile::readImage() {
    if (!isOpen() || m_flagBytesPerLine == 0) {
        if (readHeader() != status::Ok)
            return nullptr;
    }
    const auto failClosed = [this](Status code) -> CellImagePtr {
        close();
        fail(code);
        return nullptr;
    };
    const long long fileSize = m_fileSize;
    const int colours = m_bitsPerPixel == 8 ? 256 : 16;
    const long long u = m_flagBytesPerLine;

    // Everything the declared size needs must be in the file before any
    // memory is taken for it: the palette and one flag A bit per flag byte.
    const long long paletteEnd = m_headerOffset + 32 + 3LL * colours;
    const long long flagABytes = availableBytes(m_flagA.position, m_flagA.size, fileSize);
    if (paletteEnd > fileSize || (u * m_height + 7) / 8 > flagABytes)
        return failClosed(status::ReadError);

    // Every stored byte is written below, so the pixels need no clearing.
    CellImagePtr image = CellImage::Create(m_width, m_height, m_bitsPerPixel, false);
    if (!image || image->imageSize() == 0)
        return failClosed(status::OutOfMemory);
    image->AdoptPixels(std::malloc(image->imageSize()), true);
    if (!image->pixels())
        return failClosed(status::OutOfMemory);

    std::uint8_t paletteBytes[3 * 256];
    if (seek(m_headerOffset + 32, SEEK_SET) < 0)
        return failClosed(status::SeekError);
    if (read(paletteBytes, 3 * static_cast<std::size_t>(colours)) != status::Ok)
        return failClosed(status::ReadError);
    ColourValue palette[256];
    for (int i = 0; i < colours; ++i)
        palette[i] = rgb(paletteBytes[3 * i + 1], paletteBytes[3 * i], paletteBytes[3 * i + 2]);
    image->SetPalette(palette, colours);

    // A line of 2u units takes exactly one stored row when the picture starts
    // on a unit boundary, so the lines are decoded in place.  Otherwise they
    // are decoded aside and the leading pixels cut while copying.
    const std::size_t lineBytes = static_cast<std::size_t>(4 * u);
    const bool inPlace = m_leadingPixels == 0 && lineBytes == image->stride();
    std::vector<std::uint8_t> aside;
    std::uint8_t* top = image->row(0);
    std::ptrdiff_t down = -static_cast<std::ptrdiff_t>(image->stride());
    if (!inPlace) {
        aside.resize(lineBytes * static_cast<std::size_t>(m_height));
        top = aside.data();
        down = static_cast<std::ptrdiff_t>(lineBytes);
    }

    StreamReader flagA(*this, m_flagA.position, flagABytes, 4096);
    StreamReader flagB(*this, m_flagB.position,
                       availableBytes(m_flagB.position, m_flagB.size, fileSize), 64 * 1024);
    StreamReader pixels(*this, m_pixelData.position,
                        availableBytes(m_pixelData.position, m_pixelData.size, fileSize),
                        256 * 1024);

    // Byte distance from a unit to the source unit of each vector.
    std::ptrdiff_t offset[16];
    for (int v = 0; v < 16; ++v)
        offset[v] = -kDy[v] * down - 2 * kDx[v];

    std::vector<std::uint8_t> flags(static_cast<std::size_t>(u), 0);
    LineDecoder decoder{offset, pixels};
    std::uint8_t flagABits = 0;
    std::uint8_t flagAMask = 0;
    for (int y = 0; y < m_height; ++y) {
        const std::size_t count = flags.size();
        for (std::size_t i = 0; i < count;) {
            // A flag A byte is fetched only when one of its bits is needed: a
            // valid stream may end exactly after the last bit used.
            if (flagAMask == 0) {
                if (!flagA.readByte(flagABits))
                    return failClosed(flagA.error());
                flagAMask = 0x80;
            }
            if (flagAMask == 0x80 && count - i >= 8) {
                // A whole flag A byte at once; only its set bits cost work.
                for (unsigned bits = flagABits; bits != 0;) {
                    const int k = std::countl_zero(static_cast<std::uint8_t>(bits));
                    std::uint8_t change;
                    if (!flagB.readByte(change))
                        return failClosed(flagB.error());
                    flags[i + static_cast<std::size_t>(k)] ^= change;
                    bits &= ~(0x80u >> k);
                }
                i += 8;
                flagAMask = 0;
                continue;
            }
            if (flagABits & flagAMask) {
                std::uint8_t change;
                if (!flagB.readByte(change))
                    return failClosed(flagB.error());
                flags[i] ^= change;
            }
            flagAMask >>= 1;
            ++i;
        }
        // Only the first lines and the first units of a line can point
        // outside the picture.
        std::uint8_t* line = top + y * down;
        const std::size_t edge = y < 16 ? flags.size() : std::min<std::size_t>(2, flags.size());
        Status s = decoder.run<true>(flags.data(), 0, edge, line, y);
        if (s == status::Ok)
            s = decoder.run<false>(flags.data(), edge, flags.size(), line, y);
        if (s != status::Ok)
            return failClosed(s);
    }

    if (!inPlace) {
        const std::size_t lead = static_cast<std::size_t>(m_leadingPixels);
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* line = top + y * down;
            std::uint8_t* out = image->row(y);
            if (m_bitsPerPixel == 8) {
                std::memcpy(out, line + lead, static_cast<std::size_t>(m_width));
            } else if (lead % 2 == 0) {
                std::memcpy(out, line + lead / 2, static_cast<std::size_t>(m_width + 1) / 2);
            } else {
                // An odd number of leading pixels moves every pixel by a nibble.
                const std::size_t first = lead / 2;
                for (std::size_t b = 0; b < static_cast<std::size_t>(m_width + 1) / 2; ++b) {
                    const std::size_t next = first + b + 1;
                    out[b] = static_cast<std::uint8_t>(line[first + b] << 4 |
                                                       (next < lineBytes ? line[next] >> 4 : 0));
                }
            }
        }
    }
    // Pixels past the width belong to the last unit only; the stored rows
    // keep their padding zero.
    const std::size_t rowBytes = m_bitsPerPixel == 8 ? static_cast<std::size_t>(m_width)
                                                     : static_cast<std::size_t>(m_width + 1) / 2;
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* out = image->row(y);
        if (m_bitsPerPixel == 4 && (m_width & 1))
            out[rowBytes - 1] &= 0xF0;
        std::memset(out + rowBytes, 0, image->stride() - rowBytes);
    }
    close();
    fail(status::Ok);
    return image;
}

namespace {

// The flag nibble for unit j of line `line` (lines `lineBytes` apart, top
// down): the previous line's vector when it still matches, else the last
// matching candidate, else 0.  `Checked` is false where every source exists.
template <bool Checked>
int chooseVector(const std::uint8_t* line, int j, int y, int previous,
                 const std::ptrdiff_t* offset) {
    const std::uint8_t* unit = line + 2 * j;
    std::uint16_t value;
    std::memcpy(&value, unit, 2);
    const auto matches = [&](int v) {
        if (Checked && (j < kDx[v] || y < kDy[v]))
            return false;
        std::uint16_t other;
        std::memcpy(&other, unit + offset[v], 2);
        return other == value;
    };
    if (previous != 0 && matches(previous))
        return previous;
    for (const int v : kCandidatesLastFirst)
        if (matches(v))
            return v;
    return 0;
}

} // namespace

Status MagFile::writeBody() {
    const CellImage* source = image();
    if (!source || !source->pixels())
        return fail(status::WriteError);
    if (source->bitsPerPixel() > 8)
        return fail(status::DepthNotSavable);

    const bool fullColour = m_saveBits == 8;
    const int colours = fullColour ? 256 : 16;
    const int unitPixels = fullColour ? 4 : 8;
    const int width = source->width();
    const int height = source->height();
    const std::size_t u = static_cast<std::size_t>((width - 1) / unitPixels + 1);
    const std::size_t lineBytes = 4 * u;
    const std::size_t lines = static_cast<std::size_t>(height);

    // Leading text area, comment and its end mark.
    std::vector<std::uint8_t> head(31, ' ');
    std::memcpy(head.data(), "MAKI02", 6);
    const std::string machine = cutShiftJis(toShiftJis(m_machineCode), MachineCodeBytes);
    std::memcpy(head.data() + 8, machine.data(), machine.size());
    const std::string user = cutShiftJis(toShiftJis(m_author), UserNameBytes);
    std::memcpy(head.data() + 13, user.data(), user.size());
    std::string comment = toShiftJis(m_comment);
    // A 0x1A inside would end the comment early and hide the header; longer
    // comments than a reader accepts would make the file unreadable.
    comment.resize(std::min(comment.find(static_cast<char>(kEndOfComment)), comment.size()));
    comment = cutShiftJis(comment, CommentBytes);
    head.insert(head.end(), comment.begin(), comment.end());
    head.push_back(kEndOfComment);

    // The picture as coded lines.  A 256-colour picture whose width fills
    // its units is coded straight from its rows; otherwise the lines are
    // made aside, pixels past the width 0.
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t down = 0;
    std::unique_ptr<std::uint8_t[]> aside;
    if (fullColour && source->bitsPerPixel() == 8 && width % unitPixels == 0) {
        top = source->row(0);
        down = -static_cast<std::ptrdiff_t>(source->stride());
    } else {
        aside = std::make_unique_for_overwrite<std::uint8_t[]>(lineBytes * lines);
        std::vector<std::uint8_t> indices(
            std::max<std::size_t>(u * static_cast<std::size_t>(unitPixels), 8 * source->stride()),
            0);
        std::vector<std::uint8_t> scratch(8 * source->stride() + 8, 0);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = aside.get() + static_cast<std::size_t>(y) * lineBytes;
            indicesOfRow(*source, y, scratch, indices.data(), indices.size());
            if (fullColour) {
                std::memcpy(line, indices.data(), lineBytes);
                continue;
            }
            for (std::size_t b = 0; b < lineBytes; ++b)
                line[b] = static_cast<std::uint8_t>((indices[2 * b] & 0x0F) << 4 |
                                                    (indices[2 * b + 1] & 0x0F));
        }
        top = aside.get();
        down = static_cast<std::ptrdiff_t>(lineBytes);
    }

    std::ptrdiff_t offset[16];
    for (int v = 0; v < 16; ++v)
        offset[v] = -kDy[v] * down - 2 * kDx[v];

    // Flags and pixel data in one pass; the flag row holds the previous
    // line's flags until each byte is replaced.  The output buffers are
    // sized for the worst case and only touched as far as they fill.
    const std::size_t flagABits = u * lines;
    std::vector<std::uint8_t> flagA(((flagABits + 7) / 8 + 1) & ~std::size_t{1}, 0);
    auto flagB = std::make_unique_for_overwrite<std::uint8_t[]>(flagABits + 1);
    auto pixelData = std::make_unique_for_overwrite<std::uint8_t[]>(lineBytes * lines);
    std::uint8_t* flagBEnd = flagB.get();
    std::uint8_t* pixelEnd = pixelData.get();
    std::vector<std::uint8_t> flags(u, 0);
    std::size_t flagABit = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = top + y * down;
        for (std::size_t i = 0; i < u; ++i, ++flagABit) {
            const std::uint8_t previous = flags[i];
            const int j = static_cast<int>(2 * i);
            const bool inside = y >= 16 && j >= 4;
            // Most flag bytes repeat the line above with one vector for both
            // units; one comparison of both units settles that case.
            if (inside && previous != 0 && (previous >> 4) == (previous & 0x0F)) {
                const std::ptrdiff_t from = offset[previous & 0x0F];
                std::size_t k = i;
                while (k < u && flags[k] == previous &&
                       std::memcmp(line + 4 * k, line + 4 * k + from, 4) == 0)
                    ++k;
                if (k > i) {
                    flagABit += k - 1 - i;
                    i = k - 1;
                    continue;
                }
            }
            int high, low;
            if (inside) {
                high = chooseVector<false>(line, j, y, previous >> 4, offset);
                low = chooseVector<false>(line, j + 1, y, previous & 0x0F, offset);
            } else {
                high = chooseVector<true>(line, j, y, previous >> 4, offset);
                low = chooseVector<true>(line, j + 1, y, previous & 0x0F, offset);
            }
            if (high == 0) {
                std::memcpy(pixelEnd, line + 2 * j, 2);
                pixelEnd += 2;
            }
            if (low == 0) {
                std::memcpy(pixelEnd, line + 2 * j + 2, 2);
                pixelEnd += 2;
            }
            const auto current = static_cast<std::uint8_t>(high << 4 | low);
            if (const std::uint8_t change = current ^ previous; change != 0) {
                flagA[flagABit >> 3] |= static_cast<std::uint8_t>(0x80 >> (flagABit & 7));
                *flagBEnd++ = change;
            }
            flags[i] = current;
        }
    }
    std::size_t flagBSize = static_cast<std::size_t>(flagBEnd - flagB.get());
    const auto pixelSize = static_cast<std::size_t>(pixelEnd - pixelData.get());
    // Flag B takes an even number of bytes; the extra byte is never read.
    if (flagBSize % 2)
        flagB[flagBSize++] = 0;

    std::array<std::uint8_t, 32> header{};
    header[3] = fullColour ? 0x80 : 0;
    putWord(&header[8], static_cast<std::uint32_t>(width - 1));
    putWord(&header[10], static_cast<std::uint32_t>(height - 1));
    const std::uint32_t flagAOffset = 32 + 3 * static_cast<std::uint32_t>(colours);
    const auto flagBOffset = static_cast<std::uint32_t>(flagAOffset + flagA.size());
    const auto pixelOffset = static_cast<std::uint32_t>(flagBOffset + flagBSize);
    putDword(&header[12], flagAOffset);
    putDword(&header[16], flagBOffset);
    putDword(&header[20], static_cast<std::uint32_t>(flagBSize));
    putDword(&header[24], pixelOffset);
    putDword(&header[28], static_cast<std::uint32_t>(pixelSize));

    std::vector<std::uint8_t> paletteBytes(3 * static_cast<std::size_t>(colours));
    for (int i = 0; i < colours; ++i) {
        const ColourValue c = source->paletteEntry(i);
        paletteBytes[3 * i] = static_cast<std::uint8_t>(greenOf(c));
        paletteBytes[3 * i + 1] = static_cast<std::uint8_t>(redOf(c));
        paletteBytes[3 * i + 2] = static_cast<std::uint8_t>(blueOf(c));
    }

    const std::pair<const void*, std::size_t> parts[] = {{head.data(), head.size()},
                                                         {header.data(), header.size()},
                                                         {paletteBytes.data(), paletteBytes.size()},
                                                         {flagA.data(), flagA.size()},
                                                         {flagB.get(), flagBSize},
                                                         {pixelData.get(), pixelSize}};
    for (const auto& [data, size] : parts)
        if (const Status s = write(data, size); s != status::Ok)
            return s;
    m_headerOffset = static_cast<long long>(head.size());
    m_header = header;
    m_flagBytesPerLine = static_cast<int>(u);
    return fail(status::Ok);
}

int MagFile::showInfo(Ui& ui) {
    ControlTable table = MagLoadDialog(*this);
    return ui.runDialog(table);
}

int MagFile::askSaveOptions(Ui& ui) {
    ControlTable table = MagSaveDialog(*this);
    const int result = ui.runDialog(table);
    if (result != 1)
        return result;
    m_author = fitShiftJis(table.text(220), UserNameBytes);
    m_userNameFromFile = false;
    m_machineCode = fitShiftJis(table.text(221), MachineCodeBytes);
    // A longer comment read from a file is kept as long as it is not edited.
    if (table.text(222) != m_comment)
        m_comment = fitShiftJis(table.text(222), DialogCommentBytes);
    m_saveBits = table.checkedRadio(241, 242) == 242 ? 8 : 4;
    return result;
}

ControlTable MagLoadDialog(const MagFile& file) {
    ControlTable table;
    table.name = "MagLoad";
    table.title = "Mag ファイル情報";
    char size[64];
    std::snprintf(size, sizeof size, "%d × %d × %d bit", file.width(), file.height(),
                  file.bitsPerPixel());
    table.add(staticText(-1, "ファイル", 0));
    table.add(staticText(200, file.name(), 0));
    table.add(staticText(-1, "サイズ", 1));
    table.add(staticText(201, size, 1));
    table.add(staticText(-1, "機種", 2));
    table.add(staticText(202, file.machineCode(), 2));
    table.add(staticText(-1, "著者", 3));
    table.add(staticText(203, file.userName(), 3));
    table.add(staticText(-1, "注釈", 4));
    table.add(staticText(204, file.comment(), 4));
    table.add(button(1, "&Load", 5));
    table.add(button(2, "&Cancel", 5));
    return table;
}

ControlTable MagSaveDialog(const MagFile& file) {
    ControlTable table;
    table.name = "MagSave";
    table.title = "MAG ファイルの保存";
    table.add(staticText(-1, "ファイル名", 0));
    table.add(staticText(200, file.name(), 0));
    table.add(staticText(-1, "著者", 1));
    table.add(editField(220, file.userName(), MagFile::UserNameBytes, 1));
    table.add(staticText(-1, "機種", 2));
    table.add(editField(221, file.machineCode(), MagFile::MachineCodeBytes, 2));
    table.add(staticText(-1, "注釈", 3));
    table.add(editField(222, file.comment(), MagFile::DialogCommentBytes, 3));
    table.add(groupBox(240, " 種類 ", 4));
    table.add(radioButton(241, "16色", 1, file.saveBits() <= 4, 5));
    table.add(radioButton(242, "256色", 1, file.saveBits() > 4, 5));
    table.add(button(1, "&Save", 6));
    table.add(button(2, "&Cancel", 6));
    return table;
}

} // namespace celdo
