#include "sheet/Cell.h"

namespace tarnwick {

Value Cell::toValue() const {
    switch (type) {
    case Type::Empty:
        return Value();
    case Type::Number:
        return Value::number(number);
    case Type::Text:
    case Type::Error:
        return Value(text);
    case Type::Boolean:
        return Value::boolean(number != 0);
    case Type::Date:
        return Value::date(number);
    }
    return Value();
}

} // namespace tarnwick
