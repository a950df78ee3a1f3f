#include "app/Maintenance.h"

#include "app/Startup.h"
#include "base/PathCheck.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

// File operations fail with the old run time's numbers.
NumberedError fileError(int error) {
    if (error == EACCES || error == EPERM || error == EROFS)
        return NumberedError(70, "Permission denied");
    if (error == ENOENT)
        return NumberedError(53, "File not found");
    return NumberedError(75, std::string("Path/File access error: ") + std::strerror(error));
}

void removeSidecars(const std::string &database) {
    std::remove((database + "-wal").c_str());
    std::remove((database + "-shm").c_str());
}

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
        // The rows deleted so far stay deleted; the operator learns why the rest remain.
        session.ParkConnection->CommitGroup();
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
        const std::string source = session.DbFolder + "/Park.MDB";
        const std::string target = session.DbFolder + "/Park_" + reasonName + "_" + BackupTimeStamp(session) + ".MDB";
        std::error_code error;
        std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            throw fileError(error.value());
        written = target;
        message = "The Database has been BackedUp as " + target;
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
                source.engine().compactInto(compacted, parkTables);
                source.Close();
            }
            removeSidecars(database);
            if (std::remove(database.c_str()) != 0)
                throw fileError(errno);
            if (std::rename(compacted.c_str(), database.c_str()) != 0)
                throw fileError(errno);
            session.prompter.notify("The Halvane DataBase has been Compressed.");
        } catch (const NumberedError &error) {
            session.prompter.notify("CompressDB: " + std::to_string(error.number()) + error.description());
            failed = true;
        }
    }
    CreateRVCon(session);
    return !failed;
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
