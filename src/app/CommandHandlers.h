#pragma once

#include "app/Command.h"

#include <functional>
#include <unordered_map>

namespace celdo {

// The commands one window carries out, registered by name.  A window offers
// a command to its handlers first and passes on what they do not claim, so
// the order between windows stays with the window that routes.
class CommandHandlers {
public:
    using Handler = std::function<void()>;
    using RunHandler = std::function<void(int index)>;
    using Rule = std::function<bool()>;

    // `command` is always claimed.
    void on(Command command, Handler handler);
    // `command` is claimed only while `when` holds; otherwise it passes on.
    void on(Command command, Rule when, Handler handler);
    // Every command of the run first … last; the handler gets the place in
    // the run.
    void onRun(Command first, Command last, RunHandler handler);

    bool handles(Command command) const;
    // Runs the command's handler; false when it was not claimed.
    bool run(Command command) const;

private:
    struct Entry {
        Rule when;
        Handler handler;
    };
    std::unordered_map<Command, Entry> m_entries;
};

} // namespace celdo
