#pragma once
// The byte form in which the Access reader process and the program exchange requests and answers:
// tagged items of fixed-size numbers and length-prefixed texts, written in the machine's own byte
// order (both ends are the same build).
#include "base/Value.h"
#include "db/DbError.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tarnwick::wire {

// What the program asks: each request is a tag and a table name.
enum Request : char { AskFields = 'F', AskCount = 'C', AskRows = 'R' };
// What the reader answers.
enum Answer : char {
    TableList = 'N', // count, then the names
    FieldList = 'L', // count, then (name, type) pairs
    Count = 'C',     // a 64-bit count
    Row = 'W',       // count, then the values
    RowsDone = 'D',  // after the last row
    Failure = 'E',   // an error's number and description
};

// Appends items to a buffer.
class Encoder {
public:
    void tag(char t) { out_.push_back(t); }
    void u32(std::uint32_t v) { raw(&v, sizeof v); }
    void i64(std::int64_t v) { raw(&v, sizeof v); }
    void f64(double v) { raw(&v, sizeof v); }
    void text(const std::string &s) {
        u32(static_cast<std::uint32_t>(s.size()));
        out_.append(s);
    }
    void value(const Value &v);

    std::string &bytes() { return out_; }

private:
    void raw(const void *p, std::size_t n) { out_.append(static_cast<const char *>(p), n); }
    std::string out_;
};

// Reads items from a source that can be asked for exactly n more bytes. `Source` has
// `const char *take(std::size_t n)`, returning a pointer to the next n bytes.
template <typename Source> class Decoder {
public:
    explicit Decoder(Source &source) : source_(source) {}
    char tag() { return *source_.take(1); }
    std::uint32_t u32() { return fixed<std::uint32_t>(); }
    std::int64_t i64() { return fixed<std::int64_t>(); }
    double f64() { return fixed<double>(); }
    std::string text() {
        const std::uint32_t n = length();
        return std::string(source_.take(n), n);
    }
    // A count or length, refused when no answer of the reader can hold it.
    std::uint32_t length() {
        const std::uint32_t n = u32();
        if (n > kMaxLength)
            throw DbError(dberr::FileNotFound, "The database is damaged and could not be read (its reader sent a "
                                               "length of " +
                                                   std::to_string(n) + ").");
        return n;
    }
    // Decodes the next value into `v`.
    void value(Value &v) {
        switch (static_cast<Value::Kind>(tag())) {
        case Value::Kind::Empty:
            v = Value();
            break;
        case Value::Kind::Null:
            v = Value::null();
            break;
        case Value::Kind::Text: {
            const std::uint32_t n = length();
            v = Value(std::string(source_.take(n), n));
            break;
        }
        case Value::Kind::Number:
            v = Value::number(f64());
            break;
        case Value::Kind::Currency:
            v = Value::currency(i64());
            break;
        case Value::Kind::Boolean:
            v = Value::boolean(tag() != 0);
            break;
        case Value::Kind::Date:
            v = Value::date(f64());
            break;
        }
    }

private:
    // Far above any text or column count libmdb gives (a memo is bound to 256 kB).
    static constexpr std::uint32_t kMaxLength = 16 * 1024 * 1024;
    template <typename T> T fixed() {
        T v;
        std::memcpy(&v, source_.take(sizeof v), sizeof v);
        return v;
    }
    Source &source_;
};

} // namespace tarnwick::wire
