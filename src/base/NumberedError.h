#pragma once
// An error as the system reports it to the operator: a number and a description.
#include <stdexcept>
#include <string>

namespace tarnwick {

class NumberedError : public std::runtime_error {
public:
    NumberedError(long number, const std::string &description)
        : std::runtime_error(description), number_(number), description_(description) {}
    long number() const { return number_; }
    const std::string &description() const { return description_; }

private:
    long number_;
    std::string description_;
};

} // namespace tarnwick
