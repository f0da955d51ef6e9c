#pragma once

// A message box as the program's logic asks for it, without Qt: the dialogs'
// checks, the batch runs and the windows all describe their boxes with it, and
// the shell shows it (shell/messages.h). Tests compare these values directly.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tavisol {

namespace engine {
struct EngineMessage;
}

enum class MsgIcon { NoIcon, Information, Question, Warning, Critical };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct Message {
    std::string text;  // UTF-8; lines may be joined by "\r", shown as line breaks
    std::string title; // empty: the box shows the application title
    MsgIcon icon = MsgIcon::NoIcon;
    MsgButtons buttons = MsgButtons::Ok;

    bool operator==(const Message &) const = default;
};

// Shows a message; returns true for Yes, and for OK (the only answer of a box
// without Yes and No).
using MessageSink = std::function<bool(const Message &)>;

// What a sink returns for the answer to a box: a Yes/No box is agreed to only
// by Yes, any other box by being closed.
bool Agreed(const Message &m, MsgAnswer answer);

// The common boxes.
Message CriticalMessage(std::string text, std::string title = {});
Message QuestionMessage(std::string text, std::string title = {}); // Yes and No

// The lines joined by "\r", as the messages' texts hold them.
std::string MessageLines(std::initializer_list<std::string_view> lines);

// A box the engine raises (OK only), with its icon.
Message FromEngine(const engine::EngineMessage &m);

} // namespace tavisol
