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

struct Conversion {
    const char *name;
    ColumnType column;
    Value input;
    std::optional<Value> stored; // none: refused
};
void PrintTo(const Conversion &c, std::ostream *os) {
    *os << c.name;
}

Value date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return Value::date(SerialFromParts({y, m, d, h, mi, s}));
}

class ColumnConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(ColumnConversion, StoresTheConvertedValueOrRefusesIt) {
    const Conversion &c = GetParam();
    try {
        const Value stored = ConvertForColumn(c.column, c.input);
        EXPECT_TRUE(c.stored) << "accepted " << c.input << " as " << stored;
        EXPECT_EQ(stored, c.stored.value_or(stored));
    } catch (const DbError &e) {
        EXPECT_FALSE(c.stored) << "refused " << c.input << ": " << e.description();
        EXPECT_EQ(e.number(), dberr::ConversionRefused);
        EXPECT_FALSE(e.description().empty());
    }
}

using K = ColumnKind;
const std::nullopt_t refused = std::nullopt;
INSTANTIATE_TEST_SUITE_P(
    Kinds, ColumnConversion,
    ::testing::Values(
        // Empty and Null store Null anywhere; "" is a text, not Empty.
        Conversion{"long empty", {K::Long}, Value(), Value::null()},
        Conversion{"date null", {K::Date}, Value::null(), Value::null()},
        Conversion{"text empty text", {K::Text, 5}, Value(""), Value("")},
        Conversion{"text empty", {K::Text, 5}, Value(), Value::null()},
        // Text: CStr of numbers, booleans and dates; lengths count UTF-16 units, as Access does, so a
        // character beyond U+FFFF takes two.
        Conversion{"text of number", {K::Text, 10}, Value::number(12.5), Value("12.5")},
        Conversion{"text of large number", {K::Text, 10}, Value::number(1e20), Value("1E+20")},
        Conversion{"text of boolean", {K::Text, 10}, Value::boolean(true), Value("True")},
        Conversion{"text of date and time", {K::Text, 30}, date(2004, 3, 7, 14, 5, 9), Value("3/7/2004 2:05:09 PM")},
        Conversion{"text of date", {K::Text, 10}, date(2004, 3, 7), Value("3/7/2004")},
        Conversion{"text of accents", {K::Text, 4}, Value("Océé"), Value("Océé")},
        Conversion{
            "text of surrogate pairs", {K::Text, 4}, Value("\U0001F600\U0001F600"), Value("\U0001F600\U0001F600")},
        Conversion{"text too long", {K::Text, 3}, Value("abcd"), refused},
        Conversion{"text too long in UTF 16", {K::Text, 3}, Value("a\U0001F600\U0001F600"), refused},
        Conversion{"text number too long", {K::Text, 3}, Value::number(1234), refused},
        Conversion{"memo of 70000", {K::Memo}, Value(std::string(70000, 'x')), Value(std::string(70000, 'x'))},
        // Whole numbers round half to even and read numeric text.
        Conversion{"long half down to even", {K::Long}, Value("2.5"), Value::number(2)},
        Conversion{"long half up to even", {K::Long}, Value("3.5"), Value::number(4)},
        Conversion{"long with dollar and comma", {K::Long}, Value(" $1,234 "), Value::number(1234)},
        Conversion{"long in brackets", {K::Long}, Value("(12)"), Value::number(-12)},
        Conversion{"long in hex", {K::Long}, Value("&HFF"), Value::number(255)},
        Conversion{"integer lowest", {K::Integer}, Value("-32768"), Value::number(-32768)},
        Conversion{"byte rounded", {K::Byte}, Value::number(255.4), Value::number(255)},
        Conversion{"double with exponent", {K::Double}, Value("1.5E3"), Value::number(1500)},
        Conversion{"long empty text", {K::Long}, Value(""), refused},
        Conversion{"long spaces", {K::Long}, Value("  "), refused},
        Conversion{"long trailing letter", {K::Long}, Value("12a"), refused},
        Conversion{"long overflow", {K::Long}, Value("2147483648"), refused},
        Conversion{"integer rounded past largest", {K::Integer}, Value("32767.5"), refused},
        Conversion{"byte negative", {K::Byte}, Value("-1"), refused},
        Conversion{"double exponent without digits", {K::Double}, Value("1e"), refused},
        // Currency: four decimals, half to even; text is read exactly, to Currency's ends.
        Conversion{"currency half down to even", {K::Currency}, Value("12.34565"), Value::currency(123456)},
        Conversion{"currency half up to even", {K::Currency}, Value("1.00015"), Value::currency(10002)},
        Conversion{"currency of number rounds to zero", {K::Currency}, Value::number(-0.00005), Value::currency(0)},
        Conversion{"currency largest", {K::Currency}, Value("922337203685477.5807"), Value::currency(INT64_MAX)},
        Conversion{"currency smallest", {K::Currency}, Value("-922337203685477.5808"), Value::currency(INT64_MIN)},
        Conversion{"currency in brackets", {K::Currency}, Value("($1,000.00005)"), Value::currency(-10000000)},
        Conversion{"currency with exponent", {K::Currency}, Value("1.5e2"), Value::currency(1500000)},
        Conversion{"currency words", {K::Currency}, Value("ten"), refused},
        Conversion{"currency above largest", {K::Currency}, Value("922337203685477.5808"), refused},
        Conversion{"currency below smallest", {K::Currency}, Value("-922337203685477.58086"), refused},
        // Yes/No: words in any case, numbers, numeric text.
        Conversion{"yes no yes", {K::YesNo}, Value("yes"), Value::boolean(true)},
        Conversion{"yes no off", {K::YesNo}, Value("OFF"), Value::boolean(false)},
        Conversion{"yes no minus one", {K::YesNo}, Value("-1"), Value::boolean(true)},
        Conversion{"yes no zero", {K::YesNo}, Value::number(0), Value::boolean(false)},
        Conversion{"yes no empty text", {K::YesNo}, Value(""), refused},
        Conversion{"yes no maybe", {K::YesNo}, Value("maybe"), refused},
        // Dates from serials and the text forms; day and month swap when only that reads; two-digit
        // years below 30 are this century's.
        Conversion{"date of serial zero", {K::Date}, Value::number(0), date(1899, 12, 30)},
        Conversion{"date two digit year 99", {K::Date}, Value("12/31/99"), date(1999, 12, 31)},
        Conversion{"date two digit year 29", {K::Date}, Value("1/2/29"), date(2029, 1, 2)},
        Conversion{"date two digit year 30", {K::Date}, Value("1/2/30"), date(1930, 1, 2)},
        Conversion{"date day first", {K::Date}, Value("25/12/2004"), date(2004, 12, 25)},
        Conversion{"date iso", {K::Date}, Value("2004-02-29"), date(2004, 2, 29)},
        Conversion{"date with AM", {K::Date}, Value("3-7-2004 12:30 AM"), date(2004, 3, 7, 0, 30)},
        Conversion{"date with month name", {K::Date}, Value("7 Mar 2004 17:45:10"), date(2004, 3, 7, 17, 45, 10)},
        Conversion{"date month name first", {K::Date}, Value("March 7, 2004"), date(2004, 3, 7)},
        Conversion{"date before 1900", {K::Date}, Value("1/1/1850"), date(1850, 1, 1)},
        Conversion{"date year 100", {K::Date}, Value("1/1/100"), date(100, 1, 1)},
        Conversion{"date year 9999", {K::Date}, Value("12/31/9999"), date(9999, 12, 31)},
        Conversion{"date no such month", {K::Date}, Value("13/45/2004"), refused},
        Conversion{"date no such day", {K::Date}, Value("2/30/2004"), refused},
        Conversion{"date empty text", {K::Date}, Value(""), refused},
        Conversion{"date year 10000", {K::Date}, Value("1/1/10000"), refused},
        Conversion{"date time only", {K::Date}, Value("12:30"), refused},
        Conversion{"date of boolean", {K::Date}, Value::boolean(true), refused}),
    [](const auto &info) { return CaseName(info.param.name); });

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
