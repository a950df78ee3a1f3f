#pragma once
// A field value as the database component hands it around: Empty (never set), Null, text, number,
// currency, boolean or date. Empty and "" differ; text helpers treat Empty as "".
#include <cstdint>
#include <string>

namespace tarnwick {

class Value {
public:
    enum class Kind { Empty, Null, Text, Number, Currency, Boolean, Date };

    Value() = default;
    Value(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}
    Value(const char *text) : kind_(Kind::Text), text_(text) {}

    static Value null() { return Value(Kind::Null); }
    static Value number(double n) { return Value(Kind::Number, n); }
    static Value boolean(bool b) { return Value(Kind::Boolean, b ? 1.0 : 0.0); }
    // Days since 1899-12-30, the fraction being the time of day.
    static Value date(double serial) { return Value(Kind::Date, serial); }
    // Currency as an integer count of ten-thousandths.
    static Value currency(std::int64_t scaled) {
        Value v(Kind::Currency);
        v.scaled_ = scaled;
        return v;
    }

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isText() const { return kind_ == Kind::Text; }

    const std::string &text() const & { return text_; }
    // The text moved out of a value about to be discarded.
    std::string takeText() && { return std::move(text_); }
    double number() const { return number_; }
    bool boolean() const { return number_ != 0; }
    double dateSerial() const { return number_; }
    std::int64_t currencyScaled() const { return scaled_; }

    // The value as a number where it is one (number, currency, boolean as -1/0, date serial).
    double asDouble() const;
    // The value as VB's CStr writes it; Empty and Null give "".
    std::string toString() const;

    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

private:
    explicit Value(Kind kind, double n = 0) : kind_(kind), number_(n) {}

    Kind kind_ = Kind::Empty;
    std::string text_;
    double number_ = 0;
    std::int64_t scaled_ = 0;
};

// For test failure output.
std::ostream &operator<<(std::ostream &out, const Value &value);

} // namespace tarnwick
