#pragma once

#include "core/CellImage.h"
#include "formats/GraphicFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

// Helpers shared by the fuzz targets.  A broken property aborts, which
// libFuzzer reports like a crash and keeps the input that caused it.
namespace celdo::fuzz {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds)
        Fail(what);
}

inline std::span<const std::uint8_t> bytesOf(const std::uint8_t* data, std::size_t size) {
    return {data, size};
}

// The value of one pixel: the index for 1, 4 and 8 bits, blue, green and red
// packed into one number for 24 bits.  Padding bytes of a row are no pixel.
inline std::uint32_t pixelAt(const CellImage& image, int x, int y) {
    const std::uint8_t* row = image.row(y);
    switch (image.bitsPerPixel()) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4:
        return (x % 2) ? row[x / 2] & 0x0Fu : row[x / 2] >> 4;
    case 8:
        return row[x];
    default:
        return row[3 * x] | row[3 * x + 1] << 8 | static_cast<std::uint32_t>(row[3 * x + 2]) << 16;
    }
}

// Same size, depth and pixels.  Whole bytes of pixels are compared at once,
// a last byte shared with the padding pixel by pixel.
inline bool samePixels(const CellImage& a, const CellImage& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.bitsPerPixel() != b.bitsPerPixel())
        return false;
    const std::size_t wholeBytes = static_cast<std::size_t>(a.width()) * a.bitsPerPixel() / 8;
    const int firstLeft = static_cast<int>(wholeBytes * 8 / a.bitsPerPixel());
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.row(y), b.row(y), wholeBytes) != 0)
            return false;
        for (int x = firstLeft; x < a.width(); ++x)
            if (pixelAt(a, x, y) != pixelAt(b, x, y))
                return false;
    }
    return true;
}

// The first `count` palette entries agree.
inline bool samePalette(const CellImage& a, const CellImage& b, int count) {
    for (int i = 0; i < count; ++i)
        if (a.paletteEntry(i) != b.paletteEntry(i))
            return false;
    return true;
}

// The full colour table of the depth agrees (nothing for 24 bits).
inline bool sameFullPalette(const CellImage& a, const CellImage& b) {
    return a.bitsPerPixel() == b.bitsPerPixel() &&
           samePalette(a, b, CellImage::fullColourCount(a.bitsPerPixel()));
}

// Every pixel byte of the record can be read: the sanitizer stops on a
// record whose pixel block is shorter than it claims.
inline void TouchPixels(const CellImage& image) {
    const std::uint8_t* pixels = image.pixels();
    Require(pixels != nullptr, "a picture without pixels");
    unsigned sum = 0;
    for (std::uint32_t i = 0; i < image.imageSize(); ++i)
        sum += pixels[i];
    // The compiler must assume the sum is used, so the reads stay.
    asm volatile("" : : "r"(sum) : "memory");
}

// The load sequence of the program without its dialogs, from memory.  The
// bytes must outlive the file object's reading.
inline CellImagePtr LoadFromMemory(GraphicFile& file, std::span<const std::uint8_t> bytes) {
    file.readFromMemory(bytes);
    if (file.readHeader() != status::Ok || file.selectPage() != status::Ok)
        return nullptr;
    CellImagePtr image = file.readImage();
    if (!image)
        Require(file.error() != status::Ok, "a failed read that reports no error");
    return image;
}

} // namespace celdo::fuzz
