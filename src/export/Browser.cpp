#include "export/Browser.h"

#include "base/TextUtil.h"
#include "db/DbError.h"

namespace tarnwick {

std::string FieldTypeName(int type) {
    // The list as the field window has always named the codes, DAO and ADO numbers mixed.
    switch (type) {
    case 1:
        return "dbBoolean";
    case 2:
        return "dbByte";
    case 3:
        return "dbInteger";
    case 4:
        return "dbLong";
    case 5:
        return "dbCurrency";
    case 6:
        return "dbSingle";
    case 7:
        return "dbDouble";
    case 8:
        return "dbDate";
    case 10:
    case 202:
        return "dbText";
    case 11:
        return "dbLongBinary";
    case 12:
    case 203:
        return "dbMemo";
    case 15:
        return "dbGUID";
    default:
        return "";
    }
}

std::optional<std::vector<std::string>> Browser::ListTables(const std::string &path) {
    for (;;) {
        try {
            database_ = OpenAccessDatabase(path, session_.DbPassword, [this] { session_.progress.waiting(); });
            session_.BrowseOpen = -1;
            std::vector<std::string> names = database_->tableNames();
            ReportIncompleteRead(session_, *database_, "the tables of " + path, "the list of tables");
            if (static_cast<int>(names.size()) > kTableBoxes) {
                session_.prompter.notify("Not all Tables are being displayed because more than 45 Tables exist.",
                                         Icon::Exclamation);
                names.resize(kTableBoxes);
            }
            return names;
        } catch (const DbError &error) {
            if (error.number() != dberr::WrongPassword) {
                session_.prompter.notify("ListTables: Error!" + session_.LineBreak + std::to_string(error.number()) +
                                         ": " + error.description());
                return std::nullopt;
            }
            std::optional<std::string> typed = session_.prompter.input(
                "Password Input", "This database requires a Password. Please enter the correct Password.");
            if (!typed || typed->empty()) {
                session_.prompter.notify("The correct Password MUST be provided ... Aborting", Icon::Critical);
                return std::nullopt;
            }
            session_.DbPassword = *typed;
        }
    }
}

std::optional<Browser::FieldList> Browser::Fields(const std::string &table) {
    FieldList list;
    try {
        for (const AccessField &field : database_->fields(table)) {
            std::string name = field.name;
            std::size_t length = Utf8Length(name);
            if (length < 22)
                name.append(22 - length, ' ');
            list.lines.push_back(name + "   " + FieldTypeName(field.type));
        }
        list.countLine = "No. of Records in " + table + "  " + std::to_string(database_->recordCount(table));
    } catch (const DbError &error) {
        database_->takeWarning();
        session_.prompter.notify("Fields: Error!" + session_.LineBreak + std::to_string(error.number()) + ": " +
                                 error.description());
        return std::nullopt;
    }
    ReportIncompleteRead(session_, *database_, "the Table " + table, "its field list");
    return list;
}

void ReportIncompleteRead(Session &session, AccessDatabase &database, const std::string &what,
                          const std::string &result) {
    const std::optional<std::string> warning = database.takeWarning();
    if (!warning)
        return;
    std::string text = "Reading " + what + " gave warnings, so " + result + " may be incomplete.";
    if (!warning->empty())
        text += session.LineBreak + "The first warning was: " + *warning;
    session.prompter.notify(text, Icon::Exclamation);
}

void Browser::Close() {
    database_.reset();
    session_.BrowseOpen = 0;
}

} // namespace tarnwick
