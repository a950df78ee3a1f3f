#pragma once
// Message boxes and input boxes of the desktop program.
#include "app/Prompter.h"

namespace tarnwick {

class QtPrompter : public Prompter {
public:
    void notify(const std::string &text, Icon icon) override;
    Answer ask(const std::string &text, Buttons buttons, Icon icon) override;
    std::optional<std::string> input(const std::string &title, const std::string &prompt) override;
    std::optional<std::string> chooseFolder(const std::string &title, const std::string &start) override;
    std::optional<std::string> chooseSaveFile(const SaveRequest &request) override;
    std::vector<std::string> chooseFiles(const std::string &title, const std::string &start,
                                         const std::string &filter) override;
};

} // namespace tarnwick
