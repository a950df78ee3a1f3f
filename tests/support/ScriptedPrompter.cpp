#include "support/ScriptedPrompter.h"

#include <stdexcept>

namespace tarnwick {

void ScriptedPrompter::record(Shown item) {
    shown.push_back(std::move(item));
    if (onShow)
        onShow(shown.back());
}

void ScriptedPrompter::notify(const std::string &text, Icon icon) {
    record({Shown::Notice, text, icon});
}

Answer ScriptedPrompter::ask(const std::string &text, Buttons, Icon icon) {
    record({Shown::Question, text, icon});
    if (answers.empty())
        for (const auto &[prefix, answer] : standing)
            if (text.rfind(prefix, 0) == 0)
                return answer;
    if (answers.empty())
        throw std::logic_error("unexpected question: " + text);
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompter::input(const std::string &title, const std::string &prompt) {
    record({Shown::Input, title + "|" + prompt});
    if (inputs.empty())
        throw std::logic_error("unexpected input box: " + prompt);
    auto a = inputs.front();
    inputs.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompter::chooseFolder(const std::string &title, const std::string &) {
    record({Shown::Folder, title});
    if (folders.empty())
        throw std::logic_error("unexpected folder dialog: " + title);
    auto a = folders.front();
    folders.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::chooseFiles(const std::string &title, const std::string &start,
                                                   const std::string &) {
    record({Shown::Folder, title + "|" + start});
    if (fileChoices.empty())
        throw std::logic_error("unexpected file dialog: " + title);
    auto a = fileChoices.front();
    fileChoices.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const Shown &s : shown)
        out.push_back(s.text);
    return out;
}

} // namespace tarnwick
