#pragma once
// A new park in a temporary folder, and the terminal program run on it as a user would.
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwick {

class CliPark : public ::testing::Test {
protected:
    CliPark() { RunProgram(CLI_PATH, "init '" + park.path() + "'" + InitFormatOption()); }
    // The program with --park on this park; a run that does not end within 20 s is stopped.
    CliResult run(const std::string &arguments) {
        return RunProgram("timeout", "20 '" + std::string(CLI_PATH) + "' --park '" + park.path() + "' " + arguments);
    }
    // What an outside reader prints for a query on the park (see ParkQuery.h).
    std::string sql(const std::string &query) { return ParkQuery(park.file("Park.MDB"), query); }
    TempDir park;
};

} // namespace tarnwick
