#include "support/ScriptedPrompter.h"

namespace tarnwick {

void ScriptedPrompter::record(Shown item) {
    shown.push_back(std::move(item));
    if (onShow)
        onShow(shown.back());
}

Answer ScriptedPrompter::ask(const std::string &text, Buttons, Icon icon) {
    if (answers.empty())
        for (const auto &[prefix, answer] : standing)
            if (text.rfind(prefix, 0) == 0) {
                record({Shown::Question, text, icon});
                return answer;
            }
    return next(answers, {Shown::Question, text, icon});
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const Shown &s : shown)
        out.push_back(s.text);
    return out;
}

} // namespace tarnwick
