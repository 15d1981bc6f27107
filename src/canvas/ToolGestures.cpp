#include "canvas/ToolGestures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace celdo {

namespace {

std::string positionText(Point p) {
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d", p.x, p.y);
    return text;
}

std::string lineText(Point a, Point b) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", a.x, a.y, b.x, b.y);
    return text;
}

std::string extentText(Point a, Point b) {
    char text[96];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)  (%d,%d)", a.x, a.y, b.x, b.y,
                  std::abs(b.x - a.x) + 1, std::abs(b.y - a.y) + 1);
    return text;
}

ToolResponse handledBy(int code) {
    ToolResponse r;
    r.handled = true;
    r.cursor = ToolCursor(code);
    return r;
}

// Brush class: 手書き, 自由曲線, 水滴, ぼかし筆.
ToolResponse brushMouse(Canvas& canvas, const MouseEvent& event, int code) {
    EditingState& state = canvas.state();
    GestureState& gesture = canvas.gesture();
    ToolResponse r = handledBy(code);
    const Point p = canvas.zoom().toImage(event.position);
    r.status = positionText(p);
    const bool soft = code == tool::WaterDrop || code == tool::BlurBrush;
    auto dab = [&](int x, int y) -> Rect {
        if (!soft)
            return canvas.Dab(x, y);
        return state.hooks.softDab ? state.hooks.softDab(canvas, x, y) : Rect{};
    };
    switch (event.kind) {
    case MouseEvent::LeftPress:
        r.changed = dab(p.x, p.y);
        state.strokeActive = true;
        gesture.anchor = gesture.current = p;
        r.captureMouse = true;
        r.updateNow = true;
        break;
    case MouseEvent::Move:
        if (!event.leftDown)
            state.strokeActive = false;
        if (!state.strokeActive)
            break;
        if (code == tool::Freehand || code == tool::WaterDrop) {
            r.changed = dab(p.x, p.y);
        } else {
            ForEachLinePoint(gesture.current.x, gesture.current.y, p.x, p.y,
                             [&](int x, int y) { r.changed = r.changed.united(dab(x, y)); });
            gesture.current = p;
        }
        r.updateNow = true;
        break;
    case MouseEvent::LeftRelease:
        state.strokeActive = false;
        r.releaseMouse = true;
        break;
    case MouseEvent::RightPress:
        r.openPopup = true;
        break;
    case MouseEvent::LeftDoubleClick:
        break;
    }
    return r;
}

void endShapeGesture(Canvas& canvas, ToolResponse& r) {
    canvas.state().strokeActive = false;
    canvas.gesture().clearRubber();
    r.releaseMouse = true;
    r.overlayChanged = true;
    r.status = std::string();
    r.restoreToolName = true;
}

// Rectangle class (512–517) and ellipse class (769, 770): press, drag,
// release.  The rectangle clamps its points to the view; the ellipse takes
// its first point as the centre.
ToolResponse shapeMouse(Canvas& canvas, const MouseEvent& event, int code, bool ellipse) {
    EditingState& state = canvas.state();
    GestureState& gesture = canvas.gesture();
    const Zoom& zoom = canvas.zoom();
    ToolResponse r = handledBy(code);
    const bool active =
        state.strokeActive && (ellipse ? gesture.rubberEllipse : gesture.rubberRect);
    switch (event.kind) {
    case MouseEvent::LeftPress: {
        if (state.strokeActive)
            break;
        Point p = event.position;
        if (!ellipse) {
            p.x = std::clamp(p.x, 0, zoom.viewWidth());
            p.y = std::clamp(p.y, 0, zoom.viewHeight());
        }
        gesture.anchor = gesture.current = p;
        gesture.clearRubber();
        (ellipse ? gesture.rubberEllipse : gesture.rubberRect) = true;
        state.strokeActive = true;
        r.captureMouse = true;
        r.overlayChanged = true;
        break;
    }
    case MouseEvent::Move: {
        if (!active)
            break;
        if (!event.leftDown) {
            endShapeGesture(canvas, r);
            break;
        }
        Point p = event.position;
        if (!ellipse) {
            p.x = std::clamp(p.x, 0, std::max(zoom.viewWidth() - 1, 0));
            p.y = std::clamp(p.y, 0, std::max(zoom.viewHeight() - 1, 0));
        }
        gesture.current = p;
        r.overlayChanged = true;
        r.status = extentText(zoom.toImage(gesture.anchor), zoom.toImage(gesture.current));
        break;
    }
    case MouseEvent::LeftRelease: {
        if (!active)
            break;
        endShapeGesture(canvas, r);
        const Point a = zoom.toImage(gesture.anchor);
        const Point c = zoom.toImage(gesture.current);
        if (ellipse) {
            const int e = std::abs(c.x - a.x);
            const int f = std::abs(c.y - a.y);
            if (code == tool::EllipseOutline)
                r.changed = canvas.DrawEllipseOutline(a.x, a.y, e, f);
            else if (code == tool::EllipseFill)
                r.changed = canvas.FillEllipse(a.x - e, a.y - f, a.x + e, a.y + f, a.x, a.y);
            break;
        }
        const Rect dragged{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x) + 1,
                           std::max(a.y, c.y) + 1};
        // Points on the view's far edge lie one pixel past the picture; the
        // region is cut to the picture so that no tool reaches outside it.
        const Rect region = dragged.intersected({0, 0, canvas.width(), canvas.height()});
        if (region.empty())
            break;
        state.lastRegion = region;
        const int right = region.right - 1;
        const int bottom = region.bottom - 1;
        switch (code) {
        case tool::RegionFilter:
            if (state.hooks.regionFilter)
                state.hooks.regionFilter(canvas, region);
            break;
        case tool::RectOutline:
            // The outline keeps the dragged corners: a side past the picture
            // stays absent, where the cut region would draw one along the
            // picture's edge that the user never dragged.
            r.changed = canvas.DrawRectOutline(dragged.left, dragged.top, dragged.right - 1,
                                               dragged.bottom - 1);
            break;
        case tool::RectFill:
            r.changed = canvas.FillRect(region);
            break;
        case tool::PartialCopy:
            if (state.hooks.copyRegion)
                state.hooks.copyRegion(canvas, region);
            break;
        case tool::FlipLeftRight:
            r.changed = canvas.FlipHorizontal(region.left, region.top, right, bottom);
            break;
        case tool::FlipUpDown:
            r.changed = canvas.FlipVertical(region.left, region.top, right, bottom);
            break;
        default:
            break;
        }
        break;
    }
    case MouseEvent::RightPress:
        if (active)
            endShapeGesture(canvas, r);
        else
            r.openPopup = true;
        break;
    case MouseEvent::LeftDoubleClick:
        break;
    }
    return r;
}

void endLineGesture(Canvas& canvas, ToolResponse& r) {
    canvas.state().strokeActive = false;
    canvas.gesture().clearRubber();
    canvas.gesture().pointCount = 0;
    r.overlayChanged = true;
}

Rect drawPolyline(Canvas& canvas) {
    const GestureState& gesture = canvas.gesture();
    Rect changed;
    for (int i = 1; i < gesture.pointCount; ++i) {
        const Point a = canvas.zoom().toImage(gesture.points[static_cast<std::size_t>(i - 1)]);
        const Point b = canvas.zoom().toImage(gesture.points[static_cast<std::size_t>(i)]);
        changed = changed.united(canvas.DabLine(a.x, a.y, b.x, b.y));
    }
    return changed;
}

// Line class (1029–1031): points are fixed by presses and kept in window
// pixels; the rubber end point follows the pointer.
ToolResponse lineMouse(Canvas& canvas, const MouseEvent& event, int code) {
    EditingState& state = canvas.state();
    GestureState& gesture = canvas.gesture();
    ToolResponse r = handledBy(code);
    const bool active = state.strokeActive && gesture.rubberPolyline && gesture.pointCount > 0;
    auto& points = gesture.points;
    switch (event.kind) {
    case MouseEvent::Move:
        if (active) {
            gesture.current = event.position;
            points[static_cast<std::size_t>(gesture.pointCount)] = event.position;
            r.overlayChanged = true;
            r.status =
                lineText(points[static_cast<std::size_t>(gesture.pointCount - 1)], event.position);
        } else {
            r.status = positionText(canvas.zoom().toImage(event.position));
        }
        break;
    case MouseEvent::LeftPress:
        if (code != tool::Segment && code != tool::Polyline)
            break;
        if (!active) {
            state.strokeActive = true;
            gesture.clearRubber();
            gesture.rubberPolyline = true;
            points[0] = points[1] = event.position;
            gesture.pointCount = 1;
            gesture.anchor = gesture.current = event.position;
            r.overlayChanged = true;
            break;
        }
        if (gesture.pointCount >= GestureState::MaxPoints)
            break;
        points[static_cast<std::size_t>(gesture.pointCount++)] = event.position;
        points[static_cast<std::size_t>(gesture.pointCount)] = event.position;
        gesture.current = event.position;
        r.overlayChanged = true;
        if (code == tool::Segment) {
            r.changed = drawPolyline(canvas);
            endLineGesture(canvas, r);
        }
        break;
    case MouseEvent::LeftDoubleClick:
        if (!active)
            break;
        r.changed = drawPolyline(canvas);
        endLineGesture(canvas, r);
        break;
    case MouseEvent::RightPress:
        if (!active) {
            r.openPopup = true;
            break;
        }
        --gesture.pointCount;
        if (gesture.pointCount == 0) {
            endLineGesture(canvas, r);
            break;
        }
        points[static_cast<std::size_t>(gesture.pointCount)] = event.position;
        gesture.current = event.position;
        r.overlayChanged = true;
        break;
    case MouseEvent::LeftRelease:
        break;
    }
    return r;
}

// タイル取得 and 塗潰し: a left press inside the picture does the work.
ToolResponse pointMouse(Canvas& canvas, const MouseEvent& event, int code) {
    ToolResponse r = handledBy(code);
    if (event.kind == MouseEvent::RightPress) {
        r.openPopup = true;
        return r;
    }
    if (event.kind != MouseEvent::LeftPress)
        return r;
    const Point p = canvas.zoom().toImage(event.position);
    if (!canvas.contains(p.x, p.y))
        return r;
    if (tool::ClassOf(code) == tool::FillClass) {
        canvas.FloodFill(p.x, p.y, &r.changed);
    } else if (canvas.state().hooks.pickTile) {
        canvas.state().hooks.pickTile(canvas, p.x, p.y);
    }
    return r;
}

} // namespace

ToolResponse HandleMouse(Canvas& canvas, const MouseEvent& event) {
    const int code = canvas.state().currentTool;
    switch (tool::ClassOf(code)) {
    case tool::BrushClass:
        if (code >= tool::Freehand && code <= tool::BlurBrush)
            return brushMouse(canvas, event, code);
        break;
    case tool::RectClass:
        return shapeMouse(canvas, event, code, false);
    case tool::EllipseClass:
        return shapeMouse(canvas, event, code, true);
    case tool::LineClass:
        return lineMouse(canvas, event, code);
    case tool::TilePickClass:
    case tool::FillClass:
        return pointMouse(canvas, event, code);
    default:
        break;
    }
    ToolResponse r;
    r.openPopup = event.kind == MouseEvent::RightPress;
    return r;
}

std::vector<OverlayShape> RubberBandShapes(const Canvas& canvas) {
    const GestureState& g = canvas.gesture();
    const Zoom& zoom = canvas.zoom();
    std::vector<OverlayShape> shapes;
    if (g.rubberRect) {
        int left = std::min(g.anchor.x, g.current.x);
        int right = std::max(g.anchor.x, g.current.x);
        int top = std::min(g.anchor.y, g.current.y);
        int bottom = std::max(g.anchor.y, g.current.y);
        if (zoom.mode() == Zoom::Magnified) {
            // Whole image pixels: from the first window pixel of the first
            // image pixel to the last window pixel of the last.
            const int f = zoom.factor();
            left = zoom.toImage(left) * f;
            top = zoom.toImage(top) * f;
            right = (zoom.toImage(right) + 1) * f - 1;
            bottom = (zoom.toImage(bottom) + 1) * f - 1;
        }
        shapes.push_back({OverlayShape::Line, {left, top}, {right, top}});
        shapes.push_back({OverlayShape::Line, {right, top}, {right, bottom}});
        shapes.push_back({OverlayShape::Line, {right, bottom}, {left, bottom}});
        shapes.push_back({OverlayShape::Line, {left, bottom}, {left, top}});
    }
    if (g.rubberEllipse) {
        const int dx = std::abs(g.current.x - g.anchor.x);
        const int dy = std::abs(g.current.y - g.anchor.y);
        shapes.push_back({OverlayShape::Ellipse,
                          {g.anchor.x - dx, g.anchor.y - dy},
                          {g.anchor.x + dx, g.anchor.y + dy}});
        shapes.push_back({OverlayShape::Line, g.anchor, g.current});
    }
    if (g.rubberPolyline && g.pointCount > 0) {
        for (int i = 1; i <= g.pointCount; ++i)
            shapes.push_back({OverlayShape::Line, g.points[static_cast<std::size_t>(i - 1)],
                              g.points[static_cast<std::size_t>(i)]});
    }
    return shapes;
}

bool SelectTool(EditingState& state, int code) {
    if (state.currentTool == code)
        return false;
    state.currentTool = code;
    return true;
}

} // namespace celdo
