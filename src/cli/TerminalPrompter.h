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
    // Answers chosen by options: a question whose text starts with `prefix` gets `answer`.
    void answer(const std::string &prefix, Answer answer) { scripted_.push_back({prefix, answer}); }
    // The answer to use when the option was not given and no terminal can be asked.
    void fallback(const std::string &prefix, Answer answer) { defaults_.push_back({prefix, answer}); }

    void notify(const std::string &text, Icon icon) override;
    Answer ask(const std::string &text, Buttons buttons, Icon icon) override;
    std::optional<std::string> input(const std::string &title, const std::string &prompt) override;

private:
    struct Rule {
        std::string prefix;
        Answer answer;
    };
    static std::optional<Answer> match(const std::vector<Rule> &rules, const std::string &text);

    std::vector<Rule> scripted_;
    std::vector<Rule> defaults_;
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
