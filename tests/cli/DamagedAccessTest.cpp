// Damaged Access files on which libmdb loops, floods its output or loses a table: each listing ends
// within 15 s under 1 GB with the designed output only, and an incomplete list is announced.
#include "support/DamagedAccess.h"
#include "support/CliPark.h"

#include <algorithm>

namespace tarnwick {
namespace {

struct Damage {
    DamagedAccess recipe;
    // Whether the listing fails, or gives the list with a warning. Where libmdb's reading depends on
    // what its memory held before (the flood), either may happen.
    enum { Fails, Warns, Either } outcome;
    // A table of the undamaged file that the damaged list lacks.
    std::string lost;
};
void PrintTo(const Damage &damage, std::ostream *os) {
    *os << damage.recipe.name;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

class DamagedAccessTest : public CliPark, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedAccessTest, ListingEndsSoonSmallAndClean) {
    const Damage &damage = GetParam();
    const std::string file = WriteDamaged(park, damage.recipe);
    const ObservedRun run = apart({"tables", file});
    EXPECT_LT(run.seconds, 15.0);
    EXPECT_LT(run.peakMegabytes, 1024);
    EXPECT_EQ(run.err, "") << "libmdb's output reached the terminal";
    const std::vector<std::string> said = Lines(run.out);
    const bool failed = !said.empty() && said[0] == "ListTables: Error!";
    EXPECT_NE(failed ? Damage::Warns : Damage::Fails, damage.outcome) << run.out;
    if (failed) {
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(said.size(), 2u) << run.out;
        // The reason (memory or time) depends on how fast libmdb runs away on this machine.
        EXPECT_EQ(said[1].rfind("-2147467259: The database is damaged and could not be read (reading it ", 0), 0u)
            << said[1];
        return;
    }
    EXPECT_EQ(run.status, 0);
    ASSERT_GE(said.size(), 2u) << run.out;
    EXPECT_EQ(said[0], "Reading the tables of " + file + " gave warnings, so the list of tables may be incomplete.");
    EXPECT_EQ(said[1].rfind("The first warning was: ", 0), 0u) << said[1];
    // Every other line is a table of the undamaged file, in its order.
    std::vector<std::string> whole =
        Lines(apart({"tables", std::string(TESTDATA_DIR) + "/access/" + damage.recipe.source}).out);
    whole.erase(std::remove(whole.begin(), whole.end(), damage.lost), whole.end());
    EXPECT_EQ(std::vector<std::string>(said.begin() + 2, said.end()), whole);
}

INSTANTIATE_TEST_SUITE_P(Recipes, DamagedAccessTest,
                         ::testing::Values(Damage{kLoopingCatalog, Damage::Fails, ""},
                                           Damage{kWarningFlood, Damage::Either, ""},
                                           Damage{kHexDump, Damage::Warns, ""},
                                           Damage{kDroppedTable, Damage::Warns, "Order Details"}),
                         [](const auto &info) {
                             const std::string name = info.param.recipe.name;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(DamagedAccessTest, ALostTableIsReportedAndAListedOneExports) {
    const ObservedRun fields = apart({"fields", WriteDamaged(park, kDroppedTable), "Order Details"});
    EXPECT_EQ(fields.status, 1);
    EXPECT_NE(fields.out.find("Fields: Error!\n-2147217865: "), std::string::npos) << fields.out;

    const ObservedRun exported = apart({"export", WriteDamaged(park, kHexDump), "Orders"});
    EXPECT_EQ(exported.status, 0) << exported.out;
    EXPECT_EQ(Lines(exported.out).back(), "Orders.xls Saved!");
    EXPECT_EQ(exported.err, "");
    EXPECT_TRUE(park.exists("Orders.xls"));
}

TEST_F(DamagedAccessTest, AFileWhoseCatalogHoldsNoTableIsCalledDamagedAndAnEmptyDatabaseIsNot) {
    // Cut short, the catalog pages of these files are gone, yet libmdb opens them.
    for (const auto &[source, size] : {std::pair<const char *, std::size_t>{"nwind.mdb", 13260},
                                       {"DateTestDatabase.mdb", 71323},
                                       {"testUnicodeCompV2003.mdb", 71323}}) {
        SCOPED_TRACE(source);
        park.write("cut.mdb", TempDir::readFile(std::string(TESTDATA_DIR) + "/access/" + source).substr(0, size));
        const ObservedRun cut = apart({"tables", park.file("cut.mdb")});
        EXPECT_EQ(cut.status, 1);
        EXPECT_EQ(cut.out, "ListTables: Error!\n-2147467259: No table was found in " + park.file("cut.mdb") +
                               ": the file may be damaged.\n");
    }
    const ObservedRun empty = apart({"tables", std::string(TESTDATA_DIR) + "/access/emptyJet4.mdb"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

} // namespace
} // namespace tarnwick
