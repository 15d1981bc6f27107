#include "app/FileOptions.h"

#include "app/Settings.h"

#include <algorithm>
#include <utility>

namespace celdo {

void FileOptions::read(const Settings& settings) {
    useCommonDialog = settings.readInt("UseCommonDialog", 0);
    graphicFileType = settings.readInt("GraphicFileType", 0);
    viewHeader = settings.readInt("ViewHeader", 0);
    saveOption = settings.readInt("SaveOption", 0);
    maxMenuFile = settings.readClampedInt("MaxMenuFile", 10, 0, 20);
    deleteErrorMenuFile = settings.readClampedInt("DeleteErrorMenuFile", 1, 0, 2);
}

void FileOptions::write(Settings& settings) const {
    settings.writeInt("UseCommonDialog", useCommonDialog);
    settings.writeInt("GraphicFileType", graphicFileType);
    settings.writeInt("ViewHeader", viewHeader);
    settings.writeInt("SaveOption", saveOption);
    settings.writeInt("MaxMenuFile", maxMenuFile);
    settings.writeInt("DeleteErrorMenuFile", deleteErrorMenuFile);
}

ControlTable FileOptionPage(const FileOptions& options, std::function<void()> clearHistory) {
    using namespace fileoption;
    ControlTable page;
    page.name = "FileOption";
    page.title = "ファイル";
    page.add(checkBox(UseCommonDialog, "共通ダイアログを使う", options.useCommonDialog != 0, 0));
    page.add(checkBox(ViewHeader, "読込時に情報表示を行う", options.viewHeader != 0, 1));
    page.add(checkBox(SaveOption, "書込時にオプションの指定を行う", options.saveOption != 0, 2));
    // The scroll bar alone does not say what it counts.
    page.add(staticText(-1, "メニューの履歴数", 3));
    page.add(scrollBar(MaxMenuFile, 0, 20, 5, std::clamp(options.maxMenuFile, 0, 20),
                       MaxMenuFileLabel, 3));
    page.add(
        staticText(MaxMenuFileLabel, std::to_string(std::clamp(options.maxMenuFile, 0, 20)), 3));
    page.add(groupBox(DeleteErrorGroup, "読めなかったファイルの処理", 4));
    const int mode = std::clamp(options.deleteErrorMenuFile, 0, 2);
    page.add(radioButton(Keep, "そのまま", DeleteErrorGroup, mode == 0, 5));
    page.add(radioButton(Ask, "確認", DeleteErrorGroup, mode == 1, 5));
    page.add(radioButton(Remove, "メニューから外す", DeleteErrorGroup, mode == 2, 5));
    page.add(button(ClearHistory, "履歴消去", 6));
    page.onButton = [clear = std::move(clearHistory)](ControlTable&, int id) {
        if (id == ClearHistory) {
            if (clear)
                clear();
            return 0;
        }
        return (id == 1 || id == 2) ? id : 0;
    };
    return page;
}

void ReadFileOptionPage(const ControlTable& page, FileOptions& options) {
    using namespace fileoption;
    options.useCommonDialog = page.value(UseCommonDialog) ? 1 : 0;
    options.viewHeader = page.value(ViewHeader) ? 1 : 0;
    options.saveOption = page.value(SaveOption) ? 1 : 0;
    options.maxMenuFile = std::clamp(page.value(MaxMenuFile), 0, 20);
    const int radio = page.checkedRadio(Keep, Remove);
    if (radio >= 0)
        options.deleteErrorMenuFile = radio - Keep;
}

} // namespace celdo
