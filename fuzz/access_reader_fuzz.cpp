// The Access reader on any bytes, through the reader process as the program uses it: the table
// list, then the fields, count and rows of every table. The reader may die, loop or flood (libmdb
// does); that must end as a DbError in the program. The reader is built with the sanitizers too:
// a fault they report in our own code is a crash of this target.
#include "db/DbError.h"
#include "db/access/RemoteAccessDatabase.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace tarnwick;

namespace {

std::string workFolder;

std::string readAll(const std::string &path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A sanitizer report the reader left, when it concerns our code (libmdb is not instrumented: its
// own faults show as crashes with its frames on top, and running out of the memory limit is
// expected). The report is removed either way.
std::string ourFaultReported() {
    std::string fault;
    DIR *dir = opendir(workFolder.c_str());
    while (dirent *entry = dir ? readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name.rfind("report", 0) != 0)
            continue;
        const std::string path = workFolder + "/" + name, report = readAll(path);
        std::remove(path.c_str());
        const std::size_t top = report.find("    #0 ");
        const std::string topFrame = top == std::string::npos ? "" : report.substr(top, report.find('\n', top) - top);
        if (report.find("runtime error:") != std::string::npos || topFrame.find(SOURCE_DIR) != std::string::npos)
            fault = report;
    }
    if (dir)
        closedir(dir);
    return fault;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    char folder[] = "/tmp/access-reader-fuzz-XXXXXX";
    workFolder = mkdtemp(folder);
    const std::string reports = "log_path=" + workFolder + "/report";
    setenv("ASAN_OPTIONS", ("detect_leaks=0:quarantine_size_mb=8:malloc_context_size=5:" + reports).c_str(), 1);
    setenv("UBSAN_OPTIONS", ("print_stacktrace=1:" + reports).c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = workFolder + "/input.mdb";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(data), static_cast<long>(size));
    try {
        // Tighter limits than the program's, so that a looping input costs seconds, not ten.
        RemoteAccessDatabase database(AccessReaderProgram(), path, ReaderLimits{std::chrono::seconds(2), 256}, {});
        for (const std::string &table : database.tableNames()) {
            try {
                database.fields(table);
                database.recordCount(table);
                database.forEachRecord(table, [](const std::vector<Value> &) {});
            } catch (const DbError &) {
            }
        }
    } catch (const DbError &) {
    }
    const std::string fault = ourFaultReported();
    if (!fault.empty()) {
        std::fputs(fault.c_str(), stderr);
        __builtin_trap();
    }
    return 0;
}
