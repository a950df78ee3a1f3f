#pragma once
// A value as a Jet column holds it. Numbers keep their stored width's exactness: whole numbers as
// integers, currency as ten-thousandths, dates as days since 1899-12-30.
#include <cstdint>
#include <string>

namespace tarnwick::jet {

struct JetValue {
    enum class Kind { Null, YesNo, Integer, Currency, Real, Date, Text, Bytes };

    Kind kind = Kind::Null;
    std::int64_t integer = 0; // YesNo (0 or 1), Integer, Currency
    double real = 0;          // Real, Date
    std::string text;         // Text (UTF-8), Bytes

    static JetValue null() { return {}; }
    static JetValue yesNo(bool b) { return {Kind::YesNo, b ? 1 : 0, 0, {}}; }
    static JetValue whole(std::int64_t n) { return {Kind::Integer, n, 0, {}}; }
    static JetValue currency(std::int64_t scaled) { return {Kind::Currency, scaled, 0, {}}; }
    static JetValue number(double d) { return {Kind::Real, 0, d, {}}; }
    static JetValue date(double serial) { return {Kind::Date, 0, serial, {}}; }
    static JetValue utf8(std::string s) { return {Kind::Text, 0, 0, std::move(s)}; }
    static JetValue bytes(std::string b) { return {Kind::Bytes, 0, 0, std::move(b)}; }

    bool isNull() const { return kind == Kind::Null; }
};

} // namespace tarnwick::jet
