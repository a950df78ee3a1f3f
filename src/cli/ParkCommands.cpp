#include "app/SiteTypes.h"
#include "app/TitleCase.h"
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

int RunSiteTypes(CliSession &cli, const std::vector<std::string> &assignments) {
    Session &session = cli.session;
    SiteTypeBoxes boxes;
    LoadSiteTypes(session, boxes);
    for (const std::string &assignment : assignments) {
        const std::size_t eq = assignment.find('=');
        int box = 0;
        if (eq != std::string::npos && eq > 0 && eq <= 2 &&
            assignment.find_first_not_of("0123456789") == eq)
            box = std::stoi(assignment.substr(0, eq));
        if (box < 1 || box > 10) {
            std::cerr << "N=NAME expected, with N from 1 to 10, not '" << assignment << "'" << std::endl;
            return 2;
        }
        std::string text = assignment.substr(eq + 1);
        TitleCase(session, text);
        boxes[static_cast<std::size_t>(box)] = session.TitleCaseResult;
    }
    if (!assignments.empty())
        SaveSiteTypes(session, boxes);
    for (int box = 1; box <= 10; ++box)
        std::cout << box << "\t" << boxes[static_cast<std::size_t>(box)] << std::endl;
    return 0;
}

} // namespace tarnwick
