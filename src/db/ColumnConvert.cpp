#include "db/ColumnConvert.h"

#include "base/TextUtil.h"
#include "base/VbDate.h"
#include "base/VbNumber.h"
#include "db/DbError.h"

#include <cmath>
#include <optional>

namespace tarnwick {
namespace {

[[noreturn]] void refuse() {
    throw DbError(dberr::ConversionRefused, "Multiple-step OLE DB operation generated errors. Check each OLE DB "
                                            "status value, if available. No work was done.");
}

// The number a value stands for in a numeric column; text must read as a number.
double numericOf(const Value &value) {
    switch (value.kind()) {
    case Value::Kind::Text: {
        auto n = ParseNumber(value.text());
        if (!n)
            refuse();
        return *n;
    }
    case Value::Kind::Number:
    case Value::Kind::Currency:
    case Value::Kind::Boolean:
    case Value::Kind::Date:
        return value.asDouble();
    default:
        refuse();
    }
}

Value wholeNumber(const Value &value, double low, double high) {
    double n = RoundHalfEven(numericOf(value));
    if (!(n >= low && n <= high))
        refuse();
    return Value::number(n);
}

Value yesNo(const Value &value) {
    if (value.kind() == Value::Kind::Boolean)
        return value;
    if (value.kind() == Value::Kind::Text) {
        std::string t = LowerCase(TrimBlanks(value.text()));
        if (t == "true" || t == "yes" || t == "on")
            return Value::boolean(true);
        if (t == "false" || t == "no" || t == "off")
            return Value::boolean(false);
    }
    return Value::boolean(numericOf(value) != 0);
}

Value dateOf(const Value &value) {
    switch (value.kind()) {
    case Value::Kind::Date:
        return value;
    case Value::Kind::Number:
    case Value::Kind::Currency:
        return Value::date(value.asDouble());
    case Value::Kind::Text:
        if (auto serial = ParseDate(value.text()))
            return Value::date(*serial);
        refuse();
    default:
        refuse();
    }
}

} // namespace

Value ConvertForColumn(const ColumnType &column, Value value) {
    if (value.isEmpty() || value.isNull())
        return Value::null();
    switch (column.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo: {
        Value text = value.isText() ? std::move(value) : Value(value.toString());
        if (column.kind == ColumnKind::Text && Utf16Length(text.text()) > static_cast<std::size_t>(column.textSize))
            refuse();
        return text;
    }
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
        return wholeNumber(value, -2147483648.0, 2147483647.0);
    case ColumnKind::Integer:
        return wholeNumber(value, -32768, 32767);
    case ColumnKind::Byte:
        return wholeNumber(value, 0, 255);
    case ColumnKind::Single: {
        double n = numericOf(value);
        if (std::fabs(n) > 3.402823466e38)
            refuse();
        return Value::number(static_cast<float>(n));
    }
    case ColumnKind::Double:
        return Value::number(numericOf(value));
    case ColumnKind::Currency: {
        if (value.kind() == Value::Kind::Currency)
            return value;
        if (value.kind() == Value::Kind::Text) {
            const std::optional<std::int64_t> scaled = ParseCurrency(value.text());
            if (!scaled)
                refuse();
            return Value::currency(*scaled);
        }
        double n = numericOf(value);
        if (!(std::fabs(n) < 922337203685477.0))
            refuse();
        return Value::currency(ScaleHalfEven(n, 4));
    }
    case ColumnKind::YesNo:
        return yesNo(value);
    case ColumnKind::Date:
        return dateOf(value);
    }
    refuse();
}

} // namespace tarnwick
