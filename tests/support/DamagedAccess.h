#pragma once
// Damaged copies of the shared Access test files, each made by changing one byte, on which libmdb
// misbehaves in a known way.
#include "support/TempDir.h"

#include <stdexcept>
#include <string>

namespace tarnwick {

struct DamagedAccess {
    const char *name;   // the copy's file name
    const char *source; // a file of the shared access test data
    long offset;
    unsigned char was, becomes;
};

// libmdb loops in the catalog read, taking about 150 MB a second.
constexpr DamagedAccess kLoopingCatalog{"looping.mdb", "testV1997.mdb", 0x182C1, 0x09, 0x00};
// libmdb prints a hex dump on its standard output while reading the catalog.
constexpr DamagedAccess kHexDump{"hexdump.mdb", "nwind.mdb", 0xB48F, 0xE5, 0x80};
// "Order Details" drops out of the catalog with only a warning.
constexpr DamagedAccess kDroppedTable{"dropped.mdb", "nwind.mdb", 0xB499, 0x2E, 0xF6};
// libmdb prints a warning millions of times (about 100 MB a second) while reading the catalog.
constexpr DamagedAccess kWarningFlood{"flood.mdb", "DateTestDatabase.mdb", 0x24DFE, 0x00, 0x87};

// Writes the damaged copy into `dir` and returns its path.
inline std::string WriteDamaged(const TempDir &dir, const DamagedAccess &damage) {
    std::string bytes = TempDir::readFile(std::string(TESTDATA_DIR) + "/access/" + damage.source);
    if (static_cast<unsigned char>(bytes.at(static_cast<std::size_t>(damage.offset))) != damage.was)
        throw std::runtime_error(std::string(damage.source) + " is not the file the recipe was made for");
    bytes[static_cast<std::size_t>(damage.offset)] = static_cast<char>(damage.becomes);
    dir.write(damage.name, bytes);
    return dir.file(damage.name);
}

} // namespace tarnwick
