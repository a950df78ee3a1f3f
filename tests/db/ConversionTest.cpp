// Assigning values to columns: what each kind accepts, how it rounds, and what it refuses.
#include "base/VbDate.h"
#include "base/VbNumber.h"
#include "db/ColumnConvert.h"
#include "db/DbError.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct Accepted {
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
        Accepted{{K::Long}, Value(), Value::null()}, Accepted{{K::Date}, Value::null(), Value::null()},
        Accepted{{K::Text, 5}, Value(""), Value("")}, Accepted{{K::Text, 5}, Value(), Value::null()},
        // Text: CStr of numbers, booleans and dates; lengths count characters.
        Accepted{{K::Text, 10}, Value::number(12.5), Value("12.5")},
        Accepted{{K::Text, 10}, Value::number(1e20), Value("1E+20")},
        Accepted{{K::Text, 10}, Value::boolean(true), Value("True")},
        Accepted{{K::Text, 30}, date(2004, 3, 7, 14, 5, 9), Value("3/7/2004 2:05:09 PM")},
        Accepted{{K::Text, 10}, date(2004, 3, 7), Value("3/7/2004")},
        Accepted{{K::Text, 4}, Value("Océé"), Value("Océé")},
        // ... in UTF-16 units, as Access counts them: a character beyond U+FFFF takes two.
        Accepted{{K::Text, 4}, Value("\U0001F600\U0001F600"), Value("\U0001F600\U0001F600")},
        Accepted{{K::Memo}, Value(std::string(70000, 'x')), Value(std::string(70000, 'x'))},
        // Whole numbers round half to even and read numeric text.
        Accepted{{K::Long}, Value("2.5"), Value::number(2)}, Accepted{{K::Long}, Value("3.5"), Value::number(4)},
        Accepted{{K::Long}, Value(" $1,234 "), Value::number(1234)},
        Accepted{{K::Long}, Value("(12)"), Value::number(-12)}, Accepted{{K::Long}, Value("&HFF"), Value::number(255)},
        Accepted{{K::Integer}, Value("-32768"), Value::number(-32768)},
        Accepted{{K::Byte}, Value::number(255.4), Value::number(255)},
        Accepted{{K::Double}, Value("1.5E3"), Value::number(1500)},
        Accepted{{K::Double}, Value("2.5"), Value::number(2.5)},
        // Currency: four decimals, half to even on the decimal digits.
        Accepted{{K::Currency}, Value("12.34565"), Value::currency(123456)},
        Accepted{{K::Currency}, Value("1.00015"), Value::currency(10002)},
        Accepted{{K::Currency}, Value::number(-0.00005), Value::currency(0)},
        // Text is read exactly, to Currency's ends; digits past four places round half to even.
        Accepted{{K::Currency}, Value("922337203685477.5807"), Value::currency(INT64_MAX)},
        Accepted{{K::Currency}, Value("-922337203685477.5808"), Value::currency(INT64_MIN)},
        Accepted{{K::Currency}, Value("($1,000.00005)"), Value::currency(-10000000)},
        Accepted{{K::Currency}, Value("0.00015"), Value::currency(2)},
        Accepted{{K::Currency}, Value("1.5e2"), Value::currency(1500000)},
        // Yes/No: words in any case, numbers, numeric text.
        Accepted{{K::YesNo}, Value("yes"), Value::boolean(true)},
        Accepted{{K::YesNo}, Value("OFF"), Value::boolean(false)},
        Accepted{{K::YesNo}, Value("-1"), Value::boolean(true)},
        Accepted{{K::YesNo}, Value::number(0), Value::boolean(false)},
        // Dates from serials and the text forms; day and month swap when only that reads.
        Accepted{{K::Date}, Value::number(0), date(1899, 12, 30)},
        Accepted{{K::Date}, Value("12/31/99"), date(1999, 12, 31)},
        Accepted{{K::Date}, Value("1/2/29"), date(2029, 1, 2)}, Accepted{{K::Date}, Value("1/2/30"), date(1930, 1, 2)},
        Accepted{{K::Date}, Value("25/12/2004"), date(2004, 12, 25)},
        Accepted{{K::Date}, Value("2004-02-29"), date(2004, 2, 29)},
        Accepted{{K::Date}, Value("3-7-2004 12:30 AM"), date(2004, 3, 7, 0, 30)},
        Accepted{{K::Date}, Value("7 Mar 2004 17:45:10"), date(2004, 3, 7, 17, 45, 10)},
        Accepted{{K::Date}, Value("March 7, 2004"), date(2004, 3, 7)},
        Accepted{{K::Date}, Value("1/1/1850"), date(1850, 1, 1)},
        Accepted{{K::Date}, Value("1/1/100"), date(100, 1, 1)},
        Accepted{{K::Date}, Value("12/31/9999"), date(9999, 12, 31)}));

struct Refused {
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
    ::testing::Values(Refused{{K::Text, 3}, Value("abcd")}, Refused{{K::Text, 3}, Value("a\U0001F600\U0001F600")},
                      Refused{{K::Text, 3}, Value::number(1234)},
                      Refused{{K::Long}, Value("")}, Refused{{K::Long}, Value("  ")}, Refused{{K::Long}, Value("12a")},
                      Refused{{K::Long}, Value("2147483648")}, Refused{{K::Integer}, Value("32767.5")},
                      Refused{{K::Byte}, Value("-1")}, Refused{{K::Double}, Value("1e")},
                      Refused{{K::Currency}, Value("ten")}, Refused{{K::Currency}, Value("922337203685477.5808")},
                      Refused{{K::Currency}, Value("-922337203685477.58086")}, Refused{{K::YesNo}, Value("")},
                      Refused{{K::YesNo}, Value("maybe")}, Refused{{K::Date}, Value("13/45/2004")},
                      Refused{{K::Date}, Value("2/30/2004")}, Refused{{K::Date}, Value("")},
                      Refused{{K::Date}, Value("12/31/99999")}, Refused{{K::Date}, Value("1/1/10000")},
                      Refused{{K::Date}, Value("12:30")}, Refused{{K::Date}, Value::boolean(true)}));

TEST(NumberText, FormatsAsCStr) {
    const std::pair<double, const char *> cases[] = {{12.5, "12.5"},
                                                     {-3, "-3"},
                                                     {1e20, "1E+20"},
                                                     {123456789012345.0, "123456789012345"},
                                                     {0.1 + 0.2, "0.3"},
                                                     {1e-7, "1E-07"},
                                                     {0.001, "0.001"},
                                                     {1.0 / 3, "0.333333333333333"},
                                                     // A damaged workbook can hold what no VB number is.
                                                     {HUGE_VAL, "1.#INF"},
                                                     {-HUGE_VAL, "-1.#INF"},
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
