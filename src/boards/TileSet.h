#pragma once

#include "core/CellImage.h"
#include "core/Rect.h"
#include "core/Status.h"
#include "palette/ColourSelection.h"

#include <functional>
#include <string>

namespace celdo {

class Ui;

inline constexpr const char* TileSetReadFailedText = "タイルを読込めませんでした";
inline constexpr const char* TileSetWriteFailedText = "タイルを保存できませんでした";

// The tiles: one 8-bit image of palette indices cut into 16 × 16 cells,
// tile n in cell (n mod columns, n / columns) counted from the top left.
// Its colour table follows the current palette.
class TileSet {
public:
    static constexpr int CellSize = 16;
    static constexpr int MinimumSize = 64;
    static constexpr int BlankSize = 128;

    // A blank 128 × 128 set: 64 tiles of index 0.
    TileSet();

    // Whether an image can serve as a set: 8 bits, at least 64 × 64.
    static bool acceptable(const CellImage* image);

    // Takes `image` (null when it could not be read) when acceptable, with
    // `palette` (256 entries) as its colours; otherwise shows
    // TileSetReadFailedText and the present set stays.  The current tile
    // stays when the new set has it, else becomes 0.
    bool load(CellImagePtr image, const ColourValue* palette, Ui& ui, const std::string& caption);
    // Hands the set to `writer`; on failure shows TileSetWriteFailedText.
    Status save(const std::function<Status(const CellImage&)>& writer, Ui& ui,
                const std::string& caption) const;
    // The set's colours := `palette`; the indices stay.
    void applyPalette(const ColourValue* palette);

    const CellImage& image() const { return *m_image; }
    int columns() const { return m_image->width() / CellSize; }
    int rows() const { return m_image->height() / CellSize; }
    int count() const { return columns() * rows(); }
    int current() const { return m_current; }
    Rect cellRect(int n) const;

    // Makes tile n current: its 16 rows go into selection.tilePattern and
    // tiles become the paint kind.  False (nothing changes) for no such tile.
    bool select(int n, ColourSelection& selection);

    // Takes the 16 × 16 area of `picture` (8 bits) centred on (x, y) — from
    // x − 8 to x + 7 — into the current tile and into selection.tilePattern;
    // positions off the picture keep their content.  The paint kind stays.
    // Returns the changed rectangle of the set image.
    Rect capture(const CellImage& picture, int x, int y, ColourSelection& selection);

private:
    CellImagePtr m_image;
    int m_current = 0;
};

} // namespace celdo
