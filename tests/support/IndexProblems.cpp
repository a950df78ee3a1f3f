#include "support/IndexProblems.h"

#include "db/jet/IndexWalker.h"

namespace tarnwick {

std::string IndexProblems(const std::string &path, const std::vector<std::string> &tables) {
    const jet::JetDatabase database(path);
    std::string problems;
    for (const std::string &table : tables)
        for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(table))) {
            for (const std::string &problem : report.problems)
                problems += table + " " + report.index + ": " + problem + "\n";
            if (report.keysCompared != report.entries)
                problems += table + " " + report.index + ": keys left uncompared\n";
        }
    return problems;
}

} // namespace tarnwick
