#pragma once
// Messages on stdout, questions answered by the command's options, by the operator at the terminal,
// or by the safe default when neither is available.
#include "app/Prompter.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class TerminalPrompter : public Prompter {
public:
    using Matcher = std::function<bool(const std::string &question)>;

    // Answers chosen by options: a question the matcher accepts gets `answer`.
    void answer(Matcher matcher, Answer answer) { scripted_.push_back({std::move(matcher), answer}); }
    // The answer to use when no option decided and no terminal can be asked.
    void fallback(Matcher matcher, Answer answer) { defaults_.push_back({std::move(matcher), answer}); }
    // The text typed into the next input box whose title is `title`, as an option gave it; a later
    // box of that title is not answered by it.
    void inputAnswer(const std::string &title, std::string text) { inputs_.push_back({title, std::move(text)}); }
    // A matcher for questions that begin with `prefix`.
    static Matcher startsWith(std::string prefix) {
        return [prefix = std::move(prefix)](const std::string &q) { return q.compare(0, prefix.size(), prefix) == 0; };
    }

    void notify(const std::string &text, Icon icon) override;
    // While held, notices wait; letting go prints them, so that a listing can place them.
    void holdNotices(bool hold);
    Answer ask(const std::string &text, Buttons buttons, Icon icon) override;
    std::optional<std::string> input(const std::string &title, const std::string &prompt) override;
    // The folder typed at the terminal; cancelled when no terminal can be asked or the line is empty.
    std::optional<std::string> chooseFolder(const std::string &title, const std::string &start) override;

private:
    struct Rule {
        Matcher matches;
        Answer answer;
    };
    static std::optional<Answer> match(const std::vector<Rule> &rules, const std::string &text);

    std::vector<Rule> scripted_;
    std::vector<std::pair<std::string, std::string>> inputs_;
    std::vector<Rule> defaults_;
    bool holding_ = false;
    std::vector<std::string> held_;
};

// A bar on stderr when stderr is a terminal; nothing otherwise.
class TerminalProgress : public ProgressSink {
public:
    void show(const std::string &caption) override;
    void setRange(long minimum, long maximum) override;
    void advance() override;
    void close() override;

private:
    void draw();
    bool enabled_ = false;
    std::string caption_;
    long minimum_ = 0, maximum_ = 0, value_ = 0;
    int drawn_ = -1;
};

} // namespace tarnwick
