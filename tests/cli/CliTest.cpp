// The terminal program end to end: making a park, the start without one, and each command's
// transcript on standard output, sentence on standard error, exit status and files written.
#include "support/CaseName.h"
#include "support/CliPark.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(CliInitStatus, InitMakesAParkOutsideReadersReadAndNeverReplacesOne) {
    TempDir root;
    const std::string folder = root.file("parks/north"); // made with its parent
    ASSERT_EQ(RunProgram(CLI_PATH, "init '" + folder + "'" + InitFormatOption()).status, 0);
    const std::string park = folder + "/Park.MDB";
    const std::string guestColumns =
        ParkFormatUnderTest() == ParkFormat::Jet
            ? RunProgram("sh", "-c 'mdb-export \"$0\" Guest | head -1 | tr -d \\\"' '" + park + "'").out
            : RunProgram("sqlite3",
                         "'" + park + "' \"SELECT group_concat(name, ',') FROM pragma_table_info('Guest');\"")
                  .out;
    EXPECT_EQ(guestColumns + ParkQuery(park, "SELECT * FROM ParkInfo"),
              "ID,Name,Address1,Address2,City,State,Zip,Phone,Cell,Email,Notes,NoRent,Vehicle,VIN,LicensePlate,"
              "DLNumber,SecLicense,SecVehicle,Arrival,Departure,Site,NoPeople,Length,Width,Pets,Type,TypeOfStay\n"
              "1|None|None|None|None|None|None|None|None|None|None\n");
    const std::string before = TempDir::readFile(park);
    EXPECT_EQ(RunProgram(CLI_PATH, "init '" + folder + "'" + InitFormatOption()).status, 1);
    EXPECT_TRUE(TempDir::readFile(park) == before) << "an existing park is never replaced";
}

// Without --park the program reads path.txt: beside a copy in a folder of its own, in the
// configuration folder once installed (here under a root of the test's own, writable as root's
// /usr/bin is). The start that finds no park says where that file is and which command makes one.
TEST(CliInitStatus, AStartWithoutAParkSaysWhereToMakeOne) {
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "a copy in a folder of its own");
        TempDir root;
        const std::string bin = root.file(installed ? "usr/bin" : "app");
        fs::create_directories(bin);
        fs::create_directories(root.file("usr/share/tarnwick"));
        const std::string config = installed ? root.file("my home/.config/Tarnwick") : bin;
        const std::string typed = installed ? "'" + config + "'" : config; // as a shell takes it
        const std::string status =
            "-u XDG_CONFIG_HOME HOME='" + root.file("my home") + "' '" + CopyCliInto(bin) + "' status";

        const CliResult first = RunProgram("env", status);
        EXPECT_EQ(first.status, 1);
        EXPECT_EQ(first.out, "A default DataBase Path has been created, Please restart the application.\nThe file "
                             "written is " +
                                 config + "/path.txt; its first line names the folder of Park.MDB.\n");
        EXPECT_EQ(TempDir::readFile(config + "/path.txt"), config + "\r\n" + config + "\r\n");
        const CliResult second = RunProgram("env", status);
        EXPECT_EQ(second.status, 1);
        EXPECT_EQ(second.out,
                  "You have set the Database Path to a location where there is no Park.MDB Database!!!\n\nYou need to "
                  "manually edit the file: " +
                      config +
                      "/path.txt  to correct the error.\nYou can also delete the "
                      "file, and the application will recreate it, but the PARK.MDB must be in the application "
                      "directory.\nTo make a new park in " +
                      config + ", run: tarnwick-cli init " + typed +
                      "\nTo use a park elsewhere, name its folder on line 1 of " + config +
                      "/path.txt, or give it with --park DIR.\n");

        RunProgram(CLI_PATH, "init '" + root.file("park") + "'" + InitFormatOption());
        std::ofstream(config + "/path.txt") << root.file("park") << (installed ? "\r\n" : "");
        const CliResult found = RunProgram("env", status);
        EXPECT_EQ(found.status, 0) << found.out;
        EXPECT_EQ(found.out, root.file("park") + "\nSites 0\nGuest 0\nOtherCharges 0\nParkInfo 1\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(bin), {}), installed ? 1 : 2) << "nothing else beside it";
    }
}

// One command on a new park holding a few sources: its status, both streams, and the files it made.
struct Transcript {
    const char *name;
    std::string arguments; // split at spaces
    int status;
    std::string out, err, made; // {park} and {time} as Masked writes them; made: new files, a space apart
};
void PrintTo(const Transcript &c, std::ostream *os) {
    *os << c.name;
}

class CliTranscript : public CliPark, public ::testing::WithParamInterface<Transcript> {};

const std::string kNoQuotes = "Your File does NOT have quotes around the Fields!\nSelect OK to create a New file with "
                              "quotes.\n";
const std::string kRepaired = "New file has been saved.\nPlease use a text editor to verify the extra Quotes were "
                              "properly addded.\nNew File: {park}/bare New.CSV\n1 Lines Processed.\n";
const std::string kMapping = "{\n  \"table\": \"sites\",\n  \"delimiter\": \"comma\",\n  \"case\": \"title\",\n  "
                             "\"yesNo\": [],\n  \"slots\": {\n    \"Number\": \"Site\"\n  },\n  \"titles\": [\n    "
                             "\"Site\",\n    \"Len\"\n  ]\n}\n";
const std::string kSubcommand = "A subcommand is required\nRun with --help for more information.\n";

TEST_P(CliTranscript, StatusStreamsAndFiles) {
    const Transcript &c = GetParam();
    park.write("a.csv", "\"Item\",\"Tax\"\r\nice,yes\r\n");
    park.write("s.csv", "\"Site\",\"Len\"\r\n1,40\r\n");
    park.write("bare.csv", "Site,Len\r\n1,40\r\n");
    park.write("saved.mapping.json", kMapping);
    auto files = [&] {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(park.path()))
            names.insert(entry.path().filename().string());
        return names;
    };
    const std::set<std::string> before = files();
    std::vector<std::string> arguments = Words(c.arguments);
    for (std::string &argument : arguments)
        if (argument == "{park}")
            argument = park.path();
    const ObservedRun run = apart(arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(Masked(run.out, park.path()), c.out);
    EXPECT_EQ(Masked(run.err, park.path()), c.err);
    std::string made;
    for (const std::string &name : files())
        if (!before.count(name) && name.rfind("Park.MDB", 0) != 0)
            made += (made.empty() ? "" : " ") + name;
    EXPECT_EQ(Masked(made, park.path()), c.made);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliTranscript,
    ::testing::Values(
        Transcript{"no command", "", 2, "", kSubcommand, ""},
        Transcript{"unknown command", "frobnicate", 2, "", kSubcommand, ""},
        Transcript{"status", "status", 0, "{park}\nSites 0\nGuest 0\nOtherCharges 0\nParkInfo 1\n", "", ""},
        Transcript{"init over a park", "init {park}", 1, "",
                   "-2147467259: Database '{park}/Park.MDB' already exists.\n", ""},
        Transcript{"map to no column", "import charges a.csv --map Nope=Item", 2, "",
                   "'Nope' is not a column of this import\n", ""},
        Transcript{"map without a title", "import charges a.csv --map Item", 2, "",
                   "--map takes COLUMN=TITLE, not 'Item'\n", ""},
        Transcript{"yes no without a box", "import charges a.csv --yes-no Water", 2, "",
                   "'Water' has no YES/NO box in this import\n", ""},
        Transcript{"map from no title", "import sites s.csv --map Number=Site --map Length=Length", 2, "",
                   "--map Length=Length: 'Length' is not a title of the file. Its titles are: Site, Len\n", ""},
        Transcript{"missing source", "import sites gone.csv --map Number=Site", 1, "",
                   "The file {park}/gone.csv could not be found.\n", ""},
        Transcript{"source elsewhere", "import sites /elsewhere/gone.csv --map Number=Site", 1, "",
                   "The file /elsewhere/gone.csv is not in the park's folder, {park}: files are imported from there. "
                   "Copy the file there and give its name.\n",
                   ""},
        Transcript{"import of refused titles", "import sites bare.csv --map Number=Site --backup yes", 1,
                   kNoQuotes + "> Cancel\n", "", ""},
        Transcript{"titles", "titles s.csv", 0, "2\nSite\nLen\n", "", ""},
        Transcript{"titles without quotes", "titles bare.csv", 1, kNoQuotes + "> Cancel\n", "", ""},
        Transcript{"titles repaired", "titles bare.csv --repair ok", 0, kNoQuotes + "> OK\n" + kRepaired, "",
                   "bare New.CSV"},
        Transcript{"repair quotes", "repair-quotes bare.csv", 0, kRepaired, "", "bare New.CSV"},
        Transcript{"check", "check charges a.csv --map Name=Item --report r.csv", 0,
                   "1 data line read, 1 row would be stored, 0 refused, 0 values shortened.\n", "", "r.csv"},
        Transcript{"mapping saved as named", "mapping save n.json sites s.csv --map Number=Site", 0,
                   "Saved {park}/n.json\n", "", "n.json"},
        Transcript{"mapping named", "mapping save south sites s.csv --map Number=Site", 0,
                   "Saved {park}/south.mapping.json\n", "", "south.mapping.json"},
        Transcript{"mapping shown by name", "mapping show saved", 0, kMapping, "", ""},
        Transcript{"mapping shown by file", "mapping show saved.mapping.json", 0, kMapping, "", ""},
        Transcript{"purge unconfirmed", "purge guests", 1,
                   "Doing this will totally Remove ALL Guests from the Park.MDB Database. Are you SURE you want to "
                   "continue?\n> No\n",
                   "", ""},
        Transcript{"backup", "backup", 0,
                   "We are making an Initial BackUp of the Halvane DataBase before you make any changes {time} ?\n> "
                   "Yes\nThe Database has been BackedUp as {park}/Park_Initial_{time}.MDB\n",
                   "", "Park_Initial_{time}.MDB"},
        Transcript{"compact", "compact", 0,
                   "Do you want to Compress the Halvane DataBase?\n> Yes\nThe Halvane DataBase has been Compressed.\n",
                   "", ""},
        Transcript{"list of no guests", "list guests", 0,
                   "There are Currently 0000Guests.\nThere are no Guests Available.\n", "", ""},
        Transcript{"delete of no row", "delete site 99", 1, "There are no Sites Available.\n",
                   "There is no row with ID 99 in Sites.\n", ""},
        Transcript{"edit of no row", "edit guest 1 Name=X", 1, "There are no Guests Available.\n",
                   "There is no row with ID 1 in Guest.\n", ""},
        Transcript{"site type past ten", "site-types 11=Cabin", 2, "",
                   "N=NAME expected, with N from 1 to 10, not '11=Cabin'\n", ""},
        Transcript{"site type without box", "site-types Cabin", 2, "",
                   "N=NAME expected, with N from 1 to 10, not 'Cabin'\n", ""}),
    [](const auto &info) { return CaseName(info.param.name); });

} // namespace
} // namespace tarnwick
