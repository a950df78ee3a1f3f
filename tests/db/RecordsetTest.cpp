// The database component on a real park file: opening, the query forms, appending, finding by ID,
// refusing values, cancelling, deleting while walking, and the field descriptions.
#include "db/Recordset.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "support/ParkFormatUnderTest.h"
#include "support/TempDir.h"

#include <algorithm>
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

    long addGuest(const std::string &name) {
        Recordset rs;
        rs.Open("SELECT * FROM Guest ", connection, adOpenStatic, adLockOptimistic);
        rs.AddNew();
        rs.Fields("Name") = Value(name);
        rs.Update();
        return static_cast<long>(rs.Fields("ID").GetValue().number());
    }

    long count(const std::string &table) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, connection, adOpenStatic, adLockReadOnly);
        return rs.RecordCount();
    }

    TempDir dir;
    Connection connection;
};

// A missing file is the provider's error, and no file is made; a file that is not a database has its own number.
TEST(ConnectionTest, AFileMissingOrNotADatabaseIsRefused) {
    for (const bool missing : {true, false}) {
        TempDir dir;
        if (!missing)
            dir.write("Park.MDB", std::string(4096, 'x'));
        Connection c;
        c.SetProperty("Data Source", dir.file("Park.MDB"));
        try {
            c.Open();
            ADD_FAILURE() << "opened";
        } catch (const DbError &e) {
            EXPECT_EQ(e.number(), missing ? -2147467259 : dberr::UnrecognizedFormat);
        }
        EXPECT_EQ(dir.exists("Park.MDB"), !missing);
    }
}

TEST_F(RecordsetTest, ValuesWrittenAreFoundByIdAndReadBackWithTheirKinds) {
    addGuest("Smith, John");
    const long id = addGuest("Océ, Zoë");
    {
        Recordset rs;
        rs.Open("select * from Guest where ID = " + std::to_string(id), connection, adOpenStatic, adLockOptimistic);
        ASSERT_EQ(rs.RecordCount(), 1);
        EXPECT_EQ(rs.Fields("Name").GetValue(), Value("Océ, Zoë"));
        EXPECT_EQ(rs.Fields("Arrival").GetValue(), Value::null());
        rs.Fields("Name") = Value("New");
        rs.Fields("NoPeople") = Value("4");
        rs.Update();
    }
    Recordset rs;
    rs.Open("SELECT * FROM Guest Where ID = " + std::to_string(id), connection, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(rs.Fields("Name").GetValue(), Value("New"));
    EXPECT_EQ(rs.Fields("NoPeople").GetValue(), Value::number(4));

    Recordset sites;
    sites.Open("SELECT * FROM Sites ", connection, adOpenStatic, adLockOptimistic);
    sites.AddNew();
    sites.Fields("Number") = Value("12");
    sites.Fields("Water") = Value("Yes");
    sites.Fields("Daily") = Value("$35.125");
    sites.Fields("LastMeterReading") = Value::number(1234.5);
    sites.Update();
    sites.Close();
    sites.Open("SELECT * FROM Sites ", connection, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(sites.Fields("Number").GetValue(), Value::number(12));
    EXPECT_EQ(sites.Fields("Water").GetValue(), Value::boolean(true));
    EXPECT_EQ(sites.Fields("Daily").GetValue(), Value::currency(351250));
    EXPECT_EQ(sites.Fields("LastMeterReading").GetValue(), Value::number(1234.5));
    EXPECT_EQ(sites.Fields("AliasNumber").GetValue(), Value::null());
}

TEST_F(RecordsetTest, WalkingVisitsRowsInOrderBetweenBofAndEofAndDeletesEachInTurn) {
    Recordset empty;
    empty.Open("SELECT * FROM Sites ", connection, adOpenStatic, adLockOptimistic);
    EXPECT_TRUE(empty.Eof());
    EXPECT_TRUE(empty.Bof());
    EXPECT_THROW(empty.Fields("Number").GetValue(), DbError);

    for (const char *name : {"A", "B", "C"})
        addGuest(name);
    Recordset rs;
    rs.Open("SELECT * FROM Guest", connection, adOpenStatic, adLockOptimistic);
    EXPECT_FALSE(rs.Bof());
    rs.MoveLast();
    EXPECT_EQ(rs.Fields(std::string("name")).GetValue(), Value("C"));
    rs.MoveFirst();
    EXPECT_EQ(rs.Fields()[1].GetValue(), Value("A"));
    int deleted = 0;
    for (; !rs.Eof(); ++deleted) {
        rs.Delete();
        rs.Update();
        rs.MoveNext();
    }
    EXPECT_EQ(deleted, 3);
    rs.Close();
    EXPECT_EQ(count("Guest"), 0);
}

TEST_F(RecordsetTest, FieldsReportKindAndSize) {
    Recordset rs;
    rs.Open("SELECT * FROM Guest ", connection, adOpenStatic, adLockOptimistic);
    const std::tuple<const char *, int, long> expected[] = {
        {"ID", 3, 4},      {"Name", 202, 50}, {"State", 202, 2},  {"Notes", 203, 536870910},
        {"NoRent", 11, 2}, {"Arrival", 7, 8}, {"NoPeople", 2, 2}, {"Length", 3, 4}};
    for (const auto &[name, type, size] : expected) {
        EXPECT_EQ(rs.Fields(name).Type(), type) << name;
        EXPECT_EQ(rs.Fields(name).DefinedSize(), size) << name;
    }
    Recordset sites;
    sites.Open("SELECT * FROM Sites ", connection, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(sites.Fields("Daily").Type(), 6);
    EXPECT_EQ(sites.Fields("LastMeterReading").Type(), 5);
    EXPECT_EQ(sites.Fields().Count(), 30);
}

// Every table, a row appended with one column set: the others hold the defaults of a table designed
// in Access, 0 for numbers and currency, No for Yes/No, nothing for texts, memos and dates.
TEST_F(RecordsetTest, ColumnsNotWrittenHoldTheTablesDefaults) {
    for (const TableDef &table : ParkTables()) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table.name + " ", connection, adOpenStatic, adLockOptimistic);
        auto written = std::find_if(table.columns.begin(), table.columns.end(),
                                    [](const ColumnDef &c) { return c.type.kind == ColumnKind::Text; });
        ASSERT_NE(written, table.columns.end()) << table.name;
        rs.AddNew();
        rs.Fields(written->name) = Value("x");
        rs.Update();
        rs.MoveLast();
        for (const ColumnDef &column : table.columns) {
            if (column.type.kind == ColumnKind::AutoNumber || column.name == written->name)
                continue;
            const Value value = rs.Fields(column.name).GetValue();
            const std::string where = table.name + "." + column.name + " = " + value.toString();
            switch (column.type.kind) {
            case ColumnKind::YesNo:
                EXPECT_EQ(value.kind(), Value::Kind::Boolean) << where;
                EXPECT_FALSE(value.boolean()) << where;
                break;
            case ColumnKind::Text:
            case ColumnKind::Memo:
            case ColumnKind::Date:
                EXPECT_EQ(value.kind(), Value::Kind::Null) << where;
                break;
            default:
                EXPECT_NE(value.kind(), Value::Kind::Null) << where;
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
                            "SELECT * FROM Guest; DROP TABLE Guest"}) {
        try {
            rs.Open(sql, connection, adOpenStatic, adLockOptimistic);
            ADD_FAILURE() << sql;
        } catch (const DbError &e) {
            EXPECT_EQ(e.number(), dberr::UnsupportedQuery) << sql;
        }
    }
    EXPECT_THROW(rs.Open("SELECT * FROM Nowhere", connection, adOpenStatic, adLockOptimistic), DbError);

    rs.Open("[ParkInfo]", connection, adOpenForwardOnly, adLockReadOnly, adCmdTable);
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_THROW(rs.AddNew(), DbError);
    EXPECT_THROW(rs.Fields("SiteType1") = Value("Tent"), DbError);
    EXPECT_EQ(rs.Fields("SiteType1").GetValue(), Value("None"));
    rs.Close();

    rs.Open("SELECT * FROM Guest ", connection, adOpenStatic, adLockOptimistic);
    rs.AddNew();
    rs.Fields("Name") = Value("Kept out");
    EXPECT_THROW(rs.Fields("State") = Value("Texas"), DbError);
    rs.CancelUpdate();
    rs.Close();
    EXPECT_EQ(count("Guest"), 0);
}

} // namespace
} // namespace tarnwick
