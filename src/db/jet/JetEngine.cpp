#include "db/jet/JetEngine.h"

#include "base/PathCheck.h"
#include "db/access/AccessDatabase.h"
#include "db/jet/JetEngineTable.h"
#include "db/jet/ParkCompaction.h"

namespace tarnwick {

JetEngine::JetEngine(const std::string &path, EngineAccess access)
    : path_(path), readOnly_(access != EngineAccess::Write || !IsWritable(path)) {
    db_ = std::make_unique<jet::JetDatabase>(path, !readOnly_);
}

jet::JetDatabase &JetEngine::database() const {
    if (!db_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
    return *db_;
}

jet::JetDatabase &JetEngine::writable() const {
    jet::JetDatabase &db = database();
    if (readOnly_)
        throw DbError(dberr::StorageFailure, path_ + " is read-only, so nothing can be written to it.");
    return db;
}

std::unique_ptr<EngineTable> JetEngine::openTable(const std::string &name) {
    return std::make_unique<JetEngineTable>(*this, name);
}

std::vector<std::string> JetEngine::tableNames() {
    std::vector<std::string> names;
    for (const std::string &name : database().tableNames())
        if (!IsSystemTableName(name))
            names.push_back(name);
    return names;
}

long JetEngine::rowCount(const std::string &name) {
    return static_cast<long>(database().table(name).rowCount);
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
    db_.reset();
}

void JetEngine::compactInto(const std::string &target) {
    CompactPark(database(), target);
}

} // namespace tarnwick
