#include "plugins/FilterDialogs.h"

#include "framework/SettingsStore.h"
#include "framework/Ui.h"

#include <algorithm>
#include <memory>

namespace celdo {

namespace {

std::vector<std::string> descriptionsOf(const std::vector<FilterEntry>& filters) {
    std::vector<std::string> items;
    for (const auto& entry : filters)
        items.push_back(entry.description);
    return items;
}

std::string sizeText(const ControlTable& t) {
    using namespace filterdialog;
    return "(" + std::to_string(t.value(Right) - t.value(Left) + 1) + "  " +
           std::to_string(t.value(Bottom) - t.value(Top) + 1) + ")";
}

} // namespace

ControlTable FilterListDialog(const std::vector<FilterEntry>& filters) {
    ControlTable table;
    table.name = "FilterList";
    table.title = "フィルターの選択";
    table.add(listBox(filterdialog::List, descriptionsOf(filters), -1, 0));
    table.add(button(1, "実行", 1));
    table.add(button(2, "取消", 1));
    return table;
}

const FilterEntry* ChooseWholeImageFilter(Ui& ui, const FilterLists& lists, bool maskEditing) {
    const auto& filters = lists.list(false, maskEditing);
    ControlTable table = FilterListDialog(filters);
    if (ui.runDialog(table) != 1 || filters.empty())
        return nullptr;
    const int chosen = table.value(filterdialog::List);
    return &filters[static_cast<std::size_t>(
        chosen >= 0 && chosen < static_cast<int>(filters.size()) ? chosen : 0)];
}

ControlTable FilterRegionDialog(const std::vector<FilterEntry>& filters, const Rect& region,
                                int imageWidth, int imageHeight) {
    using namespace filterdialog;
    // The bars show the last column and row inside the region, as the user
    // sees them; the ranges keep at least one pixel each way.
    const int right = region.right - 1;
    const int bottom = region.bottom - 1;
    ControlTable table;
    table.name = "FilterRegion";
    table.title = "フィルターの範囲指定";
    table.add(staticText(-1, "領域の大きさ", 0));
    table.add(staticText(SizeLabel, "", 0));
    table.add(scrollBar(Left, 0, right, 10, region.left, LeftLabel, 1));
    table.add(staticText(LeftLabel, "", 1));
    table.add(scrollBar(Top, 0, bottom, 10, region.top, TopLabel, 2));
    table.add(staticText(TopLabel, "", 2));
    table.add(scrollBar(Right, region.left, imageWidth - 1, 10, right, RightLabel, 3));
    table.add(staticText(RightLabel, "", 3));
    table.add(scrollBar(Bottom, region.top, imageHeight - 1, 10, bottom, BottomLabel, 4));
    table.add(staticText(BottomLabel, "", 4));
    table.add(listBox(List, descriptionsOf(filters), -1, 5));
    Control& ok = table.add(button(1, "実行", 6));
    ok.enabled = false;
    table.add(button(2, "取消", 6));
    table.refreshLabels();
    table.assignText(SizeLabel, sizeText(table));

    // Positions as last seen, so that a move to the position already held
    // does nothing.
    auto held = std::make_shared<Rect>(
        Rect{table.value(Left), table.value(Top), table.value(Right), table.value(Bottom)});
    table.onChange = [held, imageWidth, imageHeight](ControlTable& t, int id) {
        switch (id) {
        case Left:
            if (t.value(Left) == held->left)
                return;
            t.setRange(Right, t.value(Left), imageWidth - 1);
            break;
        case Top:
            if (t.value(Top) == held->top)
                return;
            t.setRange(Bottom, t.value(Top), imageHeight - 1);
            break;
        case Right:
            if (t.value(Right) == held->right)
                return;
            t.setRange(Left, 0, t.value(Right));
            break;
        case Bottom:
            if (t.value(Bottom) == held->bottom)
                return;
            t.setRange(Top, 0, t.value(Bottom));
            break;
        case List:
            t.setEnabled(1, t.value(List) >= 0);
            return;
        default:
            return;
        }
        *held = Rect{t.value(Left), t.value(Top), t.value(Right), t.value(Bottom)};
        t.assignText(SizeLabel, sizeText(t));
    };
    return table;
}

const FilterEntry* ChooseRegionFilter(Ui& ui, const FilterLists& lists, bool maskEditing,
                                      int imageWidth, int imageHeight, Rect& region) {
    using namespace filterdialog;
    Rect normal{std::min(region.left, region.right), std::min(region.top, region.bottom),
                std::max(region.left, region.right), std::max(region.top, region.bottom)};
    normal = normal.intersected({0, 0, imageWidth, imageHeight});
    if (normal.right <= normal.left)
        normal.right = std::min(normal.left + 1, imageWidth);
    if (normal.bottom <= normal.top)
        normal.bottom = std::min(normal.top + 1, imageHeight);
    const auto& filters = lists.list(true, maskEditing);
    ControlTable table = FilterRegionDialog(filters, normal, imageWidth, imageHeight);
    if (ui.runDialog(table) != 1)
        return nullptr;
    const int chosen = table.value(List);
    if (chosen < 0 || chosen >= static_cast<int>(filters.size()))
        return nullptr;
    // Back from the last column and row shown to the region's far edges.
    region = {table.value(Left), table.value(Top), table.value(Right) + 1, table.value(Bottom) + 1};
    return &filters[static_cast<std::size_t>(chosen)];
}

AddinOptionPage::AddinOptionPage(const PluginRegistry& registry, Ui& ui,
                                 std::function<std::string()> chooseFile)
    : m_ui(ui), m_chooseFile(std::move(chooseFile)), m_copy(registry.plugins) {
    using namespace filterdialog;
    m_table.name = "AddinOption";
    m_table.title = "アドイン";
    m_table.add(listBox(List, {}, -1, 0));
    m_table.add(staticText(SizeLabel, "", 1));
    m_table.add(button(Register, "追加登録", 2));
    m_table.add(button(Unregister, "登録解除", 2));
    refresh();
    m_table.onChange = [this](ControlTable& t, int id) {
        if (id == List) {
            const int at = t.value(List);
            t.assignText(SizeLabel,
                         at >= 0 ? m_copy[static_cast<std::size_t>(at)].description : "");
        }
    };
    m_table.onButton = [this](ControlTable&, int id) {
        if (id == Register) {
            if (m_chooseFile) {
                const std::string path = m_chooseFile();
                if (!path.empty())
                    registerFile(path);
            }
            return 0;
        }
        if (id == Unregister) {
            unregisterSelected();
            return 0;
        }
        return (id == 1 || id == 2) ? id : 0;
    };
}

void AddinOptionPage::refresh() {
    using namespace filterdialog;
    Control* list = m_table.find(List);
    list->items.clear();
    for (const auto& plugin : m_copy)
        list->items.push_back(plugin.path);
    m_table.assignValue(List, list->value);
    const int at = m_table.value(List);
    m_table.assignText(SizeLabel, at >= 0 ? m_copy[static_cast<std::size_t>(at)].description : "");
}

void AddinOptionPage::registerFile(const std::string& path) {
    auto plugin = CheckPlugin(path);
    if (!plugin) {
        m_ui.messageBox("これはアドインではありません", "Celdos", MessageIcon::Information,
                        MessageButtons::Ok);
        return;
    }
    m_copy.push_back(std::move(*plugin));
    m_changed = true;
    m_table.find(filterdialog::List)->value = static_cast<int>(m_copy.size()) - 1;
    refresh();
}

void AddinOptionPage::unregisterSelected() {
    const int at = m_table.value(filterdialog::List);
    if (at < 0 || at >= static_cast<int>(m_copy.size()))
        return;
    m_copy.erase(m_copy.begin() + at);
    m_changed = true;
    m_table.find(filterdialog::List)->value = -1;
    refresh();
}

void AddinOptionPage::apply(PluginRegistry& registry, SettingsStore& settings,
                            FilterLists& lists) const {
    registry.plugins = m_copy;
    registry.write(settings);
    RebuildFilterLists(registry.plugins, lists, m_ui);
}

} // namespace celdo
