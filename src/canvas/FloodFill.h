#pragma once

#include "canvas/EditingState.h"
#include "canvas/PaintSurface.h"
#include "core/Rect.h"
#include "core/Status.h"
#include "framework/ControlTable.h"

namespace celdo {

// Fills the connected region around (x, y) of the picture (image edit mode)
// or of the mask view's bit 7 (mask edit mode).  The region is decided on
// the plane chosen by state.fill.searchPlane, by equality with the clicked
// value or, with useBorder, by the border colour; the clicked pixel is always
// filled.  The mask does not protect pixels from the fill.  Searching the
// mask plane in image edit mode gives a picture without a mask an all-zero
// mask plane first.  `changed` receives the union of the painted runs.
// Status 8 when the working memory could not be had (nothing changes then,
// or, when the span table could not grow midway, the runs painted so far are
// reported); −5 when the mask plane to search is not of the picture's size.
Status FloodFill(PaintSurface& surface, const EditingState& state, int x, int y, Rect* changed);

// The fill option sets kept in the settings file.
struct FillSettings {
    int searchPlane1 = 0; // image edit mode
    bool useBorder1 = false;
    int searchPlane2 = 0; // mask edit mode
    bool useBorder2 = false;
    int maskBorder = 1;
    bool popupPaintOption = true;
};

// The option dialog for the given mode: "PAINTOPTION1" (image edit mode) or
// "PAINTOPTION2" (mask edit mode).
ControlTable MakePaintOptionDialog(bool maskMode, const FillSettings& settings);
// After the dialog was confirmed: stores its values in the settings of its
// mode and makes them the fill options in force.
void ApplyPaintOptionDialog(const ControlTable& table, bool maskMode, FillSettings& settings,
                            FillOptions& active);

} // namespace celdo
