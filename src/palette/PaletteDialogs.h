#pragma once

#include "core/Colour.h"
#include "framework/ControlTable.h"
#include "framework/Ui.h"

#include <optional>

namespace celdo {

// Caption of the palette board's questions: the program's title.
inline constexpr const char* PaletteQuestionCaption = "Celdo";

// "%d番目の色を削除しますか？" (Yes/No).  True only for Yes.
bool ConfirmDeleteColour(Ui& ui, int index);

// Control ids of "SetColor".
namespace set_color {
inline constexpr int Red = 360;
inline constexpr int RedValue = 361;
inline constexpr int Green = 362;
inline constexpr int GreenValue = 363;
inline constexpr int Blue = 364;
inline constexpr int BlueValue = 365;
inline constexpr int Swatch = 200;
} // namespace set_color

// "SetColor" for palette entry `index` holding `value`.  Every scroll bar
// change refills the swatch with R | G << 8 | B << 16.
ControlTable BuildSetColorDialog(int index, ColourValue value);
// Runs "SetColor"; the new colour on "設定", -1 when cancelled.
int RunSetColorDialog(Ui& ui, int index, ColourValue value);

// Control ids of "SortColor".
namespace sort_color {
inline constexpr int Start = 360;
inline constexpr int StartValue = 361;
inline constexpr int End = 363;
inline constexpr int EndValue = 364;
inline constexpr int BrightFirst = 241;
inline constexpr int DarkFirst = 242;
inline constexpr int MostUsedFirst = 243;
inline constexpr int LeastUsedFirst = 244;
} // namespace sort_color

// The sort range, remembered from one use of "SortColor" to the next while the
// program runs.
struct SortColorSettings {
    int start = 1;
    int end = 255;
};

// What "整列" asks for; method as SortMethod.
struct SortRequest {
    int start = 1;
    int end = 255;
    int method = 0;
};

// "SortColor" with the remembered range and method 0; the count orders are
// disabled without an active image.
ControlTable BuildSortColorDialog(const SortColorSettings& settings, bool haveActiveImage);
// Runs "SortColor".  On "整列" the range is remembered and returned with the
// method; nothing when cancelled.
std::optional<SortRequest> RunSortColorDialog(Ui& ui, SortColorSettings& settings,
                                              bool haveActiveImage);

} // namespace celdo
