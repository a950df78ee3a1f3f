#pragma once
// The kinds of column a park table has, how each is declared in SQLite so that the schema alone
// tells the kind, and what Field.Type and Field.DefinedSize report for it.
#include <string>

namespace tarnwick {

enum class ColumnKind { AutoNumber, Long, Integer, Byte, Single, Double, Currency, Date, YesNo, Text, Memo };

struct ColumnType {
    ColumnKind kind = ColumnKind::Text;
    int textSize = 255; // characters, for Text only

    int adoType() const;
    long definedSize() const;
    // The declared type written into CREATE TABLE.
    std::string declaration() const;
    static ColumnType fromDeclaration(const std::string &declared);
};

} // namespace tarnwick
