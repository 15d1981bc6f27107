#include "app/EnvironmentOptions.h"

#include <algorithm>
#include <string>

namespace celdo {

ControlTable EnvironmentOptionPage(const EnvironmentOptions& options) {
    using namespace envoption;
    ControlTable page;
    page.name = "EnvOption";
    page.title = "環境";
    page.add(checkBox(AutoSave, "未保存の画像を1分ごとに自動保存する", options.autoSave != 0, 0));
    const int memory = std::clamp(options.undoMemory, EnvironmentOptions::MinUndoMemory,
                                  EnvironmentOptions::MaxUndoMemory);
    page.add(staticText(-1, "元に戻す記録に使うメモリ（MB）", 1));
    page.add(scrollBar(UndoMemory, EnvironmentOptions::MinUndoMemory,
                       EnvironmentOptions::MaxUndoMemory, 64, memory, UndoMemoryLabel, 2));
    page.add(staticText(UndoMemoryLabel, std::to_string(memory), 2));
    page.onButton = [](ControlTable&, int id) { return (id == 1 || id == 2) ? id : 0; };
    return page;
}

EnvironmentOptions ReadEnvironmentOptionPage(const ControlTable& page) {
    using namespace envoption;
    EnvironmentOptions options;
    options.autoSave = page.value(AutoSave) ? 1 : 0;
    options.undoMemory = std::clamp(page.value(UndoMemory), EnvironmentOptions::MinUndoMemory,
                                    EnvironmentOptions::MaxUndoMemory);
    return options;
}

} // namespace celdo
