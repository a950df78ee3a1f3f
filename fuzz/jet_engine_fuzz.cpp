// The Jet engine's reading on any bytes: the header, the catalog, every table's definition and rows
// with their memo and OLE values, and every index walked. A damaged file must end as a DbError; any
// other exception, a crash or a loop is a find. The input is read through a memory file, opened for
// reading only, so nothing is ever written.
#include "db/DbError.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const int fd = memfd_create("jet_engine_fuzz", MFD_CLOEXEC);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size))
        __builtin_trap();
    try {
        const jet::JetDatabase database("/proc/self/fd/" + std::to_string(fd));
        for (const std::string &name : database.tableNames()) {
            const jet::TableDef table = database.table(name);
            database.scan(table, [](jet::RowId, const jet::Row &) { return true; });
            jet::WalkIndexes(database, table);
        }
    } catch (const DbError &) {
    }
    close(fd);
    return 0;
}
