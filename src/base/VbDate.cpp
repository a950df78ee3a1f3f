#include "base/VbDate.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace tarnwick {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (the well-known era-based conversion).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int &y, int &m, int &d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long>(yoe) + era * 400 + (m <= 2));
}

const long kEpoch = daysFromCivil(1899, 12, 30);

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

int monthFromName(const std::string &word) {
    static const char *const names[] = {"january", "february", "march",     "april",   "may",      "june",
                                        "july",    "august",   "september", "october", "november", "december"};
    if (word.size() < 3)
        return 0;
    for (int i = 0; i < 12; ++i) {
        std::string name = names[i];
        if (word == name || word == name.substr(0, 3) || (word == "sept" && i == 8))
            return i + 1;
    }
    return 0;
}

struct Token {
    enum Kind { Number, Word, Slash, Dash, Colon, Comma } kind;
    std::string text;
    int digits = 0;
};

std::optional<std::vector<Token>> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (std::isdigit(c)) {
            std::size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
                ++j;
            if (j - i > 4)
                return std::nullopt;
            tokens.push_back({Token::Number, std::string(s.substr(i, j - i)), static_cast<int>(j - i)});
            i = j;
        } else if (std::isalpha(c)) {
            std::size_t j = i;
            std::string word;
            while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j])))
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(s[j++])));
            tokens.push_back({Token::Word, word});
            i = j;
        } else if (c == '/' || c == '-' || c == ':' || c == ',') {
            Token::Kind kind = c == '/'   ? Token::Slash
                               : c == '-' ? Token::Dash
                               : c == ':' ? Token::Colon
                                          : Token::Comma;
            tokens.push_back({kind, std::string(1, static_cast<char>(c))});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

bool is(const std::vector<Token> &t, std::size_t i, Token::Kind kind) {
    return i < t.size() && t[i].kind == kind;
}

int fullYear(const Token &t) {
    int y = std::stoi(t.text);
    if (t.digits <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

// Reads "h:mm[:ss] [AM|PM]" from position i to the end.
bool parseTime(const std::vector<Token> &t, std::size_t i, DateParts &parts) {
    if (!(is(t, i, Token::Number) && is(t, i + 1, Token::Colon) && is(t, i + 2, Token::Number)))
        return false;
    int h = std::stoi(t[i].text), m = std::stoi(t[i + 2].text), sec = 0;
    i += 3;
    if (is(t, i, Token::Colon)) {
        if (!is(t, i + 1, Token::Number))
            return false;
        sec = std::stoi(t[i + 1].text);
        i += 2;
    }
    if (is(t, i, Token::Word)) {
        const std::string &w = t[i].text;
        if ((w != "am" && w != "pm") || h < 1 || h > 12)
            return false;
        h = h % 12 + (w == "pm" ? 12 : 0);
        ++i;
    }
    if (i != t.size() || h > 23 || m > 59 || sec > 59)
        return false;
    parts.hour = h;
    parts.minute = m;
    parts.second = sec;
    return true;
}

bool setDate(DateParts &parts, int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1 || y < 100 || y > 9999 || d > daysInMonth(y, m))
        return false;
    parts.year = y;
    parts.month = m;
    parts.day = d;
    return true;
}

// Reads the date forms from the start; returns the index after the date, or 0 when none matches.
std::size_t parseDatePart(const std::vector<Token> &t, DateParts &parts) {
    // yyyy-mm-dd
    if (is(t, 0, Token::Number) && t[0].digits == 4 && is(t, 1, Token::Dash) && is(t, 2, Token::Number) &&
        is(t, 3, Token::Dash) && is(t, 4, Token::Number))
        return setDate(parts, std::stoi(t[0].text), std::stoi(t[2].text), std::stoi(t[4].text)) ? 5 : 0;
    // m/d/yyyy, m/d/yy, m-d-yyyy; a year of three digits stands as written
    if (is(t, 0, Token::Number) && (is(t, 1, Token::Slash) || is(t, 1, Token::Dash)) && is(t, 2, Token::Number) &&
        is(t, 3, t[1].kind) && is(t, 4, Token::Number) && t[4].digits <= 4) {
        int m = std::stoi(t[0].text), d = std::stoi(t[2].text);
        if (m > 12 && d <= 12)
            std::swap(m, d);
        return setDate(parts, fullYear(t[4]), m, d) ? 5 : 0;
    }
    // d mmm yyyy (blanks or dashes between)
    if (is(t, 0, Token::Number) && t[0].digits <= 2) {
        std::size_t i = 1 + is(t, 1, Token::Dash);
        if (is(t, i, Token::Word) && monthFromName(t[i].text)) {
            std::size_t j = i + 1 + is(t, i + 1, Token::Dash);
            if (is(t, j, Token::Number))
                return setDate(parts, fullYear(t[j]), monthFromName(t[i].text), std::stoi(t[0].text)) ? j + 1 : 0;
        }
    }
    // mmm d, yyyy
    if (is(t, 0, Token::Word) && monthFromName(t[0].text) && is(t, 1, Token::Number) && t[1].digits <= 2) {
        std::size_t j = 2 + is(t, 2, Token::Comma);
        if (is(t, j, Token::Number))
            return setDate(parts, fullYear(t[j]), monthFromName(t[0].text), std::stoi(t[1].text)) ? j + 1 : 0;
    }
    return 0;
}

} // namespace

double SerialFromParts(const DateParts &p) {
    double days = static_cast<double>(daysFromCivil(p.year, p.month, p.day) - kEpoch);
    double time = (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
    // Before the epoch the fraction still counts forward from the day's midnight.
    return days < 0 ? days - time : days + time;
}

namespace {
constexpr double kFirstSerial = -657434;      // 100-01-01
constexpr double kLastSerial = 2958465.99999; // 9999-12-31 23:59:59
} // namespace

bool IsDateSerial(double serial) {
    return serial >= kFirstSerial && serial <= kLastSerial;
}

DateParts PartsFromSerial(double serial) {
    if (!IsDateSerial(serial))
        serial = serial > 0 ? kLastSerial : kFirstSerial; // NaN included: it compares false
    double whole = std::trunc(serial);
    long seconds = std::lround(std::fabs(serial - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += serial < 0 ? -1 : 1;
    }
    DateParts p;
    civilFromDays(static_cast<long>(whole) + kEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

namespace {

// m/d/yyyy and m/d/yy, the form almost every source uses, read without tokenizing.
std::optional<double> parseSlashDate(std::string_view s) {
    int fields[3] = {0, 0, 0}, digits[3] = {0, 0, 0}, field = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            fields[field] = fields[field] * 10 + (c - '0');
            if (++digits[field] > 4)
                return std::nullopt;
        } else if (c == '/' && field < 2) {
            ++field;
        } else {
            return std::nullopt;
        }
    }
    if (field != 2 || !digits[0] || !digits[1] || (digits[2] != 4 && (digits[2] < 1 || digits[2] > 2)))
        return std::nullopt;
    int m = fields[0], d = fields[1];
    if (m > 12 && d <= 12)
        std::swap(m, d);
    int y = digits[2] == 4 ? fields[2] : (fields[2] < 30 ? 2000 + fields[2] : 1900 + fields[2]);
    DateParts parts;
    if (!setDate(parts, y, m, d))
        return std::nullopt;
    return SerialFromParts(parts);
}

} // namespace

std::optional<double> ParseDate(std::string_view text) {
    if (auto quick = parseSlashDate(text))
        return quick;
    auto tokens = tokenize(text);
    if (!tokens || tokens->empty())
        return std::nullopt;
    DateParts parts;
    std::size_t end = parseDatePart(*tokens, parts);
    if (end == 0)
        return std::nullopt;
    if (end < tokens->size()) {
        std::vector<Token> rest(tokens->begin() + end, tokens->end());
        if (!parseTime(rest, 0, parts))
            return std::nullopt;
    }
    return SerialFromParts(parts);
}

std::string FormatShortDate(double serial) {
    DateParts p = PartsFromSerial(serial);
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, "%d/%d/%d", p.month, p.day, p.year);
    if (p.hour || p.minute || p.second) {
        int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::snprintf(buffer + n, sizeof buffer - n, " %d:%02d:%02d %s", h12, p.minute, p.second,
                      p.hour < 12 ? "AM" : "PM");
    }
    return buffer;
}

std::string FormatIsoDate(double serial) {
    DateParts p = PartsFromSerial(serial);
    // Written digit by digit: this runs for every date stored.
    std::string out = "0000-00-00 00:00:00";
    auto put = [&out](std::size_t at, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            out[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, p.year, 4);
    put(5, p.month, 2);
    put(8, p.day, 2);
    put(11, p.hour, 2);
    put(14, p.minute, 2);
    put(17, p.second, 2);
    return out;
}

std::optional<double> ParseIsoDate(std::string_view text) {
    // Read digit by digit: this runs for every date a grid shows.
    std::size_t at = 0;
    auto number = [&](int &out, char after) {
        const std::size_t start = at;
        bool negative = at < text.size() && text[at] == '-' && after == '-' && start == 0;
        if (negative)
            ++at;
        int value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 9)
            value = value * 10 + (text[at++] - '0');
        if (at == start + (negative ? 1 : 0))
            return false;
        out = negative ? -value : value;
        if (after == 0)
            return true;
        if (at >= text.size() || text[at] != after)
            return false;
        ++at;
        return true;
    };
    DateParts p;
    if (!number(p.year, '-') || !number(p.month, '-') || !number(p.day, 0))
        return std::nullopt;
    if (at < text.size()) {
        if (text[at] != ' ')
            return SerialFromParts(p); // as a scan stopping at the first unexpected character
        ++at;
        if (!number(p.hour, ':') || !number(p.minute, ':') || !number(p.second, 0))
            return std::nullopt;
    }
    return SerialFromParts(p);
}

double SerialNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return SerialFromParts(
        {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

} // namespace tarnwick
