#include "canvas/Canvas.h"

#include "canvas/FloodFill.h"
#include "canvas/MaskEdit.h"
#include "canvas/MaskGate.h"
#include "canvas/PixelWriter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace celdo {

namespace {

// Nearest integer, halves rounded toward zero.  Positions on an ellipse are
// offsets from its centre, so halves toward the centre keep the shape
// symmetric and inside its box.
int roundTowardCentre(double v) {
    return v < 0 ? -static_cast<int>(std::ceil(-v - 0.5)) : static_cast<int>(std::ceil(v - 0.5));
}

// A rectangle with inclusive corners in any order, made exclusive and cut to
// the picture.
Rect orderedInside(int left, int top, int right, int bottom, int width, int height) {
    const Rect r{std::min(left, right), std::min(top, bottom), std::max(left, right) + 1,
                 std::max(top, bottom) + 1};
    return r.intersected({0, 0, width, height});
}

} // namespace

void Canvas::SetPicture(CellImagePtr picture) {
    m_surface.maskView.reset();
    m_surface.mask.reset();
    m_surface.picture = std::move(picture);
    m_surface.maskMode = false;
    m_gesture.clearRubber();
    m_gesture.pointCount = 0;
    m_zoom.Reset(width(), height());
}

bool Canvas::AttachMask(CellImagePtr mask) {
    return celdo::AttachMask(m_surface, std::move(mask));
}

Rect Canvas::Dab(int x, int y) {
    PixelWriter writer(m_surface, m_state, PixelWriter::Target::PaintPlane);
    if (!writer.valid())
        return {};
    const Brush& brush = m_state.brush;
    const int firstColumn = std::clamp(brush.firstColumn, 0, 16);
    const int pastColumn = std::clamp(brush.pastLastColumn, 0, 16);
    const int firstRow = std::clamp(brush.firstRow, 0, 16);
    const int pastRow = std::clamp(brush.pastLastRow, 0, 16);
    // Image position of brush matrix cell (0, 0).
    const long long originX = static_cast<long long>(x) - 8;
    const long long originY = static_cast<long long>(y) - 8;
    const long long left = std::max<long long>(originX + firstColumn, 0);
    const long long right = std::min<long long>(originX + pastColumn, writer.width());
    const long long top = std::max<long long>(originY + firstRow, 0);
    const long long bottom = std::min<long long>(originY + pastRow, writer.height());
    if (left >= right || top >= bottom)
        return {};
    for (long long row = top; row < bottom; ++row) {
        const std::uint8_t* cells =
            &brush.cells[static_cast<std::size_t>((row - originY) * 16 + (left - originX))];
        writer.PaintRun(static_cast<int>(row), static_cast<int>(left), static_cast<int>(right),
                        cells);
    }
    return noteChange({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                       static_cast<int>(bottom)});
}

Rect Canvas::DabLine(int x0, int y0, int x1, int y1) {
    Rect changed;
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { changed = changed.united(Dab(x, y)); });
    return changed;
}

Rect Canvas::FillRect(const Rect& r) {
    return m_surface.maskMode ? FillRectMask(r) : FillRectImage(r);
}

Rect Canvas::FillRectImage(const Rect& r) {
    PixelWriter writer(m_surface, m_state, PixelWriter::Target::Picture);
    if (!writer.valid())
        return {};
    const Rect area = r.intersected({0, 0, writer.width(), writer.height()});
    if (area.empty())
        return {};
    for (int y = area.top; y < area.bottom; ++y)
        writer.PaintRun(y, area.left, area.right);
    return noteChange(area);
}

Rect Canvas::FillRectMask(const Rect& r) {
    PixelWriter writer(m_surface, m_state, PixelWriter::Target::MaskView);
    if (!writer.valid())
        return {};
    const Rect area = r.intersected({0, 0, writer.width(), writer.height()});
    if (area.empty())
        return {};
    for (int y = area.top; y < area.bottom; ++y)
        writer.PaintRun(y, area.left, area.right);
    return noteChange(area);
}

Rect Canvas::DrawRectOutline(int left, int top, int right, int bottom) {
    Rect changed = DabLine(left, top, right, top);
    changed = changed.united(DabLine(right, top, right, bottom));
    changed = changed.united(DabLine(right, bottom, left, bottom));
    return changed.united(DabLine(left, bottom, left, top));
}

Rect Canvas::DrawEllipseOutline(int cx, int cy, int e, int f) {
    const double rx = e + 0.5;
    const double ry = f + 0.5;
    const double step = std::numbers::pi / (4.0 * std::max(rx, ry));
    const Point first{cx + roundTowardCentre(rx), cy};
    Rect changed = Dab(first.x, first.y);
    Point last = first;
    const double end = 2.0 * std::numbers::pi + step;
    // The angle advances by a counted step so that rounding errors do not
    // pile up over the turn.
    for (long long i = 0;; ++i) {
        const double t = static_cast<double>(i) * step;
        if (t >= end)
            break;
        const Point p{cx + roundTowardCentre(std::cos(t) * rx),
                      cy + roundTowardCentre(std::sin(t) * ry)};
        if (p == first && t > 6.0)
            break;
        if (p != last) {
            changed = changed.united(Dab(p.x, p.y));
            last = p;
        }
    }
    return changed;
}

Rect Canvas::FillEllipse(int left, int top, int right, int bottom, int cx, int cy) {
    PixelWriter writer(m_surface, m_state, PixelWriter::Target::PaintPlane);
    if (!writer.valid())
        return {};
    const double rx = (static_cast<double>(right) - left + 1.0) / 2.0;
    const double ry = (static_cast<double>(bottom) - top + 1.0) / 2.0;
    if (!(rx > 0.0) || !(ry > 0.0))
        return {};
    const long long reach = static_cast<long long>(ry + 2.0);
    const int firstRow = static_cast<int>(std::max<long long>(cy - reach, 0));
    const int pastRow = static_cast<int>(std::min<long long>(cy + reach, writer.height()));
    Rect changed;
    for (int y = firstRow; y < pastRow; ++y) {
        const double dy = static_cast<double>(y) - cy;
        const double v = ry * ry - dy * dy;
        if (v < 0.0)
            continue;
        const double half = std::sqrt(v) * rx / ry;
        const long long x0 =
            std::max<long long>(static_cast<long long>(cx) + roundTowardCentre(-half), 0);
        const long long x1 = std::min<long long>(
            static_cast<long long>(cx) + roundTowardCentre(half) + 1, writer.width());
        if (x0 >= x1)
            continue;
        writer.PaintRun(y, static_cast<int>(x0), static_cast<int>(x1));
        changed = changed.united({static_cast<int>(x0), y, static_cast<int>(x1), y + 1});
    }
    return noteChange(changed);
}

Rect Canvas::FlipHorizontal(int left, int top, int right, int bottom) {
    CellImage* image = picture();
    if (!image || !image->pixels() || (image->bitsPerPixel() != 8 && image->bitsPerPixel() != 24))
        return {};
    const Rect r = orderedInside(left, top, right, bottom, image->width(), image->height());
    if (r.width() < 2 || r.height() < 1)
        return {};
    const int bytes = image->bitsPerPixel() / 8;
    const auto length = static_cast<std::size_t>(r.width()) * bytes;
    std::vector<std::uint8_t> mirrored(length);
    MaskGate gate(m_surface, MaskPolicy::Ignore);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* segment = image->row(y) + static_cast<std::size_t>(r.left) * bytes;
        for (int i = 0; i < r.width(); ++i)
            std::copy_n(segment + static_cast<std::size_t>(r.width() - 1 - i) * bytes, bytes,
                        mirrored.begin() + static_cast<std::ptrdiff_t>(i) * bytes);
        gate.Apply(y, r.left, r.width(), mirrored.data(), segment, bytes);
    }
    return noteChange(r);
}

Rect Canvas::FlipVertical(int left, int top, int right, int bottom) {
    CellImage* image = picture();
    if (!image || !image->pixels() || (image->bitsPerPixel() != 8 && image->bitsPerPixel() != 24))
        return {};
    const Rect r = orderedInside(left, top, right, bottom, image->width(), image->height());
    if (r.height() < 2 || r.width() < 1)
        return {};
    const int bytes = image->bitsPerPixel() / 8;
    const std::size_t offset = static_cast<std::size_t>(r.left) * bytes;
    const std::size_t length = static_cast<std::size_t>(r.width()) * bytes;
    std::vector<std::uint8_t> upper(length);
    MaskGate gate(m_surface, MaskPolicy::Ignore);
    for (int a = r.top, b = r.bottom - 1; a < b; ++a, --b) {
        std::copy_n(image->row(a) + offset, length, upper.begin());
        gate.Apply(a, r.left, r.width(), image->row(b) + offset, image->row(a) + offset, bytes);
        gate.Apply(b, r.left, r.width(), upper.data(), image->row(b) + offset, bytes);
    }
    return noteChange(r);
}

Status Canvas::FloodFill(int x, int y, Rect* changed) {
    Rect area;
    const Status result = celdo::FloodFill(m_surface, m_state, x, y, &area);
    noteChange(area);
    if (changed)
        *changed = area;
    return result;
}

std::optional<int> Canvas::Eyedropper(int x, int y) {
    if (!contains(x, y))
        return std::nullopt;
    if (m_surface.maskMode) {
        const CellImage* view = m_surface.maskView.get();
        if (!view || !view->contains(x, y))
            return std::nullopt;
        const int value = (view->at(x, y) >> 7) & 1;
        m_state.maskPaintValue = value;
        if (m_state.hooks.maskPaintValueChanged)
            m_state.hooks.maskPaintValueChanged(value);
        return value;
    }
    if (picture()->bitsPerPixel() != 8)
        return std::nullopt;
    const int index = picture()->at(x, y);
    if (!m_state.hooks.pickColour || !m_state.hooks.pickColour(index)) {
        m_state.selection.drawColor = index;
        m_state.selection.paintKind = ColourSelection::PlainColour;
    }
    return index;
}

SizeChangeResult Canvas::ChangeSize(const Margins& margins) {
    const SizeChangeResult result = ApplySizeChange(m_surface, margins);
    if (result != SizeChangeResult::Applied)
        return result;
    CellImagePtr mask = std::move(m_surface.mask);
    SetPicture(std::move(m_surface.picture));
    m_surface.mask = std::move(mask);
    m_surface.modified = true;
    return result;
}

} // namespace celdo
