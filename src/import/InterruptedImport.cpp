#include "import/InterruptedImport.h"

#include "db/Backups.h"
#include "db/Recordset.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string markerPath(const Session &session) {
    return session.DbFolder + "/Park.MDB.import";
}

} // namespace

void WriteImportMarker(const Session &session, const ImportMarker &marker) {
    const std::string path = markerPath(session);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fprintf(file, "table=%s\nsource=%s\nbackup=%s\ntime=%s\nrowsBefore=%ld\n", marker.table.c_str(),
                 marker.source.c_str(), marker.backup.c_str(), marker.time.c_str(), marker.rowsBefore);
    std::fflush(file);
    ::fsync(::fileno(file));
    std::fclose(file);
}

void RemoveImportMarker(const Session &session) {
    std::remove(markerPath(session).c_str());
}

std::optional<ImportMarker> ReadImportMarker(const Session &session) {
    std::ifstream in(markerPath(session));
    if (!in)
        return std::nullopt;
    ImportMarker marker;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "table")
            marker.table = value;
        else if (key == "source")
            marker.source = value;
        else if (key == "backup")
            marker.backup = value;
        else if (key == "time")
            marker.time = value;
        else if (key == "rowsBefore")
            marker.rowsBefore = std::atol(value.c_str());
    }
    return marker;
}

long TableRowCount(Session &session, const std::string &table) {
    try {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        return rs.RecordCount();
    } catch (const NumberedError &) {
        return 0;
    }
}

void CheckInterruptedImport(Session &session) {
    const std::optional<ImportMarker> marker = ReadImportMarker(session);
    if (!marker || !session.ParkConnection || !session.ParkConnection->IsOpen())
        return;
    const long stored = std::max(0L, TableRowCount(session, marker->table) - marker->rowsBefore);
    const std::string what = "The import of " + marker->source + " into " + marker->table + " that started " +
                             marker->time + " was interrupted: " + std::to_string(stored) +
                             " of its rows are in the table.";
    RemoveImportMarker(session);
    if (marker->backup.empty()) {
        session.prompter.notify(what + session.LineBreak + "No backup was taken before it.", Icon::Exclamation);
        return;
    }
    if (session.prompter.ask(what + session.LineBreak + "Do you want to put back the backup taken before it, " +
                                 marker->backup + "?",
                             Buttons::YesNo, Icon::Exclamation) == Answer::Yes)
        RestoreBackup(session, marker->backup);
}

} // namespace tarnwick
