#include "db/access/SqliteDatabase.h"

#include "db/Recordset.h"

namespace tarnwick {

SqliteDatabase::SqliteDatabase(const std::string &path) {
    connection_.SetProperty("Data Source", path);
    connection_.Open();
}

std::vector<std::string> SqliteDatabase::tableNames() {
    return connection_.engine().tableNames();
}

std::vector<AccessField> SqliteDatabase::fields(const std::string &table) {
    Recordset rs;
    rs.Open(table, connection_, adOpenKeyset, adLockReadOnly, adCmdTable);
    std::vector<AccessField> out;
    for (int i = 0; i < rs.Fields().Count(); ++i)
        out.push_back({rs.Fields()[i].Name(), rs.Fields()[i].Type()});
    return out;
}

long SqliteDatabase::recordCount(const std::string &table) {
    Recordset rs;
    rs.Open(table, connection_, adOpenStatic, adLockReadOnly, adCmdTable);
    return rs.RecordCount();
}

void SqliteDatabase::forEachRecord(const std::string &table,
                                   const std::function<void(const std::vector<Value> &)> &row) {
    Recordset rs;
    rs.Open(table, connection_, adOpenStatic, adLockReadOnly, adCmdTable);
    std::vector<Value> values(rs.Fields().Count());
    for (; !rs.Eof(); rs.MoveNext()) {
        for (int i = 0; i < rs.Fields().Count(); ++i)
            values[i] = rs.Fields()[i].GetValue();
        row(values);
    }
}

} // namespace tarnwick
