#include "framework/ControlTable.h"

#include <algorithm>
#include <utility>

namespace celdo {

namespace {
const std::string kEmpty;
}

Control& ControlTable::add(Control control) {
    controls.push_back(std::move(control));
    return controls.back();
}

Control* ControlTable::find(int id) {
    for (auto& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

const Control* ControlTable::find(int id) const {
    for (const auto& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

int ControlTable::value(int id) const {
    const Control* c = find(id);
    return c ? c->value : 0;
}

const std::string& ControlTable::text(int id) const {
    const Control* c = find(id);
    return c ? c->text : kEmpty;
}

bool ControlTable::enabled(int id) const {
    const Control* c = find(id);
    return c && c->enabled;
}

void ControlTable::assignValue(int id, int value) {
    Control* c = find(id);
    if (!c)
        return;
    switch (c->kind) {
    case ControlKind::ScrollBar:
        c->value = std::clamp(value, c->minimum, std::max(c->minimum, c->maximum));
        if (c->labelId)
            assignText(c->labelId, std::to_string(c->value));
        break;
    case ControlKind::Radio:
        if (value)
            checkRadio(id);
        else
            c->value = 0;
        break;
    case ControlKind::Check:
        c->value = value ? 1 : 0;
        break;
    case ControlKind::List:
    case ControlKind::Combo:
        c->value = (value >= 0 && value < static_cast<int>(c->items.size())) ? value : -1;
        if (c->kind == ControlKind::Combo && c->value >= 0 && !c->editable)
            c->text = c->items[c->value];
        break;
    default:
        c->value = value;
        break;
    }
}

void ControlTable::assignText(int id, const std::string& text) {
    if (Control* c = find(id)) {
        c->text = text;
        if (c->kind == ControlKind::Edit && c->maxChars > 0) {
            // Limits count characters; cut on a UTF-8 character boundary.
            int chars = 0;
            for (std::size_t i = 0; i < c->text.size(); ++i) {
                if ((static_cast<unsigned char>(c->text[i]) & 0xC0) != 0x80) {
                    if (chars == c->maxChars) {
                        c->text.resize(i);
                        break;
                    }
                    ++chars;
                }
            }
        }
    }
}

void ControlTable::setValue(int id, int value) {
    if (!find(id))
        return;
    assignValue(id, value);
    if (onChange)
        onChange(*this, id);
}

void ControlTable::setText(int id, const std::string& text) {
    if (!find(id))
        return;
    assignText(id, text);
    if (onChange)
        onChange(*this, id);
}

void ControlTable::setEnabled(int id, bool enabled) {
    if (Control* c = find(id))
        c->enabled = enabled;
}

void ControlTable::setRange(int id, int minimum, int maximum) {
    if (Control* c = find(id)) {
        c->minimum = minimum;
        c->maximum = maximum;
        assignValue(id, c->value);
    }
}

int ControlTable::checkedRadio(int first, int last) const {
    for (const auto& c : controls)
        if (c.kind == ControlKind::Radio && c.id >= first && c.id <= last && c.value)
            return c.id;
    return -1;
}

void ControlTable::checkRadio(int id) {
    Control* chosen = find(id);
    if (!chosen || chosen->kind != ControlKind::Radio)
        return;
    for (auto& c : controls)
        if (c.kind == ControlKind::Radio && c.group == chosen->group)
            c.value = 0;
    chosen->value = 1;
}

int ControlTable::press(int id) {
    const Control* c = find(id);
    if (!c || !c->enabled)
        return 0;
    if (onButton)
        return onButton(*this, id);
    return (id == 1 || id == 2) ? id : 0;
}

int ControlTable::activate(int id) {
    const Control* c = find(id);
    if (!c || !c->enabled)
        return 0;
    if (onActivate)
        return onActivate(*this, id);
    return c->activateButton != 0 ? press(c->activateButton) : 0;
}

void ControlTable::refreshLabels() {
    for (auto& c : controls)
        if (c.kind == ControlKind::ScrollBar && c.labelId)
            assignText(c.labelId, std::to_string(c.value));
}

Control staticText(int id, std::string text, int row) {
    Control c;
    c.id = id;
    c.kind = ControlKind::Static;
    c.text = std::move(text);
    c.row = row;
    return c;
}

Control editField(int id, std::string text, int maxChars, int row) {
    Control c = staticText(id, std::move(text), row);
    c.kind = ControlKind::Edit;
    c.maxChars = maxChars;
    return c;
}

Control checkBox(int id, std::string text, bool checked, int row) {
    Control c = staticText(id, std::move(text), row);
    c.kind = ControlKind::Check;
    c.value = checked ? 1 : 0;
    return c;
}

Control groupBox(int id, std::string text, int row) {
    Control c = staticText(id, std::move(text), row);
    c.kind = ControlKind::GroupBox;
    return c;
}

Control radioButton(int id, std::string text, int group, bool checked, int row) {
    Control c = staticText(id, std::move(text), row);
    c.kind = ControlKind::Radio;
    c.group = group;
    c.value = checked ? 1 : 0;
    return c;
}

Control scrollBar(int id, int minimum, int maximum, int pageStep, int value, int labelId, int row) {
    Control c;
    c.id = id;
    c.kind = ControlKind::ScrollBar;
    c.minimum = minimum;
    c.maximum = maximum;
    c.pageStep = pageStep;
    c.value = std::clamp(value, minimum, std::max(minimum, maximum));
    c.labelId = labelId;
    c.row = row;
    return c;
}

Control listBox(int id, std::vector<std::string> items, int selected, int row) {
    Control c;
    c.id = id;
    c.kind = ControlKind::List;
    c.items = std::move(items);
    c.value = selected;
    c.row = row;
    return c;
}

Control comboBox(int id, std::vector<std::string> items, int selected, int row) {
    Control c = listBox(id, std::move(items), selected, row);
    c.kind = ControlKind::Combo;
    if (selected >= 0 && selected < static_cast<int>(c.items.size()))
        c.text = c.items[selected];
    return c;
}

Control button(int id, std::string text, int row) {
    Control c = staticText(id, std::move(text), row);
    c.kind = ControlKind::Button;
    return c;
}

Control swatch(int id, unsigned colour, int row) {
    Control c;
    c.id = id;
    c.kind = ControlKind::Swatch;
    c.value = static_cast<int>(colour);
    c.row = row;
    return c;
}

} // namespace celdo
