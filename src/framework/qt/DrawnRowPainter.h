#pragma once

#include "framework/DrawnRow.h"

class QColor;
class QFontMetrics;
class QPainter;
class QRect;

namespace celdo {

// The height of an owner-drawn line: the font's height and two pixels above
// and below.
int drawnLineHeight(const QFontMetrics& metrics);
// The width from the line's left edge to the right end of its last part.
int drawnRowWidth(const DrawnRow& row, const QFontMetrics& metrics, int lineHeight);
// Draws the parts of `row` into `line` (whose height is the line height):
// swatches pixel by pixel without smoothing, texts in the painter's font and
// `textColour`, vertically centred.  The background is the caller's.
void PaintDrawnRow(QPainter& painter, const QRect& line, const DrawnRow& row,
                   const QColor& textColour);

} // namespace celdo
