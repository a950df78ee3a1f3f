// A Jet park the management software shares: besides the park tables it holds tables, columns and
// relationships of its own. A change-over through the terminal program leaves every
// page of those objects as it was, and rows appended take the defaults of the extra columns.
#include "db/JetParkTables.h"
#include "db/Recordset.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/NamedRows.h"
#include "support/JetPages.h"
#include "support/JetReaders.h"
#include "support/ParkQuery.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::ColumnKind;
using jet::JetValue;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";
const std::vector<std::string> kParkTables = {"Sites", "Guest", "OtherCharges", "ParkInfo"};

// The saved query "Walk-ins" as Access keeps one: a catalog row of type 5 in the Tables container,
// numbered after the other objects without a definition page, and its parts in MSysQueries, each
// keyed on the object, the part's kind and a four-byte order.
constexpr const char *kSavedQuerySql = "SELECT [Guest].[LastName],[Guest].[City] FROM [Guest] WHERE "
                                       "((([Guest].[Referral])=\"Walk-in\")) ORDER BY [Guest].[LastName]";
void addSavedQuery(jet::JetDatabase &database) {
    const jet::TableDef objects = database.table("MSysObjects");
    std::int64_t id = INT32_MIN;
    JetValue owner;
    for (const jet::NamedRow &row : jet::NamedRows(database.file(), objects)) {
        if (row.at("Id").integer < 0)
            id = std::max(id, row.at("Id").integer);
        if (row.at("Name").text == "Tables")
            owner = row.at("Owner");
    }
    ++id;
    const JetValue made = JetValue::date(46000.5);
    database.append("MSysObjects", {jet::RowOf(objects, {{"Id", JetValue::whole(id)},
                                                        {"ParentId", JetValue::whole(0x0F000001)},
                                                        {"Name", JetValue::utf8("Walk-ins")},
                                                        {"Type", JetValue::whole(5)},
                                                        {"DateCreate", made},
                                                        {"DateUpdate", made},
                                                        {"Owner", owner},
                                                        {"Flags", JetValue::whole(0)}})});
    const jet::TableDef queries = database.table("MSysQueries");
    const auto part = [&](int attribute, char order, const char *name, const char *expression, bool flagged) {
        jet::NamedRow values = {{"ObjectId", JetValue::whole(id)},
                                                  {"Attribute", JetValue::whole(attribute)},
                                                  {"Order", JetValue::bytes({'\0', '\0', '\0', order})}};
        if (name)
            values["Name1"] = JetValue::utf8(name);
        if (expression)
            values["Expression"] = JetValue::utf8(expression);
        if (flagged)
            values["Flag"] = JetValue::whole(0);
        return jet::RowOf(queries, values);
    };
    database.append("MSysQueries", {part(0, 1, nullptr, nullptr, true), part(5, 1, "Guest", nullptr, false),
                                    part(6, 1, nullptr, "[Guest].[LastName]", true),
                                    part(6, 2, nullptr, "[Guest].[City]", true),
                                    part(8, 1, nullptr, "((([Guest].[Referral])=\"Walk-in\"))", false),
                                    part(11, 1, nullptr, "[Guest].[LastName]", false), part(255, 1, nullptr, nullptr, false)});
}

// The park tables, Sites and Guest each with two columns of the management software's, written into
// the Jet database `path`.
void addParkAndItsNeighbours(const std::string &path) {
    jet::JetDatabase database(path, true);
    for (jet::TableDesign design : JetParkTables()) {
        if (design.name == "Sites")
            design.columns.insert(design.columns.end(), {{"Amenities", ColumnKind::Text, 50, false, "\"None\""},
                                                         {"PullThrough", ColumnKind::YesNo, 0, false, "Yes"}});
        if (design.name == "Guest")
            design.columns.insert(design.columns.end(), {{"Visits", ColumnKind::Long, 0, false, "1"},
                                                         {"Referral", ColumnKind::Text, 20, false, "\"Walk-in\""}});
        database.createTable(design);
    }
    jet::Row info{JetValue::null()};
    for (int type = 1; type <= 10; ++type)
        info.push_back(JetValue::utf8("None"));
    database.append("ParkInfo", {info});
    addSavedQuery(database);
}

// The pages of every table but the park's, system tables included.
std::set<std::uint32_t> pagesOfOtherObjects(const std::string &path) {
    const jet::JetDatabase database(path);
    std::set<std::uint32_t> pages;
    for (const std::string &name : database.tableNames())
        if (std::find(kParkTables.begin(), kParkTables.end(), name) == kParkTables.end())
            for (std::uint32_t page : PagesHeldBy(database, name))
                pages.insert(page);
    return pages;
}

class SharedPark : public ::testing::Test {
protected:
    CliResult run(const std::string &arguments) {
        return RunProgram("timeout", "60 '" + std::string(CLI_PATH) + "' --park '" + park.path() + "' " + arguments);
    }

    // Runs a change-over on the park and checks what it left.
    void changeOverLeavesTheNeighboursAlone() {
        const std::string file = park.file("Park.MDB");
        addParkAndItsNeighbours(file);
        ASSERT_EQ(MdbQuery(file, "Walk-ins"), kSavedQuerySql);
        const std::set<std::uint32_t> neighbours = pagesOfOtherObjects(file);
        ASSERT_GT(neighbours.size(), 20u); // the catalog, the permissions and the other tables
        const std::string before = TempDir::readFile(file);

        std::string sites = "\"Site\",\"Len\"\r\n", guests = "\"Last\",\"First\",\"Town\"\r\n", items = "\"Item\"\r\n";
        for (int i = 1; i <= 600; ++i) {
            sites += std::to_string(i) + "," + std::to_string(20 + i % 40) + "\r\n";
            guests += "\"Last" + std::to_string(i) + "\",\"First\",\"Town " + std::to_string(i % 13) + "\"\r\n";
            items += "\"Item " + std::to_string(i) + "\"\r\n";
        }
        park.write("sites.csv", sites);
        park.write("guests.csv", guests);
        park.write("items.csv", items);
        ChangePark(file, "ParkInfo", [](Recordset &info) {
            info.Fields("SiteType1") = "Tent";
            info.Update();
        });
        for (const char *step :
             {"import sites sites.csv --map Number=Site --map Length=Len --backup yes",
              "import guests guests.csv --map LastName=Last --map FirstName=First --map City=Town --backup no",
              "import charges items.csv --map Name=Item --backup no", "edit site 1 Length=60 Water=yes",
              "clone-site 2 3 --type 1", "delete site 3", "delete guest 7",
              "purge charges --yes --backup yes --compact yes",
              "import charges items.csv --map Name=Item --backup no"}) {
            const CliResult result = run(step);
            ASSERT_EQ(result.status, 0) << step << "\n" << result.out;
        }

        const std::string after = TempDir::readFile(file);
        for (std::uint32_t page : neighbours)
            EXPECT_EQ(after.compare(page * 4096, 4096, before, page * 4096, 4096), 0) << "page " << page;
        EXPECT_EQ(MdbQuery(file, "Walk-ins"), kSavedQuerySql);

        // The columns the import did not fill hold their defaults, as mdb-export reads them.
        const std::map<std::string, std::map<std::string, std::string>> defaults = {
            {"Sites", {{"Amenities", "None"}, {"PullThrough", "1"}}},
            {"Guest", {{"Visits", "1"}, {"Referral", "Walk-in"}}}};
        for (const auto &[table, columns] : defaults) {
            const ExportedTable exported = MdbExport(file, table);
            ASSERT_GE(exported.rows.size(), 599u) << table;
            for (const auto &[column, value] : columns) {
                const std::size_t at = static_cast<std::size_t>(
                    std::find(exported.columns.begin(), exported.columns.end(), column) - exported.columns.begin());
                ASSERT_LT(at, exported.columns.size()) << column;
                for (const auto &row : exported.rows)
                    ASSERT_EQ(row[at].value_or("(null)"), value) << table << "." << column;
            }
        }
        const jet::JetDatabase database(file);
        for (const std::string &name : kParkTables)
            EXPECT_EQ(CompareWithOutsideReaders(file, name), "") << name;
        std::vector<std::string> indexed = kParkTables;
        indexed.insert(indexed.end(), {"MSysObjects", "MSysQueries"});
        for (const std::string &name : indexed) {
            for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(name)))
                EXPECT_TRUE(report.problems.empty()) << name << " " << report.index << ": " << report.problems.front();
        }
    }

    TempDir park;
};

TEST_F(SharedPark, ADatabaseTheEngineMadeKeepsItsOtherTable) {
    const std::string file = park.file("Park.MDB");
    jet::CreateEmptyDatabase(file);
    {
        jet::JetDatabase database(file, true);
        database.createTable({"Reservations",
                              {{"ID", ColumnKind::Long, 0, true, ""},
                               {"GuestID", ColumnKind::Long, 0, false, "0"},
                               {"Arrive", ColumnKind::DateTime, 0, false, ""},
                               {"Notes", ColumnKind::Memo, 0, false, ""}},
                              "ID"});
        std::vector<jet::Row> reservations;
        for (int i = 0; i < 300; ++i)
            reservations.push_back({JetValue::null(), JetValue::whole(i), JetValue::date(46000 + i),
                                    JetValue::utf8(std::string(static_cast<std::size_t>(i) * 7, 'n'))});
        database.append("Reservations", reservations);
    }
    changeOverLeavesTheNeighboursAlone();
}

TEST_F(SharedPark, ADatabaseAccessMadeKeepsItsTablesAndRelationships) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    // Made by Access: a table of its own, and navigation tables joined by relationships.
    for (const char *made : {"DateTestDatabase.mdb", "testUnicodeCompV2003.mdb"}) {
        SCOPED_TRACE(made);
        fs::remove(park.file("Park.MDB"));
        fs::copy_file(kAccessFolder / made, park.file("Park.MDB"));
        ASSERT_EQ(MdbExport(park.file("Park.MDB"), "MSysRelationships").rows.size(), 2u);
        changeOverLeavesTheNeighboursAlone();
    }
}

} // namespace
} // namespace tarnwick
