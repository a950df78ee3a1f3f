#include "db/ParkSchema.h"

#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "db/Connection.h"
#include "db/JetParkTables.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetDatabase.h"
#include "db/sqlite/Sqlite.h"

#include <algorithm>
#include <cstdio>
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

std::string ParkSchemaProblem(Engine &engine) {
    std::vector<std::vector<std::string>> present; // each table's columns, in capitals
    for (const TableDef &table : ParkTables()) {
        present.emplace_back();
        try {
            const std::unique_ptr<EngineTable> opened = engine.openTable(table.name);
            for (const EngineColumn &column : opened->columns())
                present.back().push_back(UpperCase(column.name));
        } catch (const DbError &error) {
            if (error.number() != dberr::NoSuchTable)
                throw;
            return "it has no " + table.name + " table";
        }
    }
    for (std::size_t t = 0; t < ParkTables().size(); ++t)
        for (const ColumnDef &column : ParkTables()[t].columns)
            if (std::find(present[t].begin(), present[t].end(), UpperCase(column.name)) == present[t].end())
                return "its " + ParkTables()[t].name + " table has no " + column.name + " column";
    return {};
}

void RequireParkTables(Connection &connection) {
    const std::string problem = ParkSchemaProblem(connection.engine());
    if (!problem.empty())
        throw DbError(dberr::UnrecognizedFormat,
                      connection.Property("Data Source") + " is not a park database: " + problem + ".");
}

namespace {

// The ParkInfo row of a new park: ten site types of "None".
std::vector<std::string> firstSiteTypes() {
    return std::vector<std::string>(10, "None");
}

void createSqlitePark(const std::string &path) {
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        ThrowSqlite(raw);

    std::string sql = "PRAGMA journal_mode=WAL;\nBEGIN;\n";
    for (const TableDef &table : ParkTables())
        sql += createStatement(table);
    std::string names, values;
    for (std::size_t i = 0; i < firstSiteTypes().size(); ++i) {
        names += std::string(i > 0 ? ", " : "") + "\"SiteType" + std::to_string(i + 1) + "\"";
        values += std::string(i > 0 ? ", " : "") + "'" + firstSiteTypes()[i] + "'";
    }
    sql += "INSERT INTO \"ParkInfo\" (" + names + ") VALUES (" + values + ");\nCOMMIT;";
    Execute(db.get(), sql);
}

// A Jet 4 park: an empty database, the park tables as Access would define them, the ParkInfo row.
// A failure part way leaves no file behind.
void createJetPark(const std::string &path) {
    jet::CreateEmptyDatabase(path);
    try {
        jet::JetDatabase db(path, true);
        for (const jet::TableDesign &design : JetParkTables())
            db.createTable(design);
        jet::Row info{jet::JetValue::null()};
        for (const std::string &type : firstSiteTypes())
            info.push_back(jet::JetValue::utf8(type));
        db.append("ParkInfo", {info});
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
}

} // namespace

void CreateParkDatabase(const std::string &folder, ParkFormat format) {
    const std::string path = folder + "/Park.MDB";
    if (PathExists(path))
        throw DbError(dberr::StorageFailure, "Database '" + path + "' already exists.");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw DbError(dberr::StorageFailure, "The folder " + folder + " cannot be made: " + error.message() + ".");
    if (format == ParkFormat::Jet)
        createJetPark(path);
    else
        createSqlitePark(path);
}

} // namespace tarnwick
