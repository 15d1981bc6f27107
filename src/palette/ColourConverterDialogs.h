#pragma once

#include "framework/ControlTable.h"
#include "framework/Ui.h"
#include "palette/ColourConverter.h"

#include <functional>
#include <string>
#include <vector>

namespace celdo {

// Control ids of the dialogs "cconv" and "PalAssign".
namespace colourdialog {
inline constexpr int Unnamed = -1; // captions and group frames
inline constexpr int List = 340;
inline constexpr int SourceStart = 360;
inline constexpr int SourceStartValue = 361;
inline constexpr int SourceEnd = 363;
inline constexpr int SourceEndValue = 364;
inline constexpr int DestinationStart = 366;
inline constexpr int DestinationStartValue = 367;
inline constexpr int DestinationEnd = 369;
inline constexpr int DestinationEndValue = 370;
inline constexpr int UseTile = 280;
inline constexpr int Automatic = 1;
inline constexpr int Manual = 21;
inline constexpr int Close = 2;
inline constexpr int SourceInfo = 200;
inline constexpr int Assign = 1;
inline constexpr int Cancel = 2;
} // namespace colourdialog

// One row of the list of "cconv": a source colour that occurs, with its
// mapping.  A widget draws, from the left, a swatch of `colour`, `countText`
// six pixels after it, a swatch of the mapping (mappingSwatchAt) from seven to
// eight row heights and `mappingText` at nine row heights.
struct ConversionRow {
    int sourceColour = 0;
    std::uint32_t pixelCount = 0;
    ColourValue colour = 0;
    ColourMapping mapping;
    std::string countText;   // "%4d (%d)"
    std::string mappingText; // "  [%3d]", "  [%3d]+[%3d]" or "3*[%3d]+[%3d]"
};

// One row of the list of "PalAssign".  A widget draws a swatch of the mapping,
// `mappingText` at two row heights, `firstText` at eight and, for mixes,
// `secondText` at fourteen.
struct CandidateRow {
    ColourMapping mapping;
    int score = 0;
    std::string mappingText;
    std::string firstText;  // "(%3d %3d %3d)" of the first entry
    std::string secondText; // the same for the second entry of a mix, else empty
};

// The colour at (x, y) of a mapping's swatch: solid for a single entry, the
// mix's own 8 × 8 pattern otherwise.
ColourValue mappingSwatchAt(const ColourMapping& mapping, const ColourValue* palette, int x, int y);

// The swatch of a mapping at `atHeights` line heights: solid for a single
// entry, the mix's 8 × 8 pattern otherwise.
RowPart mappingSwatch(const ColourMapping& mapping, const ColourValue* palette, int atHeights);
// How a row of "cconv" is drawn, in the colours of the destination palette.
DrawnRow conversionRowLook(const ConversionRow& row, const ColourValue* palette);
// How a row of "PalAssign" is drawn.
DrawnRow candidateRowLook(const CandidateRow& row, const ColourValue* palette);

// The rows of "cconv": every source colour with a non-zero pixel count, in
// source-colour order.
std::vector<ConversionRow> conversionRows(const ColourConverter& converter);
// The rows of "PalAssign" for source colour n, best first.
std::vector<CandidateRow> candidateRows(const ColourConverter& converter, int n);

// The dialog "cconv" on a converter.  Its list items are the rows of
// conversionRows() in order (the text of each is its count and mapping texts,
// its look conversionRowLook()).  "自動設定" stores the ranges and the check
// box in the settings, loads `currentPalette` and assigns and renders again;
// "手動設定" (a double-click on a row does the same) opens "PalAssign" through
// `ui` for the selected row.  `repaintPaste` runs whenever the converted
// picture changed.
ControlTable makeColourConversionDialog(Ui& ui, ColourConverter& converter,
                                        const ColourValue* currentPalette,
                                        std::function<void()> repaintPaste);
int RunColourConversionDialog(Ui& ui, ColourConverter& converter, const ColourValue* currentPalette,
                              std::function<void()> repaintPaste);

// The dialog "PalAssign" for source colour n with the given candidate rows.
// Static 200 holds the source colour's text and, as its value, its colour; it
// is drawn as a swatch of that colour followed by the text.  The row equal to
// the present mapping is selected.  A double click only chooses a row.
ControlTable makePaletteAssignDialog(const ColourConverter& converter, int n,
                                     const std::vector<CandidateRow>& rows);
// Runs "PalAssign" for source colour n; "割付" with a row other than the
// present mapping replaces it and re-renders.  True when the mapping changed.
bool RunPaletteAssignDialog(Ui& ui, ColourConverter& converter, int n);

} // namespace celdo
