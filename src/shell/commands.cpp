#include "shell/commands.h"

#include <array>
#include <map>

namespace tavisol {

namespace {

std::map<Command, CommandHandler> &handlers() {
    static std::map<Command, CommandHandler> h;
    return h;
}

std::array<std::function<void(int)>, 3> &enablechecks() {
    static std::array<std::function<void(int)>, 3> e;
    return e;
}

} // namespace

void SetCommandHandler(Command command, CommandHandler handler) {
    if (handler)
        handlers()[command] = std::move(handler);
    else
        handlers().erase(command);
}

bool HasCommandHandler(Command command) { return handlers().count(command) != 0; }

bool RunCommand(Command command) {
    auto it = handlers().find(command);
    if (it == handlers().end())
        return false;
    // A copy: the handler may replace itself while it runs.
    CommandHandler h = it->second;
    h();
    return true;
}

void ClearCommandHandlers() { handlers().clear(); }

void SetFormatChangeHandler(FormatListener window, std::function<void(int)> handler) {
    enablechecks()[static_cast<std::size_t>(window)] = std::move(handler);
}

void ClearFormatChangeHandlers() {
    for (auto &h : enablechecks())
        h = nullptr;
}

void TellOutputFormat(int code) {
    for (auto &h : enablechecks()) {
        if (h) {
            auto copy = h;
            copy(code);
        }
    }
}

} // namespace tavisol
