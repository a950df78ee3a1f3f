#pragma once
#include "import/SheetPicker.h"

namespace tarnwick {

// Picks the worksheet named on the command line, or asks at the terminal.
class TerminalSheetPicker : public SheetPicker {
public:
    explicit TerminalSheetPicker(std::string chosen) : chosen_(std::move(chosen)) {}
    std::optional<std::string> pick(const std::vector<std::string> &names) override;

private:
    std::string chosen_;
};

} // namespace tarnwick
