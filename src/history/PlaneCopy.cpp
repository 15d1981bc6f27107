#include "history/PlaneCopy.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace celdo {

namespace {

int ceilDiv(std::size_t value, int by) {
    return static_cast<int>((value + static_cast<std::size_t>(by) - 1) /
                            static_cast<std::size_t>(by));
}

// Rows of whole tiles are copied with a constant length, which the compiler
// turns into a few vector moves instead of a string instruction that is slow
// to start for short rows.
void copyRow(std::uint8_t* to, const std::uint8_t* from, int width) {
    if (width == PlaneCopy::TileBytes)
        std::memcpy(to, from, PlaneCopy::TileBytes);
    else
        std::memcpy(to, from, static_cast<std::size_t>(width));
}

constexpr std::size_t BlockSize =
    static_cast<std::size_t>(PlaneCopy::TileRows) * PlaneCopy::TileBytes;
// At most 8 MiB of freed blocks wait for reuse.
constexpr std::size_t CachedBlocks = 8192;

struct BlockCache {
    std::vector<std::uint8_t*> free;
    ~BlockCache() {
        for (std::uint8_t* block : free)
            std::allocator<std::uint8_t>().deallocate(block, BlockSize);
    }
};

BlockCache& blockCache() {
    thread_local BlockCache cache;
    return cache;
}

// Rows of whole tiles are compared eight bytes at a time without a call.
bool sameRow(const std::uint8_t* a, const std::uint8_t* b, int width) {
    if (width != PlaneCopy::TileBytes)
        return std::memcmp(a, b, static_cast<std::size_t>(width)) == 0;
    std::uint64_t difference = 0;
    for (int i = 0; i < PlaneCopy::TileBytes; i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        difference |= x ^ y;
    }
    return difference == 0;
}

} // namespace

void TileBlockDeleter::operator()(std::uint8_t* block) const noexcept {
    std::vector<std::uint8_t*>& free = blockCache().free;
    if (free.size() < CachedBlocks) {
        // Never grows past CachedBlocks, reserved on first use: no throw.
        free.push_back(block);
        return;
    }
    std::allocator<std::uint8_t>().deallocate(block, BlockSize);
}

TileBlock NewTileBlock() {
    std::vector<std::uint8_t*>& free = blockCache().free;
    if (!free.empty()) {
        std::uint8_t* block = free.back();
        free.pop_back();
        return TileBlock(block);
    }
    if (free.capacity() < CachedBlocks)
        free.reserve(CachedBlocks);
    return TileBlock(std::allocator<std::uint8_t>().allocate(BlockSize));
}

PlaneCopy::PlaneCopy(const CellImage& plane)
    : m_shape(PlaneShape::of(plane)), m_stride(plane.stride()),
      m_columns(ceilDiv(plane.stride(), TileBytes)),
      m_rows(ceilDiv(static_cast<std::size_t>(std::max(plane.height(), 0)), TileRows)) {
    m_colorCount = std::clamp(plane.colorCount(), 0, 256);
    std::copy_n(plane.palette(), 256, m_palette.begin());
    if (!plane.pixels()) {
        m_columns = m_rows = 0;
        return;
    }
    m_tiles.resize(static_cast<std::size_t>(tileCount()));
    for (std::uint32_t t = 0; t < m_tiles.size(); ++t) {
        const TileArea a = area(t);
        const std::size_t size =
            static_cast<std::size_t>(a.rows) * static_cast<std::size_t>(a.width);
        m_tiles[t] = NewTileBlock();
        for (int r = 0; r < a.rows; ++r)
            copyRow(m_tiles[t].get() + static_cast<std::size_t>(r) * a.width,
                    plane.row(a.firstRow + r) + a.firstByte, a.width);
        m_bytes += size;
    }
}

PlaneCopy::TileArea PlaneCopy::area(std::uint32_t tile) const {
    const int column = static_cast<int>(tile % static_cast<std::uint32_t>(m_columns));
    const int row = static_cast<int>(tile / static_cast<std::uint32_t>(m_columns));
    TileArea a;
    a.firstRow = row * TileRows;
    a.rows = std::min(TileRows, m_shape.height - a.firstRow);
    a.firstByte = static_cast<std::size_t>(column) * TileBytes;
    a.width = static_cast<int>(std::min<std::size_t>(TileBytes, m_stride - a.firstByte));
    return a;
}

CellImagePtr PlaneCopy::Rebuild() const {
    CellImagePtr plane = CellImage::Create(m_shape.width, m_shape.height, m_shape.bitsPerPixel);
    if (!plane || plane->status() != status::Ok || !plane->pixels() || plane->stride() != m_stride)
        return nullptr;
    if (m_colorCount > 0)
        plane->SetPalette(m_palette.data(), m_colorCount);
    RestoreInto(*plane);
    return plane;
}

void PlaneCopy::RestoreInto(CellImage& plane) const {
    if (!fits(plane))
        return;
    for (std::uint32_t t = 0; t < m_tiles.size(); ++t) {
        const TileArea a = area(t);
        for (int r = 0; r < a.rows; ++r) {
            const std::uint8_t* from = m_tiles[t].get() + static_cast<std::size_t>(r) * a.width;
            std::uint8_t* to = plane.row(a.firstRow + r) + a.firstByte;
            if (std::memcmp(from, to, static_cast<std::size_t>(a.width)) != 0)
                copyRow(to, from, a.width);
        }
    }
}

Rect PlaneCopy::markTiles(std::vector<std::uint8_t>& marks, int left, int top, int right,
                          int bottom) const {
    if (m_tiles.empty() || left >= right || top >= bottom)
        return {};
    marks.resize(m_tiles.size(), 0);
    const auto bits = static_cast<std::size_t>(m_shape.bitsPerPixel);
    const std::size_t firstByte = static_cast<std::size_t>(std::max(left, 0)) * bits / 8;
    const std::size_t pastByte =
        std::min<std::size_t>((static_cast<std::size_t>(right) * bits + 7) / 8, m_stride);
    if (firstByte >= pastByte)
        return {};
    const int firstColumn = static_cast<int>(firstByte / TileBytes);
    const int lastColumn = static_cast<int>((pastByte - 1) / TileBytes);
    const int firstRow = std::max(top, 0) / TileRows;
    const int lastRow = (std::min(bottom, m_shape.height) - 1) / TileRows;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            marks[static_cast<std::size_t>(row) * m_columns + column] = 1;
    if (m_shape.bitsPerPixel != 8)
        return {};
    return {firstColumn * TileBytes, firstRow * TileRows,
            std::min((lastColumn + 1) * TileBytes, m_shape.width),
            std::min((lastRow + 1) * TileRows, m_shape.height)};
}

std::size_t PlaneCopy::countDifferences(const CellImage& plane, std::uint32_t tile) const {
    const TileArea a = area(tile);
    std::size_t count = 0;
    for (int r = 0; r < a.rows; ++r) {
        const std::uint8_t* kept = m_tiles[tile].get() + static_cast<std::size_t>(r) * a.width;
        const std::uint8_t* now = plane.row(a.firstRow + r) + a.firstByte;
        if (std::memcmp(kept, now, static_cast<std::size_t>(a.width)) == 0)
            continue;
        for (int i = 0; i < a.width; ++i)
            count += kept[i] != now[i];
    }
    return count;
}

TileChange PlaneCopy::takeRows(const CellImage& plane, std::uint32_t tile) {
    const TileArea a = area(tile);
    TileChange change;
    change.tile = tile;
    std::uint8_t* kept = m_tiles[tile].get();
    std::size_t stored = 0;
    for (int r = 0; r < a.rows; ++r) {
        std::uint8_t* keptRow = kept + static_cast<std::size_t>(r) * a.width;
        const std::uint8_t* now = plane.row(a.firstRow + r) + a.firstByte;
        if (sameRow(keptRow, now, a.width))
            continue;
        if (!change.block)
            change.block = NewTileBlock();
        copyRow(change.block.get() + stored * a.width, keptRow, a.width);
        copyRow(keptRow, now, a.width);
        change.rows = static_cast<std::uint16_t>(change.rows | (1u << r));
        ++stored;
    }
    return change;
}

TileChanges PlaneCopy::Take(const CellImage& plane, const std::vector<std::uint8_t>* marks) {
    TileChanges changes;
    if (!fits(plane))
        return changes;
    if (marks)
        changes.reserve(static_cast<std::size_t>(std::count(marks->begin(), marks->end(), 1)));
    for (std::uint32_t t = 0; t < m_tiles.size(); ++t) {
        if (marks && (t >= marks->size() || !(*marks)[t]))
            continue;
        // A gesture keeps the rows it changed, compared and copied in one
        // pass: counting bytes would cost more than the painting.
        if (marks) {
            TileChange change = takeRows(plane, t);
            if (change.block)
                changes.push_back(std::move(change));
            continue;
        }
        // A command's few scattered changes (a merge of two colours) keep
        // only the changed bytes, at three bytes each; otherwise the whole
        // tile is kept.
        const TileArea a = area(t);
        const std::size_t size = static_cast<std::size_t>(a.rows) * a.width;
        const std::size_t differing = countDifferences(plane, t);
        if (differing == 0)
            continue;
        TileChange change;
        change.tile = t;
        std::uint8_t* kept = m_tiles[t].get();
        if (differing * 3 < size) {
            change.offsets.reserve(differing);
            change.values.reserve(differing);
            for (int r = 0; r < a.rows; ++r) {
                std::uint8_t* keptRow = kept + static_cast<std::size_t>(r) * a.width;
                const std::uint8_t* now = plane.row(a.firstRow + r) + a.firstByte;
                for (int i = 0; i < a.width; ++i) {
                    if (keptRow[i] == now[i])
                        continue;
                    change.offsets.push_back(static_cast<std::uint16_t>(r * a.width + i));
                    change.values.push_back(keptRow[i]);
                    keptRow[i] = now[i];
                }
            }
        } else {
            TileBlock fresh = NewTileBlock();
            for (int r = 0; r < a.rows; ++r)
                copyRow(fresh.get() + static_cast<std::size_t>(r) * a.width,
                        plane.row(a.firstRow + r) + a.firstByte, a.width);
            change.block = std::exchange(m_tiles[t], std::move(fresh));
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

void PlaneCopy::Exchange(CellImage& plane, TileChanges& changes) {
    if (!fits(plane))
        return;
    for (TileChange& change : changes) {
        if (change.tile >= m_tiles.size())
            continue;
        const TileArea a = area(change.tile);
        std::uint8_t* kept = m_tiles[change.tile].get();
        if (change.block && change.rows) {
            std::size_t stored = 0;
            for (int r = 0; r < a.rows; ++r) {
                if (!(change.rows & (1u << r)))
                    continue;
                std::uint8_t* keptRow = kept + static_cast<std::size_t>(r) * a.width;
                std::uint8_t* other = change.block.get() + stored * a.width;
                std::uint8_t* target = plane.row(a.firstRow + r) + a.firstByte;
                copyRow(target, other, a.width);
                copyRow(other, keptRow, a.width);
                copyRow(keptRow, target, a.width);
                ++stored;
            }
            continue;
        }
        if (change.block) {
            for (int r = 0; r < a.rows; ++r)
                copyRow(plane.row(a.firstRow + r) + a.firstByte,
                        change.block.get() + static_cast<std::size_t>(r) * a.width, a.width);
            std::swap(change.block, m_tiles[change.tile]);
            continue;
        }
        for (std::size_t i = 0; i < change.offsets.size(); ++i) {
            const std::uint16_t offset = change.offsets[i];
            const int r = offset / a.width;
            const int column = offset % a.width;
            const std::uint8_t value = change.values[i];
            change.values[i] = kept[offset];
            kept[offset] = value;
            plane.row(a.firstRow + r)[a.firstByte + static_cast<std::size_t>(column)] = value;
        }
    }
}

std::size_t PlaneCopy::bytesOf(const TileChanges& changes) {
    std::size_t total = 0;
    for (const TileChange& change : changes) {
        total += sizeof(TileChange);
        if (change.block)
            total += TileRows * TileBytes;
        total += change.offsets.capacity() * sizeof(std::uint16_t) + change.values.capacity();
    }
    return total;
}

} // namespace celdo
