// The terminal program end to end: creating a park, and the start-up from its own folder.
#include "db/jet/LockFile.h"
#include "support/CliPark.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"

#include <filesystem>

namespace tarnwick {
namespace {

TEST(CliInitStatus, InitMakesParkThatOutsideReadersReadInColumnOrder) {
    TempDir park;
    ASSERT_EQ(RunProgram(CLI_PATH, "init \'" + park.path() + "\'" + InitFormatOption()).status, 0);
    const std::string guestColumns =
        ParkFormatUnderTest() == ParkFormat::Jet
            ? RunProgram("sh", "-c 'mdb-export \"$0\" Guest | head -1 | tr -d \\\"' '" + park.file("Park.MDB") + "'")
                  .out
            : RunProgram("sqlite3", "'" + park.file("Park.MDB") +
                                        "' \"SELECT group_concat(name, ',') FROM pragma_table_info('Guest');\"")
                  .out;
    EXPECT_EQ(guestColumns + ParkQuery(park.file("Park.MDB"), "SELECT * FROM ParkInfo"),
              "ID,Name,Address1,Address2,City,State,Zip,Phone,Cell,Email,Notes,NoRent,Vehicle,VIN,LicensePlate,"
              "DLNumber,SecLicense,SecVehicle,Arrival,Departure,Site,NoPeople,Length,Width,Pets,Type,TypeOfStay\n"
              "1|None|None|None|None|None|None|None|None|None|None\n");
    EXPECT_EQ(RunProgram(CLI_PATH, "init \'" + park.path() + "\'" + InitFormatOption()).status, 1)
        << "an existing park is never replaced";

    CliResult status = RunProgram(CLI_PATH, "--park '" + park.path() + "' status");
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out, park.path() + "\nSites 0\nGuest 0\nOtherCharges 0\nParkInfo 1\n");
}

TEST(CliInitStatus, StartUpFromTheProgramsFolder) {
    TempDir app;
    std::string cli = CopyCliInto(app.path());

    CliResult first = RunProgram(cli, "status");
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out, "A default DataBase Path has been created, Please restart the application.\nThe file "
                         "written is " +
                             app.path() + "/path.txt; its first line names the folder of Park.MDB.\n");
    EXPECT_EQ(app.read("path.txt"), app.path() + "\r\n" + app.path() + "\r\n");

    CliResult noPark = RunProgram(cli, "status");
    EXPECT_EQ(noPark.status, 1);
    EXPECT_EQ(noPark.out, "You have set the Database Path to a location where there is no Park.MDB Database!!!\n\n"
                          "You need to manually edit the file: " +
                              app.path() +
                              "/path.txt  to correct the error.\nYou can also delete the file, and the application "
                              "will recreate it, but the PARK.MDB must be in the application directory.\n"
                              "To make a new park in " +
                              app.path() + ", run: tarnwick-cli init " + app.path() +
                              "\nTo use a park elsewhere, name its folder on line 1 of " + app.path() +
                              "/path.txt, or give it with --park DIR.\n");

    TempDir park;
    RunProgram(cli, "init \'" + park.path() + "\'" + InitFormatOption());
    app.write("path.txt", park.path());
    CliResult oneLine = RunProgram(cli, "status");
    EXPECT_EQ(oneLine.status, 0);
    EXPECT_EQ(oneLine.out.substr(0, park.path().size() + 1), park.path() + "\n");
}

// Installed (here under a root of the test's own, writable as root's /usr/bin is), the program
// writes nothing beside itself: path.txt goes to the configuration folder, and the message that
// ends a start without a park says where that file is and which command makes a park.
TEST(CliInitStatus, InstalledKeepsPathFileInTheConfigurationFolder) {
    TempDir root;
    std::filesystem::create_directories(root.file("usr/bin"));
    std::filesystem::create_directories(root.file("usr/share/tarnwick"));
    const std::string cli = CopyCliInto(root.file("usr/bin"));
    const std::string config = root.file("home/.config/Tarnwick");
    const std::string run = "-u XDG_CONFIG_HOME HOME='" + root.file("home") + "' '" + cli + "' status";

    EXPECT_EQ(RunProgram("env", run).out,
              "A default DataBase Path has been created, Please restart the application.\nThe file written is " +
                  config + "/path.txt; its first line names the folder of Park.MDB.\n");
    const std::string second = RunProgram("env", run).out;
    EXPECT_NE(second.find("You need to manually edit the file: " + config + "/path.txt  to correct the error."),
              std::string::npos)
        << second;
    EXPECT_NE(second.find("To make a new park in " + config + ", run: tarnwick-cli init " + config + "\n"),
              std::string::npos)
        << second;

    RunProgram(cli, "init '" + root.file("park") + "'");
    root.write("home/.config/Tarnwick/path.txt", root.file("park") + "\r\n");
    CliResult status = RunProgram("env", run);
    EXPECT_EQ(status.status, 0) << status.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.file("usr/bin")), {}), 1);
}

TEST(CliInitStatus, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunProgram(CLI_PATH, "").status, 2);
    EXPECT_EQ(RunProgram(CLI_PATH, "frobnicate").status, 2);
}

TEST_F(CliPark, TitlesPrintsMessagesCountAndTitles) {
    park.write("sites.csv", "\"Site\";\"Length\"\r\n1;40\r\n");
    park.write("bare.csv", "Site,Length\r\n");
    CliResult titles = run("titles sites.csv");
    EXPECT_EQ(titles.status, 0);
    EXPECT_EQ(titles.out, "2\nSite\nLength\n");

    CliResult cancelled = run("titles bare.csv");
    EXPECT_EQ(cancelled.out, "Your File does NOT have quotes around the Fields!\nSelect OK to create a New file with "
                             "quotes.\n> Cancel\n");
    EXPECT_EQ(cancelled.status, 1);

    CliResult repaired = run("repair-quotes bare.csv");
    EXPECT_EQ(repaired.status, 0);
    EXPECT_EQ(park.read("bare New.CSV"), "\"Site\",\"Length\"\r\n");
}

TEST_F(CliPark, ImportsEachFileAfterItsBackupQuestionAndRefusesBadUsage) {
    park.write("a.csv", "\"Item\",\"Tax\"\r\nice,yes\r\n");
    park.write("b.txt", "\"Item\",\"Tax\"\r\nwood,no\r\n");
    CliResult imported = run("import charges a.csv b.txt --map Name=Item --map Taxable=Tax "
                             "--yes-no Taxable --backup no");
    EXPECT_EQ(imported.status, 0);
    const std::string question = "We are making a BackUp of the Halvane DataBase before you Add OtherCharges ";
    std::size_t first = imported.out.find(question), second = imported.out.find(question, first + 1);
    ASSERT_NE(second, std::string::npos) << imported.out;
    EXPECT_EQ(imported.out.substr(second), imported.out.substr(second, question.size() + 18) +
                                               "\n> No\n1 of 1 Other Charges Successfully Imported\n");
    EXPECT_EQ(sql("SELECT Name, Taxable FROM OtherCharges"), "Ice|1\nWood|0\n");

    EXPECT_EQ(run("import charges a.csv --map Nope=Item").status, 2);
    EXPECT_EQ(run("import charges a.csv --yes-no Water").status, 2);
    EXPECT_EQ(run("purge guests").status, 1) << "refused without --yes";
}

TEST_F(CliPark, AnImportWithoutItsOptionsTakesTheSafeDefaults) {
    // No terminal to ask: the backup is taken, a refused row stops the run, and text is title-cased.
    // (NoPeople is a column of size 2, so its text is cut to 2 characters before it is refused.)
    park.write("g.csv", "\"First\",\"Town\",\"People\"\r\nann,NEW YORK,2\r\nbo,PARIS,many\r\ncy,ROME,3\r\n");
    CliResult imported = run("import guests g.csv --map FirstName=First --map City=Town --map NoPeople=People");
    EXPECT_EQ(imported.status, 1);
    const std::string question = "We are making a BackUp of the Halvane DataBase before you Add Guests ";
    ASSERT_EQ(imported.out.rfind(question, 0), 0u) << imported.out;
    EXPECT_EQ(imported.out.substr(question.size() + 16),
              " ?\n> Yes\nThe Database has been BackedUp as " + park.file("Park_AddGuests_") +
                  imported.out.substr(question.size(), 16) +
                  ".MDB\nThe NoPeople of Line 1 was shortened to fit DB field length by 2\nError on Line 1.  Failure "
                  "on Field: NoPeople Data is: many\nThis is most likely due to a ',' "
                  "or ';' in a field confusing the Field Capture routine\nContinuing will NOT Save this line. Do you "
                  "want to try to continue?\n> No\n"
                  // stderr, after the question
                  "The import stopped at a row it could not store, with 1 of 3 rows stored in Guest.\n");
    EXPECT_EQ(sql("SELECT Name, City FROM Guest"), "Ann|New York\n");
}

TEST_F(CliPark, ARowThatCannotBeStoredIsTheOnlyOneLeftOut) {
    // Line 10 holds 40 characters beyond the Basic Multilingual Plane: each counts as two of the
    // column's characters, as Access counts them, and the row is refused; the rows around it stay.
    std::string guests = "\"Last\",\"First\"\r\n";
    for (int i = 1; i <= 20; ++i) {
        std::string last = "Last" + std::to_string(i);
        if (i == 10)
            for (last.clear(); last.size() < 160;)
                last += "\xF0\x9F\x98\x80";
        guests += "\"" + last + "\",\"First\"\r\n";
    }
    park.write("g.csv", guests);
    const CliResult imported =
        run("import guests g.csv --map LastName=Last --map FirstName=First --backup no --on-row-error skip");
    ASSERT_EQ(imported.status, 0) << imported.out;
    const std::size_t counted = imported.out.find(" of 20 Guests Successfully Imported");
    ASSERT_NE(counted, std::string::npos) << imported.out;
    const std::string stored = imported.out.substr(imported.out.rfind('\n', counted) + 1,
                                                   counted - imported.out.rfind('\n', counted) - 1);
    EXPECT_EQ(stored, "19");
    EXPECT_EQ(sql("SELECT count(*) FROM Guest"), stored + "\n");
}

TEST_F(CliPark, APurgedParkCompactsToTheSizeOfANewOne) {
    // Enough guests to take the park past the pages its first page maps cover.
    std::string guests = "\"Last\",\"Town\"\r\n";
    for (int i = 0; i < 25000; ++i)
        guests += "\"Name " + std::to_string(i) + "\",\"Town " + std::to_string(i % 50) + "\"\r\n";
    park.write("g.csv", guests);
    ASSERT_EQ(run("import guests g.csv --map LastName=Last --map City=Town --backup no").status, 0);
    const auto full = std::filesystem::file_size(park.file("Park.MDB"));

    const CliResult purged = run("purge guests --yes --backup no --compact yes");
    EXPECT_EQ(purged.out.substr(purged.out.rfind('\n', purged.out.size() - 2) + 1),
              "The Halvane DataBase has been Compressed.\n");
    TempDir fresh;
    RunProgram(CLI_PATH, "init '" + fresh.path() + "'" + InitFormatOption());
    const auto compacted = std::filesystem::file_size(park.file("Park.MDB"));
    EXPECT_LT(compacted * 10, full);
    EXPECT_LE(compacted, std::filesystem::file_size(fresh.file("Park.MDB")) + 4 * 4096);
    EXPECT_EQ(sql("SELECT count(*) FROM Guest"), "0\n");
    EXPECT_EQ(SoundParkRows(park.file("Park.MDB"), "Guest"), "ok\n0\n");
}

TEST_F(CliPark, ACompactionOfAParkAnotherProgramIsWritingIsRefusedAndLeavesItAlone) {
    if (ParkFormatUnderTest() != ParkFormat::Jet)
        GTEST_SKIP() << "only a Jet park has a lock file that another program holds while it writes";
    const std::string before = TempDir::readFile(park.file("Park.MDB"));
    const jet::WriterLock elsewhere(park.file("Park.MDB"));
    const CliResult compacted = run("compact");
    EXPECT_EQ(compacted.out,
              "Do you want to Compress the Halvane DataBase?\n> Yes\nCompressDB: -2147467259Could not use '" +
                  park.file("Park.MDB") + "'; file already in use.\n");
    EXPECT_EQ(compacted.status, 1);
    EXPECT_TRUE(TempDir::readFile(park.file("Park.MDB")) == before);
    EXPECT_FALSE(std::filesystem::exists(park.file("Park.TMP")));
}

} // namespace
} // namespace tarnwick
