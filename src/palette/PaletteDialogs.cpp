#include "palette/PaletteDialogs.h"

#include <cstdio>
#include <string>

namespace celdo {

namespace {

// Labels without an id of their own.
constexpr int NoId = -1;

std::string formatIndex(const char* pattern, int index) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, index);
    return text;
}

ColourValue colourFromBars(const ControlTable& table) {
    return rgb(static_cast<unsigned>(table.value(set_color::Red)),
               static_cast<unsigned>(table.value(set_color::Green)),
               static_cast<unsigned>(table.value(set_color::Blue)));
}

} // namespace

bool ConfirmDeleteColour(Ui& ui, int index) {
    return ui.messageBox(formatIndex("%d番目の色を削除しますか？", index), PaletteQuestionCaption,
                         MessageIcon::Question, MessageButtons::YesNo) == answer::Yes;
}

ControlTable BuildSetColorDialog(int index, ColourValue value) {
    using namespace set_color;
    ControlTable table;
    table.name = "SetColor";
    table.title = formatIndex("色の設定(No.%d)", index);
    const int channels[3] = {static_cast<int>(redOf(value)), static_cast<int>(greenOf(value)),
                             static_cast<int>(blueOf(value))};
    const char* names[3] = {"R", "G", "B"};
    const int bars[3] = {Red, Green, Blue};
    const int labels[3] = {RedValue, GreenValue, BlueValue};
    for (int i = 0; i < 3; ++i) {
        table.add(staticText(NoId, names[i], i));
        table.add(scrollBar(bars[i], 0, 255, 10, channels[i], labels[i], i));
        table.add(staticText(labels[i], std::to_string(channels[i]), i));
    }
    table.add(swatch(Swatch, value & 0xFFFFFF, 3));
    table.add(button(1, "設定", 4));
    table.add(button(2, "中止", 4));
    table.onChange = [](ControlTable& t, int id) {
        if (id != Red && id != Green && id != Blue)
            return;
        const int colour = static_cast<int>(colourFromBars(t));
        if (t.value(Swatch) != colour)
            t.assignValue(Swatch, colour);
    };
    return table;
}

int RunSetColorDialog(Ui& ui, int index, ColourValue value) {
    ControlTable table = BuildSetColorDialog(index, value);
    if (ui.runDialog(table) != 1)
        return -1;
    return static_cast<int>(colourFromBars(table));
}

ControlTable BuildSortColorDialog(const SortColorSettings& settings, bool haveActiveImage) {
    using namespace sort_color;
    ControlTable table;
    table.name = "SortColor";
    table.title = "色の整列";
    table.add(staticText(NoId, "開始番号", 0));
    table.add(scrollBar(Start, 0, 255, 10, settings.start, StartValue, 0));
    table.add(staticText(StartValue, std::to_string(table.value(Start)), 0));
    table.add(staticText(NoId, "終了番号", 1));
    table.add(scrollBar(End, 0, 255, 10, settings.end, EndValue, 1));
    table.add(staticText(EndValue, std::to_string(table.value(End)), 1));
    table.add(groupBox(NoId, "整列方法", 2));
    table.add(radioButton(BrightFirst, "明るい順", 1, true, 3));
    table.add(radioButton(DarkFirst, "暗い順", 1, false, 3));
    table.add(radioButton(MostUsedFirst, "多い順", 1, false, 4));
    table.add(radioButton(LeastUsedFirst, "少ない順", 1, false, 4));
    table.setEnabled(MostUsedFirst, haveActiveImage);
    table.setEnabled(LeastUsedFirst, haveActiveImage);
    table.add(button(1, "整列", 5));
    table.add(button(2, "取消", 5));
    return table;
}

std::optional<SortRequest> RunSortColorDialog(Ui& ui, SortColorSettings& settings,
                                              bool haveActiveImage) {
    using namespace sort_color;
    ControlTable table = BuildSortColorDialog(settings, haveActiveImage);
    if (ui.runDialog(table) != 1)
        return std::nullopt;
    SortRequest request;
    request.start = table.value(Start);
    request.end = table.value(End);
    const int checked = table.checkedRadio(BrightFirst, LeastUsedFirst);
    request.method = checked < 0 ? 0 : checked - BrightFirst;
    settings.start = request.start;
    settings.end = request.end;
    return request;
}

} // namespace celdo
