#include "db/access/ReaderWire.h"

namespace tarnwick::wire {

void Encoder::value(const Value &v) {
    tag(static_cast<char>(v.kind()));
    switch (v.kind()) {
    case Value::Kind::Empty:
    case Value::Kind::Null:
        break;
    case Value::Kind::Text:
        text(v.text());
        break;
    case Value::Kind::Number:
        f64(v.number());
        break;
    case Value::Kind::Currency:
        i64(v.currencyScaled());
        break;
    case Value::Kind::Boolean:
        tag(v.boolean() ? 1 : 0);
        break;
    case Value::Kind::Date:
        f64(v.dateSerial());
        break;
    }
}

} // namespace tarnwick::wire
