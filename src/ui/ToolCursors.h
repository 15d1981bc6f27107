#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>

#include <span>

namespace celdo {

// The program's own tool cursors, drawn for the screen's device pixel ratio:
// 32 × 32 logical pixels, black strokes with a white outline so that they
// show on any colour, hot spots where the tool acts.
class ToolCursors {
public:
    // Every cursor name drawn here: the cursor resources of the tool table,
    // the hand and the drag cursor.
    static std::span<const char* const> names();

    // The cursor's picture at `ratio` device pixels per logical pixel; a null
    // pixmap for a name not drawn here.
    static QPixmap pixmap(const char* name, qreal ratio);
    // The hot spot in logical pixels; (0, 0) for a name not drawn here.
    static QPoint hotSpot(const char* name);
    // The cursor of a name; the arrow for the tool table's arrow and for a
    // name not drawn here.
    static QCursor cursor(const char* name, qreal ratio);
};

} // namespace celdo
