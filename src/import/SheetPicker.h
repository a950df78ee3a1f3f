#pragma once
// The small window that lists a workbook's worksheets for the operator to choose one.
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class SheetPicker {
public:
    virtual ~SheetPicker() = default;
    // The name clicked, or nothing when the picker was closed without a choice.
    virtual std::optional<std::string> pick(const std::vector<std::string> &names) = 0;
    // The worksheet about to be processed, told before the operator is asked about it.
    virtual void proposed(const std::string &) {}
};

} // namespace tarnwick
