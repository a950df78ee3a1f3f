#include "db/ColumnKind.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tarnwick {
namespace {

// Declared types: each carries a word SQLite's affinity rules map to the storage wanted
// (INT -> INTEGER, REAL/FLOAT/DOUBLE -> REAL, TEXT/CHAR -> TEXT).
struct Declared {
    ColumnKind kind;
    const char *name;
};
const Declared kDeclared[] = {
    {ColumnKind::AutoNumber, "INTEGER PRIMARY KEY AUTOINCREMENT"},
    {ColumnKind::Long, "LONG INTEGER"},
    {ColumnKind::Integer, "SHORT INTEGER"},
    {ColumnKind::Byte, "BYTE INTEGER"},
    {ColumnKind::Single, "SINGLE FLOAT"},
    {ColumnKind::Double, "DOUBLE"},
    {ColumnKind::Currency, "CURRENCY REAL"},
    {ColumnKind::Date, "DATETIME TEXT"},
    {ColumnKind::YesNo, "YESNO INTEGER"},
    {ColumnKind::Memo, "MEMO TEXT"},
};

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

} // namespace

int ColumnType::adoType() const {
    switch (kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
        return 3;
    case ColumnKind::Integer:
        return 2;
    case ColumnKind::Byte:
        return 17;
    case ColumnKind::Single:
        return 4;
    case ColumnKind::Double:
        return 5;
    case ColumnKind::Currency:
        return 6;
    case ColumnKind::Date:
        return 7;
    case ColumnKind::YesNo:
        return 11;
    case ColumnKind::Text:
        return 202;
    case ColumnKind::Memo:
        return 203;
    }
    return 0;
}

long ColumnType::definedSize() const {
    switch (kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
    case ColumnKind::Single:
        return 4;
    case ColumnKind::Integer:
    case ColumnKind::YesNo:
        return 2;
    case ColumnKind::Byte:
        return 1;
    case ColumnKind::Double:
    case ColumnKind::Currency:
    case ColumnKind::Date:
        return 8;
    case ColumnKind::Text:
        return textSize;
    case ColumnKind::Memo:
        return 536870910;
    }
    return 0;
}

std::string ColumnType::declaration() const {
    if (kind == ColumnKind::Text)
        return "VARCHAR(" + std::to_string(textSize) + ")";
    for (const auto &d : kDeclared)
        if (d.kind == kind)
            return d.name;
    return "TEXT";
}

ColumnType ColumnType::fromDeclaration(const std::string &declared) {
    std::string u = upper(declared);
    if (u.rfind("VARCHAR(", 0) == 0)
        return {ColumnKind::Text, std::atoi(u.c_str() + 8)};
    // SQLite reports the INTEGER PRIMARY KEY column's declared type as just "INTEGER".
    if (u == "INTEGER")
        return {ColumnKind::AutoNumber};
    for (const auto &d : kDeclared)
        if (u == d.name)
            return {d.kind};
    // A column this component did not declare: judge it by SQLite's own affinity words.
    if (u.find("INT") != std::string::npos)
        return {ColumnKind::Long};
    if (u.find("REAL") != std::string::npos || u.find("FLOA") != std::string::npos ||
        u.find("DOUB") != std::string::npos)
        return {ColumnKind::Double};
    return {ColumnKind::Memo};
}

} // namespace tarnwick
