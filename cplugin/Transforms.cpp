#include "Transforms.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace cplugin {

namespace {

struct BitmapHeader {
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t sizeImage;
    std::int32_t xPelsPerMeter;
    std::int32_t yPelsPerMeter;
    std::uint32_t clrUsed;
    std::uint32_t clrImportant;
};
static_assert(sizeof(BitmapHeader) == CELDO_BITMAP_HEADER_SIZE);

std::uint32_t strideOf(int width, int bits) {
    return ((static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
}

// A picture seen in place: header, colour table and rows of the caller.
struct View {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint32_t stride = 0;
    const std::uint8_t* colourTable = nullptr;
    int colourCount = 0;
    std::uint8_t* pixels = nullptr;

    std::uint8_t* row(int y) const {
        return pixels + static_cast<std::size_t>(height - 1 - y) * stride;
    }
    int get(int x, int y) const {
        const std::uint8_t* r = row(y);
        switch (bits) {
        case 1:
            return (r[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        default:
            return r[x];
        }
    }
    void set(int x, int y, int value) const {
        std::uint8_t* r = row(y);
        switch (bits) {
        case 1: {
            const auto bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
            r[x >> 3] = static_cast<std::uint8_t>(value ? (r[x >> 3] | bit) : (r[x >> 3] & ~bit));
            break;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            r[x >> 1] = static_cast<std::uint8_t>((r[x >> 1] & ~(0x0F << shift)) |
                                                  ((value & 0x0F) << shift));
            break;
        }
        default:
            r[x] = static_cast<std::uint8_t>(value);
            break;
        }
    }
    // Copies one whole pixel (1 or 3 bytes for 8 and 24 bits).
    void copyPixel(int x, int y, const View& from, int fx, int fy) const {
        if (bits == 24)
            std::memcpy(row(y) + 3 * x, from.row(fy) + 3 * fx, 3);
        else if (bits == 8)
            row(y)[x] = from.row(fy)[fx];
        else
            set(x, y, from.get(fx, fy));
    }
};

bool makeView(void* info, void* bits, View& view) {
    if (!info || !bits)
        return false;
    BitmapHeader header;
    std::memcpy(&header, info, sizeof header);
    const int depth = header.planes * header.bitCount;
    if (header.size < sizeof(BitmapHeader) || header.compression != 0 || header.width <= 0 ||
        header.height <= 0 || header.width > 32767 || header.height > 32767 ||
        (depth != 1 && depth != 4 && depth != 8 && depth != 24))
        return false;
    view.width = header.width;
    view.height = header.height;
    view.bits = depth;
    view.stride = strideOf(header.width, depth);
    view.colourTable = static_cast<const std::uint8_t*>(info) + header.size;
    view.colourCount = depth > 8 ? 0 : 1 << depth;
    if (header.clrUsed > 0 && header.clrUsed < static_cast<std::uint32_t>(view.colourCount))
        view.colourCount = static_cast<int>(header.clrUsed);
    view.pixels = static_cast<std::uint8_t*>(bits);
    return true;
}

struct Region {
    int x, y, w, h;
};

// The request's region (the whole picture when none is given, written back
// into the request); false when it does not lie inside the picture.
bool takeRegion(FilterRequest& request, const View& picture, Region& region) {
    if (!(request.flags & CELDO_REQUEST_REGION)) {
        request.x = 0;
        request.y = 0;
        request.width = picture.width;
        request.height = picture.height;
    }
    region = {request.x, request.y, request.width, request.height};
    return region.x >= 0 && region.y >= 0 && region.w > 0 && region.h > 0 &&
           region.x <= picture.width - region.w && region.y <= picture.height - region.h;
}

// The mask, when the request carries one: an 8-bit plane of the picture's
// size.  False when it is given but cannot be viewed.
bool takeMask(FilterRequest& request, const View& picture, View& mask, bool& hasMask) {
    hasMask = request.maskInfo != nullptr || request.maskBits != nullptr;
    if (!hasMask)
        return true;
    return makeView(request.maskInfo, request.maskBits, mask) && mask.bits == 8 &&
           mask.width == picture.width && mask.height == picture.height;
}

// A pixel block for the caller to free with std::free.  A large block is
// placed on 2 MiB boundaries (its size rounded up to them) and offered huge
// pages: setting up fresh memory page by page costs more than filtering it,
// and a 2048 × 2048 turn needs thousands of small pages but only a few huge
// ones.
void* allocatePixels(std::size_t size, bool zeroed) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t Huge = std::size_t{2} << 20;
    if (size >= 2 * Huge) {
        const std::size_t rounded = (size + Huge - 1) & ~(Huge - 1);
        if (void* block = std::aligned_alloc(Huge, rounded)) {
            ::madvise(block, rounded, MADV_HUGEPAGE);
            if (zeroed)
                std::memset(block, 0, size);
            return block;
        }
    }
#endif
    return zeroed ? std::calloc(size, 1) : std::malloc(size);
}

// A new picture in malloc blocks: a 1064-byte bitmap information block and a
// zero-filled pixel block.
struct NewPicture {
    void* info = nullptr;
    void* bits = nullptr;
    View view;

    NewPicture() = default;
    NewPicture(const NewPicture&) = delete;
    NewPicture& operator=(const NewPicture&) = delete;
    ~NewPicture() {
        std::free(info);
        std::free(bits);
    }
    // With `zeroed` false the pixel bytes are left for the caller to write,
    // every one of them, padding included.
    bool make(int width, int height, int depth, bool zeroed = true) {
        info = std::calloc(1, CELDO_BITMAP_INFO_SIZE);
        const std::size_t size = static_cast<std::size_t>(strideOf(width, depth)) * height;
        bits = allocatePixels(size, zeroed);
        if (!info || !bits)
            return false;
        BitmapHeader header{};
        header.size = sizeof header;
        header.width = width;
        header.height = height;
        header.planes = 1;
        header.bitCount = static_cast<std::uint16_t>(depth);
        std::memcpy(info, &header, sizeof header);
        return makeView(info, bits, view);
    }
    std::uint8_t* table() { return static_cast<std::uint8_t*>(info) + sizeof(BitmapHeader); }
    void copyColourTable(const View& source) {
        std::memcpy(table(), source.colourTable, static_cast<std::size_t>(source.colourCount) * 4);
    }
    void greyColourTable() {
        for (int i = 0; i < 256; ++i) {
            std::uint8_t* entry = table() + 4 * i;
            entry[0] = entry[1] = entry[2] = static_cast<std::uint8_t>(i);
        }
    }
    // Hands both blocks over to the caller.
    void release(void*& infoOut, void*& bitsOut) {
        infoOut = std::exchange(info, nullptr);
        bitsOut = std::exchange(bits, nullptr);
    }
};

// Makes the pages of rows r0 … r1 − 1 of a new block present in one call.
// The blocks are fresh memory, and faulting their pages in one at a time on
// first write costs more than the sampling itself.  Where the call is not
// available the pages simply fault in as they are written.
void makePresent(const View& view, int r0, int r1) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    constexpr std::uintptr_t Page = 4096;
    const auto low = reinterpret_cast<std::uintptr_t>(view.row(r1 - 1));
    const auto high = reinterpret_cast<std::uintptr_t>(view.row(r0)) + view.stride;
    const std::uintptr_t start = (low + Page - 1) & ~(Page - 1);
    const std::uintptr_t end = high & ~(Page - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)view;
    (void)r0;
    (void)r1;
#endif
}

// Where source pixel (i, j) of a w × h region goes in the turned picture.
std::pair<int, int> turned(int operation, int i, int j, int w, int h) {
    switch (operation) {
    case 0:
        return {h - 1 - j, i};
    case 1:
        return {j, w - 1 - i};
    case 2:
        return {h - 1 - j, w - 1 - i};
    default:
        return {j, i};
    }
}

// Square blocks of the turned picture: the source rows a block reads (one
// cache line each) stay in the cache while every row of the block is written.
constexpr int TurnBlock = 64;

#if defined(__SSE2__)
// Sixteen rows of sixteen bytes turned into sixteen columns: byte r of out[c]
// is byte c of in[r].  Four rounds of interleaving, bytes, then pairs, then
// fours, then eights.
void transpose16(const std::uint8_t* const in[16], std::uint8_t* const out[16]) {
    __m128i x[16];
    __m128i y[16];
    for (int i = 0; i < 16; ++i)
        x[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[i]));
    // Rows 2i and 2i+1 of columns 0–7 (y[i]) and 8–15 (y[i + 8]).
    for (int i = 0; i < 8; ++i) {
        y[i] = _mm_unpacklo_epi8(x[2 * i], x[2 * i + 1]);
        y[i + 8] = _mm_unpackhi_epi8(x[2 * i], x[2 * i + 1]);
    }
    // x[4g + i]: rows 4i … 4i+3 of columns 4g … 4g+3.
    for (int i = 0; i < 4; ++i) {
        x[i] = _mm_unpacklo_epi16(y[2 * i], y[2 * i + 1]);
        x[4 + i] = _mm_unpackhi_epi16(y[2 * i], y[2 * i + 1]);
        x[8 + i] = _mm_unpacklo_epi16(y[8 + 2 * i], y[8 + 2 * i + 1]);
        x[12 + i] = _mm_unpackhi_epi16(y[8 + 2 * i], y[8 + 2 * i + 1]);
    }
    // y[4g], y[4g + 1]: rows 0–7 of columns 4g, 4g+1 and 4g+2, 4g+3;
    // y[4g + 2], y[4g + 3]: the same columns, rows 8–15.
    for (int g = 0; g < 4; ++g) {
        y[4 * g] = _mm_unpacklo_epi32(x[4 * g], x[4 * g + 1]);
        y[4 * g + 1] = _mm_unpackhi_epi32(x[4 * g], x[4 * g + 1]);
        y[4 * g + 2] = _mm_unpacklo_epi32(x[4 * g + 2], x[4 * g + 3]);
        y[4 * g + 3] = _mm_unpackhi_epi32(x[4 * g + 2], x[4 * g + 3]);
    }
    for (int g = 0; g < 4; ++g) {
        const __m128i columns[4] = {_mm_unpacklo_epi64(y[4 * g], y[4 * g + 2]),
                                    _mm_unpackhi_epi64(y[4 * g], y[4 * g + 2]),
                                    _mm_unpacklo_epi64(y[4 * g + 1], y[4 * g + 3]),
                                    _mm_unpackhi_epi64(y[4 * g + 1], y[4 * g + 3])};
        for (int k = 0; k < 4; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out[4 * g + k]), columns[k]);
    }
}
#endif

// 8- and 24-bit turns, written row by row of the result.  Result row ty is
// one source column read downwards or upwards, so each result row is a walk
// with a fixed step through the source.
template <int Bytes>
void turnBlocked(const View& source, const Region& region, const View& target, int operation) {
    // Result pixel (tx, ty) comes from source (i, j) with i = ty or w - 1 - ty
    // and j = tx or h - 1 - tx.
    const bool columnFromEnd = operation == 1 || operation == 2;
    const bool rowFromEnd = operation == 0 || operation == 2;
    // Source rows are stored bottom-up: going one row down the picture goes
    // one stride back in memory.
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(source.stride);
    const std::uint8_t* firstRow = source.row(region.y + (rowFromEnd ? region.h - 1 : 0));
    const std::ptrdiff_t step = rowFromEnd ? stride : -stride;
    const int outW = region.h;
    const int outH = region.w;
    int doneW = 0;
    int doneH = 0;
#if defined(__SSE2__)
    if constexpr (Bytes == 1) {
        // Whole 16 × 16 tiles through registers; the edges below.
        doneW = outW - outW % 16;
        doneH = outH - outH % 16;
        const std::uint8_t* in[16];
        std::uint8_t* out[16];
        for (int ty0 = 0; ty0 < doneH; ty0 += 16) {
            // Source columns first … first + 15 make result rows ty0 … ty0 + 15.
            const int first = columnFromEnd ? region.w - 16 - ty0 : ty0;
            for (int c = 0; c < 16; ++c) {
                const int i = first + c;
                out[c] = target.row(columnFromEnd ? region.w - 1 - i : i);
            }
            for (int tx0 = 0; tx0 < doneW; tx0 += 16) {
                for (int r = 0; r < 16; ++r)
                    in[r] = firstRow + step * (tx0 + r) + region.x + first;
                transpose16(in, out);
                for (int c = 0; c < 16; ++c)
                    out[c] += 16;
            }
        }
    }
#endif
    // What the tiles left: the columns right of them in their rows, then the
    // rows below them.
    const auto walk = [&](int ty, int txBegin, int txEnd) {
        const int i = columnFromEnd ? region.w - 1 - ty : ty;
        const std::uint8_t* from = firstRow + step * txBegin + Bytes * (region.x + i);
        std::uint8_t* to = target.row(ty) + Bytes * txBegin;
        for (int tx = txBegin; tx < txEnd; ++tx, from += step, to += Bytes) {
            if constexpr (Bytes == 1) {
                *to = *from;
            } else {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    };
    for (int ty = 0; ty < doneH; ++ty)
        walk(ty, doneW, outW);
    for (int by = doneH; by < outH; by += TurnBlock) {
        const int yEnd = std::min(by + TurnBlock, outH);
        for (int bx = 0; bx < outW; bx += TurnBlock) {
            const int xEnd = std::min(bx + TurnBlock, outW);
            for (int ty = by; ty < yEnd; ++ty)
                walk(ty, bx, xEnd);
        }
    }
}

void turn(const View& source, const Region& region, const View& target, int operation) {
    if (source.bits == 8) {
        turnBlocked<1>(source, region, target, operation);
        return;
    }
    if (source.bits == 24) {
        turnBlocked<3>(source, region, target, operation);
        return;
    }
    for (int j = 0; j < region.h; ++j)
        for (int i = 0; i < region.w; ++i) {
            const auto [tx, ty] = turned(operation, i, j, region.w, region.h);
            target.copyPixel(tx, ty, source, region.x + i, region.y + j);
        }
}

void swapPixels(const View& view, int x1, int y1, int x2, int y2) {
    if (view.bits == 24) {
        std::uint8_t* a = view.row(y1) + 3 * x1;
        std::uint8_t* b = view.row(y2) + 3 * x2;
        for (int k = 0; k < 3; ++k)
            std::swap(a[k], b[k]);
        return;
    }
    const int a = view.get(x1, y1);
    view.set(x1, y1, view.get(x2, y2));
    view.set(x2, y2, a);
}

void invert(const View& view, const Region& region, int operation) {
    if (view.bits == 8 || view.bits == 24) {
        // Whole pixels of one or three bytes: rows reversed and exchanged as
        // byte ranges.
        const std::size_t bytes = view.bits / 8;
        const std::size_t span = bytes * static_cast<std::size_t>(region.w);
        const std::size_t left = bytes * static_cast<std::size_t>(region.x);
        if (operation & 1)
            for (int j = 0; j < region.h; ++j) {
                std::uint8_t* row = view.row(region.y + j) + left;
                if (bytes == 1) {
                    std::reverse(row, row + span);
                } else {
                    for (std::size_t a = 0, b = span - 3; a < b; a += 3, b -= 3)
                        std::swap_ranges(row + a, row + a + 3, row + b);
                }
            }
        if (operation & 2)
            for (int j = 0; j < region.h / 2; ++j)
                std::swap_ranges(view.row(region.y + j) + left,
                                 view.row(region.y + j) + left + span,
                                 view.row(region.y + region.h - 1 - j) + left);
        return;
    }
    if (operation & 1)
        for (int j = 0; j < region.h; ++j)
            for (int i = 0; i < region.w / 2; ++i)
                swapPixels(view, region.x + i, region.y + j, region.x + region.w - 1 - i,
                           region.y + j);
    if (operation & 2)
        for (int j = 0; j < region.h / 2; ++j)
            for (int i = 0; i < region.w; ++i)
                swapPixels(view, region.x + i, region.y + j, region.x + i,
                           region.y + region.h - 1 - j);
}

// Floor of a / b for b > 0.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Narrows [lo, hi) to the columns k with 0 <= start + k * step < limit.
void keepInside(std::int64_t start, std::int64_t step, std::int64_t limit, std::int64_t& lo,
                std::int64_t& hi) {
    if (step == 0) {
        if (start < 0 || start >= limit)
            hi = lo;
        return;
    }
    if (step > 0) {
        lo = std::max(lo, floorDiv(-start + step - 1, step));
        hi = std::min(hi, floorDiv(limit - 1 - start, step) + 1);
    } else {
        lo = std::max(lo, floorDiv(start - limit, -step) + 1);
        hi = std::min(hi, floorDiv(start, -step) + 1);
    }
}

// The 12-bit fixed-point walk of a free rotation: the first sample of the
// first row, the step along a row and the step from row to row.
struct Walk {
    std::int32_t x0, y0, dx, dy, rx, ry;
};

// Samples the new picture and mask.  Each new row only visits the columns
// whose samples fall inside the source, found from the walk's linear form
// rather than by testing every pixel; the others get 0 with mask 255.  The
// rows are worked in narrow column strips so that the source lines a strip
// reads stay in the cache from one row to the next.  Every sample is the one
// the plain per-pixel walk takes: the coordinates stay far inside 32 bits
// (at most 4096 steps of at most 4096 from a start below 2^26), so computing
// a column's position directly equals adding the steps one by one.
struct FreeRotationJob {
    const View& source;
    const View* mask;
    Region region;
    const View& target;
    const View& targetMask;
    Walk walk;

    static constexpr int Strip = 128;
    static constexpr long long ThreadedPixels = 1 << 18;

    std::vector<int> first;
    std::vector<int> last;

    bool sample() {
        const int outH = target.height;
        try {
            first.resize(static_cast<std::size_t>(outH));
            last.resize(static_cast<std::size_t>(outH));
        } catch (const std::bad_alloc&) {
            return false;
        }
        const long long pixels = static_cast<long long>(target.width) * outH;
        if (pixels >= ThreadedPixels && outH >= 2 && std::thread::hardware_concurrency() >= 2) {
            // Two halves of the rows write disjoint bytes; the result is the
            // same whichever finishes first.
            const int middle = outH / 2;
            try {
                std::thread helper([this, middle, outH] { rows(middle, outH); });
                rows(0, middle);
                helper.join();
                return true;
            } catch (const std::system_error&) {
            }
        }
        rows(0, outH);
        return true;
    }

    void rows(int r0, int r1) {
        makePresent(target, r0, r1);
        makePresent(targetMask, r0, r1);
        const int outW = target.width;
        const std::int64_t xLimit = static_cast<std::int64_t>(region.w) << 12;
        const std::int64_t yLimit = static_cast<std::int64_t>(region.h) << 12;
        for (int r = r0; r < r1; ++r) {
            const std::int64_t x = walk.x0 + static_cast<std::int64_t>(r) * walk.rx;
            const std::int64_t y = walk.y0 + static_cast<std::int64_t>(r) * walk.ry;
            std::int64_t lo = 0;
            std::int64_t hi = outW;
            keepInside(x, walk.dx, xLimit, lo, hi);
            keepInside(y, walk.dy, yLimit, lo, hi);
            if (hi <= lo)
                lo = hi = 0;
            first[static_cast<std::size_t>(r)] = static_cast<int>(lo);
            last[static_cast<std::size_t>(r)] = static_cast<int>(hi);
            // The new blocks are not zero-filled: everything but the samples
            // is written here, row padding included.
            const std::size_t bytes = source.bits == 24 ? 3 : 1;
            std::uint8_t* out = target.row(r);
            std::memset(out, 0, bytes * static_cast<std::size_t>(lo));
            std::memset(out + bytes * static_cast<std::size_t>(hi), 0,
                        target.stride - bytes * static_cast<std::size_t>(hi));
            std::uint8_t* outMask = targetMask.row(r);
            if (!mask)
                std::memset(outMask + lo, 0, static_cast<std::size_t>(hi - lo));
            std::memset(outMask, 255, static_cast<std::size_t>(lo));
            std::memset(outMask + hi, 255, static_cast<std::size_t>(outW - hi));
            std::memset(outMask + outW, 0, targetMask.stride - static_cast<std::size_t>(outW));
        }
        for (int k0 = 0; k0 < outW; k0 += Strip) {
            const int k1 = std::min(k0 + Strip, outW);
            for (int r = r0; r < r1; ++r) {
                const int lo = std::max(first[static_cast<std::size_t>(r)], k0);
                const int hi = std::min(last[static_cast<std::size_t>(r)], k1);
                if (lo < hi)
                    span(r, lo, hi);
            }
        }
    }

    // New row r, columns lo … hi − 1, all of whose samples lie inside.
    void span(int r, int lo, int hi) const {
        std::int32_t x = walk.x0 + r * walk.rx + lo * walk.dx;
        std::int32_t y = walk.y0 + r * walk.ry + lo * walk.dy;
        const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(source.stride);
        // Source rows are stored bottom-up: row v of the region lies v
        // strides before the region's top row.
        const std::uint8_t* top = source.row(region.y);
        if (source.bits == 24) {
            std::uint8_t* out = target.row(r);
            top += 3 * region.x;
            for (int k = lo; k < hi; ++k, x += walk.dx, y += walk.dy) {
                const std::uint8_t* from = top + 3 * (x >> 12) - (y >> 12) * stride;
                out[3 * k] = from[0];
                out[3 * k + 1] = from[1];
                out[3 * k + 2] = from[2];
            }
            if (mask) {
                x = walk.x0 + r * walk.rx + lo * walk.dx;
                y = walk.y0 + r * walk.ry + lo * walk.dy;
                const std::uint8_t* maskTop = mask->row(region.y) + region.x;
                const std::ptrdiff_t maskStride = static_cast<std::ptrdiff_t>(mask->stride);
                std::uint8_t* outMask = targetMask.row(r);
                for (int k = lo; k < hi; ++k, x += walk.dx, y += walk.dy)
                    outMask[k] = maskTop[(x >> 12) - (y >> 12) * maskStride];
            }
            return;
        }
        top += region.x;
        std::uint8_t* out = target.row(r);
        if (mask) {
            // An 8-bit mask of the picture's width has the picture's stride,
            // so one offset serves both planes.
            const std::uint8_t* maskTop = mask->row(region.y) + region.x;
            std::uint8_t* outMask = targetMask.row(r);
            for (int k = lo; k < hi; ++k, x += walk.dx, y += walk.dy) {
                const std::ptrdiff_t at = (x >> 12) - (y >> 12) * stride;
                out[k] = top[at];
                outMask[k] = maskTop[at];
            }
        } else {
            for (int k = lo; k < hi; ++k, x += walk.dx, y += walk.dy)
                out[k] = top[(x >> 12) - (y >> 12) * stride];
        }
    }
};

std::uint32_t withRegion(std::uint32_t result, const FilterRequest& request) {
    return (request.flags & CELDO_REQUEST_REGION) ? (result | CELDO_RESULT_REGION) : result;
}

// The picture, the mask and the region of a request, checked.  Pictures of
// fewer than 8 bits are always worked on whole; the region holds for the mask.
struct Inputs {
    View picture, mask;
    bool hasMask = false;
    Region region{};
    Region pictureRegion{};
};

bool takeInputs(FilterRequest& request, Inputs& in) {
    if (!makeView(request.bitmapInfo, request.bits, in.picture) ||
        !takeMask(request, in.picture, in.mask, in.hasMask) ||
        !takeRegion(request, in.picture, in.region))
        return false;
    in.pictureRegion =
        in.picture.bits >= 8 ? in.region : Region{0, 0, in.picture.width, in.picture.height};
    return true;
}

} // namespace

std::uint32_t Rotate(FilterRequest& request, int operation) {
    if (operation < 0 || operation > 3)
        return 0;
    Inputs in;
    if (!takeInputs(request, in))
        return 0;
    const View& picture = in.picture;
    const View& mask = in.mask;
    const bool hasMask = in.hasMask;
    const Region& region = in.region;
    const Region& pictureRegion = in.pictureRegion;

    NewPicture result;
    if (!result.make(pictureRegion.h, pictureRegion.w, picture.bits))
        return 0;
    result.copyColourTable(picture);
    makePresent(result.view, 0, result.view.height);
    turn(picture, pictureRegion, result.view, operation);

    NewPicture newMask;
    if (hasMask) {
        if (!newMask.make(region.h, region.w, 8))
            return 0;
        newMask.greyColourTable();
        makePresent(newMask.view, 0, newMask.view.height);
        turn(mask, region, newMask.view, operation);
    }
    result.release(request.newBitmapInfo, request.newBits);
    if (hasMask)
        newMask.release(request.newMaskInfo, request.newMaskBits);
    return withRegion(CELDO_RESULT_RAN | CELDO_RESULT_NEW_IMAGE, request);
}

std::uint32_t Invert(FilterRequest& request, int operation) {
    if (operation < 1 || operation > 3)
        return 0;
    Inputs in;
    if (!takeInputs(request, in))
        return 0;
    const View& picture = in.picture;
    const View& mask = in.mask;
    const bool hasMask = in.hasMask;
    const Region& region = in.region;
    const Region& pictureRegion = in.pictureRegion;
    invert(picture, pictureRegion, operation);
    if (hasMask)
        invert(mask, region, operation);
    return withRegion(CELDO_RESULT_RAN, request);
}

std::uint32_t FreeRotate(FilterRequest& request, double degrees) {
    const double theta = degrees * DegreesToRadians;
    View picture, mask;
    bool hasMask = false;
    Region region{};
    if (!makeView(request.bitmapInfo, request.bits, picture) || picture.bits < 8 ||
        !takeMask(request, picture, mask, hasMask) || !takeRegion(request, picture, region))
        return 0;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const double w = region.w;
    const double h = region.h;
    const double newWidth = std::trunc(w * std::fabs(c) + h * std::fabs(s) + 0.5);
    const double newHeight = std::trunc(w * std::fabs(s) + h * std::fabs(c) + 0.5);
    if (!(newWidth <= MaxFreeRotationSize && newHeight <= MaxFreeRotationSize) || newWidth < 1 ||
        newHeight < 1)
        return 0;
    const int outW = static_cast<int>(newWidth);
    const int outH = static_cast<int>(newHeight);

    double e = 0;
    double f = 0;
    if (s <= 0 && c >= 0) {
        e = -s * h;
    } else if (s <= 0) {
        e = -w * c - s * h;
        f = -h * c;
    } else if (c >= 0) {
        f = w * s;
    } else {
        e = -w * c;
        f = w * s - h * c;
    }
    const auto dx = static_cast<std::int32_t>(std::trunc(c * 4096));
    const auto dy = static_cast<std::int32_t>(std::trunc(s * 4096));
    const auto rx = static_cast<std::int32_t>(std::trunc(-s * 4096));
    const std::int32_t ry = dx;
    const auto x0 = static_cast<std::int32_t>(std::trunc((-c * e + s * f) * 4096 + 2048));
    const auto y0 = static_cast<std::int32_t>(std::trunc((-s * e - c * f) * 4096 + 2048));

    NewPicture result;
    NewPicture newMask;
    if (!result.make(outW, outH, picture.bits == 24 ? 24 : 8, false) ||
        !newMask.make(outW, outH, 8, false))
        return 0;
    result.copyColourTable(picture);
    newMask.greyColourTable();

    FreeRotationJob job{picture,      hasMask ? &mask : nullptr, region, result.view,
                        newMask.view, {x0, y0, dx, dy, rx, ry},  {},     {}};
    if (!job.sample())
        return 0;
    result.release(request.newBitmapInfo, request.newBits);
    newMask.release(request.newMaskInfo, request.newMaskBits);
    return withRegion(CELDO_RESULT_RAN | CELDO_RESULT_NEW_IMAGE, request);
}

} // namespace cplugin
