#pragma once
// The benchmarks' operator: takes every notice (keeping the last), answers No to every question
// (the backup offer among them) and cancels every input box.
#include "app/Prompter.h"

#include <string>

namespace tarnwick {

class BenchPrompter : public Prompter {
public:
    void notify(const std::string &text, Icon) override { last = text; }
    Answer ask(const std::string &, Buttons, Icon) override { return Answer::No; }
    std::optional<std::string> input(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::string> chooseFolder(const std::string &, const std::string &) override { return std::nullopt; }
    std::string last;
};

} // namespace tarnwick
