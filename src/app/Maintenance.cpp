#include "app/Maintenance.h"

#include "app/Backups.h"
#include "app/Startup.h"
#include "base/NewFile.h"
#include "base/PathCheck.h"
#include "db/ParkFileLock.h"
#include "db/jet/Journal.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace tarnwick {
namespace {

struct ReasonText {
    const char *name;
    const char *question;
};

const ReasonText kReasons[] = {
    {"Initial", "We are making an Initial BackUp of the Halvane DataBase before you make any changes "},
    {"DelSites", "We are making a BackUp of the Halvane DataBase before you Delete Sites "},
    {"DelGuests", "We are making a BackUp of the Halvane DataBase before you Delete Guests "},
    {"AddSites", "We are making a BackUp of the Halvane DataBase before you Add Sites "},
    {"AddGuests", "We are making a BackUp of the Halvane DataBase before you Add Guests "},
    {"DelOtherChgs", "We are making a BackUp of the Halvane DataBase before you Delete OtherCharges "},
    {"AddOtherChgs", "We are making a BackUp of the Halvane DataBase before you Add OtherCharges "},
};

void closePark(Session &session) {
    if (session.ParkConnection)
        session.ParkConnection->Close();
    session.ParkConnection.reset();
}

// Empties `table` row by row and offers compaction; false when an error stopped either.
bool purge(Session &session, const std::string &table, const std::string &routine) {
    session.SqlText = "SELECT * FROM " + table + " ";
    bool emptied = true;
    try {
        Recordset rs;
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        session.ParkConnection->BeginGroup();
        while (!rs.Eof()) {
            rs.Delete();
            rs.Update();
            rs.MoveNext();
        }
        rs.Close();
        session.ParkConnection->CommitGroup();
    } catch (const DbError &error) {
        // The rows deleted so far stay deleted where the park still takes them; the operator learns
        // why the rest remain.
        try {
            session.ParkConnection->CommitGroup();
        } catch (const DbError &) {
        }
        session.prompter.notify(routine + ": " + std::to_string(error.number()) + error.description());
        emptied = false;
    }
    return CompressDB(session) && emptied;
}

} // namespace

std::string BackupTimeStamp(const Session &session) {
    std::tm now = session.clock.now();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d %02d %02d", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900,
                  now.tm_hour, now.tm_min);
    return buffer;
}

bool ParkStillThere(Session &session) {
    if (!PathExists(session.DbFolder)) {
        session.prompter.notify("The database folder " + session.DbFolder +
                                    " no longer exists, so nothing was changed.",
                                Icon::Exclamation);
        return false;
    }
    if (!IsRegularFile(session.DbFolder + "/Park.MDB")) {
        session.prompter.notify("Park.MDB is no longer in the database folder " + session.DbFolder +
                                    ", so nothing was changed.",
                                Icon::Exclamation);
        return false;
    }
    return true;
}

std::optional<std::string> BackUpDB(Session &session, BackupReason reason) {
    const ReasonText &text = kReasons[static_cast<int>(reason)];
    Answer answer = session.prompter.ask(text.question + BackupTimeStamp(session) + " ?", Buttons::YesNo);
    if (answer == Answer::No)
        return std::nullopt;
    return CopyParkAs(session, text.name);
}

std::optional<std::string> CopyParkAs(Session &session, const std::string &reasonName) {
    std::optional<std::string> written;
    std::string message;
    try {
        closePark(session);
        written = BackUpPark(session.DbFolder, "Park_" + reasonName + "_" + BackupTimeStamp(session));
        message = "The Database has been BackedUp as " + *written;
    } catch (const NumberedError &error) {
        message = "BackUpDB: " + error.description() + std::to_string(error.number());
    }
    // The connection is back before the message: a window may use it while the message is up.
    CreateRVCon(session);
    session.prompter.notify(message);
    return written;
}

bool CompressDB(Session &session) {
    closePark(session);
    bool failed = false;
    Answer answer = session.prompter.ask("Do you want to Compress the Halvane DataBase?", Buttons::YesNo);
    if (answer == Answer::Yes) {
        const std::string database = session.DbFolder + "/Park.MDB";
        const std::string compacted = session.DbFolder + "/Park.TMP";
        try {
            // As the old engine did, an existing destination is refused.
            if (PathExists(compacted))
                throw NumberedError(3204, "Database already exists.");
            {
                Connection source;
                source.SetProperty("Data Source", database);
                source.SetProperty("Password", session.DbPassword);
                source.Open();
                std::vector<std::string> parkTables;
                for (const TableDef &table : ParkTables())
                    parkTables.push_back(table.name);
                // The compacted copy takes the park's place in one rename, while the park is held.
                source.engine().compactInPlace(compacted, parkTables);
                source.Close();
            }
            session.prompter.notify("The Halvane DataBase has been Compressed.");
        } catch (const NumberedError &error) {
            session.prompter.notify("CompressDB: " + std::to_string(error.number()) + error.description());
            failed = true;
        }
    }
    CreateRVCon(session);
    return !failed;
}

void CheckLeftCompaction(Session &session) {
    const std::string database = session.DbFolder + "/Park.MDB";
    const std::string compacted = session.DbFolder + "/Park.TMP";
    const std::string journal = jet::JournalPath(compacted);
    if (!PathExists(compacted) && !PathExists(journal))
        return;
    std::unique_ptr<ParkFileLock> noCompactionRuns;
    try {
        noCompactionRuns = std::make_unique<ParkFileLock>(database);
    } catch (const NumberedError &) {
        return; // a compaction, or another writer, is at work
    }
    const std::string left = PathExists(compacted) ? compacted + (PathExists(journal) ? " and its journal" : "")
                                                   : "the journal " + journal;
    const Answer answer = session.prompter.ask(
        "A compaction of the park that did not finish left " + left + " behind. Park.MDB is the park as it was "
            "before that compaction, and it cannot be compressed again while Park.TMP is there. Do you want to "
            "remove " + left + "?",
        Buttons::YesNo, Icon::Exclamation);
    if (answer != Answer::Yes)
        return;
    for (const std::string &path : {journal, compacted}) {
        std::error_code error;
        if (!std::filesystem::remove(path, error) && error)
            session.prompter.notify(path + " could not be removed: " + error.message() + ".", Icon::Exclamation);
    }
    FlushFolder(session.DbFolder);
}

bool ConfirmAndPurge(Session &session, PurgeTable table) {
    static const char *const what[] = {"Sites", "Guests", "Other Charges"};
    static const BackupReason reasons[] = {BackupReason::DelSites, BackupReason::DelGuests, BackupReason::DelOtherChgs};
    const int i = static_cast<int>(table);
    Answer answer = session.prompter.ask(std::string("Doing this will totally Remove ALL ") + what[i] +
                                             " from the Park.MDB Database. Are you SURE you want to continue?",
                                         Buttons::YesNo);
    if (answer == Answer::No || !ParkStillThere(session))
        return false;
    BackUpDB(session, reasons[i]);
    switch (table) {
    case PurgeTable::Sites:
        return PurgeSites(session);
    case PurgeTable::Guests:
        return PurgeGuests(session);
    case PurgeTable::OtherCharges:
        return PurgeOtherCharges(session);
    }
    return true;
}

bool PurgeSites(Session &session) {
    return purge(session, "Sites", "PurgeSites");
}
bool PurgeGuests(Session &session) {
    return purge(session, "Guest", "PurgeGuests");
}
bool PurgeOtherCharges(Session &session) {
    return purge(session, "OtherCharges", "PurgeOtherCharges");
}

} // namespace tarnwick
