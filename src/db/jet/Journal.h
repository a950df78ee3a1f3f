#pragma once
// The rollback journal beside a database file, "<file>-journal". Before a commit overwrites pages it
// saves their original images and the file's page count there and syncs them; the commit then writes
// and syncs the file and removes the journal, which is the moment the change takes hold. Whoever
// opens the file next and finds a complete journal puts the pages back and cuts the file to its old
// length; a journal cut short means the file was never touched and is only removed. A journal that
// does not belong to the file (see Journal.cpp) is never put back.
#include "db/jet/PageFile.h"

#include <map>
#include <optional>
#include <string>

namespace tarnwick::jet {

std::string JournalPath(const std::string &databasePath);

// Saves the current images of the pages `changes` is about to overwrite, with what ties them to the
// images it gives them, and the file's page count into the journal of `file`, synced.
void WriteJournal(const PageFile &file, const std::map<std::uint32_t, Page> &changes);

// Puts back the journal beside `databasePath` as RecoverFromJournal does, for a program that does
// not hold the file's writer lock: it holds that lock for the while, so that it never meets a commit
// under way, and refuses the file as in use while a writer holds it. Nothing without a journal.
std::optional<std::string> RecoverAsReader(const std::string &databasePath);

// Puts back, from its journal, what a commit into `file` that failed part way (a full disk, an I/O
// error) had written, and removes the journal: the file is as it was before the commit.
void TakeBackCommit(PageFile &file);

// Removes the journal of `databasePath`, synced: the commit point.
void RemoveJournal(const std::string &databasePath);

// Puts back what a journal beside `databasePath` holds, if there is one; a file that cannot be put
// back (a journal it may not write) is refused in a sentence. A journal of another file (or of this
// one before it was replaced) is set aside as "<journal> (another file's)", or with " (2)" ...
// after that when the name is taken, and its new path returned.
std::optional<std::string> RecoverFromJournal(const std::string &databasePath);

} // namespace tarnwick::jet
