#pragma once
// The rollback journal beside a database file, "<file>-journal". Before a commit overwrites pages it
// saves their original images and the file's page count there and syncs them; the commit then writes
// and syncs the file and removes the journal, which is the moment the change takes hold. Whoever
// opens the file next and finds a complete journal puts the pages back and cuts the file to its old
// length; a journal cut short means the file was never touched and is only removed.
#include "db/jet/PageFile.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

std::string JournalPath(const std::string &databasePath);

// Saves the current images of the pages `numbers` (those about to be overwritten) and the file's
// page count into the journal of `file`, synced.
void WriteJournal(const PageFile &file, const std::vector<std::uint32_t> &numbers);

// Removes the journal of `databasePath`, synced: the commit point.
void RemoveJournal(const std::string &databasePath);

// Puts back what a journal beside `databasePath` holds, if there is one; a file that cannot be put
// back (a journal it may not write) is refused in a sentence.
void RecoverFromJournal(const std::string &databasePath);

} // namespace tarnwick::jet
