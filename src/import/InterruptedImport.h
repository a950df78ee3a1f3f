#pragma once
// A marker beside Park.MDB while an import runs, so that an import cut short by a kill, a crash or a
// power cut is never silent: the next start names it, counts its rows and offers the backup taken
// before it.
#include "app/Session.h"

#include <optional>
#include <string>

namespace tarnwick {

struct ImportMarker {
    std::string table;  // Sites, Guest or OtherCharges
    std::string source; // the file imported
    std::string backup; // the backup taken before it; empty when none was
    std::string time;   // when it started, "mm-dd-yyyy hh mm"
    long rowsBefore = 0;
};

// Writes the marker (flushed to the disk) before the first row; throws nothing.
void WriteImportMarker(const Session &session, const ImportMarker &marker);
void RemoveImportMarker(const Session &session);
std::optional<ImportMarker> ReadImportMarker(const Session &session);

// The rows a park table holds now.
long TableRowCount(Session &session, const std::string &table);

// At start: when an import was interrupted, says which and how many of its rows are stored, and
// offers to put back the backup taken before it. The marker is gone afterwards.
void CheckInterruptedImport(Session &session);

} // namespace tarnwick
