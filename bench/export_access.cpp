// One export of an Access table to a workbook, as the export window runs it: with libmdb in this
// process (how the export ran before the reader process) or through the reader process. Prints
// the seconds and the peak memory of this process and the reader (KiB).
#include "BenchPrompter.h"
#include "app/Session.h"
#include "db/access/MdbDatabase.h"
#include "db/access/RemoteAccessDatabase.h"
#include "export/TableExport.h"

#include <chrono>
#include <cstring>
#include <iostream>
#include <sys/resource.h>

using namespace tarnwick;

int main(int argc, char **argv) {
    if (argc != 5 || (std::strcmp(argv[1], "in-process") != 0 && std::strcmp(argv[1], "reader") != 0)) {
        std::cerr << "usage: " << argv[0] << " in-process|reader DATABASE TABLE FOLDER" << std::endl;
        return 2;
    }
    BenchPrompter prompter;
    NoProgress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    session.DbFolder = argv[4];

    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<AccessDatabase> database;
    if (std::strcmp(argv[1], "reader") == 0)
        database = std::make_unique<RemoteAccessDatabase>(AccessReaderProgram(), argv[2], ReaderLimits{},
                                                          std::function<void()>{});
    else
        database = std::make_unique<MdbDatabase>(argv[2]);
    const bool saved = BuildExcel(session, *database, argv[3]);
    database.reset();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    struct rusage self {}, children {};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    std::cout << seconds << " " << self.ru_maxrss << " " << children.ru_maxrss << std::endl;
    if (!saved)
        std::cerr << prompter.last << std::endl;
    return saved ? 0 : 1;
}
