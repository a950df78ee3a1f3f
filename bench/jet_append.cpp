// Appends 100,000 generated guests to a new park's Guest table: through the database component into
// an SQLite park, committed in groups as an import commits, or through the Jet engine into a Jet 4
// park, committed as often. Prints the seconds the rows took and the peak memory (KiB).
#include "db/Connection.h"
#include "db/JetParkTables.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetDatabase.h"

#include <chrono>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <variant>
#include <vector>

using namespace tarnwick;

namespace {

constexpr long kRows = 100000;
constexpr long kRowsPerCommit = 4000; // as an import commits

// A guest's value for each column of the park's Guest table after ID: text, a number, a date
// serial, or a Yes/No.
struct Date {
    double serial;
};
using Cell = std::variant<std::string, long, Date, bool>;

std::vector<Cell> guest(long i) {
    const std::string n = std::to_string(i);
    return {"Guest " + n,
            n + " Main Street",
            "Apt " + std::to_string(i % 40),
            "Springfield",
            "TX",
            std::to_string(70000 + i % 9000),
            "555-" + n,
            "556-" + n,
            "guest" + n + "@example.com",
            "Stayed " + n + " times; prefers a shaded site near the lake.",
            i % 2 == 0,
            "Ford F-150",
            "1FTFW1E5" + n,
            "TX-" + n,
            "D" + n,
            "",
            "",
            Date{45292.0 + i % 365},
            Date{45299.0 + i % 365},
            std::to_string(i % 120),
            i % 6,
            30 + i % 10,
            8 + i % 3,
            "Dog",
            i % 3,
            i % 4};
}

void appendToSqlite(const std::string &folder) {
    CreateParkDatabase(folder);
    Connection connection;
    connection.SetProperty("Data Source", folder + "/Park.MDB");
    connection.Open();
    Recordset records;
    records.Open("SELECT * FROM Guest", connection, adOpenKeyset, adLockOptimistic);
    const jet::TableDesign design = JetParkTables()[1];
    connection.BeginGroup();
    for (long i = 0; i < kRows; ++i) {
        records.AddNew();
        const std::vector<Cell> cells = guest(i);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            Field &field = records.Fields(design.columns[c + 1].name);
            if (const auto *text = std::get_if<std::string>(&cells[c]))
                field = Value(*text);
            else if (const auto *number = std::get_if<long>(&cells[c]))
                field = Value::number(static_cast<double>(*number));
            else if (const auto *date = std::get_if<Date>(&cells[c]))
                field = Value::date(date->serial);
            else
                field = Value::boolean(std::get<bool>(cells[c]));
        }
        records.Update();
        if ((i + 1) % kRowsPerCommit == 0) {
            connection.CommitGroup();
            connection.BeginGroup();
        }
    }
    connection.CommitGroup();
    records.Close();
    connection.Close();
}

void appendToJet(const std::string &folder) {
    const std::string path = folder + "/Park.MDB";
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase database(path, true);
    for (const jet::TableDesign &design : JetParkTables())
        database.createTable(design);
    std::vector<jet::Row> rows;
    for (long i = 0; i < kRows; ++i) {
        jet::Row row{jet::JetValue::null()};
        for (const Cell &cell : guest(i)) {
            if (const auto *text = std::get_if<std::string>(&cell))
                row.push_back(jet::JetValue::utf8(*text));
            else if (const auto *number = std::get_if<long>(&cell))
                row.push_back(jet::JetValue::whole(*number));
            else if (const auto *date = std::get_if<Date>(&cell))
                row.push_back(jet::JetValue::date(date->serial));
            else
                row.push_back(jet::JetValue::yesNo(std::get<bool>(cell)));
        }
        rows.push_back(std::move(row));
        if (rows.size() == kRowsPerCommit || i + 1 == kRows) {
            database.append("Guest", rows);
            rows.clear();
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 || (std::strcmp(argv[1], "sqlite") != 0 && std::strcmp(argv[1], "jet") != 0)) {
        std::cerr << "usage: " << argv[0] << " sqlite|jet EMPTY_FOLDER" << std::endl;
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        if (std::strcmp(argv[1], "sqlite") == 0)
            appendToSqlite(argv[2]);
        else
            appendToJet(argv[2]);
    } catch (const std::exception &error) {
        std::cerr << error.what() << std::endl;
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage self {};
    getrusage(RUSAGE_SELF, &self);
    std::cout << seconds << " " << self.ru_maxrss << std::endl;
    return 0;
}
