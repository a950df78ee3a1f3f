#include "base/Value.h"

#include "base/VbDate.h"
#include "base/VbNumber.h"

#include <ostream>

namespace tarnwick {

double Value::asDouble() const {
    switch (kind_) {
    case Kind::Currency:
        return static_cast<double>(scaled_) / 10000.0;
    case Kind::Boolean:
        return number_ != 0 ? -1.0 : 0.0;
    default:
        return number_;
    }
}

std::string Value::toString() const {
    switch (kind_) {
    case Kind::Empty:
    case Kind::Null:
        return {};
    case Kind::Text:
        return text_;
    case Kind::Number:
        return FormatNumber(number_);
    case Kind::Currency:
        return FormatCurrency(scaled_);
    case Kind::Boolean:
        return number_ != 0 ? "True" : "False";
    case Kind::Date:
        return FormatShortDate(number_);
    }
    return {};
}

bool Value::operator==(const Value &other) const {
    if (kind_ != other.kind_)
        return false;
    switch (kind_) {
    case Kind::Empty:
    case Kind::Null:
        return true;
    case Kind::Text:
        return text_ == other.text_;
    case Kind::Currency:
        return scaled_ == other.scaled_;
    default:
        return number_ == other.number_;
    }
}

std::ostream &operator<<(std::ostream &out, const Value &value) {
    static const char *const names[] = {"Empty", "Null", "Text", "Number", "Currency", "Boolean", "Date"};
    return out << names[static_cast<int>(value.kind())] << "(" << value.toString() << ")";
}

} // namespace tarnwick
