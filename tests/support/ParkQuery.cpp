#include "support/ParkQuery.h"

#include "db/OpenEngine.h"
#include "db/Recordset.h"
#include "db/jet/Journal.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

#include <regex>

namespace tarnwick {

std::string ParkQuery(const std::string &parkFile, const std::string &query) {
    if (DetectDatabaseFormat(parkFile) != DatabaseFormat::Jet4)
        return RunProgram("sqlite3", "'" + parkFile + "' '" + query + "'").out;
    if (query.rfind("SELECT", 0) != 0) {
        ADD_FAILURE() << "only SELECT is asked of a Jet park: " << query;
        return {};
    }
    std::string out =
        RunProgram("sh", "-c 'echo \"$0\" | mdb-sql -H -F -P -d \"|\" \"$1\"' '" + query + "' '" + parkFile + "'").out;
    // mdb-sql opens its output with an empty line.
    if (!out.empty() && out.front() == '\n')
        out.erase(0, 1);
    // Currency's four decimals as the sqlite3 shell prints a real number: 6.0000 as 6.0, 2.5000 as 2.5.
    static const std::regex zeros(R"((\.\d*?[0-9])0+(\||\n|$))");
    return std::regex_replace(out, zeros, "$1$2");
}

void ChangePark(const std::string &parkFile, const std::string &table, const std::function<void(Recordset &)> &edit) {
    Connection connection;
    connection.SetProperty("Data Source", parkFile);
    connection.Open();
    Recordset rows;
    rows.Open("SELECT * FROM " + table, connection, adOpenStatic, adLockOptimistic);
    edit(rows);
    rows.Close();
    connection.Close();
}

std::string SoundParkRows(const std::string &parkFile, const std::string &table) {
    if (DetectDatabaseFormat(parkFile) != DatabaseFormat::Jet4)
        return RunProgram("sqlite3",
                          "'" + parkFile + "' 'PRAGMA integrity_check;' 'SELECT count(*) FROM " + table + ";'")
            .out;
    jet::RecoverFromJournal(parkFile);
    std::string complaints;
    for (const char *each : {"Sites", "Guest", "OtherCharges", "ParkInfo"}) {
        const CliResult exported =
            RunProgram("sh", "-c 'mdb-export \"$0\" " + std::string(each) + " >/dev/null' '" + parkFile + "'");
        complaints += exported.out + (exported.status == 0 ? "" : "mdb-export failed on " + std::string(each) + "\n");
    }
    return complaints.empty() ? "ok\n" + RunProgram("mdb-count", "'" + parkFile + "' " + table).out : complaints;
}

} // namespace tarnwick
