// Assigning values to columns: what each kind accepts, how it rounds, and what it refuses.
#include "base/VbDate.h"
#include "base/VbNumber.h"
#include "db/ColumnConvert.h"
#include "db/DbError.h"
#include "support/CaseName.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct Accepted {
    const char *name;
    ColumnType column;
    Value input;
    Value stored;
};

Value date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return Value::date(SerialFromParts({y, m, d, h, mi, s}));
}

class Accepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(Accepts, StoresConvertedValue) {
    const Accepted &c = GetParam();
    EXPECT_EQ(ConvertForColumn(c.column, c.input), c.stored) << "input " << c.input;
}

using K = ColumnKind;
INSTANTIATE_TEST_SUITE_P(
    Kinds, Accepts,
    ::testing::Values(
        // Empty and Null store Null anywhere; "" is a text, not Empty.
        Accepted{"long empty", {K::Long}, Value(), Value::null()},
        Accepted{"date null", {K::Date}, Value::null(), Value::null()},
        Accepted{"text empty text", {K::Text, 5}, Value(""), Value("")},
        Accepted{"text empty", {K::Text, 5}, Value(), Value::null()},
        // Text: CStr of numbers, booleans and dates; lengths count characters.
        Accepted{"text of number", {K::Text, 10}, Value::number(12.5), Value("12.5")},
        Accepted{"text of large number", {K::Text, 10}, Value::number(1e20), Value("1E+20")},
        Accepted{"text of boolean", {K::Text, 10}, Value::boolean(true), Value("True")},
        Accepted{"text of date and time", {K::Text, 30}, date(2004, 3, 7, 14, 5, 9), Value("3/7/2004 2:05:09 PM")},
        Accepted{"text of date", {K::Text, 10}, date(2004, 3, 7), Value("3/7/2004")},
        Accepted{"text of accents", {K::Text, 4}, Value("Océé"), Value("Océé")},
        // ... in UTF-16 units, as Access counts them: a character beyond U+FFFF takes two.
        Accepted{"text of surrogate pairs", {K::Text, 4}, Value("\U0001F600\U0001F600"), Value("\U0001F600\U0001F600")},
        Accepted{"memo of 70000", {K::Memo}, Value(std::string(70000, 'x')), Value(std::string(70000, 'x'))},
        // Whole numbers round half to even and read numeric text.
        Accepted{"long half down to even", {K::Long}, Value("2.5"), Value::number(2)},
        Accepted{"long half up to even", {K::Long}, Value("3.5"), Value::number(4)},
        Accepted{"long with dollar and comma", {K::Long}, Value(" $1,234 "), Value::number(1234)},
        Accepted{"long in brackets", {K::Long}, Value("(12)"), Value::number(-12)},
        Accepted{"long in hex", {K::Long}, Value("&HFF"), Value::number(255)},
        Accepted{"integer lowest", {K::Integer}, Value("-32768"), Value::number(-32768)},
        Accepted{"byte rounded", {K::Byte}, Value::number(255.4), Value::number(255)},
        Accepted{"double with exponent", {K::Double}, Value("1.5E3"), Value::number(1500)},
        Accepted{"double half", {K::Double}, Value("2.5"), Value::number(2.5)},
        // Currency: four decimals, half to even on the decimal digits.
        Accepted{"currency half down to even", {K::Currency}, Value("12.34565"), Value::currency(123456)},
        Accepted{"currency half up to even", {K::Currency}, Value("1.00015"), Value::currency(10002)},
        Accepted{"currency of number rounds to zero", {K::Currency}, Value::number(-0.00005), Value::currency(0)},
        // Text is read exactly, to Currency's ends; digits past four places round half to even.
        Accepted{"currency largest", {K::Currency}, Value("922337203685477.5807"), Value::currency(INT64_MAX)},
        Accepted{"currency smallest", {K::Currency}, Value("-922337203685477.5808"), Value::currency(INT64_MIN)},
        Accepted{"currency in brackets", {K::Currency}, Value("($1,000.00005)"), Value::currency(-10000000)},
        Accepted{"currency of text half to even", {K::Currency}, Value("0.00015"), Value::currency(2)},
        Accepted{"currency with exponent", {K::Currency}, Value("1.5e2"), Value::currency(1500000)},
        // Yes/No: words in any case, numbers, numeric text.
        Accepted{"yes no yes", {K::YesNo}, Value("yes"), Value::boolean(true)},
        Accepted{"yes no off", {K::YesNo}, Value("OFF"), Value::boolean(false)},
        Accepted{"yes no minus one", {K::YesNo}, Value("-1"), Value::boolean(true)},
        Accepted{"yes no zero", {K::YesNo}, Value::number(0), Value::boolean(false)},
        // Dates from serials and the text forms; day and month swap when only that reads.
        Accepted{"date of serial zero", {K::Date}, Value::number(0), date(1899, 12, 30)},
        Accepted{"date two digit year 99", {K::Date}, Value("12/31/99"), date(1999, 12, 31)},
        Accepted{"date two digit year 29", {K::Date}, Value("1/2/29"), date(2029, 1, 2)},
        Accepted{"date two digit year 30", {K::Date}, Value("1/2/30"), date(1930, 1, 2)},
        Accepted{"date day first", {K::Date}, Value("25/12/2004"), date(2004, 12, 25)},
        Accepted{"date iso", {K::Date}, Value("2004-02-29"), date(2004, 2, 29)},
        Accepted{"date with AM", {K::Date}, Value("3-7-2004 12:30 AM"), date(2004, 3, 7, 0, 30)},
        Accepted{"date with month name", {K::Date}, Value("7 Mar 2004 17:45:10"), date(2004, 3, 7, 17, 45, 10)},
        Accepted{"date month name first", {K::Date}, Value("March 7, 2004"), date(2004, 3, 7)},
        Accepted{"date before 1900", {K::Date}, Value("1/1/1850"), date(1850, 1, 1)},
        Accepted{"date year 100", {K::Date}, Value("1/1/100"), date(100, 1, 1)},
        Accepted{"date year 9999", {K::Date}, Value("12/31/9999"), date(9999, 12, 31)}),
    [](const auto &info) { return CaseName(info.param.name); });

struct Refused {
    const char *name;
    ColumnType column;
    Value input;
};

class Refuses : public ::testing::TestWithParam<Refused> {};

TEST_P(Refuses, RaisesConversionError) {
    const Refused &c = GetParam();
    try {
        ConvertForColumn(c.column, c.input);
        FAIL() << "accepted " << c.input;
    } catch (const DbError &e) {
        EXPECT_EQ(e.number(), dberr::ConversionRefused);
        EXPECT_FALSE(e.description().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Refuses,
    ::testing::Values(
        Refused{"text too long", {K::Text, 3}, Value("abcd")},
        Refused{"text too long in UTF 16", {K::Text, 3}, Value("a\U0001F600\U0001F600")},
        Refused{"text number too long", {K::Text, 3}, Value::number(1234)},
        Refused{"long empty text", {K::Long}, Value("")}, Refused{"long spaces", {K::Long}, Value("  ")},
        Refused{"long trailing letter", {K::Long}, Value("12a")},
        Refused{"long overflow", {K::Long}, Value("2147483648")},
        Refused{"integer rounded past largest", {K::Integer}, Value("32767.5")}, Refused{"byte negative", {K::Byte}, Value("-1")},
        Refused{"double exponent without digits", {K::Double}, Value("1e")},
        Refused{"currency words", {K::Currency}, Value("ten")},
        Refused{"currency above largest", {K::Currency}, Value("922337203685477.5808")},
        Refused{"currency below smallest", {K::Currency}, Value("-922337203685477.58086")},
        Refused{"yes no empty text", {K::YesNo}, Value("")}, Refused{"yes no maybe", {K::YesNo}, Value("maybe")},
        Refused{"date no such month", {K::Date}, Value("13/45/2004")},
        Refused{"date no such day", {K::Date}, Value("2/30/2004")}, Refused{"date empty text", {K::Date}, Value("")},
        Refused{"date year 99999", {K::Date}, Value("12/31/99999")},
        Refused{"date year 10000", {K::Date}, Value("1/1/10000")}, Refused{"date time only", {K::Date}, Value("12:30")},
        Refused{"date of boolean", {K::Date}, Value::boolean(true)}),
    [](const auto &info) { return CaseName(info.param.name); });

// A damaged workbook can hold what no VB number is: infinities and NaN have their run time's forms.
TEST(NumberText, FormatsAsCStr) {
    const std::pair<double, const char *> cases[] = {{12.5, "12.5"},           {-3, "-3"},
                                                     {1e20, "1E+20"},          {123456789012345.0, "123456789012345"},
                                                     {0.1 + 0.2, "0.3"},       {1e-7, "1E-07"},
                                                     {0.001, "0.001"},         {1.0 / 3, "0.333333333333333"},
                                                     {HUGE_VAL, "1.#INF"},     {-HUGE_VAL, "-1.#INF"},
                                                     {std::nan(""), "-1.#IND"}};
    for (const auto &[n, text] : cases)
        EXPECT_EQ(FormatNumber(n), text);
}

TEST(NumberText, MinimumDigitsPattern) {
    const std::pair<const char *, const char *> cases[] = {{"7", "007"},   {"1234", "1234"}, {"-5", "-005"},
                                                           {"2.5", "003"}, {"A12", "A12"},   {"", ""}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(FormatMinDigits(in, 3), out) << in;
    EXPECT_EQ(FormatMinDigits("42", 4), "0042");
}

TEST(DateText, StorageFormRoundTrips) {
    const double serials[] = {SerialFromParts({1850, 6, 1, 23, 59, 59}), SerialFromParts({2026, 12, 5, 9, 5, 0}),
                              SerialFromParts({1899, 12, 29, 6, 0, 0})};
    for (double s : serials)
        EXPECT_EQ(ParseIsoDate(FormatIsoDate(s)).value(), s) << FormatIsoDate(s);
    EXPECT_EQ(FormatIsoDate(-1.25), "1899-12-29 06:00:00");
    // Serials past the dates the run time holds give its first or last day.
    EXPECT_EQ(FormatIsoDate(-4.4e84), "0100-01-01 00:00:00");
    EXPECT_EQ(FormatIsoDate(1e300), "9999-12-31 23:59:59");
    EXPECT_EQ(FormatIsoDate(std::nan("")), "0100-01-01 00:00:00");
}

} // namespace
} // namespace tarnwick
