#include "export/Browser.h"

#include "app/TextUtil.h"
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
            database_ = OpenAccessDatabase(path, session_.DbPassword);
            session_.BrowseOpen = -1;
            std::vector<std::string> names = database_->tableNames();
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

Browser::FieldList Browser::Fields(const std::string &table) {
    FieldList list;
    for (const AccessField &field : database_->fields(table)) {
        std::string name = field.name;
        std::size_t length = Utf8Length(name);
        if (length < 22)
            name.append(22 - length, ' ');
        list.lines.push_back(name + "   " + FieldTypeName(field.type));
    }
    list.countLine = "No. of Records in " + table + "  " + std::to_string(database_->recordCount(table));
    return list;
}

void Browser::Close() {
    database_.reset();
    session_.BrowseOpen = 0;
}

} // namespace tarnwick
