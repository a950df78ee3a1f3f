#include "cli/TerminalPrompter.h"

#include <algorithm>
#include <iostream>
#include <unistd.h>

namespace tarnwick {
namespace {

// Message texts break lines with CR LF; the terminal shows them as plain new lines.
std::string forTerminal(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

const char *answerName(Answer a) {
    switch (a) {
    case Answer::OK:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "";
}

} // namespace

std::optional<Answer> TerminalPrompter::match(const std::vector<Rule> &rules, const std::string &text) {
    for (const Rule &rule : rules)
        if (rule.matches(text))
            return rule.answer;
    return std::nullopt;
}

void TerminalPrompter::notify(const std::string &text, Icon) {
    if (holding_)
        held_.push_back(forTerminal(text));
    else
        std::cout << forTerminal(text) << std::endl;
}

void TerminalPrompter::holdNotices(bool hold) {
    holding_ = hold;
    if (hold)
        return;
    for (const std::string &text : held_)
        std::cout << text << std::endl;
    held_.clear();
}

Answer TerminalPrompter::ask(const std::string &text, Buttons buttons, Icon) {
    std::cout << forTerminal(text) << std::endl;
    const Answer positive = buttons == Buttons::YesNo ? Answer::Yes : Answer::OK;
    const Answer negative = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    std::optional<Answer> chosen = match(scripted_, text);
    if (!chosen && isatty(STDIN_FILENO)) {
        std::string line;
        std::cout << "[" << answerName(positive) << "/" << answerName(negative) << "] " << std::flush;
        while (!chosen && std::getline(std::cin, line)) {
            if (!line.empty() && (std::toupper(line[0]) == answerName(positive)[0]))
                chosen = positive;
            else if (!line.empty() && (std::toupper(line[0]) == answerName(negative)[0]))
                chosen = negative;
            else
                std::cout << "[" << answerName(positive) << "/" << answerName(negative) << "] " << std::flush;
        }
    }
    if (!chosen)
        chosen = match(defaults_, text);
    Answer result = chosen.value_or(negative);
    std::cout << "> " << answerName(result) << std::endl;
    return result;
}

std::optional<std::string> TerminalPrompter::input(const std::string &title, const std::string &prompt) {
    std::cout << title << ": " << forTerminal(prompt) << std::endl;
    for (auto it = inputs_.begin(); it != inputs_.end(); ++it)
        if (it->first == title) {
            // An option answers one box: a box asked again (a wrong password) is not answered by it.
            std::string text = std::move(it->second);
            inputs_.erase(it);
            // Typed text is not echoed: it may be a password.
            std::cout << "> (" << text.size() << " characters)" << std::endl;
            return text;
        }
    std::string line;
    if (isatty(STDIN_FILENO) && std::getline(std::cin, line))
        return line;
    std::cout << "> Cancel" << std::endl;
    return std::nullopt;
}

std::optional<std::string> TerminalPrompter::chooseFolder(const std::string &title, const std::string &start) {
    std::cout << title << " (" << start << ")" << std::endl;
    std::string line;
    if (isatty(STDIN_FILENO) && std::getline(std::cin, line) && !line.empty())
        return line;
    std::cout << "> Cancel" << std::endl;
    return std::nullopt;
}

void TerminalProgress::show(const std::string &caption) {
    enabled_ = isatty(STDERR_FILENO);
    caption_ = caption;
    value_ = 0;
    drawn_ = -1;
}

void TerminalProgress::setRange(long minimum, long maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    value_ = minimum;
}

void TerminalProgress::advance() {
    ++value_;
    draw();
}

void TerminalProgress::draw() {
    if (!enabled_ || maximum_ <= minimum_)
        return;
    int percent = std::min(100, static_cast<int>(100.0 * (value_ - minimum_) / (maximum_ - minimum_)));
    if (percent == drawn_)
        return;
    drawn_ = percent;
    std::cerr << "\r" << caption_ << " [" << std::string(percent / 5, '#') << std::string(20 - percent / 5, ' ') << "] "
              << percent << "%" << std::flush;
}

void TerminalProgress::close() {
    if (enabled_ && drawn_ >= 0)
        std::cerr << std::endl;
    enabled_ = false;
}

} // namespace tarnwick
