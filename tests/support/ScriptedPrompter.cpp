#include "support/ScriptedPrompter.h"

#include <stdexcept>

namespace tarnwick {
namespace {

// The next queued answer to a box of `kind` showing `text`; throws when none was queued.
template <typename T> T nextAnswer(std::deque<T> &queue, const char *kind, const std::string &text) {
    if (queue.empty())
        throw std::logic_error(std::string("unexpected ") + kind + ": " + text);
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

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
    return nextAnswer(answers, "question", text);
}

std::optional<std::string> ScriptedPrompter::input(const std::string &title, const std::string &prompt) {
    record({Shown::Input, title + "|" + prompt});
    return nextAnswer(inputs, "input box", prompt);
}

std::optional<std::string> ScriptedPrompter::chooseFolder(const std::string &title, const std::string &) {
    record({Shown::Folder, title});
    return nextAnswer(folders, "folder dialog", title);
}

std::vector<std::string> ScriptedPrompter::chooseFiles(const std::string &title, const std::string &start,
                                                   const std::string &) {
    record({Shown::Folder, title + "|" + start});
    return nextAnswer(fileChoices, "file dialog", title);
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const Shown &s : shown)
        out.push_back(s.text);
    return out;
}

} // namespace tarnwick
