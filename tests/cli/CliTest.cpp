// The terminal program end to end: making a park, the start without one, each command's transcript
// on standard output, sentence on standard error, exit status and files written, the editors' commands,
// and the options that need no park.
#include "db/ParkFileLock.h"
#include "support/CaseName.h"
#include "support/CliPark.h"

#include <filesystem>
#include <regex>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Without --park an installed program reads path.txt in its configuration folder (here under a root
// of the test's own, writable as root's /usr/bin is). The start that finds no park says where that
// file is and which command makes one.
TEST(CliInitStatus, AStartWithoutAParkSaysWhereToMakeOne) {
    TempDir root;
    const std::string bin = root.file("usr/bin"), config = root.file("my home/.config/Tarnwick");
    fs::create_directories(root.file("usr/share/tarnwick"));
    fs::create_directories(bin);
    fs::copy_file(CLI_PATH, bin + "/tarnwick-cli");
    const std::string status =
        "-u XDG_CONFIG_HOME HOME='" + root.file("my home") + "' '" + bin + "/tarnwick-cli' status";

    EXPECT_EQ(RunProgram("env", status).status, 1) << "path.txt written, the program to be started again";
    const CliResult second = RunProgram("env", status);
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.out.substr(second.out.find("directory.\n") + 11),
              "To make a new park in " + config + ", run: tarnwick-cli init '" + config +
                  "'\nTo use a park elsewhere, name its folder on line 1 of " + config +
                  "/path.txt, or give it with --park DIR.\n");

    EXPECT_EQ(std::distance(fs::directory_iterator(bin), {}), 1) << "nothing written beside the program";
}

// One command on a new park holding a few sources: its status, both streams, and the files it made.
struct Transcript {
    const char *name;
    std::string arguments; // split at spaces
    int status;
    std::string out, err = "", made = ""; // {park} and {time} as Masked writes them; made: new files, a space apart
    std::string query = "", stored = "";  // what an outside reader then prints for `query`
    friend std::ostream &operator<<(std::ostream &os, const Transcript &c) { return os << c.name; }
};

class CliTranscript : public CliPark, public ::testing::WithParamInterface<Transcript> {};

const std::string kNoQuotes = "Your File does NOT have quotes around the Fields!\nSelect OK to create a New file with "
                              "quotes.\n";
const std::string kRepaired = "New file has been saved.\nPlease use a text editor to verify the extra Quotes were "
                              "properly addded.\nNew File: {park}/bare New.CSV\n1 Lines Processed.\n";
const std::string kAddCharges = "We are making a BackUp of the Halvane DataBase before you Add OtherCharges {time} "
                                "?\n> No\n";
const std::string kNotANumber = "Amount cannot take 'cheap': it is not a number";

TEST_P(CliTranscript, StatusStreamsAndFiles) {
    const Transcript &c = GetParam();
    park.write("a.csv", "\"Item\",\"Tax\"\r\nice,yes\r\n");
    park.write("s.csv", "\"Site\",\"Len\"\r\n1,40\r\n");
    park.write("b.txt", "\"Item\",\"Price\"\r\nwood,3\r\npin,cheap\r\n");
    park.write("bare.csv", "Site,Len\r\n1,40\r\n");
    park.write("g.csv", "\"First\",\"Town\",\"People\",\"Last\"\r\nann,NEW YORK,2,a\r\nbo,PARIS,plenty,b\r\n"
                        "cy,ROME,3,c\r\n");
    const std::set<std::string> before = files();
    const std::string park0 = park.read("Park.MDB");
    const ObservedRun run = apart(Words(std::regex_replace(c.arguments, std::regex("\\{park\\}"), park.path())));
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(Masked(run.out, park.path()), c.out);
    EXPECT_EQ(Masked(run.err, park.path()), c.err);
    EXPECT_EQ(Masked(madeSince(before), park.path()), c.made);
    if (!c.query.empty())
        EXPECT_EQ(sql(c.query), c.stored);
    else
        EXPECT_TRUE(c.status == 0 || park.read("Park.MDB") == park0) << "a refused command leaves the park as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliTranscript,
    ::testing::ValuesIn(std::vector<Transcript>{
        {"no command", "", 2, "", "A subcommand is required\nRun with --help for more information.\n"},
        {"status", "status", 0, "{park}\nSites 0\nGuest 0\nOtherCharges 0\nParkInfo 1\n"},
        {"init in a new folder", "init {park}/parks/north", 0,
         "Created {park}/parks/north/Park.MDB\nCreated {park}/parks/north/Tarnwick.chm\n", "", "parks"},
        {"init over a park", "init {park}", 1, "", "-2147467259: Database '{park}/Park.MDB' already exists.\n"},
        {"import of two files", "import charges a.csv b.txt --map Name=Item --backup no", 0,
         kAddCharges + "1 of 1 Other Charges Successfully Imported\n" + kAddCharges +
             "2 of 2 Other Charges Successfully Imported\n",
         "", "", "SELECT Name FROM OtherCharges", "Ice\nWood\nPin\n"},
        // No terminal to ask: the backup is taken, a refused row stops the run, and text is title-cased.
        // (NoPeople is a column of size 2, so "plenty" is cut by 4 characters before it is refused.)
        {"import without its options",
         "import guests g.csv --map FirstName=First --map City=Town --map NoPeople=People --map LastName=Last", 1,
         "We are making a BackUp of the Halvane DataBase before you Add Guests {time} ?\n> Yes\nThe Database has "
         "been BackedUp as {park}/Park_AddGuests_{time}.MDB\nThe NoPeople of Line 1 was shortened to fit DB "
         "field length by 4\nError on Line 1.  Failure on Field: NoPeople Data is: plenty\nThis is most likely due "
         "to a ',' or ';' in a field confusing the Field Capture routine\nContinuing will NOT Save this line. Do "
         "you want to try to continue?\n> No\n",
         "The import stopped at a row it could not store, with 1 of 3 rows stored in Guest.\n",
         "Park_AddGuests_{time}.MDB", "SELECT Name, City FROM Guest", "A, Ann|New York\n"},
        {"map to no column", "import charges a.csv --map Nope=Item", 2, "", "'Nope' is not a column of this import\n"},
        {"map without a title", "import charges a.csv --map Item", 2, "", "--map takes COLUMN=TITLE, not 'Item'\n"},
        {"yes no without a box", "import charges a.csv --yes-no Water", 2, "",
         "'Water' has no YES/NO box in this import\n"},
        {"map from no title", "import sites s.csv --map Number=Site --map Length=Length", 2, "",
         "--map Length=Length: 'Length' is not a title of the file. Its titles are: Site, Len\n"},
        {"missing source", "import sites gone.csv --map Number=Site", 1, "",
         "The file {park}/gone.csv could not be found.\n"},
        {"source elsewhere", "import sites /elsewhere/gone.csv --map Number=Site", 1, "",
         "The file /elsewhere/gone.csv is not in the park's folder, {park}: files are imported from there. "
         "Copy the file there and give its name.\n"},
        {"import of refused titles", "import sites bare.csv --map Number=Site --backup yes", 1,
         kNoQuotes + "> Cancel\n"},
        {"titles repaired", "titles bare.csv --repair ok", 0, kNoQuotes + "> OK\n" + kRepaired, "", "bare New.CSV"},
        {"check", "check charges a.csv --map Name=Item --report r.csv", 0,
         "1 data line read, 1 row would be stored, 0 refused, 0 values shortened.\n", "", "r.csv"},
        {"check of a refused row", "check charges b.txt --map Name=Item --map Amount=Price --case caps --rows 2", 1,
         "b.txt: Line 3, Amount 'cheap': " + kNotANumber +
             "; the row would not be stored.\n2 data lines read, 1 "
             "row would be stored, 1 refused, 0 values shortened.\nFile\tLine\tName\tAmount\tRefused\nb.txt\t2\tWOOD"
             "\t3\t\nb.txt\t3\tPIN\t[cheap]\t" +
             kNotANumber + "\n"},
        {"purge unconfirmed", "purge guests", 1,
         "Doing this will totally Remove ALL Guests from the Park.MDB Database. Are you SURE you want to "
         "continue?\n> No\n"},
        {"backup", "backup", 0,
         "We are making an Initial BackUp of the Halvane DataBase before you make any changes {time} ?\n> "
         "Yes\nThe Database has been BackedUp as {park}/Park_Initial_{time}.MDB\n",
         "", "Park_Initial_{time}.MDB"},
        {"list of no guests", "list guests", 0, "There are Currently 0000Guests.\nThere are no Guests Available.\n"},
        {"compact", "compact", 0,
         "Do you want to Compress the Halvane DataBase?\n> Yes\nThe Halvane DataBase has been Compressed.\n"},
        {"delete of no row", "delete site 99", 1, "There are no Sites Available.\n",
         "There is no row with ID 99 in Sites.\n"},
        {"edit of no row", "edit guest 1 Name=X", 1, "There are no Guests Available.\n",
         "There is no row with ID 1 in Guest.\n"},
        {"site type set", "site-types 10=big.rig", 0, "1\t\n2\t\n3\t\n4\t\n5\t\n6\t\n7\t\n8\t\n9\t\n10\tBig.Rig\n"},
        {"site type past ten", "site-types 11=Cabin", 2, "",
         "N=NAME expected, with N from 1 to 10, not '11=Cabin'\n"}}),
    [](const auto &info) { return CaseName(info.param.name); });

TEST_F(CliPark, APurgedParkCompactsToTheSizeOfANewOne) {
    const auto fresh = fs::file_size(park.file("Park.MDB"));
    // Enough guests to take the park past the pages its first page maps cover.
    std::string guests = "\"Last\",\"Town\"\r\n";
    for (int i = 0; i < 25000; ++i)
        guests += "\"Name " + std::to_string(i) + "\",\"Town " + std::to_string(i % 50) + "\"\r\n";
    park.write("g.csv", guests);
    ASSERT_EQ(run("import guests g.csv --map LastName=Last --map City=Town --backup no").status, 0);
    const auto full = fs::file_size(park.file("Park.MDB"));

    const CliResult purged = run("purge guests --yes --backup no --compact yes");
    EXPECT_EQ(purged.status, 0);
    EXPECT_EQ(purged.out.substr(purged.out.rfind('\n', purged.out.size() - 2) + 1),
              "The Halvane DataBase has been Compressed.\n");
    const auto compacted = fs::file_size(park.file("Park.MDB"));
    EXPECT_LT(compacted * 10, full);
    EXPECT_LE(compacted, fresh + 4 * 4096);
    EXPECT_EQ(SoundParkRows(park.file("Park.MDB"), "Guest"), "ok\n0\n");
}

// The editors from the terminal: the grid as text, clones, edits and deletes by the editors' rules,
// and the status and sentence of each change refused.

TEST_F(CliPark, ClonesEditsAndDeletesEachWithItsStatusAndSentence) {
    park.write("sites.csv", "\"Site\",\"Len\",\"W\",\"A\"\r\n1,40,12,30\r\n2,45,12,50\r\n10,50,14,30\r\n");
    run("import sites sites.csv --map Number=Site --map Length=Len --map Width=W --map ElectricAmp=A --backup no");
    run("site-types 1=Tent 2=RV");
    // Each change prints nothing; a refused one ends with its status and sentence on stderr.
    const auto step = [&](const std::string &command, int status, const std::string &err, const std::string &out = "") {
        SCOPED_TRACE(command);
        const ObservedRun run = apart(Words(command));
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.out, out);
        EXPECT_EQ(Masked(run.err, park.path()), err);
    };
    step("clone-site 2 3 --type 2", 0, "");
    step("clone-site 99 2 --type 1", 1, "There is no row with ID 99 in Sites.\n");
    step("clone-site 2 1 --type 5", 2, "--type 5: the park has 2 site types\n");
    step("edit site 1 Length=60 Width=abc Water=yes Tent=1", 0, "");
    step("edit site 1 Bogus=1", 2, "'Bogus' is not a column the site editor saves\n");
    step("edit site 1 Length", 2, "COLUMN=VALUE expected, not 'Length'\n");
    step("delete site 3", 0, "");
    // The grid as text: its titles, a row of each site with the rates and meters at their default, its count.
    std::string rows;
    for (const char *site : {"1\t1\t001\t60\t12\t30\tTrue\tFalse\tFalse\tTrue\tFalse",
                             "2\t2\t002\t45\t12\t50\tFalse\tFalse\tFalse\tFalse\tFalse",
                             "4\t11\t011\t45\t12\t50\tFalse\tFalse\tFalse\tFalse\tTrue",
                             "5\t12\t012\t45\t12\t50\tFalse\tFalse\tFalse\tFalse\tTrue",
                             "6\t13\t013\t45\t12\t50\tFalse\tFalse\tFalse\tFalse\tTrue"})
        rows += site + std::string("\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n");
    step("list sites", 0, "",
         "ID\tSiteNum\tSiteAlias\tSiteLength\tSiteWidth\tElecAmps\tHasWater\tHasSewer\tUnavailable\t"
         "Tent\tRV\tSumDaily$\tSumWeekly$\tSumMonthly$\tWinDaily$\tWinWeekly$\tWinMonthly$\t3MonRate$\t"
         "6MonRate$\t12MonRate$\tPastElecMeter\tCurrElecMeter\n" +
             rows + "There are Currently 0005Sites.\n");

    // While another program writes to a Jet park, each change is refused with status 1 and nothing is
    // written. (An SQLite park waits for its writer before it refuses, row by row.)
    if (ParkFormatUnderTest() != ParkFormat::Jet)
        return;
    const std::string before = TempDir::readFile(park.file("Park.MDB"));
    const ParkFileLock elsewhere(park.file("Park.MDB"));
    for (const char *command : {"clone-site 2 3 --type 2", "edit site 1 Length=60", "delete site 2"})
        step(command, 1, "{park}/Park.MDB is in use by another program, so nothing can be written to it.\n");
    EXPECT_TRUE(TempDir::readFile(park.file("Park.MDB")) == before);
}

// Both programs answer --help and --version without a display.
TEST(ProgramOptions, PrintAndExitWithoutADisplay) {
    const std::tuple<std::string, const char *, std::string> cases[] = {
        {DESKTOP_PATH, "--version", std::string("tarnwick ") + VERSION + "\n"},
        {DESKTOP_PATH, "--help", "Usage: tarnwick [--help | --version | --screenshots DIR]\n"},
        {CLI_PATH, "--version", std::string("tarnwick-cli ") + VERSION + "\n"},
        {CLI_PATH, "--help", "Tarnwick: moves a campground's old records into its new park database.\n"}};
    for (const auto &[program, option, startOfOut] : cases) {
        if (program.empty())
            continue; // the desktop program is not part of this build
        SCOPED_TRACE(program + " " + option);
        const ObservedRun run = RunObserved(
            "/usr/bin/env", {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", program, option}, 20);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, startOfOut.size()), startOfOut) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

} // namespace
} // namespace tarnwick
