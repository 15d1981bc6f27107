#include "Transforms.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

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
        case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        default: return r[x];
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
        default: r[x] = static_cast<std::uint8_t>(value); break;
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
    bool make(int width, int height, int depth) {
        info = std::calloc(1, CELDO_BITMAP_INFO_SIZE);
        const std::size_t size = static_cast<std::size_t>(strideOf(width, depth)) * height;
        bits = std::calloc(size, 1);
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

// Where source pixel (i, j) of a w × h region goes in the turned picture.
std::pair<int, int> turned(int operation, int i, int j, int w, int h) {
    switch (operation) {
    case 0: return {h - 1 - j, i};
    case 1: return {j, w - 1 - i};
    case 2: return {h - 1 - j, w - 1 - i};
    default: return {j, i};
    }
}

// Tiles keep both the rows read and the columns written in the cache.
constexpr int TurnTile = 16;

void turn(const View& source, const Region& region, const View& target, int operation) {
    for (int jb = 0; jb < region.h; jb += TurnTile)
        for (int ib = 0; ib < region.w; ib += TurnTile) {
            const int jEnd = std::min(jb + TurnTile, region.h);
            const int iEnd = std::min(ib + TurnTile, region.w);
            for (int j = jb; j < jEnd; ++j) {
                const int sy = region.y + j;
                if (source.bits == 8) {
                    const std::uint8_t* from = source.row(sy) + region.x;
                    for (int i = ib; i < iEnd; ++i) {
                        const auto [tx, ty] = turned(operation, i, j, region.w, region.h);
                        target.row(ty)[tx] = from[i];
                    }
                } else {
                    for (int i = ib; i < iEnd; ++i) {
                        const auto [tx, ty] = turned(operation, i, j, region.w, region.h);
                        target.copyPixel(tx, ty, source, region.x + i, sy);
                    }
                }
            }
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

std::uint32_t withRegion(std::uint32_t result, const FilterRequest& request) {
    return (request.flags & CELDO_REQUEST_REGION) ? (result | CELDO_RESULT_REGION) : result;
}

} // namespace

std::uint32_t Rotate(FilterRequest& request, int operation) {
    if (operation < 0 || operation > 3)
        return 0;
    View picture, mask;
    bool hasMask = false;
    Region region{};
    if (!makeView(request.bitmapInfo, request.bits, picture) ||
        !takeMask(request, picture, mask, hasMask) || !takeRegion(request, picture, region))
        return 0;
    const Region pictureRegion =
        picture.bits >= 8 ? region : Region{0, 0, picture.width, picture.height};

    NewPicture result;
    if (!result.make(pictureRegion.h, pictureRegion.w, picture.bits))
        return 0;
    result.copyColourTable(picture);
    turn(picture, pictureRegion, result.view, operation);

    NewPicture newMask;
    if (hasMask) {
        if (!newMask.make(region.h, region.w, 8))
            return 0;
        newMask.greyColourTable();
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
    View picture, mask;
    bool hasMask = false;
    Region region{};
    if (!makeView(request.bitmapInfo, request.bits, picture) ||
        !takeMask(request, picture, mask, hasMask) || !takeRegion(request, picture, region))
        return 0;
    const Region pictureRegion =
        picture.bits >= 8 ? region : Region{0, 0, picture.width, picture.height};
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
    if (!(newWidth <= MaxFreeRotationSize && newHeight <= MaxFreeRotationSize) ||
        newWidth < 1 || newHeight < 1)
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
    if (!result.make(outW, outH, picture.bits == 24 ? 24 : 8) || !newMask.make(outW, outH, 8))
        return 0;
    result.copyColourTable(picture);
    newMask.greyColourTable();

    const int bytes = picture.bits == 24 ? 3 : 1;
    std::int32_t rowX = x0;
    std::int32_t rowY = y0;
    for (int r = 0; r < outH; ++r, rowX += rx, rowY += ry) {
        std::uint8_t* out = result.view.row(r);
        std::uint8_t* outMask = newMask.view.row(r);
        std::int32_t sx = rowX;
        std::int32_t sy = rowY;
        for (int k = 0; k < outW; ++k, sx += dx, sy += dy) {
            const int u = sx >> 12;
            const int v = sy >> 12;
            if (sx >= 0 && sy >= 0 && u < region.w && v < region.h) {
                const std::uint8_t* from = picture.row(region.y + v) + bytes * (region.x + u);
                if (bytes == 1)
                    out[k] = *from;
                else
                    std::memcpy(out + 3 * k, from, 3);
                outMask[k] = hasMask ? mask.row(region.y + v)[region.x + u] : 0;
            } else {
                outMask[k] = 255;
            }
        }
    }
    result.release(request.newBitmapInfo, request.newBits);
    newMask.release(request.newMaskInfo, request.newMaskBits);
    return withRegion(CELDO_RESULT_RAN | CELDO_RESULT_NEW_IMAGE, request);
}

} // namespace cplugin
