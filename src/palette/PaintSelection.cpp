#include "palette/PaintSelection.h"

#include "palette/ToneTable.h"

namespace celdo {

bool SelectPaint(ColourSelection& selection, int index, int paintKind) {
    if (paintKind == selection.paintKind) {
        if (paintKind == ColourSelection::PlainColour && index == selection.drawColor)
            return false;
        if (paintKind == ColourSelection::Tone && index == selection.toneIndex)
            return false;
    }
    if (paintKind == ColourSelection::PlainColour) {
        selection.drawColor = index & 0xFF;
    } else if (paintKind == ColourSelection::Tone) {
        selection.toneIndex = index;
        BuildTilePattern(selection);
    } else {
        paintKind = ColourSelection::Tile;
    }
    selection.paintKind = paintKind;
    return true;
}

} // namespace celdo
