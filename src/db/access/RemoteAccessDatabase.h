#pragma once
// A Jet or ACE database read by the reader process: libmdb never runs in the program itself, so a
// damaged file can only cost the reader, never the program.
#include "db/access/AccessDatabase.h"
#include "db/access/ReaderProcess.h"

#include <memory>

namespace tarnwick {

class RemoteAccessDatabase : public AccessDatabase {
public:
    // Starts `reader` on `path` and reads the table list; throws DbError when the reader fails
    // or reports the file unreadable.
    RemoteAccessDatabase(const std::string &reader, const std::string &path, const ReaderLimits &limits,
                         std::function<void()> waiting);
    std::vector<std::string> tableNames() override { return names_; }
    std::vector<AccessField> fields(const std::string &table) override;
    long recordCount(const std::string &table) override;
    void forEachRecord(const std::string &table, const std::function<void(const std::vector<Value> &)> &row) override;
    std::optional<std::string> takeWarning() override;

private:
    // Sends a request (starting a new reader if the last one failed) and runs `read` on its
    // answer. A failure leaves no reader behind, so the next request starts afresh.
    template <typename Read> auto ask(char request, const std::string &table, Read read);
    void start();
    void noteWarnings();

    std::string reader_, path_;
    ReaderLimits limits_;
    std::function<void()> waiting_;
    std::unique_ptr<ReaderProcess> process_;
    std::vector<std::string> names_;
    std::optional<std::string> warning_;
};

// The reader program: tarnwick-access-reader beside this program, or in its libexec folder.
std::string AccessReaderProgram();

} // namespace tarnwick
