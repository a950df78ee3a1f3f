#include "support/ScriptedPrompter.h"

#include <stdexcept>

namespace tarnwick {

void ScriptedPrompter::notify(const std::string &text, Icon icon) {
    shown.push_back({Shown::Notice, text, icon});
}

Answer ScriptedPrompter::ask(const std::string &text, Buttons, Icon icon) {
    shown.push_back({Shown::Question, text, icon});
    if (answers.empty())
        throw std::logic_error("unexpected question: " + text);
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompter::input(const std::string &title, const std::string &prompt) {
    shown.push_back({Shown::Input, title + "|" + prompt});
    if (inputs.empty())
        throw std::logic_error("unexpected input box: " + prompt);
    auto a = inputs.front();
    inputs.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const Shown &s : shown)
        out.push_back(s.text);
    return out;
}

} // namespace tarnwick
