#include "shell/message.h"

#include "engine/state.h"

namespace tavisol {

Message CriticalMessage(std::string text, std::string title) {
    return {std::move(text), std::move(title), MsgIcon::Critical, MsgButtons::Ok};
}

Message QuestionMessage(std::string text, std::string title) {
    return {std::move(text), std::move(title), MsgIcon::Question, MsgButtons::YesNo};
}

std::string MessageLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view l : lines) {
        if (!first)
            text += '\r';
        text += l;
        first = false;
    }
    return text;
}

bool Agreed(const Message &m, MsgAnswer answer) {
    return m.buttons == MsgButtons::YesNo ? answer == MsgAnswer::Yes : true;
}

Message FromEngine(const engine::EngineMessage &m) {
    MsgIcon icon = MsgIcon::Information;
    switch (m.Icon) {
    case engine::MessageIcon::Critical: icon = MsgIcon::Critical; break;
    case engine::MessageIcon::Information: icon = MsgIcon::Information; break;
    case engine::MessageIcon::Question: icon = MsgIcon::Question; break;
    case engine::MessageIcon::Exclamation: icon = MsgIcon::Warning; break;
    }
    return {m.Text, m.Title, icon, MsgButtons::Ok};
}

} // namespace tavisol
