#pragma once
// A prompter for tests: records every message and question, and answers from a queue.
#include "app/Prompter.h"

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

struct Shown {
    enum Kind { Notice, Question, Input, Folder } kind;
    std::string text;
    Icon icon = Icon::None;
};

class ScriptedPrompter : public Prompter {
public:
    std::vector<Shown> shown;
    std::deque<Answer> answers;
    // Forgets what was shown and queues the answers to the next questions.
    void expect(std::deque<Answer> next) {
        shown.clear();
        answers = std::move(next);
    }
    // Standing answers by the question's beginning, used when no queued answer is left.
    std::vector<std::pair<std::string, Answer>> standing;
    std::deque<std::optional<std::string>> inputs;
    // Answers to folder dialogs: a folder, or nothing for Cancel.
    std::deque<std::optional<std::string>> folders;
    // Answers to file dialogs: the files chosen (none for Cancel).
    std::deque<std::vector<std::string>> fileChoices;
    // Called as each message, question or input box is shown, before it is answered.
    std::function<void(const Shown &)> onShow;

    void notify(const std::string &text, Icon icon) override { record({Shown::Notice, text, icon}); }
    // Each of these throws when no answer was queued: a box the test did not expect.
    Answer ask(const std::string &text, Buttons, Icon icon) override {
        if (answers.empty())
            for (const auto &[prefix, answer] : standing)
                if (text.rfind(prefix, 0) == 0) {
                    record({Shown::Question, text, icon});
                    return answer;
                }
        return next(answers, {Shown::Question, text, icon});
    }
    std::optional<std::string> input(const std::string &title, const std::string &prompt) override {
        return next(inputs, {Shown::Input, title + "|" + prompt});
    }
    // Recorded as its title.
    std::optional<std::string> chooseFolder(const std::string &title, const std::string &) override {
        return next(folders, {Shown::Folder, title});
    }
    // Recorded as "title|start".
    std::vector<std::string> chooseFiles(const std::string &title, const std::string &start,
                                         const std::string &) override {
        return next(fileChoices, {Shown::Folder, title + "|" + start});
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Shown &s : shown)
            out.push_back(s.text);
        return out;
    }

private:
    void record(Shown item) {
        shown.push_back(std::move(item));
        if (onShow)
            onShow(shown.back());
    }
    // Records `item` and takes the next answer queued for its kind of box.
    template <typename T> T next(std::deque<T> &queue, Shown item) {
        record(item);
        if (queue.empty())
            throw std::logic_error("unexpected box: " + item.text);
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

class FixedClock : public Clock {
public:
    std::tm time{};
    FixedClock(int year, int month, int day, int hour, int minute) {
        time.tm_year = year - 1900;
        time.tm_mon = month - 1;
        time.tm_mday = day;
        time.tm_hour = hour;
        time.tm_min = minute;
    }
    std::tm now() const override { return time; }
};

} // namespace tarnwick
