#include "palette/ColourConverterDialogs.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace celdo {

namespace {

std::string format(const char* pattern, auto... values) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string channelsText(ColourValue c) {
    return format("(%3d %3d %3d)", static_cast<int>(redOf(c)), static_cast<int>(greenOf(c)),
                  static_cast<int>(blueOf(c)));
}

// The list of "cconv": plain texts and their looks.
void fillConversionList(Control& list, const std::vector<ConversionRow>& rows,
                        const ColourValue* palette) {
    list.items.clear();
    list.drawn.clear();
    list.items.reserve(rows.size());
    list.drawn.reserve(rows.size());
    for (const auto& row : rows) {
        list.items.push_back(row.countText + "  " + row.mappingText);
        list.drawn.push_back(conversionRowLook(row, palette));
    }
}

} // namespace

ColourValue mappingSwatchAt(const ColourMapping& mapping, const ColourValue* palette, int x,
                            int y) {
    return palette[mapping.indexAt(x, y)];
}

RowPart mappingSwatch(const ColourMapping& mapping, const ColourValue* palette, int atHeights) {
    if (mapping.kind == 0)
        return solidSwatch(atHeights, 0, palette[mapping.first]);
    std::vector<unsigned> tile(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile[static_cast<std::size_t>(y * 8 + x)] = mappingSwatchAt(mapping, palette, x, y);
    return patternSwatch(atHeights, 0, 8, std::move(tile));
}

DrawnRow conversionRowLook(const ConversionRow& row, const ColourValue* palette) {
    // The count starts six pixels after the source swatch.
    return {solidSwatch(0, 0, row.colour), textPart(1, 6, row.countText),
            mappingSwatch(row.mapping, palette, 7), textPart(9, 0, row.mappingText)};
}

DrawnRow candidateRowLook(const CandidateRow& row, const ColourValue* palette) {
    DrawnRow look{mappingSwatch(row.mapping, palette, 0), textPart(2, 0, row.mappingText),
                  textPart(8, 0, row.firstText)};
    if (!row.secondText.empty())
        look.push_back(textPart(14, 0, row.secondText));
    return look;
}

std::vector<ConversionRow> conversionRows(const ColourConverter& converter) {
    std::vector<ConversionRow> rows;
    for (int n = 0; n < converter.sourceColourCount(); ++n) {
        const std::uint32_t count = converter.pixelCount(n);
        if (count == 0)
            continue;
        ConversionRow row;
        row.sourceColour = n;
        row.pixelCount = count;
        row.colour = valueOf(converter.sourceColour(n));
        row.mapping = converter.mapping(n);
        row.countText = format("%4d (%lu)", n, static_cast<unsigned long>(count));
        row.mappingText = mappingText(row.mapping);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<CandidateRow> candidateRows(const ColourConverter& converter, int n) {
    std::vector<CandidateRow> rows;
    for (const ColourCandidate& candidate : converter.candidates(n)) {
        CandidateRow row;
        row.mapping = candidate.mapping;
        row.score = candidate.score;
        row.mappingText = mappingText(candidate.mapping);
        row.firstText = channelsText(converter.palette()[candidate.mapping.first]);
        if (candidate.mapping.kind != 0)
            row.secondText = channelsText(converter.palette()[candidate.mapping.second]);
        rows.push_back(std::move(row));
    }
    return rows;
}

ControlTable makeColourConversionDialog(Ui& ui, ColourConverter& converter,
                                        const ColourValue* currentPalette,
                                        std::function<void()> repaintPaste) {
    using namespace colourdialog;
    ColourConversionSettings& settings = converter.settings();
    const int count = converter.sourceColourCount();
    // The rows behind the list's items, shared by the handlers and any copy
    // of the table.
    auto rows = std::make_shared<std::vector<ConversionRow>>(conversionRows(converter));

    ControlTable table;
    table.name = "cconv";
    table.title = "色の変換";
    Control& list = table.add(listBox(List, {}, -1, 0));
    fillConversionList(list, *rows, converter.palette());
    list.activateButton = Manual;
    table.add(groupBox(Unnamed, "貼付元", 1));
    table.add(staticText(Unnamed, "開始番号", 2));
    table.add(scrollBar(SourceStart, 0, count - 2, 10, settings.convertSrc, SourceStartValue, 2));
    table.add(staticText(SourceStartValue, "", 2));
    table.add(staticText(Unnamed, "終了番号", 3));
    table.add(scrollBar(SourceEnd, 1, count - 1, 10, settings.lastSource, SourceEndValue, 3));
    table.add(staticText(SourceEndValue, "", 3));
    table.add(groupBox(Unnamed, "貼付先", 4));
    table.add(staticText(Unnamed, "開始番号", 5));
    table.add(
        scrollBar(DestinationStart, 0, 254, 10, settings.convertDes, DestinationStartValue, 5));
    table.add(staticText(DestinationStartValue, "", 5));
    table.add(staticText(Unnamed, "終了番号", 6));
    table.add(
        scrollBar(DestinationEnd, 1, 255, 10, settings.lastDestination, DestinationEndValue, 6));
    table.add(staticText(DestinationEndValue, "", 6));
    table.add(checkBox(UseTile, "タイルを使う", settings.useTile, 7));
    table.add(button(Automatic, "自動設定", 8));
    table.add(button(Manual, "手動設定", 8));
    table.add(button(Close, "終了", 8));
    if (count > 256) {
        table.setEnabled(SourceStart, false);
        table.setEnabled(SourceEnd, false);
    }
    table.refreshLabels();

    auto refill = [rows, &converter](ControlTable& t) {
        *rows = conversionRows(converter);
        if (Control* list = t.find(List)) {
            fillConversionList(*list, *rows, converter.palette());
            if (list->value >= static_cast<int>(list->items.size()))
                list->value = -1;
        }
    };
    table.onButton = [rows, refill, &ui, &converter, currentPalette,
                      repaintPaste = std::move(repaintPaste)](ControlTable& t, int id) {
        ColourConversionSettings& s = converter.settings();
        switch (id) {
        case Automatic:
            s.convertSrc = t.value(SourceStart);
            s.lastSource = t.value(SourceEnd);
            s.convertDes = t.value(DestinationStart);
            s.lastDestination = t.value(DestinationEnd);
            s.useTile = t.value(UseTile) != 0;
            converter.loadPalette(currentPalette);
            converter.assignAutomatically();
            converter.render();
            if (repaintPaste)
                repaintPaste();
            refill(t);
            return 0;
        case Manual: {
            s.useTile = t.value(UseTile) != 0;
            const int selected = t.value(List);
            if (selected < 0 || selected >= static_cast<int>(rows->size()))
                return 0;
            if (RunPaletteAssignDialog(ui, converter, (*rows)[selected].sourceColour)) {
                if (repaintPaste)
                    repaintPaste();
                refill(t);
            }
            return 0;
        }
        case Close:
            return Close;
        default:
            return 0;
        }
    };
    return table;
}

int RunColourConversionDialog(Ui& ui, ColourConverter& converter, const ColourValue* currentPalette,
                              std::function<void()> repaintPaste) {
    ControlTable table =
        makeColourConversionDialog(ui, converter, currentPalette, std::move(repaintPaste));
    return ui.runDialog(table);
}

ControlTable makePaletteAssignDialog(const ColourConverter& converter, int n,
                                     const std::vector<CandidateRow>& rows) {
    using namespace colourdialog;
    ControlTable table;
    table.name = "PalAssign";
    table.title = converter.sourceColourCount() <= 256 ? format("色の割付（%d）", n) : "色の割付";
    const ColourTriple c = converter.sourceColour(n);
    Control info = staticText(
        SourceInfo,
        format(" %3d %3d %3d  (%ld)", c.r, c.g, c.b, static_cast<long>(converter.pixelCount(n))),
        0);
    info.value = static_cast<int>(valueOf(c));
    // The text begins with a space, which parts it from the swatch.
    info.drawn = {{solidSwatch(0, 0, valueOf(c)), textPart(1, 0, info.text)}};
    table.add(std::move(info));
    std::vector<std::string> items;
    std::vector<DrawnRow> looks;
    int selected = -1;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        std::string item = rows[k].mappingText + "  " + rows[k].firstText;
        if (!rows[k].secondText.empty())
            item += "  " + rows[k].secondText;
        items.push_back(std::move(item));
        looks.push_back(candidateRowLook(rows[k], converter.palette()));
        if (selected < 0 && rows[k].mapping == converter.mapping(n))
            selected = static_cast<int>(k);
    }
    Control& list = table.add(listBox(List, std::move(items), selected, 1));
    list.drawn = std::move(looks);
    // Only "割付" assigns; a double click just chooses the row.
    list.activateButton = 0;
    table.add(button(Assign, "割付", 2));
    table.add(button(Cancel, "中止", 2));
    return table;
}

bool RunPaletteAssignDialog(Ui& ui, ColourConverter& converter, int n) {
    if (n < 0 || n >= converter.sourceColourCount())
        return false;
    const std::vector<CandidateRow> rows = candidateRows(converter, n);
    ControlTable table = makePaletteAssignDialog(converter, n, rows);
    if (ui.runDialog(table) != colourdialog::Assign)
        return false;
    const int chosen = table.value(colourdialog::List);
    if (chosen < 0 || chosen >= static_cast<int>(rows.size()))
        return false;
    return converter.assignManually(n, rows[chosen].mapping);
}

} // namespace celdo
