// Assigning values to columns: what each kind accepts, how it rounds, and what it refuses.
#include "base/VbDate.h"
#include "base/VbNumber.h"
#include "db/ColumnConvert.h"
#include "db/DbError.h"
#include "support/CaseName.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace tarnwick {
namespace {

// Inputs given to a column of one kind, each with what is stored, or none when it is refused.
struct Conversions {
    const char *rule;
    ColumnType column;
    std::vector<std::pair<Value, std::optional<Value>>> cases;
};
void PrintTo(const Conversions &c, std::ostream *os) {
    *os << c.rule;
}

Value n(double number) {
    return Value::number(number);
}
Value money(std::int64_t scaled) {
    return Value::currency(scaled);
}
Value date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return Value::date(SerialFromParts({y, m, d, h, mi, s}));
}

class ColumnConversion : public ::testing::TestWithParam<Conversions> {};

TEST_P(ColumnConversion, StoresTheConvertedValueOrRefusesIt) {
    for (const auto &[input, expected] : GetParam().cases) {
        SCOPED_TRACE(::testing::Message() << "input " << input);
        try {
            const Value stored = ConvertForColumn(GetParam().column, input);
            EXPECT_TRUE(expected) << "accepted as " << stored;
            EXPECT_EQ(stored, expected.value_or(stored));
        } catch (const DbError &e) {
            EXPECT_FALSE(expected) << "refused: " << e.description();
            EXPECT_EQ(e.number(), dberr::ConversionRefused);
            EXPECT_FALSE(e.description().empty());
        }
    }
}

using K = ColumnKind;
const std::nullopt_t refused = std::nullopt;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, ColumnConversion, ::testing::Values(
    // Empty and Null store Null anywhere; "" is a text, not Empty. Text is the CStr of numbers,
    // booleans and dates.
    Conversions{"text of other kinds", {K::Text, 30}, {{Value(), Value::null()}, {"", Value("")},
        {n(1e20), Value("1E+20")}, {Value::boolean(true), Value("True")}, {date(2004, 3, 7), Value("3/7/2004")},
        {date(2004, 3, 7, 14, 5, 9), Value("3/7/2004 2:05:09 PM")}}},
    // Lengths count UTF-16 units, as Access does, so a character beyond U+FFFF takes two.
    Conversions{"text lengths in UTF 16", {K::Text, 4}, {{"Océé", Value("Océé")},
        {"\U0001F600\U0001F600", Value("\U0001F600\U0001F600")}, {"abcde", refused}, {"a\U0001F600\U0001F600", refused},
        {n(12345), refused}}},
    Conversions{"memo of 70000", {K::Memo}, {{Value(std::string(70000, 'x')), Value(std::string(70000, 'x'))}}},
    // Whole numbers round half to even and read numeric text.
    Conversions{"long", {K::Long}, {{Value(), Value::null()}, {"2.5", n(2)}, {"3.5", n(4)}, {" $1,234 ", n(1234)},
        {"(12)", n(-12)}, {"&HFF", n(255)}, {"", refused}, {"  ", refused}, {"12a", refused}, {"2147483648", refused}}},
    Conversions{"integer", {K::Integer}, {{"-32768", n(-32768)}, {"32767.5", refused}}},
    Conversions{"byte", {K::Byte}, {{n(255.4), n(255)}, {"-1", refused}}},
    Conversions{"double", {K::Double}, {{"1.5E3", n(1500)}, {"1e", refused}}},
    // Four decimals, half to even; text is read exactly, to Currency's ends.
    Conversions{"currency", {K::Currency}, {{"12.34565", money(123456)}, {"1.00015", money(10002)},
        {n(-0.00005), money(0)}, {"922337203685477.5807", money(INT64_MAX)},
        {"-922337203685477.5808", money(INT64_MIN)}, {"($1,000.00005)", money(-10000000)}, {"1.5e2", money(1500000)},
        {"ten", refused}, {"922337203685477.5808", refused}, {"-922337203685477.58086", refused}}},
    // Words in any case, numbers, numeric text.
    Conversions{"yes no", {K::YesNo}, {{"yes", Value::boolean(true)}, {"OFF", Value::boolean(false)},
        {"-1", Value::boolean(true)}, {n(0), Value::boolean(false)}, {"", refused}, {"maybe", refused}}},
    // Serials and the text forms; day and month swap when only that reads; two-digit years below 30
    // are this century's.
    Conversions{"date", {K::Date}, {{Value::null(), Value::null()}, {n(0), date(1899, 12, 30)},
        {"12/31/99", date(1999, 12, 31)}, {"1/2/29", date(2029, 1, 2)}, {"1/2/30", date(1930, 1, 2)},
        {"25/12/2004", date(2004, 12, 25)}, {"2004-02-29", date(2004, 2, 29)},
        {"3-7-2004 12:30 AM", date(2004, 3, 7, 0, 30)}, {"7 Mar 2004 17:45:10", date(2004, 3, 7, 17, 45, 10)},
        {"March 7, 2004", date(2004, 3, 7)}, {"1/1/1850", date(1850, 1, 1)}, {"1/1/100", date(100, 1, 1)},
        {"12/31/9999", date(9999, 12, 31)}, {"13/45/2004", refused}, {"2/30/2004", refused}, {"", refused},
        {"1/1/10000", refused}, {"12:30", refused}, {Value::boolean(true), refused}}}),
    [](const auto &info) { return CaseName(info.param.rule); });
// clang-format on

// A damaged workbook can hold what no VB number is: infinities and NaN have their run time's forms.
TEST(ConversionText, NumbersFormatAsCStrAndPaddedToMinimumDigits) {
    const std::pair<double, const char *> numbers[] = {{12.5, "12.5"},           {-3, "-3"},
                                                       {1e20, "1E+20"},          {123456789012345.0, "123456789012345"},
                                                       {0.1 + 0.2, "0.3"},       {1e-7, "1E-07"},
                                                       {0.001, "0.001"},         {1.0 / 3, "0.333333333333333"},
                                                       {HUGE_VAL, "1.#INF"},     {-HUGE_VAL, "-1.#INF"},
                                                       {std::nan(""), "-1.#IND"}};
    for (const auto &[n, text] : numbers)
        EXPECT_EQ(FormatNumber(n), text);
    const std::pair<const char *, const char *> padded[] = {{"7", "007"},   {"1234", "1234"}, {"-5", "-005"},
                                                            {"2.5", "003"}, {"A12", "A12"},   {"", ""}};
    for (const auto &[in, out] : padded)
        EXPECT_EQ(FormatMinDigits(in, 3), out) << in;
}

TEST(ConversionText, DateStorageFormRoundTripsAndClampsToTheRunTimesDays) {
    for (double s : {SerialFromParts({1850, 6, 1, 23, 59, 59}), SerialFromParts({2026, 12, 5, 9, 5, 0}),
                     SerialFromParts({1899, 12, 29, 6, 0, 0})})
        EXPECT_EQ(ParseIsoDate(FormatIsoDate(s)).value(), s) << FormatIsoDate(s);
    EXPECT_EQ(FormatIsoDate(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(FormatIsoDate(-4.4e84), "0100-01-01 00:00:00");
    EXPECT_EQ(FormatIsoDate(1e300), "9999-12-31 23:59:59");
    EXPECT_EQ(FormatIsoDate(std::nan("")), "0100-01-01 00:00:00");
}

} // namespace
} // namespace tarnwick
