#pragma once
// Numbers read and written the way the old system's run time did (US conventions).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The number a text reads as: optional blanks, a sign or enclosing parentheses, an optional "$",
// digits with optional "," group separators, an optional "." fraction, an optional exponent; or
// "&H" hexadecimal and "&O" octal. At least one digit. Anything else gives nothing.
std::optional<double> ParseNumber(std::string_view text);

// A currency amount in ten-thousandths, read exactly from a text ParseNumber reads: digits past
// the fourth decimal place rounded half to even. Nothing for other text or an amount past
// Currency's range (-922337203685477.5808 to 922337203685477.5807).
std::optional<std::int64_t> ParseCurrency(std::string_view text);

// Rounds to the nearest integer, ties to the even one (banker's rounding).
double RoundHalfEven(double x);

// x times 10^places, rounded half to even on the decimal digits x shows (15 significant), so that
// 1.00015 scaled by 4 places gives 10002 although its binary value lies just below the tie.
std::int64_t ScaleHalfEven(double x, int places);

// A number as CStr writes it: up to 15 significant digits, "12.5", "1E+20", "1E-05".
std::string FormatNumber(double x);

// A currency amount (ten-thousandths) as CStr writes it: "12.5", "3", "-0.0001".
std::string FormatCurrency(std::int64_t scaled);

// Format(value, "000") and its kin: a text that reads as a number is rounded half away from zero
// and written with at least `digits` digits (7 -> 007, -5 -> -005); any other text is returned as
// it is.
std::string FormatMinDigits(const std::string &text, int digits);

} // namespace tarnwick
