#pragma once

#include "core/Rect.h"
#include "framework/ControlTable.h"
#include "plugins/FilterHost.h"
#include "plugins/PluginRegistry.h"

#include <functional>
#include <string>
#include <vector>

namespace celdo {

class SettingsStore;
class Ui;

namespace filterdialog {
inline constexpr int List = 340;
inline constexpr int SizeLabel = 200;
inline constexpr int Left = 360;
inline constexpr int LeftLabel = 361;
inline constexpr int Top = 362;
inline constexpr int TopLabel = 363;
inline constexpr int Right = 364;
inline constexpr int RightLabel = 365;
inline constexpr int Bottom = 366;
inline constexpr int BottomLabel = 367;
inline constexpr int Register = 2210;
inline constexpr int Unregister = 2215;
} // namespace filterdialog

// "FilterList" ("フィルターの選択"): the descriptions of `filters` in list 340.
ControlTable FilterListDialog(const std::vector<FilterEntry>& filters);
// Command 1940: the chosen entry of the list for the window's mode (the first
// when "実行" is pressed with nothing selected), or null.
const FilterEntry* ChooseWholeImageFilter(Ui& ui, const FilterLists& lists, bool maskEditing);

// "FilterRegion" ("フィルターの範囲指定") for `region` (right and bottom past
// its last pixel, as every Rect) of an image of the given size.  The bars
// show left, top and the last column and row inside the region (right and
// bottom inclusive) and keep left ≤ right and top ≤ bottom within the image;
// label 200 shows "(%d  %d)" with right − left + 1 and bottom − top + 1;
// "実行" stays disabled until a filter is selected.
ControlTable FilterRegionDialog(const std::vector<FilterEntry>& filters, const Rect& region,
                                int imageWidth, int imageHeight);
// The partial filter after a drag: normalises `region`, runs the dialog and
// on "実行" stores the region chosen there (right and bottom past its last
// pixel again) and returns the selected entry.
const FilterEntry* ChooseRegionFilter(Ui& ui, const FilterLists& lists, bool maskEditing,
                                      int imageWidth, int imageHeight, Rect& region);

// The "AddinOption" page ("アドイン") of the options dialog.  It works on a
// copy of the registry; `chooseFile` asks for a library file ("アドインの
// 読込") and returns its path, or "" when nothing was chosen.
class AddinOptionPage {
public:
    AddinOptionPage(const PluginRegistry& registry, Ui& ui,
                    std::function<std::string()> chooseFile);
    // The table's handlers refer to the page.
    AddinOptionPage(const AddinOptionPage&) = delete;
    AddinOptionPage& operator=(const AddinOptionPage&) = delete;

    ControlTable& table() { return m_table; }
    const std::vector<RegisteredPlugin>& plugins() const { return m_copy; }
    bool changed() const { return m_changed; }

    // "追加登録": the chosen file joins the copy when it is a plug-in, else
    // "これはアドインではありません" is shown.
    void registerFile(const std::string& path);
    // "登録解除" of the selected entry.
    void unregisterSelected();

    // On confirmation of the options dialog: the copy becomes the registry,
    // is written to the settings (Plugin0 … and a flush), and the filter
    // lists are rebuilt ("メモリー不足" when that fails).
    void apply(PluginRegistry& registry, SettingsStore& settings, FilterLists& lists) const;

private:
    void refresh();

    Ui& m_ui;
    std::function<std::string()> m_chooseFile;
    std::vector<RegisteredPlugin> m_copy;
    ControlTable m_table;
    bool m_changed = false;
};

} // namespace celdo
