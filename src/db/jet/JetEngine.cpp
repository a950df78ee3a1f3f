#include "db/jet/JetEngine.h"

#include "base/PathCheck.h"
#include "db/jet/JetEngineTable.h"
#include "db/jet/LockFile.h"
#include "db/jet/ParkCompaction.h"

namespace tarnwick {

JetEngine::JetEngine(const std::string &path, EngineAccess access) : path_(path) {
    // A write needs the file and, for the lock file beside it, its folder.
    if (access != EngineAccess::Write || !IsWritable(path))
        whyReadOnly_ = path + " is read-only, so nothing can be written to it.";
    else if (!IsWritable(ParentFolder(path)))
        whyReadOnly_ =
            "the folder " + ParentFolder(path) + " cannot be written, so nothing can be written to " + path + ".";
    // The file is read until the first write, which takes the lock file; a look at the park never
    // keeps another program from writing to it.
    unlocked([&] { db_ = std::make_unique<jet::JetDatabase>(path, false); });
}

jet::JetDatabase &JetEngine::database() const {
    if (!db_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
    return *db_;
}

jet::JetDatabase &JetEngine::writable() {
    database();
    if (!whyReadOnly_.empty())
        throw DbError(dberr::StorageFailure, whyReadOnly_);
    if (!writing_) {
        if (jet::OpenForWritingElsewhere(path_))
            throw DbError(dberr::StorageFailure,
                          path_ + " is in use by another program, so nothing can be written to it.");
        db_ = std::make_unique<jet::JetDatabase>(path_, true);
        writing_ = true;
    }
    return *db_;
}

std::unique_ptr<EngineTable> JetEngine::openTable(const std::string &name) {
    return std::make_unique<JetEngineTable>(*this, name);
}

std::vector<std::string> JetEngine::tableNames() {
    std::vector<std::string> names;
    for (const std::string &name : reading([](const jet::JetDatabase &db) { return db.tableNames(); }))
        if (!IsSystemTableName(name))
            names.push_back(name);
    return names;
}

long JetEngine::rowCount(const std::string &name) {
    return static_cast<long>(reading([&](const jet::JetDatabase &db) { return db.table(name).rowCount; }));
}

void JetEngine::checkIntegrity() {
    jet::JetDatabase &db = database();
    for (const std::string &name : db.tableNames())
        db.scan(db.table(name), [](jet::RowId, const jet::Row &) { return true; });
}

void JetEngine::beginGroup() {
    if (inGroup_ || trial_)
        return;
    jet::JetDatabase &db = writable();
    if (!db.changing())
        db.begin();
    inGroup_ = true;
}

void JetEngine::commitGroup() {
    if (!inGroup_ || trial_)
        return;
    inGroup_ = false;
    if (!lostGroup_.empty()) {
        const std::string why = std::move(lostGroup_);
        lostGroup_.clear();
        abandon();
        throw DbError(dberr::StorageFailure, "The writes of this group were taken back: " + why);
    }
    database().commit();
}

void JetEngine::beginTrial() {
    beginGroup();
    inGroup_ = false;
    trial_ = true;
}

void JetEngine::endTrial() noexcept {
    if (!trial_)
        return;
    trial_ = false;
    if (db_)
        db_->rollback();
}

void JetEngine::abandon() noexcept {
    if (db_)
        db_->rollback();
}

void JetEngine::close() noexcept {
    endTrial();
    if (inGroup_ && db_) {
        try {
            db_->commit();
        } catch (...) {
            db_->rollback();
        }
    }
    inGroup_ = false;
    writing_ = false;
    db_.reset();
}

void JetEngine::compactInPlace(const std::string &scratch, const std::vector<std::string> &owned) {
    // Open for writing, the park is held against every other writer until it is replaced.
    if (!writing_ && jet::OpenForWritingElsewhere(path_))
        jet::ThrowInUse(path_);
    jet::JetDatabase &db = writable();
    if (inGroup_ || trial_)
        throw DbError(dberr::StorageFailure, "A change to '" + path_ + "' is under way.");
    try {
        CompactPark(db, scratch, owned);
    } catch (...) {
        close();
        throw;
    }
    close();
}

} // namespace tarnwick
