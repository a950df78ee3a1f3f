// The database component: what a column of each kind makes of a value assigned to it, and the
// recordset on a real park file: opening, the query forms, appending, finding by ID, refusing values,
// cancelling, deleting while walking, and the columns' defaults.
#include "db/Recordset.h"
#include "base/VbDate.h"
#include "base/VbNumber.h"
#include "db/ColumnConvert.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "support/ParkFixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace tarnwick {
namespace {

const auto n = [](double number) { return Value::number(number); };
const auto money = [](std::int64_t scaled) { return Value::currency(scaled); };
const auto date = [](int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return Value::date(SerialFromParts({y, m, d, h, mi, s}));
};
using K = ColumnKind;
const std::nullopt_t refused = std::nullopt;

// Inputs given to a column of each kind, each with what is stored, or none when it is refused.
TEST(ColumnConversion, StoresTheConvertedValueOrRefusesIt) {
    using Cases = std::vector<std::pair<Value, std::optional<Value>>>;
    // clang-format off
    const std::tuple<const char *, ColumnType, Cases> kinds[] = {
        // Empty and Null store Null anywhere; "" is a text, not Empty. Text is the CStr of numbers,
        // booleans and dates.
        {"text of other kinds", {K::Text, 30}, {{Value(), Value::null()}, {"", Value("")},
            {n(1e20), Value("1E+20")}, {Value::boolean(true), Value("True")}, {date(2004, 3, 7), Value("3/7/2004")},
            {date(2004, 3, 7, 14, 5, 9), Value("3/7/2004 2:05:09 PM")}}},
        // Lengths count UTF-16 units, as Access does, so a character beyond U+FFFF takes two.
        {"text lengths in UTF 16", {K::Text, 4}, {{"Océé", Value("Océé")},
            {"\U0001F600\U0001F600", Value("\U0001F600\U0001F600")}, {"abcde", refused},
            {"a\U0001F600\U0001F600", refused}, {n(12345), refused}}},
        {"memo of 70000", {K::Memo}, {{Value(std::string(70000, 'x')), Value(std::string(70000, 'x'))}}},
        // Whole numbers round half to even and read numeric text.
        {"long", {K::Long}, {{Value(), Value::null()}, {"2.5", n(2)}, {"3.5", n(4)}, {" $1,234 ", n(1234)},
            {"(12)", n(-12)}, {"&HFF", n(255)}, {"", refused}, {"  ", refused}, {"12a", refused},
            {"2147483648", refused}}},
        {"integer", {K::Integer}, {{"-32768", n(-32768)}, {"32767.5", refused}}},
        {"byte", {K::Byte}, {{n(255.4), n(255)}, {"-1", refused}}},
        {"double", {K::Double}, {{"1.5E3", n(1500)}, {"1e", refused}}},
        // Four decimals, half to even; text is read exactly, to Currency's ends.
        {"currency", {K::Currency}, {{"12.34565", money(123456)}, {"1.00015", money(10002)},
            {n(-0.00005), money(0)}, {"922337203685477.5807", money(INT64_MAX)},
            {"-922337203685477.5808", money(INT64_MIN)}, {"($1,000.00005)", money(-10000000)},
            {"1.5e2", money(1500000)}, {"ten", refused}, {"922337203685477.5808", refused},
            {"-922337203685477.58086", refused}}},
        // Words in any case, numbers, numeric text.
        {"yes no", {K::YesNo}, {{"yes", Value::boolean(true)}, {"OFF", Value::boolean(false)},
            {"-1", Value::boolean(true)}, {n(0), Value::boolean(false)}, {"", refused}, {"maybe", refused}}},
        // Serials and the text forms; day and month swap when only that reads; two-digit years below 30
        // are this century's.
        {"date", {K::Date}, {{Value::null(), Value::null()}, {n(0), date(1899, 12, 30)},
            {"12/31/99", date(1999, 12, 31)}, {"1/2/29", date(2029, 1, 2)}, {"1/2/30", date(1930, 1, 2)},
            {"25/12/2004", date(2004, 12, 25)}, {"2004-02-29", date(2004, 2, 29)},
            {"3-7-2004 12:30 AM", date(2004, 3, 7, 0, 30)}, {"7 Mar 2004 17:45:10", date(2004, 3, 7, 17, 45, 10)},
            {"March 7, 2004", date(2004, 3, 7)}, {"1/1/1850", date(1850, 1, 1)}, {"1/1/100", date(100, 1, 1)},
            {"12/31/9999", date(9999, 12, 31)}, {"13/45/2004", refused}, {"2/30/2004", refused}, {"", refused},
            {"1/1/10000", refused}, {"12:30", refused}, {Value::boolean(true), refused}}}};
    // clang-format on
    for (const auto &[rule, column, cases] : kinds)
        for (const auto &[input, expected] : cases) {
            SCOPED_TRACE(::testing::Message() << rule << ": input " << input);
            try {
                const Value stored = ConvertForColumn(column, input);
                EXPECT_TRUE(expected) << "accepted as " << stored;
                EXPECT_EQ(stored, expected.value_or(stored));
            } catch (const DbError &e) {
                EXPECT_FALSE(expected) << "refused: " << e.description();
                EXPECT_EQ(e.number(), dberr::ConversionRefused);
                EXPECT_FALSE(e.description().empty());
            }
        }
}

// Numbers as CStr gives them (a damaged workbook can hold what no VB number is: infinities and NaN
// have their run time's forms), padded to a least number of digits; and the dates' storage form,
// which reads back as written and clamps to the run time's days.
TEST(ConversionText, NumbersAndTheDatesStorageForm) {
    // clang-format off
    const std::pair<double, const char *> numbers[] = {{12.5, "12.5"}, {-3, "-3"}, {1e20, "1E+20"},
        {123456789012345.0, "123456789012345"}, {0.1 + 0.2, "0.3"}, {1e-7, "1E-07"}, {0.001, "0.001"},
        {1.0 / 3, "0.333333333333333"}, {HUGE_VAL, "1.#INF"}, {-HUGE_VAL, "-1.#INF"}, {std::nan(""), "-1.#IND"}};
    const std::pair<const char *, const char *> padded[] = {{"7", "007"}, {"1234", "1234"}, {"-5", "-005"},
        {"2.5", "003"}, {"A12", "A12"}, {"", ""}};
    // clang-format on
    for (const auto &[n, text] : numbers)
        EXPECT_EQ(FormatNumber(n), text);
    for (const auto &[in, out] : padded)
        EXPECT_EQ(FormatMinDigits(in, 3), out) << in;
    for (double s : {SerialFromParts({1850, 6, 1, 23, 59, 59}), SerialFromParts({2026, 12, 5, 9, 5, 0}),
                     SerialFromParts({1899, 12, 29, 6, 0, 0})})
        EXPECT_EQ(ParseIsoDate(FormatIsoDate(s)).value(), s) << FormatIsoDate(s);
    EXPECT_EQ(FormatIsoDate(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(FormatIsoDate(-4.4e84), "0100-01-01 00:00:00");
    EXPECT_EQ(FormatIsoDate(1e300), "9999-12-31 23:59:59");
    EXPECT_EQ(FormatIsoDate(std::nan("")), "0100-01-01 00:00:00");
}

// The recordset through the session's connection to a new park, as the importers, editors and export use it.
class RecordsetTest : public ParkFixture {
protected:
    void open(Recordset &rs, const std::string &query) {
        rs.Open(query, *session.ParkConnection, adOpenStatic, adLockOptimistic);
    }

    // Appends a row with the given values and returns its ID.
    long add(const std::string &table, const std::vector<std::pair<const char *, Value>> &values) {
        Recordset rs;
        open(rs, "SELECT * FROM " + table + " ");
        rs.AddNew();
        for (const auto &[column, value] : values)
            rs.Fields(column) = value;
        rs.Update();
        return static_cast<long>(rs.Fields("ID").GetValue().number());
    }
};

// The number of the database error that `act` throws; 0 when it throws none.
long errorOf(const std::function<void()> &act) {
    try {
        act();
    } catch (const DbError &e) {
        return e.number();
    }
    return 0;
}

// Rows appended are found by their ID and read back with their kinds; a walk visits the rows in order
// and deletes each in turn, and a table without rows has no current row.
TEST_F(RecordsetTest, ValuesWrittenAreFoundByIdReadBackWithTheirKindsAndDeletedInTurn) {
    Recordset rs;
    open(rs, "SELECT * FROM Guest");
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.Fields("Name").GetValue(), DbError);
    add("Guest", {{"Name", Value("Smith, John")}});
    const long id = add("Guest", {{"Name", Value("Océ, Zoë")}});
    add("Guest", {{"Name", Value("Ng, Li")}});
    open(rs, "select * from Guest where ID = " + std::to_string(id));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields("Name").GetValue(), Value("Océ, Zoë"));
    EXPECT_EQ(rs.Fields("Arrival").GetValue(), Value::null());
    rs.Fields("Name") = Value("New");
    rs.Fields("NoPeople") = Value("4");
    rs.Update();
    open(rs, "SELECT * FROM Guest Where ID = " + std::to_string(id));
    EXPECT_EQ(rs.Fields("NoPeople").GetValue(), Value::number(4));
    open(rs, "SELECT * FROM Guest");
    std::string walked;
    for (; !rs.Eof(); rs.MoveNext()) {
        walked += rs.Fields("name").GetValue().toString() + ";";
        rs.Delete();
        rs.Update();
    }
    EXPECT_EQ(walked, "Smith, John;New;Ng, Li;");
    open(rs, "SELECT * FROM Guest");
    EXPECT_EQ(rs.RecordCount(), 0);
}

// Every table, a row appended with one column set: the others hold the defaults of a table designed
// in Access, 0 for numbers and currency, No for Yes/No, nothing for texts, memos and dates.
TEST_F(RecordsetTest, ColumnsNotWrittenHoldTheTablesDefaults) {
    for (const TableDef &table : ParkTables()) {
        auto written = std::find_if(table.columns.begin(), table.columns.end(),
                                    [](const ColumnDef &c) { return c.type.kind == ColumnKind::Text; });
        ASSERT_NE(written, table.columns.end()) << table.name;
        const long id = add(table.name, {{written->name.c_str(), Value("x")}});
        Recordset rs;
        open(rs, "SELECT * FROM " + table.name + " WHERE ID = " + std::to_string(id));
        for (const ColumnDef &column : table.columns) {
            if (column.type.kind == ColumnKind::AutoNumber || column.name == written->name)
                continue;
            const ColumnKind kind = column.type.kind;
            const Value expected = kind == K::Text || kind == K::Memo || kind == K::Date ? Value::null()
                                   : kind == K::YesNo                                    ? Value::boolean(false)
                                   : kind == K::Currency                                 ? Value::currency(0)
                                                                                         : Value::number(0);
            EXPECT_EQ(rs.Fields(column.name).GetValue(), expected) << table.name << "." << column.name;
        }
    }
}

// A file missing (the provider's error, and no file is made) or not a database (its own number),
// queries other than the system's forms, changes through a read-only recordset, and a value a column
// refuses: each refused, and nothing changed.
TEST_F(RecordsetTest, WhatIsRefusedChangesNothing) {
    Connection missing, text;
    missing.SetProperty("Data Source", park.file("none.MDB"));
    EXPECT_EQ(errorOf([&] { missing.Open(); }), -2147467259);
    EXPECT_FALSE(park.exists("none.MDB"));
    park.write("text.MDB", std::string(4096, 'x'));
    text.SetProperty("Data Source", park.file("text.MDB"));
    EXPECT_EQ(errorOf([&] { text.Open(); }), dberr::UnrecognizedFormat);

    Recordset rs;
    for (const char *sql : {"DELETE FROM Guest", "SELECT Name FROM Guest", "SELECT * FROM Guest Where Name = 'x'",
                            "SELECT * FROM Guest; DROP TABLE Guest"})
        EXPECT_EQ(errorOf([&] { open(rs, sql); }), dberr::UnsupportedQuery) << sql;
    EXPECT_NE(errorOf([&] { open(rs, "SELECT * FROM Nowhere"); }), 0);

    rs.Open("SELECT * FROM ParkInfo", *session.ParkConnection, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_THROW(rs.AddNew(), DbError);
    EXPECT_THROW(rs.Fields("SiteType1") = Value("Tent"), DbError);
    EXPECT_EQ(rs.Fields("SiteType1").GetValue(), Value("None"));

    open(rs, "SELECT * FROM Guest ");
    rs.AddNew();
    rs.Fields("Name") = Value("Kept out");
    EXPECT_THROW(rs.Fields("State") = Value("Texas"), DbError);
    rs.CancelUpdate();
    open(rs, "SELECT * FROM Guest ");
    EXPECT_EQ(rs.RecordCount(), 0);
}

} // namespace
} // namespace tarnwick
