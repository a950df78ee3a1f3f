#pragma once
// The database browser: lists the tables of another Access database, asking for its password when
// it has one, and describes the fields of a table.
#include "app/Session.h"
#include "db/access/AccessDatabase.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The number of table boxes of the export window.
constexpr int kTableBoxes = 45;

class Browser {
public:
    explicit Browser(Session &session) : session_(session) {}

    // Opens `path` as the browse connection and returns its user tables: the first 45, with a
    // warning when there are more (only those have boxes). Nothing when the listing was stopped: a
    // failure reported as "ListTables: Error!", or the password question given up.
    std::optional<std::vector<std::string>> ListTables(const std::string &path);

    // The lines of the field list ("name" padded to 22, 3 blanks, the type's name) and the record
    // count line beneath them. Nothing when the table could not be read; the failure is reported
    // as "Fields: Error!".
    struct FieldList {
        std::vector<std::string> lines;
        std::string countLine;
    };
    std::optional<FieldList> Fields(const std::string &table);

    // The browse connection, open after a successful listing.
    AccessDatabase *database() { return database_.get(); }
    void Close();

private:
    Session &session_;
    std::unique_ptr<AccessDatabase> database_;
};

// Tells the operator when reading `what` printed warnings (libmdb's sign of a damaged file), in one
// message saying that `result` may be incomplete.
void ReportIncompleteRead(Session &session, AccessDatabase &database, const std::string &what,
                          const std::string &result);

// The name the field list shows for an ADO type code; empty for codes it does not name.
std::string FieldTypeName(int type);

} // namespace tarnwick
