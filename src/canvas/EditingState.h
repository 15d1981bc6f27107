#pragma once

#include "boards/Brush.h"
#include "core/Rect.h"
#include "palette/ColourSelection.h"

#include <functional>
#include <optional>

namespace celdo {

class Canvas;

// Work the tools hand to other parts of the program.  Each hook is wired once
// by the application; a hook left empty means that part is not present and
// the tool does nothing at that step.  Rectangles are image pixels with right
// and bottom exclusive.
struct ToolHooks {
    // The soft dab of 水滴 and ぼかし筆 at an image position; returns the
    // rectangle it changed.
    std::function<Rect(Canvas&, int x, int y)> softDab;
    // タイル取得: the tile board takes the 16 × 16 tile at this position.
    std::function<void(Canvas&, int x, int y)> pickTile;
    // フィルター: the region filter on this rectangle.
    std::function<void(Canvas&, const Rect& region)> regionFilter;
    // 部分複写: the rectangle of the picture (and of its mask) to the clipboard.
    std::function<void(Canvas&, const Rect& region)> copyRegion;
    // The eyedropper picked a picture index; the palette board makes it the
    // current colour.  Returns false when no palette board exists, in which
    // case the pick sets the colour selection directly.
    std::function<bool(int index)> pickColour;
    // The eyedropper changed maskPaintValue (the mask density window shows it).
    std::function<void(int value)> maskPaintValueChanged;
};

// Fill options in force (application-wide); set only by a confirmed fill
// option dialog.
struct FillOptions {
    int searchPlane = 0;    // 0 = picture, 1 = mask
    bool useBorder = false; // the region is bounded by the border colour
    int maskBorder = 1;     // border value on the mask plane (0 or 1)
};

// The tool state shared by every canvas of the application.
struct EditingState {
    static constexpr int InitialTool = 258;

    EditingState(ColourSelection& colours, const Brush& currentBrush)
        : selection(colours), brush(currentBrush) {}

    ColourSelection& selection;
    const Brush& brush;
    int currentTool = InitialTool;
    int maskPaintValue = 0;
    // A press-drag-release gesture is under way somewhere in the application.
    bool strokeActive = false;
    // The last rectangle chosen with a rectangle tool (command 1360).
    std::optional<Rect> lastRegion;
    // Paste windows outline their client area with an inverted frame.
    bool drawPasteFrame = true;
    FillOptions fill;
    ToolHooks hooks;
};

} // namespace celdo
