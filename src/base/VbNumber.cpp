#include "base/VbNumber.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarnwick {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<double> parseRadix(std::string_view digits, int radix) {
    if (digits.empty() || digits.size() > 16)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        if (d >= radix)
            return std::nullopt;
        value = value * radix + d;
    }
    return static_cast<double>(value);
}

// Digits with group commas, an optional fraction and exponent, written plainly for strtod ("1234.5",
// "1.5e-3"); the whole view must be consumed.
std::optional<std::string> plainDecimal(std::string_view s) {
    std::string plain;
    std::size_t i = 0;
    bool digits = false;
    while (i < s.size() && (isDigit(s[i]) || (s[i] == ',' && digits))) {
        if (s[i] != ',')
            plain += s[i];
        digits = digits || isDigit(s[i]);
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        plain += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            plain += s[i++];
        bool expDigits = false;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    return plain;
}

struct SignedText {
    bool negative = false;
    std::string_view magnitude;
};

// A number's text without blanks, its sign, enclosing parentheses and "$".
SignedText splitSign(std::string_view text) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = trimBlanks(s.substr(1, s.size() - 2));
    }
    if (!s.empty() && s.front() == '$')
        s = trimBlanks(s.substr(1));
    if (!negative && !s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s = trimBlanks(s.substr(1));
        if (!s.empty() && s.front() == '$')
            s = trimBlanks(s.substr(1));
    }
    return {negative, s};
}

// The plain digits "123.4567..." as ten-thousandths, the rest rounded half to even; nothing past
// the range of an int64.
std::optional<std::int64_t> exactTenThousandths(const std::string &plain, bool negative) {
    const std::size_t point = plain.find('.');
    const std::string whole = plain.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : plain.substr(point + 1);
    fraction.append(fraction.size() < 5 ? 5 - fraction.size() : 0, '0');
    // The magnitude is counted negative, where an int64 reaches one further.
    std::int64_t scaled = 0;
    for (char c : whole + fraction.substr(0, 4)) {
        const int digit = c - '0';
        if (scaled < (INT64_MIN + digit) / 10)
            return std::nullopt;
        scaled = scaled * 10 - digit;
    }
    const bool above = fraction[4] > '5' ||
                       (fraction[4] == '5' && fraction.find_first_not_of('0', 5) != std::string::npos);
    const bool tie = fraction[4] == '5' && !above;
    if (above || (tie && scaled % 2 != 0)) {
        if (scaled == INT64_MIN)
            return std::nullopt;
        --scaled;
    }
    if (negative)
        return scaled;
    if (scaled == INT64_MIN)
        return std::nullopt;
    return -scaled;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.size() > 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return parseRadix(s.substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return parseRadix(s.substr(2), 8);
        return std::nullopt;
    }
    const SignedText number = splitSign(s);
    const std::optional<std::string> plain = plainDecimal(number.magnitude);
    if (!plain)
        return std::nullopt;
    const double value = std::strtod(plain->c_str(), nullptr);
    return number.negative ? -value : value;
}

std::optional<std::int64_t> ParseCurrency(std::string_view text) {
    const SignedText number = splitSign(text);
    const std::optional<std::string> plain = plainDecimal(number.magnitude);
    if (!plain || plain->find('e') != std::string::npos) {
        const std::optional<double> n = ParseNumber(text);
        if (!n || !(std::fabs(*n) < 922337203685477.0))
            return std::nullopt;
        return ScaleHalfEven(*n, 4);
    }
    return exactTenThousandths(*plain, number.negative);
}

double RoundHalfEven(double x) {
    return std::nearbyint(x);
}

std::int64_t ScaleHalfEven(double x, int places) {
    if (x == 0)
        return 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(x));
    std::string s(buffer);
    std::size_t e = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2); // 15 digits: 0.DDD... x 10^(exp+1)
    int integerDigits = std::atoi(s.c_str() + e + 1) + 1 + places;
    if (integerDigits > 18)
        return x < 0 ? INT64_MIN : INT64_MAX;
    if (integerDigits < 0)
        return 0;
    digits.append(integerDigits > 15 ? integerDigits - 15 : 0, '0');
    std::int64_t whole = integerDigits == 0 ? 0 : std::stoll(digits.substr(0, integerDigits));
    std::string rest = digits.substr(integerDigits);
    bool up = false;
    if (!rest.empty() && rest[0] >= '5') {
        bool tie = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
        up = !tie || whole % 2 == 1;
    }
    whole += up;
    return x < 0 ? -whole : whole;
}

std::string FormatNumber(double x) {
    if (x == 0)
        return "0";
    // Not numbers VB makes, but a damaged file can hold them: shown as the runtime prints them.
    if (std::isinf(x))
        return x > 0 ? "1.#INF" : "-1.#INF";
    if (std::isnan(x))
        return "-1.#IND";
    // Whole numbers of up to 15 digits, the common case in a grid, need no scientific form.
    if (x == std::trunc(x) && std::fabs(x) < 1e15)
        return std::to_string(static_cast<long long>(x));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", x);
    // buffer: [-]d.dddddddddddddde[+-]XX
    std::string s(buffer);
    std::size_t e = s.find('e');
    int exponent = std::atoi(s.c_str() + e + 1);
    std::string mantissa = s.substr(0, e);
    bool negative = mantissa[0] == '-';
    if (negative)
        mantissa.erase(0, 1);
    std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (exponent >= 15 || exponent < -5) {
        out = digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out = "0." + std::string(-exponent - 1, '0') + digits;
    } else {
        std::size_t intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out = digits + std::string(intLen - digits.size(), '0');
        } else {
            out = digits.substr(0, intLen) + "." + digits.substr(intLen);
        }
    }
    return negative ? "-" + out : out;
}

std::string FormatCurrency(std::int64_t scaled) {
    bool negative = scaled < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string out = std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        out += "." + fraction;
    return negative ? "-" + out : out;
}

std::string FormatMinDigits(const std::string &text, int digits) {
    auto value = ParseNumber(text);
    if (!value)
        return text;
    double rounded = std::round(*value); // half away from zero
    std::string magnitude = FormatNumber(std::fabs(rounded));
    if (magnitude.find_first_not_of("0123456789") == std::string::npos && magnitude.size() < std::size_t(digits))
        magnitude.insert(0, digits - magnitude.size(), '0');
    return rounded < 0 ? "-" + magnitude : magnitude;
}

} // namespace tarnwick
