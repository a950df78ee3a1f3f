// The database component on a real park file: opening, the query forms, appending, finding by ID,
// refusing values, cancelling, deleting while walking, and the field descriptions.
#include "db/Recordset.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "support/ParkFormatUnderTest.h"
#include "support/TempDir.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateParkDatabase(dir.path(), ParkFormatUnderTest());
        connection.Provider = "Microsoft.Jet.OLEDB.4.0";
        connection.SetProperty("Data Source", dir.file("Park.MDB"));
        connection.Open();
    }

    void open(Recordset &rs, const std::string &query) { rs.Open(query, connection, adOpenStatic, adLockOptimistic); }

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

    TempDir dir;
    Connection connection;
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

// A missing file is the provider's error, and no file is made; a file that is not a database has its own number.
TEST(ConnectionTest, AFileMissingOrNotADatabaseIsRefused) {
    for (const bool missing : {true, false}) {
        TempDir dir;
        if (!missing)
            dir.write("Park.MDB", std::string(4096, 'x'));
        Connection c;
        c.SetProperty("Data Source", dir.file("Park.MDB"));
        EXPECT_EQ(errorOf([&] { c.Open(); }), missing ? -2147467259 : dberr::UnrecognizedFormat);
        EXPECT_EQ(dir.exists("Park.MDB"), !missing);
    }
}

TEST_F(RecordsetTest, ValuesWrittenAreFoundByIdAndReadBackWithTheirKinds) {
    add("Guest", {{"Name", Value("Smith, John")}});
    const long id = add("Guest", {{"Name", Value("Océ, Zoë")}});
    Recordset rs;
    open(rs, "select * from Guest where ID = " + std::to_string(id));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Fields("Name").GetValue(), Value("Océ, Zoë"));
    EXPECT_EQ(rs.Fields("Arrival").GetValue(), Value::null());
    rs.Fields("Name") = Value("New");
    rs.Fields("NoPeople") = Value("4");
    rs.Update();
    rs.Close();
    open(rs, "SELECT * FROM Guest Where ID = " + std::to_string(id));
    EXPECT_EQ(rs.Fields("Name").GetValue(), Value("New"));
    EXPECT_EQ(rs.Fields("NoPeople").GetValue(), Value::number(4));

    add("Sites", {{"Number", Value("12")},
                  {"Water", Value("Yes")},
                  {"Daily", Value("$35.125")},
                  {"LastMeterReading", Value::number(1234.5)}});
    Recordset sites;
    open(sites, "SELECT * FROM Sites ");
    const std::pair<const char *, Value> stored[] = {{"Number", Value::number(12)},
                                                     {"Water", Value::boolean(true)},
                                                     {"Daily", Value::currency(351250)},
                                                     {"LastMeterReading", Value::number(1234.5)},
                                                     {"AliasNumber", Value::null()}};
    for (const auto &[column, value] : stored)
        EXPECT_EQ(sites.Fields(column).GetValue(), value) << column;
}

TEST_F(RecordsetTest, WalkingVisitsRowsInOrderBetweenBofAndEofAndDeletesEachInTurn) {
    Recordset rs;
    open(rs, "SELECT * FROM Sites ");
    EXPECT_TRUE(rs.Eof() && rs.Bof());
    EXPECT_THROW(rs.Fields("Number").GetValue(), DbError);
    rs.Close();

    for (const char *name : {"A", "B", "C"})
        add("Guest", {{"Name", Value(name)}});
    open(rs, "SELECT * FROM Guest");
    std::string walked;
    for (; !rs.Eof(); rs.MoveNext()) {
        walked += rs.Fields("name").GetValue().toString();
        rs.Delete();
        rs.Update();
    }
    EXPECT_EQ(walked, "ABC");
    rs.Close();
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
        add(table.name, {{written->name.c_str(), Value("x")}});
        Recordset rs;
        open(rs, "SELECT * FROM " + table.name + " ");
        rs.MoveLast();
        for (const ColumnDef &column : table.columns) {
            if (column.type.kind == ColumnKind::AutoNumber || column.name == written->name)
                continue;
            const Value value = rs.Fields(column.name).GetValue();
            const ColumnKind kind = column.type.kind;
            const std::string where = table.name + "." + column.name + " = " + value.toString();
            const bool empty = kind == ColumnKind::Text || kind == ColumnKind::Memo || kind == ColumnKind::Date;
            EXPECT_EQ(value.isNull(), empty) << where;
            if (!empty) {
                EXPECT_EQ(value.kind() == Value::Kind::Boolean, kind == ColumnKind::YesNo) << where;
                EXPECT_EQ(value.number(), 0.0) << where;
            }
        }
    }
}

// Queries other than the system's forms, changes through a read-only recordset, and a value a column
// refuses: each refused, and nothing changed.
TEST_F(RecordsetTest, WhatIsRefusedChangesNothing) {
    Recordset rs;
    for (const char *sql : {"DELETE FROM Guest", "SELECT Name FROM Guest", "SELECT * FROM Guest Where Name = 'x'",
                            "SELECT * FROM Guest; DROP TABLE Guest"})
        EXPECT_EQ(errorOf([&] { open(rs, sql); }), dberr::UnsupportedQuery) << sql;
    EXPECT_NE(errorOf([&] { open(rs, "SELECT * FROM Nowhere"); }), 0);

    rs.Open("[ParkInfo]", connection, adOpenForwardOnly, adLockReadOnly, adCmdTable);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_THROW(rs.AddNew(), DbError);
    EXPECT_THROW(rs.Fields("SiteType1") = Value("Tent"), DbError);
    EXPECT_EQ(rs.Fields("SiteType1").GetValue(), Value("None"));
    rs.Close();

    open(rs, "SELECT * FROM Guest ");
    rs.AddNew();
    rs.Fields("Name") = Value("Kept out");
    EXPECT_THROW(rs.Fields("State") = Value("Texas"), DbError);
    rs.CancelUpdate();
    rs.Close();
    open(rs, "SELECT * FROM Guest ");
    EXPECT_EQ(rs.RecordCount(), 0);
}

} // namespace
} // namespace tarnwick
