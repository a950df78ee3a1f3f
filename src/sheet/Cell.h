#pragma once
// One worksheet cell as the reader delivers it.
#include "base/Value.h"

#include <cstdint>
#include <string>

namespace tarnwick {

struct Cell {
    enum class Type { Empty, Number, Text, Boolean, Date, Error };
    Type type = Type::Empty;
    double number = 0; // the number, the date serial, or 1/0 for a boolean
    std::string text;  // the text, or the error's name ("#N/A")
    bool isEmpty() const { return type == Type::Empty; }
    // The cell as a field value: Empty, a number, a text, a boolean, a date, or the error's text.
    Value toValue() const;
    // The text Excel's Value gives when concatenated (numbers as CStr, dates in the short form).
    std::string toString() const { return toValue().toString(); }
};

} // namespace tarnwick
