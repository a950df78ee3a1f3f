#include "cli/TerminalSheetPicker.h"

#include <iostream>
#include <unistd.h>

namespace tarnwick {

std::optional<std::string> TerminalSheetPicker::pick(const std::vector<std::string> &names) {
    std::cout << "Just Select the Sheet you want to process." << std::endl;
    for (std::size_t i = 0; i < names.size(); ++i)
        std::cout << "  " << i + 1 << ") " << names[i] << std::endl;
    if (!chosen_.empty()) {
        std::cout << "> " << chosen_ << std::endl;
        return chosen_;
    }
    if (!isatty(STDIN_FILENO))
        return std::nullopt;
    std::string line;
    std::cout << "[1-" << names.size() << "] " << std::flush;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    try {
        std::size_t index = std::stoul(line);
        if (index >= 1 && index <= names.size())
            return names[index - 1];
    } catch (const std::exception &) {
    }
    return std::nullopt;
}

} // namespace tarnwick
