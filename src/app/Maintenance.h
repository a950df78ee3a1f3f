#pragma once
// Dated backups of Park.MDB, its compaction, and the purge of a whole table.
#include "app/Session.h"

#include <optional>
#include <string>

namespace tarnwick {

enum class BackupReason : short {
    Initial = 0,
    DelSites = 1,
    DelGuests = 2,
    AddSites = 3,
    AddGuests = 4,
    DelOtherChgs = 5,
    AddOtherChgs = 6
};

// "mm-dd-yyyy hh mm" of the session's clock.
std::string BackupTimeStamp(const Session &session);

// Whether Park.MDB is still where the session found it; when it is not (the file or its whole
// folder was removed), says so. Imports and purges check it first, because the open connection
// would otherwise write into a file that no longer has a name.
bool ParkStillThere(Session &session);

// Offers a copy of Park.MDB as Park_<reason>_<stamp>.MDB beside it. The caller goes on whatever
// the answer or the outcome; ParkConnection is open again on return. The copy's path when one was
// written.
std::optional<std::string> BackUpDB(Session &session, BackupReason reason);

// The copy itself, without the question, under a reason name; a second copy of the same reason and
// minute replaces the first.
std::optional<std::string> CopyParkAs(Session &session, const std::string &reasonName);

// Offers to compact Park.MDB through Park.TMP; ParkConnection is open again on return. Returns
// false when an error stopped the compaction; the message says which.
bool CompressDB(Session &session);

// At start: when a compaction that did not finish left Park.TMP (and perhaps its journal) beside the
// park, and no compaction runs now, names it and offers to remove it, so that the park can be
// compressed again. Park.MDB is the park as it was before that compaction.
void CheckLeftCompaction(Session &session);

enum class PurgeTable { Sites, Guests, OtherCharges };

// Asks whether to remove every row of the table; on Yes offers the backup, empties the table row
// by row and offers compaction. Returns false when the operator said No or an error stopped the
// purge or the compaction.
bool ConfirmAndPurge(Session &session, PurgeTable table);

// The purges themselves; false when an error stopped the purge or the compaction it offers.
bool PurgeSites(Session &session);
bool PurgeGuests(Session &session);
bool PurgeOtherCharges(Session &session);

} // namespace tarnwick
