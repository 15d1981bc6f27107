#include "app/EnvironmentOptions.h"

namespace celdo {

ControlTable EnvironmentOptionPage(int autoSave) {
    ControlTable page;
    page.name = "EnvOption";
    page.title = "環境";
    page.add(
        checkBox(envoption::AutoSave, "未保存の画像を1分ごとに自動保存する", autoSave != 0, 0));
    page.onButton = [](ControlTable&, int id) { return (id == 1 || id == 2) ? id : 0; };
    return page;
}

int ReadEnvironmentOptionPage(const ControlTable& page) {
    return page.value(envoption::AutoSave) ? 1 : 0;
}

} // namespace celdo
