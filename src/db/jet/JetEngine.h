#pragma once
// The Jet 4 engine behind a Connection: a Park.MDB the management software made, written through
// JetDatabase. The file is only read until the first write takes its lock file, which is then held
// until the engine closes. Writes outside a group or trial are committed one at a time; a group commits its
// writes together, and a trial rolls them back.
#include "db/Engine.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/JetError.h"
#include "db/jet/LockFile.h"

#include <memory>
#include <string>

namespace tarnwick {

class JetEngine : public Engine {
public:
    // Opens the Jet 4 file `path` for writing, or for reading only when this process may not write
    // to it or `access` asks only to read it (its first write is then refused in a sentence).
    JetEngine(const std::string &path, EngineAccess access);
    ~JetEngine() override { close(); }

    std::unique_ptr<EngineTable> openTable(const std::string &name) override;
    std::vector<std::string> tableNames() override;
    long rowCount(const std::string &name) override;
    void checkIntegrity() override;
    void beginGroup() override;
    void commitGroup() override;
    void beginTrial() override;
    void endTrial() noexcept override;
    void close() noexcept override;
    void compactInPlace(const std::string &scratch, const std::vector<std::string> &owned) override;

    // Runs `write` within the open group or trial, or as a change of its own committed at once. A
    // refusal leaves the open change as it was; any other failure takes the whole open change back,
    // and the group or trial goes on with a new one; the group's commit then says that its earlier
    // writes were taken back.
    template <typename Write> auto change(Write write) {
        jet::JetDatabase &db = writable();
        // Outside a group or trial each write is a change of its own.
        const bool own = !inGroup_ && !trial_;
        if (!db.changing())
            db.begin();
        try {
            auto result = write(db);
            if (own)
                db.commit();
            return result;
        } catch (const jet::Refusal &) {
            if (own)
                db.rollback();
            throw;
        } catch (const std::exception &error) {
            abandon();
            if (inGroup_ && !trial_ && lostGroup_.empty())
                lostGroup_ = error.what();
            throw;
        }
    }

    // Runs `read` on the database.
    template <typename Read> auto reading(Read read) const {
        if (writing_)
            return read(database());
        return unlocked([&] { return read(database()); });
    }

    jet::JetDatabase &database() const;

private:
    // Runs `attempt`, a read of the file while this engine holds no lock. Damage it meets may be
    // another program's change under way: while that program holds the lock file it is refused as a
    // file in use; once it has let go, `attempt` is made again on a fresh look at the file, and
    // damage found then is the file's own.
    template <typename Attempt> auto unlocked(Attempt attempt) const {
        try {
            return attempt();
        } catch (const DbError &error) {
            if (error.number() != dberr::UnrecognizedFormat)
                throw;
            if (jet::OpenForWritingElsewhere(path_))
                jet::ThrowInUse(path_);
            db_ = std::make_unique<jet::JetDatabase>(path_, false);
            return attempt();
        }
    }
    // The database opened for writing, the lock file taken, at the first write.
    jet::JetDatabase &writable();
    void abandon() noexcept;

    std::string path_;
    // Why this engine may only read, or nothing when it may write.
    std::string whyReadOnly_;
    // Replaced by a fresh look when a read met another program's change.
    mutable std::unique_ptr<jet::JetDatabase> db_;
    bool writing_ = false;
    bool inGroup_ = false;
    bool trial_ = false;
    // Why the open group's earlier writes were taken back; its commit reports it.
    std::string lostGroup_;
};

} // namespace tarnwick
