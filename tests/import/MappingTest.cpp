// Matching titles to columns by themselves, and saved mappings: their file, their reuse, and the
// files that cannot be used.
#include "import/Mapping.h"
#include "support/CaseName.h"
#include "support/CliPark.h"
#include "support/ParkFixture.h"
#include "support/WorkbookDumps.h"

#include <sys/stat.h>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

struct MatchCase {
    const char *source;
    ImportTable table;
    const char *titles;   // cut by commas
    const char *expected; // the slots given a title, "Caption=Title" cut by commas
};
void PrintTo(const MatchCase &c, std::ostream *os) {
    *os << c.source;
}

class AutoMatching : public ::testing::TestWithParam<MatchCase> {};

TEST_P(AutoMatching, PicksThePlainMatchesAndNeverAWrongOne) {
    const MatchCase &c = GetParam();
    ImportWindowState window;
    std::vector<MappingSlot> &slots = window.slots(c.table);
    const Texts titles = SplitAt(c.titles, ',');
    const MatchResult result = AutoMatch(slots, c.table, titles);
    Texts chosen;
    for (const MappingSlot &slot : slots)
        if (!slot.title.empty())
            chosen.push_back(slot.caption + "=" + slot.title);
    EXPECT_EQ(chosen, *c.expected ? SplitAt(c.expected, ',') : Texts{});
    EXPECT_EQ(result.matched.size(), chosen.size());
    EXPECT_EQ(result.leftover.size(), titles.size() - chosen.size());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, AutoMatching, ::testing::Values(
    MatchCase{"demo guests.xls", ImportTable::Guests,
              "First,Last,Street,Unit,Town,State,Zip,Phone,Mobile,Email,Arrive,Depart,Vehicle,Plate,DL,People,Pets,Notes",
              "FirstName=First,LastName=Last,Address1=Street,Address2=Unit,City=Town,State=State,Zip=Zip,Phone=Phone,"
              "Cell=Mobile,Email=Email,Arrival=Arrive,Departure=Depart,Vehicle=Vehicle,LicensePlate=Plate,DLNumber=DL,"
              "NoPeople=People,Pets=Pets,Notes=Notes"},
    MatchCase{"demo pos.txt", ImportTable::Charges, "Item,Price,OnHand,Reorder,Taxable,UPC",
              "Name=Item,Amount=Price,QuaOnHand=OnHand,ReorderPoint=Reorder,Taxable=Taxable,UPC=UPC"},
    MatchCase{"spelling", ImportTable::Sites, "site_no,E-MAIL,Alias #,elec.amps,Length,Sewer,Daily",
              "Number=site_no,AliasNumber=Alias #,Length=Length,Sewer=Sewer,ElectricAmp=elec.amps,Daily=Daily"},
    // Two titles for one column, or one title for two: the operator decides.
    MatchCase{"ambiguous", ImportTable::Guests, "Phone,Telephone,Notes,Comments,City", "City=City"},
    MatchCase{"profiles.xls", ImportTable::Sites, "PROFIL,a,b,c,d,e,f,g,h,i", ""},
    MatchCase{"Formate.xls", ImportTable::Guests, "Huber,7/3/1907", ""},
    MatchCase{"xf_class.xls", ImportTable::Charges, "RED,RED", ""}),
    [](const auto &info) { return CaseName(info.param.source); });
// clang-format on

TEST(AutoMatch, AChoiceMadeAlreadyIsKept) {
    ImportWindowState window;
    window.siteSlots[0].title = "Length"; // the operator's own choice for Number
    AutoMatch(window.siteSlots, ImportTable::Sites, {"Length", "Site"});
    EXPECT_EQ(window.siteSlots[0].title, "Length");
    EXPECT_EQ(window.siteSlots[2].title, "") << "Length is taken already";
}

class MappingFiles : public ParkFixture {};

TEST_F(MappingFiles, RoundTripAndOfferForTheSameTitlesOnly) {
    ImportWindowState window;
    window.comma = false;
    window.allCaps = window.taxableYesNo = true;
    window.chargeSlots[0].title = "Item";
    window.chargeSlots[1].title = "Price";
    const Texts titles = {"Item", "Price", "Tax"};
    const SavedMapping saved = CaptureMapping(window, ImportTable::Charges, titles);
    ASSERT_TRUE(SaveMappingFile(session, park.file("store.mapping.json"), saved));
    EXPECT_EQ(MappingToJson(LoadMappingFile(session, park.file("store.mapping.json")).value()), MappingToJson(saved));
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Charges, {"Item", "Price"}));
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Guests, titles));
    // Titles match whether their accents are composed or not ("Café" with the accent apart here).
    park.write("cafe.mapping.json", "{\"table\": \"guests\", \"slots\": {\"Address1\": \"Cafe\xCC\x81\"}, "
                                    "\"titles\": [\"Nom\", \"Cafe\xCC\x81\"]}");
    EXPECT_EQ(FindMappingFor(park.path(), ImportTable::Guests, {"Nom", "Caf\xC3\xA9"}), park.file("cafe.mapping.json"));
    EXPECT_EQ(LoadMappingFile(session, park.file("cafe.mapping.json"))->slots.at(0).second, "Caf\xC3\xA9");

    ImportWindowState fresh;
    prompter.answers = {Answer::Yes};
    EXPECT_TRUE(OfferSavedMapping(session, fresh, ImportTable::Charges, "store.csv", titles));
    EXPECT_EQ(prompter.texts(), Texts{"The titles of store.csv are those of the saved mapping store.mapping.json. Do "
                                      "you want to use it?"});
    EXPECT_EQ(fresh.chargeSlots[1].title, "Price");
    EXPECT_TRUE(fresh.taxableYesNo && fresh.allCaps && !fresh.comma);

    // Titles gone from the file are named; the rest is used.
    ImportWindowState partly;
    prompter.shown.clear();
    UseMapping(session, saved, partly, {"Item", "Cost"}, "new.csv");
    EXPECT_EQ(partly.chargeSlots[0].title, "Item");
    EXPECT_EQ(partly.chargeSlots[1].title, "");
    EXPECT_EQ(prompter.texts(), Texts{"The mapping names titles that new.csv does not have: Price. Their columns are "
                                      "left empty; the rest of the mapping is used."});
}

// Only small regular files are read, and a folder's search passes over the rest: a FIFO would
// block a reader for ever, /dev/zero never ends, a large file costs its size.
TEST_F(MappingFiles, FilesThatAreNoMappingAreNamedWithTheirProblem) {
    ASSERT_EQ(mkfifo(park.file("fifo.mapping.json").c_str(), 0600), 0);
    const std::string good = "{\"table\": \"sites\", \"slots\": {\"Number\": \"N\"}, \"titles\": [\"N\"]";
    park.write("big.mapping.json", good + ", \"padding\": \"" + std::string(1 << 20, ' ') + "\"}");
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Sites, {"N"})) << "no small regular mapping has these titles";
    park.write("small.mapping.json", good + "}");
    EXPECT_EQ(FindMappingFor(park.path(), ImportTable::Sites, {"N"}), park.file("small.mapping.json"));

    const std::pair<std::string, std::string> cases[] = {
        {"{\"table\": \"sites\", \"slots\": {\"Number\": ", "it is not valid JSON"},
        {"{\"table\": \"boats\", \"slots\": {}}", "its table 'boats' is none of sites, guests and charges"},
        {"{\"table\": \"sites\", \"slots\": {\"Colour\": \"C\"}}", "'Colour' is not a column of the sites import"},
        {"{\"table\": \"guests\", \"slots\": {}, \"yesNo\": [\"Water\"]}", "'Water' has no YES/NO box"},
        {"[1, 2]", "it is not a mapping"},
        {"{\"table\": \"sites\", \"delimiter\": \"tab\", \"slots\": {}}",
         "its delimiter 'tab' is neither comma nor semicolon"},
        {"{\"table\": \"sites\", \"case\": \"CAPS\", \"slots\": {}}", "its case 'CAPS' is neither caps nor title"},
        {park.file("fifo.mapping.json"), "it is not a regular file."},
        {"/dev/zero", "it is not a regular file."},
        {park.file("big.mapping.json"), "it is larger than 1 MB."},
        {park.file("none.mapping.json"), "it could not be read."},
    };
    for (const auto &[content, problem] : cases) {
        SCOPED_TRACE(content);
        prompter.shown.clear();
        const std::string path = content[0] == '/' ? content : park.file("bad.mapping.json");
        if (path != content)
            park.write("bad.mapping.json", content);
        EXPECT_FALSE(LoadMappingFile(session, path));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.texts()[0].rfind("The mapping " + path + " cannot be used: " + problem, 0), 0u)
            << prompter.texts()[0];
    }
}

TEST_F(MappingFiles, SavingAsksBeforeReplacingAndRefusesANameless) {
    ImportWindowState window;
    window.siteSlots[0].title = "N";
    const SavedMapping mapping = CaptureMapping(window, ImportTable::Sites, {"N"});
    for (const char *name : {"", "   "}) {
        prompter.inputs = {std::string(name)};
        EXPECT_FALSE(OfferSaveMapping(session, mapping));
        EXPECT_EQ(prompter.texts().back(), "A mapping needs a name.");
    }
    EXPECT_EQ(MappingNameProblem("north/"), "A mapping needs a name.");
    EXPECT_EQ(MappingNameProblem("north"), std::nullopt);
    park.write("north.mapping.json", "kept");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        prompter.shown.clear();
        prompter.inputs = {std::string("north")};
        prompter.answers = {answer};
        EXPECT_EQ(OfferSaveMapping(session, mapping), answer == Answer::Yes);
        EXPECT_EQ(prompter.texts().at(1),
                  "There is a mapping " + park.file("north.mapping.json") + " already. Do you want to replace it?");
        EXPECT_EQ(park.read("north.mapping.json") == "kept", answer == Answer::No);
    }
}

class MappingCli : public CliPark {};

// A mapping's titles are checked as the command line's are, and nothing is imported with half a
// mapping; saving refuses a nameless mapping and replaces one only when forced.
TEST_F(MappingCli, AMappingIsCheckedWholeAndReplacedOnlyWhenForced) {
    park.write("pos.csv", "\"Item\",\"Price\",\"Tax\"\r\nice,2.5,yes\r\n");
    park.write("nope.mapping.json", "{\"table\": \"charges\", \"slots\": {\"Name\": \"Nope\"}}");
    park.write("broken.mapping.json", "{\"table\": \"charges\", \"slots\": {\"Colour\": \"C\"}}");
    const CliResult byMapping = run("import charges pos.csv --mapping nope --backup no");
    EXPECT_EQ(byMapping.status, 2);
    EXPECT_EQ(byMapping.out, "--mapping nope: Name=Nope: 'Nope' is not a title of the file. Its titles are: Item, "
                             "Price, Tax\n");
    const CliResult broken = run("import charges pos.csv --mapping broken --backup yes");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out.find("We are making"), std::string::npos);
    EXPECT_EQ(run("import charges pos.csv --mapping auto").status, 1) << "no saved mapping has these titles";
    EXPECT_EQ(sql("SELECT count(*) FROM OtherCharges"), "0\n");

    EXPECT_EQ(run("mapping save 'sub/' charges pos.csv --map Name=Item").out,
              "mapping save: A mapping needs a name.\n");
    const std::string save = "mapping save store charges pos.csv --map Name=Item --map Amount=Price --map Taxable=Tax "
                             "--yes-no Taxable --case caps";
    ASSERT_EQ(run("mapping save store charges pos.csv --map Name=Price").status, 0);
    EXPECT_EQ(run(save).status, 1) << "not replaced without --force";
    ASSERT_EQ(run(save + " --force").status, 0);
    EXPECT_EQ(run("mapping show store").out, park.read("store.mapping.json"));
    ASSERT_EQ(run("import charges pos.csv --mapping auto --backup no").status, 0);
    EXPECT_EQ(sql("SELECT Name, Amount, Taxable FROM OtherCharges"), "ICE|2.5|1\n");
}

} // namespace
} // namespace tarnwick
