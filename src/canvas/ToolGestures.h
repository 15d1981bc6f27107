#pragma once

#include "canvas/Canvas.h"
#include "canvas/ToolTable.h"

#include <optional>
#include <string>
#include <vector>

namespace celdo {

// A mouse message of a canvas, in the canvas's window pixels (positions over
// the frame's margin arrive too, outside the picture).
struct MouseEvent {
    enum Kind { Move, LeftPress, LeftRelease, LeftDoubleClick, RightPress };
    Kind kind = Move;
    Point position;
    bool leftDown = false; // the left button is held (moves)
};

// What the window has to do after a tool handled a mouse message.
struct ToolResponse {
    bool handled = false;
    const char* cursor = ArrowCursor;
    // New text of status pane 1; an empty text clears the pane.
    std::optional<std::string> status;
    bool restoreToolName = false; // pane 0 shows the tool name again
    bool captureMouse = false;
    bool releaseMouse = false;
    bool openPopup = false;      // the canvas popup menu at the pointer
    bool overlayChanged = false; // the rubber band must be redrawn
    bool updateNow = false;      // repaint the changed pixels at once
    Rect changed;                // image pixels painted
};

// Hands a mouse message to the class of the current tool.
ToolResponse HandleMouse(Canvas& canvas, const MouseEvent& event);

// The rubber band of the canvas's gesture, in window pixels, drawn with the
// inverting raster operation.  Ellipses are drawn without fill inside their
// box (corners inclusive).
struct OverlayShape {
    enum Kind { Line, Ellipse };
    Kind kind = Line;
    Point from; // line start, or the box's top-left corner
    Point to;   // line end, or the box's bottom-right corner
    bool operator==(const OverlayShape&) const = default;
};
std::vector<OverlayShape> RubberBandShapes(const Canvas& canvas);

// Makes `code` the current tool; false when it already was.  The caller then
// refreshes the toolbar and shows ToolName(code) in status pane 0.
bool SelectTool(EditingState& state, int code);

} // namespace celdo
