#pragma once
// Whether a cell's number format shows a date or time.
#include <cstdint>
#include <string>

namespace tarnwick {

bool IsBuiltInDateFormat(std::uint16_t id);
// A custom format is a date format when, outside quoted text, escapes and [colour] brackets, it
// uses the day, month, year, hour or second letters.
bool IsDateFormatString(const std::string &format);

} // namespace tarnwick
