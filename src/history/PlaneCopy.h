#pragma once

#include "core/CellImage.h"
#include "core/Colour.h"
#include "core/Rect.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace celdo {

// Size and depth of a plane; two planes of one shape have the same row
// layout, so their tiles correspond byte for byte.
struct PlaneShape {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;

    static PlaneShape of(const CellImage& plane) {
        return {plane.width(), plane.height(), plane.bitsPerPixel()};
    }
    bool operator==(const PlaneShape&) const = default;
};

// The memory of one tile.  Blocks all have the size of a whole tile and go
// back to a small cache of the thread when freed: a stroke's step takes and
// an old step gives back hundreds of them, which the general allocator would
// sort one by one.
struct TileBlockDeleter {
    void operator()(std::uint8_t* block) const noexcept;
};
using TileBlock = std::unique_ptr<std::uint8_t[], TileBlockDeleter>;
// Throws std::bad_alloc.
TileBlock NewTileBlock();

// The changed tiles of one plane as one side of an undo step holds them: the
// contents the plane had before the step (while the step is done) or after
// it (while it is undone).  A tile with few changed bytes keeps only those.
struct TileChange {
    std::uint32_t tile = 0;
    // The whole tile; or, with `rows` set, only those rows one after
    // another; or empty when the bytes below say what changed.
    TileBlock block;
    std::uint16_t rows = 0;
    std::vector<std::uint16_t> offsets;
    std::vector<std::uint8_t> values;
};
using TileChanges = std::vector<TileChange>;

// A copy of a plane held in tiles of 16 rows by 64 stored bytes: what the
// plane looked like when the last step closed.  The next step is found by
// comparing the plane with it, and undo exchanges the tiles a step kept with
// its own, so that undo and redo move each changed byte once.
class PlaneCopy {
public:
    static constexpr int TileRows = 16; // one bit each in TileChange::rows
    static constexpr int TileBytes = 64;

    // Copies the plane's pixels and palette.  Throws std::bad_alloc when
    // memory runs out; the history catches it.
    explicit PlaneCopy(const CellImage& plane);

    PlaneShape shape() const { return m_shape; }
    bool fits(const CellImage& plane) const {
        return PlaneShape::of(plane) == m_shape && plane.pixels() != nullptr;
    }
    // Heap bytes held.
    std::size_t bytes() const { return m_bytes; }
    int tileCount() const { return m_columns * m_rows; }

    // A new record with these pixels and palette; null when memory runs out.
    CellImagePtr Rebuild() const;
    // Writes the copy's pixels into a plane of its shape where they differ.
    void RestoreInto(CellImage& plane) const;

    // Marks the tiles that hold part of pixel rectangle [left, right) ×
    // [top, bottom) (already cut to the plane).
    // Returns, for an 8-bit plane, the pixels the marked tiles hold: a
    // rectangle inside it marks nothing new.  Empty for other depths.
    Rect markTiles(std::vector<std::uint8_t>& marks, int left, int top, int right,
                   int bottom) const;
    // Compares the plane (of this shape) with the copy on the marked tiles
    // (a gesture's), or on all tiles when `marks` is null (a command's), and
    // takes the plane's contents for the copy.  Returns what the copy held
    // where they differed.
    TileChanges Take(const CellImage& plane, const std::vector<std::uint8_t>* marks);
    // Undo and redo: the plane and the copy (equal before) take the
    // contents `changes` holds, and `changes` takes theirs.
    void Exchange(CellImage& plane, TileChanges& changes);

    static std::size_t bytesOf(const TileChanges& changes);

private:
    struct TileArea {
        int firstRow;
        int rows;
        std::size_t firstByte;
        int width;
    };
    TileArea area(std::uint32_t tile) const;
    // Compares one tile; returns the number of differing bytes.
    std::size_t countDifferences(const CellImage& plane, std::uint32_t tile) const;
    // The rows of one tile that differ, taken for the copy.
    TileChange takeRows(const CellImage& plane, std::uint32_t tile);

    PlaneShape m_shape;
    std::uint32_t m_stride = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::array<ColourValue, 256> m_palette{};
    int m_colorCount = 0;
    std::vector<TileBlock> m_tiles;
    std::size_t m_bytes = 0;
};

} // namespace celdo
