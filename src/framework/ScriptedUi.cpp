#include "framework/ScriptedUi.h"

#include <utility>

namespace celdo {

void ScriptedUi::answerMessage(int result) {
    m_messageAnswers.push_back(result);
}

void ScriptedUi::answerDialog(std::string name, DialogScript script) {
    m_dialogScripts.push_back({std::move(name), std::move(script)});
}

void ScriptedUi::answerDialog(std::string name, int result) {
    answerDialog(std::move(name), [result](ControlTable&) { return result; });
}

int ScriptedUi::messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    if (!m_messageAnswers.empty()) {
        const int result = m_messageAnswers.front();
        m_messageAnswers.pop_front();
        return result;
    }
    unscripted.push_back("message: " + text);
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel)
               ? answer::Yes
               : answer::Ok;
}

int ScriptedUi::runDialog(ControlTable& table) {
    dialogs.push_back(table.name);
    table.refreshLabels();
    int result = 1;
    if (!m_dialogScripts.empty() && m_dialogScripts.front().name == table.name) {
        DialogScript script = std::move(m_dialogScripts.front().script);
        m_dialogScripts.pop_front();
        result = script(table);
    } else {
        unscripted.push_back("dialog: " + table.name);
    }
    tables.push_back(table);
    return result;
}

} // namespace celdo
