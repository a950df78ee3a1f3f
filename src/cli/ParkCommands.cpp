#include "cli/Commands.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"

#include <iostream>

namespace tarnwick {

int RunStatus(CliSession &cli) {
    Session &session = cli.session;
    std::cout << session.DbFolder << std::endl;
    for (const TableDef &table : ParkTables()) {
        Recordset rs;
        session.SqlText = "SELECT * FROM " + table.name + " ";
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        std::cout << table.name << " " << rs.RecordCount() << std::endl;
    }
    return 0;
}

} // namespace tarnwick
