#pragma once
// A new park in a temporary folder, and the terminal program run on it as a user would.
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace tarnwick {

// The names of the files in `folder`.
inline std::set<std::string> FileNames(const std::string &folder) {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class CliPark : public ::testing::Test {
protected:
    CliPark() { RunProgram(CLI_PATH, "init '" + park.path() + "'" + InitFormatOption()); }
    // The program with --park on this park, its arguments as a shell reads them, its two streams as
    // one; a run that does not end within 20 s is stopped.
    CliResult run(const std::string &arguments) {
        return RunProgram("timeout", "20 '" + std::string(CLI_PATH) + "' --park '" + park.path() + "' " + arguments);
    }
    // The program with --park on this park, its two streams apart.
    ObservedRun apart(std::vector<std::string> arguments, int limitSeconds = 30) {
        arguments.insert(arguments.begin(), {"--park", park.path()});
        return RunObserved(CLI_PATH, arguments, limitSeconds);
    }
    // What an outside reader prints for a query on the park (see ParkQuery.h).
    std::string sql(const std::string &query) { return ParkQuery(park.file("Park.MDB"), query); }
    // The names of the files in the park's folder.
    std::set<std::string> files() const { return FileNames(park.path()); }
    // The files made in the park's folder since `before` was listed, a space apart, leaving out
    // Park.MDB's own (its log and lock files).
    std::string madeSince(const std::set<std::string> &before) const {
        std::string made;
        for (const std::string &name : files())
            if (!before.count(name) && name.rfind("Park.MDB", 0) != 0)
                made += (made.empty() ? "" : " ") + name;
        return made;
    }
    TempDir park;
};

// The words of `text`, split at its spaces.
inline std::vector<std::string> Words(const std::string &text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// `text` with the park's folder written {park} and each time of day (as a backup's name and
// question carry it) written {time}, so that a transcript can be compared whole.
inline std::string Masked(std::string text, const std::string &park) {
    for (std::size_t at; (at = text.find(park)) != std::string::npos;)
        text.replace(at, park.size(), "{park}");
    return std::regex_replace(text, std::regex("\\d\\d-\\d\\d-\\d{4} \\d\\d \\d\\d"), "{time}");
}

} // namespace tarnwick
