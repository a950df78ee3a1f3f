// tarnwick-access-reader MEGABYTES DATABASE: reads an Access database through libmdb for the
// program, which talks to it on descriptor 3. libmdb misbehaves on damaged files (loops, floods
// its output, runs out of memory), so it runs here, with its memory limited, and not in the program.
#include "db/access/ReaderServer.h"

#include <cstdlib>
#include <string>

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    tarnwick::LimitMemoryGrowth(std::atol(argv[1]));
    tarnwick::ServeAccessDatabase(argv[2], 3);
    return 0;
}
