#pragma once

#include "boards/Brush.h"
#include "core/CellImage.h"
#include "core/Rect.h"
#include "core/Status.h"

#include <functional>
#include <string>

namespace celdo {

class Ui;

inline constexpr const char* BrushSetReadFailedText = "筆箱を読込めませんでした";
inline constexpr const char* BrushSetWriteFailedText = "筆箱を保存できませんでした";

// The box of brushes: one 1-bit image cut into 16 × 16 cells, brush n in
// cell (n mod columns, n / columns) counted from the top left.  A 1 bit
// (black; entry 0 of the colour table is white, entry 1 black) is a brush
// pixel.  Pixels beyond whole cells are unused.
class BrushSet {
public:
    static constexpr int CellSize = 16;
    static constexpr int MinimumSize = 64;
    static constexpr int BlankSize = 128;

    // A blank 128 × 128 set: 64 empty brushes.
    BrushSet();

    // Whether an image can serve as a set: 1 bit, at least 64 × 64.
    static bool acceptable(const CellImage* image);

    // Takes `image` (as read from the set's file; null when it could not be
    // read) when it is acceptable.  Otherwise shows BrushSetReadFailedText
    // and the present set stays (the blank one at start-up).
    bool load(CellImagePtr image, Ui& ui, const std::string& caption);
    // Hands the set to `writer`; on failure shows BrushSetWriteFailedText.
    Status save(const std::function<Status(const CellImage&)>& writer, Ui& ui,
                const std::string& caption) const;

    const CellImage& image() const { return *m_image; }
    int columns() const { return m_image->width() / CellSize; }
    int rows() const { return m_image->height() / CellSize; }
    int count() const { return columns() * rows(); }

    // A brush index kept within 0 … count − 1.
    int clampIndex(int n) const;
    // Pixel rectangle of brush n's cell in the set image.
    Rect cellRect(int n) const;

    // Brush n unpacked, with its extent.
    Brush brush(int n) const;
    // Writes `brush` into cell n (1 bit for every non-zero cell).
    void store(int n, const Brush& brush);

private:
    CellImagePtr m_image;
};

} // namespace celdo
