// check from the terminal: the report, its file, and the status that says whether every row would go in.
#include "support/CliPark.h"

#include <filesystem>

namespace tarnwick {
namespace {

class CliCheck : public CliPark {};

TEST_F(CliCheck, ReportsProblemsWritesTheReportAndSaysByItsStatus) {
    park.write("good.csv", "\"Item\",\"Price\"\r\nice,2.5\r\n");
    park.write("bad.csv", "\"Item\",\"Price\"\r\nice,2.5\r\nrope,cheap\r\n");
    EXPECT_EQ(run("check charges good.csv --map Name=Item --map Amount=Price").status, 0);
    CliResult bad = run("check charges bad.csv --map Name=Item --map Amount=Price --report report.csv");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("bad.csv: Line 3, Amount 'cheap'"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("2 data lines read, 1 row would be stored, 1 refused, 0 values shortened."),
              std::string::npos);
    EXPECT_EQ(park.read("report.csv").substr(0, 40), "\"File\",\"Line\",\"Field\",\"Value\",\"Reason\"\r\n");
    EXPECT_EQ(bad.out.find("We are making"), std::string::npos) << "no backup is offered";
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
        EXPECT_EQ(entry.path().filename().string().find("rejected"), std::string::npos)
            << "no cut file is left: " << entry.path();
    EXPECT_EQ(sql("SELECT count(*) FROM Sites"), "0\n");
}

} // namespace
} // namespace tarnwick
