#include "db/ParkSchema.h"

#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "db/Connection.h"
#include "db/sqlite/Sqlite.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

ColumnDef col(const char *name, ColumnKind kind, int size = 255) {
    return {name, ColumnType{kind, size}};
}

void addAll(TableDef &table, std::initializer_list<const char *> names, ColumnKind kind) {
    for (const char *name : names)
        table.columns.push_back(col(name, kind));
}

std::vector<TableDef> buildTables() {
    using K = ColumnKind;
    TableDef sites{"Sites", {col("ID", K::AutoNumber), col("Number", K::Long), col("AliasNumber", K::Text, 7)}};
    addAll(sites, {"Length", "Width", "ElectricAmp"}, K::Long);
    addAll(sites,
           {"Water", "Sewer", "UnAvail", "Tent", "Camper", "Trailer", "Fifth", "MH", "Cabin", "Cabin7", "Cabin8",
            "Cabin9", "Cabin10"},
           K::YesNo);
    addAll(sites, {"Daily", "Weekly", "Monthly", "Daily2", "Weekly2", "Monthly2", "Mo3", "Mo6", "Mo12"}, K::Currency);
    addAll(sites, {"LastMeterReading", "CurrentMeterReading"}, K::Double);

    TableDef guest{"Guest",
                   {col("ID", K::AutoNumber),     col("Name", K::Text, 50),       col("Address1", K::Text, 50),
                    col("Address2", K::Text, 50), col("City", K::Text, 30),       col("State", K::Text, 2),
                    col("Zip", K::Text, 10),      col("Phone", K::Text, 20),      col("Cell", K::Text, 20),
                    col("Email", K::Text, 60),    col("Notes", K::Memo),          col("NoRent", K::YesNo),
                    col("Vehicle", K::Text, 30),  col("VIN", K::Text, 20),        col("LicensePlate", K::Text, 15),
                    col("DLNumber", K::Text, 20), col("SecLicense", K::Text, 15), col("SecVehicle", K::Text, 30),
                    col("Arrival", K::Date),      col("Departure", K::Date),      col("Site", K::Text, 7),
                    col("NoPeople", K::Integer),  col("Length", K::Long),         col("Width", K::Long),
                    col("Pets", K::Text, 50),     col("Type", K::Integer),        col("TypeOfStay", K::Integer)}};

    TableDef charges{"OtherCharges",
                     {col("ID", K::AutoNumber), col("Name", K::Text, 30), col("Amount", K::Currency),
                      col("QuaOnHand", K::Long), col("ReorderPoint", K::Long), col("Taxable", K::YesNo),
                      col("Type", K::Text, 30), col("Account", K::Text, 50), col("UPC", K::Text, 20),
                      col("OrdQua", K::Long), col("Cost", K::Currency)}};

    TableDef parkInfo{"ParkInfo", {col("ID", K::AutoNumber)}};
    for (int i = 1; i <= 10; ++i)
        parkInfo.columns.push_back({"SiteType" + std::to_string(i), ColumnType{K::Text, 10}});

    return {sites, guest, charges, parkInfo};
}

std::string defaultClause(ColumnKind kind) {
    const std::string value = AccessDefault(kind);
    return value.empty() ? "" : value == "No" ? " DEFAULT 0" : " DEFAULT " + value;
}

std::string createStatement(const TableDef &table) {
    std::string sql = "CREATE TABLE \"" + table.name + "\" (";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        sql += (i ? ", \"" : "\"") + table.columns[i].name + "\" " + table.columns[i].type.declaration() +
               defaultClause(table.columns[i].type.kind);
    return sql + ");\n";
}

} // namespace

std::string AccessDefault(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Long:
    case ColumnKind::Integer:
    case ColumnKind::Byte:
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::Currency:
        return "0";
    case ColumnKind::YesNo:
        return "No";
    case ColumnKind::AutoNumber:
    case ColumnKind::Date:
    case ColumnKind::Text:
    case ColumnKind::Memo:
        break;
    }
    return "";
}

const std::vector<TableDef> &ParkTables() {
    static const std::vector<TableDef> tables = buildTables();
    return tables;
}

std::string ParkSchemaProblem(sqlite3 *db) {
    std::vector<std::vector<std::string>> present; // each table's columns, lower-cased
    for (const TableDef &table : ParkTables()) {
        Statement info(db, "PRAGMA table_info(\"" + table.name + "\")");
        present.emplace_back();
        while (info.step())
            present.back().push_back(LowerCase(reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1))));
        if (present.back().empty())
            return "it has no " + table.name + " table";
    }
    for (std::size_t t = 0; t < ParkTables().size(); ++t)
        for (const ColumnDef &column : ParkTables()[t].columns)
            if (std::find(present[t].begin(), present[t].end(), LowerCase(column.name)) == present[t].end())
                return "its " + ParkTables()[t].name + " table has no " + column.name + " column";
    return {};
}

void RequireParkTables(Connection &connection) {
    const std::string problem = ParkSchemaProblem(connection.handle());
    if (!problem.empty())
        throw DbError(dberr::UnrecognizedFormat,
                      connection.Property("Data Source") + " is not a park database: " + problem + ".");
}

void CreateParkDatabase(const std::string &folder) {
    const std::string path = folder + "/Park.MDB";
    if (PathExists(path))
        throw DbError(dberr::StorageFailure, "Database '" + path + "' already exists.");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw DbError(dberr::StorageFailure, "The folder " + folder + " cannot be made: " + error.message() + ".");

    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        ThrowSqlite(raw);

    std::string sql = "PRAGMA journal_mode=WAL;\nBEGIN;\n";
    for (const TableDef &table : ParkTables())
        sql += createStatement(table);
    sql += "INSERT INTO \"ParkInfo\" (";
    for (int i = 1; i <= 10; ++i)
        sql += std::string(i > 1 ? ", " : "") + "\"SiteType" + std::to_string(i) + "\"";
    sql += ") VALUES ('None', 'None', 'None', 'None', 'None', 'None', 'None', 'None', 'None', 'None');\nCOMMIT;";
    Execute(db.get(), sql);
}

} // namespace tarnwick
