#pragma once

#include "framework/ControlTable.h"
#include "framework/Ui.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace celdo {

// A Ui for tests: it records every message box and dialog it is shown and
// answers from a script.  Unscripted message boxes get their first button
// (OK or Yes) and unscripted dialogs are confirmed untouched; both are noted
// in `unscripted` so a test can insist that nothing unexpected was asked.
class ScriptedUi : public Ui {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    // Acts on the dialog like a user (setValue, setText, press ...) and returns
    // the dialog result.
    using DialogScript = std::function<int(ControlTable&)>;

    // The next message box is answered with `result`.
    void answerMessage(int result);
    // The next dialog must be `name`; `script` answers it.
    void answerDialog(std::string name, DialogScript script);
    // The next dialog `name` is confirmed (1) or cancelled (2) untouched.
    void answerDialog(std::string name, int result);

    int messageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;
    int runDialog(ControlTable& table) override;
    void beginWait() override { ++waits; }
    void endWait() override { ++waitsEnded; }
    void progress(long long done, long long total) override {
        lastProgress = done;
        progressTotal = total;
    }

    bool allAnswered() const { return m_messageAnswers.empty() && m_dialogScripts.empty(); }

    std::vector<Message> messages;
    std::vector<std::string> dialogs; // resource names, in order
    std::vector<ControlTable> tables; // copies as they were when closed
    std::vector<std::string> unscripted;
    int waits = 0;
    int waitsEnded = 0;
    long long lastProgress = 0;
    long long progressTotal = 0;

private:
    struct DialogAnswer {
        std::string name;
        DialogScript script;
    };
    std::deque<int> m_messageAnswers;
    std::deque<DialogAnswer> m_dialogScripts;
};

} // namespace celdo
