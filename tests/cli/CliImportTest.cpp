// Imports and checks from the terminal: the questions each asks and the answers its options (or
// their absence) give, what it stores, and the status it ends with.
#include "support/CliPark.h"

#include <filesystem>

namespace tarnwick {
namespace {

TEST_F(CliPark, EachFileIsImportedAfterItsOwnBackupQuestion) {
    park.write("a.csv", "\"Item\",\"Tax\"\r\nice,yes\r\n");
    park.write("b.txt", "\"Item\",\"Tax\"\r\nwood,no\r\n");
    const ObservedRun imported = apart({"import", "charges", "a.csv", "b.txt", "--map", "Name=Item", "--map",
                                        "Taxable=Tax", "--yes-no", "Taxable", "--backup", "no"});
    EXPECT_EQ(imported.status, 0);
    const std::string each = "We are making a BackUp of the Halvane DataBase before you Add OtherCharges {time} "
                             "?\n> No\n1 of 1 Other Charges Successfully Imported\n";
    EXPECT_EQ(Masked(imported.out, park.path()), each + each);
    EXPECT_EQ(imported.err, "");
    EXPECT_EQ(sql("SELECT Name, Taxable FROM OtherCharges"), "Ice|1\nWood|0\n");
}

// No terminal to ask: the backup is taken, a refused row stops the run, and text is title-cased.
// With --on-row-error skip each refused row is passed over, the rows after it stored. (NoPeople is a
// column of size 2, so "many" is cut to 2 characters before it is refused; "di" is refused for the
// 40 characters beyond the Basic Multilingual Plane in its last name, each two of the column's
// characters as Access counts them.)
TEST_F(CliPark, AnImportWithoutItsOptionsTakesTheSafeDefaults) {
    std::string astral;
    while (astral.size() < 160)
        astral += "\xF0\x9F\x98\x80";
    park.write("g.csv", "\"First\",\"Town\",\"People\",\"Last\"\r\nann,NEW YORK,2,a\r\nbo,PARIS,many,b\r\ndi,OSLO,4," +
                            astral + "\r\ncy,ROME,3,c\r\n");
    std::vector<std::string> import = {"import",    "guests", "g.csv",           "--map", "FirstName=First", "--map",
                                       "City=Town", "--map",  "NoPeople=People", "--map", "LastName=Last"};
    const ObservedRun stopped = apart(import);
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(Masked(stopped.out, park.path()),
              "We are making a BackUp of the Halvane DataBase before you Add Guests {time} ?\n> Yes\nThe Database has "
              "been BackedUp as {park}/Park_AddGuests_{time}.MDB\nThe NoPeople of Line 1 was shortened to fit DB "
              "field length by 2\nError on Line 1.  Failure on Field: NoPeople Data is: many\nThis is most likely due "
              "to a ',' or ';' in a field confusing the Field Capture routine\nContinuing will NOT Save this line. Do "
              "you want to try to continue?\n> No\n");
    EXPECT_EQ(stopped.err, "The import stopped at a row it could not store, with 1 of 4 rows stored in Guest.\n");
    EXPECT_EQ(sql("SELECT Name, City FROM Guest"), "A, Ann|New York\n");

    import.insert(import.end(), {"--on-row-error", "skip", "--backup", "no"});
    const ObservedRun skipped = apart(import);
    EXPECT_EQ(skipped.status, 0);
    const std::string tail = "> Yes\n2 of 4 Guests Successfully Imported\n2 rows that were not imported are in "
                             "{park}/g rejected.csv: fix them there, then import that file with the same mapping.\n";
    const std::string out = Masked(skipped.out, park.path());
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), tail.size())), tail);
    EXPECT_EQ(sql("SELECT Name FROM Guest WHERE ID > 1"), "A, Ann\nC, Cy\n");
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
    EXPECT_EQ(purged.status, 0);
    EXPECT_EQ(purged.out.substr(purged.out.rfind('\n', purged.out.size() - 2) + 1),
              "The Halvane DataBase has been Compressed.\n");
    TempDir fresh;
    RunProgram(CLI_PATH, "init '" + fresh.path() + "'" + InitFormatOption());
    const auto compacted = std::filesystem::file_size(park.file("Park.MDB"));
    EXPECT_LT(compacted * 10, full);
    EXPECT_LE(compacted, std::filesystem::file_size(fresh.file("Park.MDB")) + 4 * 4096);
    EXPECT_EQ(SoundParkRows(park.file("Park.MDB"), "Guest"), "ok\n0\n");
}

class CliCheck : public CliPark {};

TEST_F(CliCheck, NamesEachProblemPreviewsTheRowsAndStoresNothing) {
    park.write("items.csv", "\"Item\",\"Price\",\"Tax\"\r\nice,2.5,yes\r\nrope,3,no\r\npin,cheap,yes\r\n" +
                                std::string(35, 'w') + ",1,no\r\n");
    const CliResult checked = run("check charges items.csv --map Name=Item --map Amount=Price --map Taxable=Tax "
                                  "--yes-no Taxable --case caps --rows 3 --report report.csv");
    EXPECT_EQ(checked.status, 1);
    const std::string reason = "Amount cannot take 'cheap': it is not a number";
    EXPECT_EQ(checked.out, "items.csv: Line 4, Amount 'cheap': " + reason +
                               "; the row would not be stored.\n"
                               "items.csv: Line 5, Name '" +
                               std::string(35, 'w') +
                               "': it would be shortened by 5 to fit the column.\n"
                               "4 data lines read, 3 rows would be stored, 1 refused, 1 value shortened.\n"
                               "File\tLine\tName\tAmount\tTaxable\tRefused\n"
                               "items.csv\t2\tICE\t2.5\tTrue\t\nitems.csv\t3\tROPE\t3\tFalse\t\n"
                               "items.csv\t4\tPIN\t[cheap]\t\t" +
                               reason + "\n");
    EXPECT_EQ(park.read("report.csv").substr(0, 40), "\"File\",\"Line\",\"Field\",\"Value\",\"Reason\"\r\n");
    EXPECT_EQ(sql("SELECT count(*) FROM OtherCharges"), "0\n");
}

TEST_F(CliCheck, RejectedRowsThatCannotBeWrittenAreCountedAndFailTheImport) {
    std::string csv = "\"Site\"\r\n";
    for (int i = 0; i < 3000; ++i)
        csv += "not a number " + std::string(80, 'x') + "\r\n";
    park.write("big.csv", csv);
    // The disk is full for the rejected rows: files may not grow past 200 kB (the park stays small,
    // as nothing is stored); the signal of an oversized write is ignored, so the write itself fails.
    const CliResult full = RunProgram(
        "/bin/bash", "-c \"ulimit -f 200; trap '' XFSZ; exec '" + std::string(CLI_PATH) + "' --park '" + park.path() +
                         "' import sites big.csv --map Number=Site --backup no --on-row-error skip\"");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.out.find("3000 rows that were not imported are in no file: they could not be written beside "
                            "big.csv (File too large). The import itself is kept."),
              std::string::npos)
        << full.out.substr(full.out.size() - std::min<std::size_t>(full.out.size(), 400));
    for (const auto &entry : std::filesystem::directory_iterator(park.path()))
        EXPECT_EQ(entry.path().filename().string().find("rejected"), std::string::npos) << entry.path();
}

} // namespace
} // namespace tarnwick
