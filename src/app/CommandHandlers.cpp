#include "app/CommandHandlers.h"

namespace celdo {

void CommandHandlers::on(Command command, Handler handler) {
    m_entries.insert_or_assign(command, Entry{nullptr, std::move(handler)});
}

void CommandHandlers::on(Command command, Rule when, Handler handler) {
    m_entries.insert_or_assign(command, Entry{std::move(when), std::move(handler)});
}

void CommandHandlers::onRun(Command first, Command last, RunHandler handler) {
    for (int index = 0; commandAt(first, index) <= last; ++index)
        on(commandAt(first, index), [handler, index] { handler(index); });
}

bool CommandHandlers::handles(Command command) const {
    const auto it = m_entries.find(command);
    return it != m_entries.end() && (!it->second.when || it->second.when());
}

bool CommandHandlers::run(Command command) const {
    const auto it = m_entries.find(command);
    if (it == m_entries.end() || (it->second.when && !it->second.when()))
        return false;
    // A handler may register or drop handlers (a window closing); run a copy.
    const Handler handler = it->second.handler;
    handler();
    return true;
}

} // namespace celdo
