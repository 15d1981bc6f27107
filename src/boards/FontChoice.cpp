#include "boards/FontChoice.h"

#include "formats/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace celdo {

namespace fd = fontdialog;

namespace {

// The number typed in a field, as a dialog reads one: leading digits, 0 when
// there are none, limited to [0, limit].
int numberIn(const std::string& text, int limit) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || value < 0)
        return 0;
    return static_cast<int>(std::min<long>(value, limit));
}

std::vector<std::string> numbers(const std::vector<int>& values) {
    std::vector<std::string> items;
    for (int v : values)
        items.push_back(std::to_string(v));
    return items;
}

// Sizes beyond this would make pictures larger than any record holds.
constexpr int LargestSize = 9999;
constexpr int HeaviestWeight = 1000;

} // namespace

const std::vector<int>& standardFontSizes() {
    static const std::vector<int> sizes{8,  9,  10, 11, 12, 14, 16, 18,
                                        20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

const std::vector<int>& fontWeights() {
    static const std::vector<int> weights{0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    return weights;
}

FontChoice::FontChoice(std::vector<FontFamily> families, const TextPasteSettings& settings)
    : m_families(std::move(families)), m_textPaste(true), m_font(settings.font) {
    build(&settings);
}

FontChoice::FontChoice(std::vector<FontFamily> families, const LogicalFont& font)
    : m_families(std::move(families)), m_textPaste(false), m_font(font) {
    build(nullptr);
}

std::string FontChoice::sampleText() const {
    return m_font.doubleByte() ? "abAB123漢字ef" : "aAbBcCdDeEfF";
}

const FontFamily* FontChoice::family(const std::string& name) const {
    for (const FontFamily& f : m_families)
        if (f.name == name)
            return &f;
    return nullptr;
}

void FontChoice::build(const TextPasteSettings* settings) {
    ControlTable& t = m_table;
    t.name = m_textPaste ? "GFontDialog" : "FontDialog";
    t.title = m_textPaste ? "文字の貼付け" : "ステータスバーのフォント";
    t.add(staticText(-1, "フォント名", 0));
    t.add(staticText(fd::FaceName, m_font.faceName, 0));
    t.add(listBox(fd::FontList, {}, -1, 1));
    t.add(staticText(-1, m_textPaste ? "ピクセル" : "サイズ", 2));
    t.add(editField(fd::Size, std::to_string(fontSizeForHeight(m_font.height)), 5, 2));
    t.add(listBox(fd::SizeList, {}, -1, 3));
    t.add(staticText(-1, "太さ", 4));
    t.add(editField(fd::Weight, std::to_string(m_font.weight), 5, 4));
    t.add(listBox(fd::WeightList, numbers(fontWeights()), -1, 5));
    t.add(checkBox(fd::Italic, "斜体", m_font.italic, 6));
    t.add(checkBox(fd::Underline, "下線", m_font.underline, 6));
    t.add(checkBox(fd::StrikeOut, "打消線", m_font.strikeOut, 6));
    if (settings) {
        t.add(checkBox(fd::Vertical, "縦書き", settings->vertical, 6));
        t.add(staticText(-1, "角度", 7));
        t.add(scrollBar(fd::Angle, 0, 359, 10, std::clamp(settings->angle, 0, 359), fd::AngleValue,
                        7));
        t.add(staticText(fd::AngleValue, std::to_string(settings->angle), 7));
        t.add(staticText(-1, "文字列", 8));
        t.add(editField(fd::Text, settings->text, 200, 8));
    }
    t.add(staticText(fd::Sample, sampleText(), 9));
    if (settings) {
        // Settings holding both flags follow the mask-text rule.
        t.add(checkBox(fd::MaskBackground, "背景をマスク",
                       settings->maskBackground && !settings->maskText, 10));
        t.add(checkBox(fd::MaskText, "文字をマスク", settings->maskText, 10));
        t.add(checkBox(fd::PasteAtOnce, "貼付ける", settings->pasteAtOnce, 10));
    }
    t.add(button(1, "OK"));
    t.add(button(2, "ｷｬﾝｾﾙ"));
    t.refreshLabels();

    fillFontList();
    fillSizeList();
    selectMatching(fd::WeightList, t.text(fd::Weight));
    t.onChange = [this](ControlTable&, int id) { changed(id); };
}

void FontChoice::fillFontList() {
    const bool japaneseOnly = !m_textPaste || m_table.value(fd::Vertical) != 0;
    m_listed.clear();
    for (const FontFamily& f : m_families)
        if (!f.name.empty() && f.name.front() != '@' && (!japaneseOnly || (f.charSet & 0x80)))
            m_listed.push_back(f.name);
    std::sort(m_listed.begin(), m_listed.end());
    m_listed.erase(std::unique(m_listed.begin(), m_listed.end()), m_listed.end());
    Control* list = m_table.find(fd::FontList);
    list->items = m_listed;
    selectMatching(fd::FontList, m_table.text(fd::FaceName));
}

void FontChoice::fillSizeList() {
    std::vector<int> sizes = standardFontSizes();
    const FontFamily* f = family(m_table.text(fd::FaceName));
    if (f && !f->scalable && !f->heights.empty()) {
        sizes.clear();
        for (int h : f->heights)
            sizes.push_back(fontSizeForHeight(h));
        std::sort(sizes.begin(), sizes.end());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    }
    m_table.find(fd::SizeList)->items = numbers(sizes);
    selectMatching(fd::SizeList, m_table.text(fd::Size));
}

void FontChoice::selectMatching(int listId, const std::string& text) {
    Control* list = m_table.find(listId);
    const auto at = std::find(list->items.begin(), list->items.end(), text);
    list->value = at == list->items.end() ? -1 : static_cast<int>(at - list->items.begin());
}

void FontChoice::changed(int id) {
    ControlTable& t = m_table;
    const auto chosen = [&t](int listId) -> const std::string* {
        const Control* list = t.find(listId);
        if (list->value < 0 || list->value >= static_cast<int>(list->items.size()))
            return nullptr;
        return &list->items[static_cast<std::size_t>(list->value)];
    };
    switch (id) {
    case fd::FontList:
        if (const std::string* name = chosen(fd::FontList)) {
            t.assignText(fd::FaceName, *name);
            fillSizeList();
        }
        rebuild();
        break;
    case fd::SizeList:
        if (const std::string* size = chosen(fd::SizeList))
            t.assignText(fd::Size, *size);
        rebuild();
        break;
    case fd::WeightList:
        if (const std::string* weight = chosen(fd::WeightList))
            t.assignText(fd::Weight, *weight);
        rebuild();
        break;
    case fd::Size:
        // A typed size counts as much as a chosen one.
        selectMatching(fd::SizeList, t.text(fd::Size));
        rebuild();
        break;
    case fd::Weight:
        selectMatching(fd::WeightList, t.text(fd::Weight));
        rebuild();
        break;
    case fd::Italic:
    case fd::Underline:
    case fd::StrikeOut:
        rebuild();
        break;
    case fd::Vertical:
        fillFontList();
        rebuild();
        break;
    case fd::MaskBackground:
        if (t.value(fd::MaskBackground))
            t.assignValue(fd::MaskText, 0);
        break;
    case fd::MaskText:
        if (t.value(fd::MaskText))
            t.assignValue(fd::MaskBackground, 0);
        break;
    default:
        break;
    }
}

void FontChoice::rebuild() {
    const ControlTable& t = m_table;
    // A name that no installed family has leaves the face in force.
    if (const FontFamily* f = family(t.text(fd::FaceName))) {
        m_font.faceName = f->name;
        m_font.charSet = f->charSet;
    }
    m_font.height = fontHeightForSize(numberIn(t.text(fd::Size), LargestSize));
    m_font.width = 0;
    m_font.weight = numberIn(t.text(fd::Weight), HeaviestWeight);
    m_font.italic = t.value(fd::Italic) != 0;
    m_font.underline = t.value(fd::Underline) != 0;
    m_font.strikeOut = t.value(fd::StrikeOut) != 0;
    m_table.assignText(fd::Sample, sampleText());
}

void FontChoice::applyTo(TextPasteSettings& settings) const {
    const ControlTable& t = m_table;
    settings.angle = t.value(fd::Angle);
    settings.vertical = t.value(fd::Vertical) != 0;
    settings.maskBackground = t.value(fd::MaskBackground) != 0;
    settings.maskText = t.value(fd::MaskText) != 0;
    settings.pasteAtOnce = t.value(fd::PasteAtOnce) != 0;
    settings.font = m_font;
    settings.text = fitShiftJis(t.text(fd::Text), TextPasteSettings::MaxTextBytes);
}

} // namespace celdo
