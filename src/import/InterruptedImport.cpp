#include "import/InterruptedImport.h"

#include "app/Backups.h"
#include "base/NewFile.h"
#include "db/Recordset.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string markerPath(const Session &session) {
    return session.DbFolder + "/Park.MDB.import";
}

std::string markerText(const ImportMarker &marker) {
    return "table=" + marker.table + "\nsource=" + marker.source + "\nbackup=" + marker.backup +
           "\ntime=" + marker.time + "\nrowsBefore=" + std::to_string(marker.rowsBefore) + "\n";
}

ImportMarker parseMarker(const std::string &text) {
    ImportMarker marker;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "table")
            marker.table = value;
        else if (key == "source")
            marker.source = value;
        else if (key == "backup")
            marker.backup = value;
        else if (key == "time")
            marker.time = value;
        else if (key == "rowsBefore")
            marker.rowsBefore = std::atol(value.c_str());
    }
    return marker;
}

// The marker of an interrupted import, locked by this process so that no one else handles it at the
// same time; closed (and the lock dropped) at the end of scope.
struct InterruptedMarker {
    int fd = -1;
    ImportMarker marker;
    ~InterruptedMarker() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Opens the marker when its lock is free and its name still leads to the file locked (a running
// import removes its marker while it holds the lock).
bool openInterrupted(const std::string &path, InterruptedMarker &out) {
    out.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (out.fd < 0 || ::flock(out.fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    struct stat held {
    }, named{};
    if (::fstat(out.fd, &held) != 0 || ::stat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev)
        return false;
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = ::read(out.fd, chunk, sizeof chunk)) > 0 && text.size() < 65536;)
        text.append(chunk, static_cast<std::size_t>(n));
    out.marker = parseMarker(text);
    return true;
}

} // namespace

RunningImport::RunningImport(const Session &session, ImportMarker marker) {
    if (!marker.backup.empty())
        marker.backup = std::filesystem::absolute(marker.backup).lexically_normal().string();
    std::string temporary;
    try {
        temporary = MakeTemporaryFile(session.DbFolder);
    } catch (const std::exception &) {
        return;
    }
    fd_ = ::open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
    const std::string text = markerText(marker);
    const bool written = fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0 &&
                         ::write(fd_, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                         ::fsync(fd_) == 0 && std::rename(temporary.c_str(), markerPath(session).c_str()) == 0;
    if (!written) {
        std::remove(temporary.c_str());
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return;
    }
    path_ = markerPath(session);
    FlushFolder(session.DbFolder);
}

RunningImport::~RunningImport() {
    if (fd_ < 0)
        return;
    // Removed while still locked, so that nobody takes the import for an interrupted one.
    std::remove(path_.c_str());
    ::close(fd_);
}

long TableRowCount(Session &session, const std::string &table) {
    try {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        return rs.RecordCount();
    } catch (const NumberedError &) {
        return 0;
    }
}

void CheckInterruptedImport(Session &session) {
    if (!session.ParkConnection || !session.ParkConnection->IsOpen())
        return;
    InterruptedMarker held;
    if (!openInterrupted(markerPath(session), held))
        return;
    const ImportMarker &marker = held.marker;
    const long stored = std::max(0L, TableRowCount(session, marker.table) - marker.rowsBefore);
    const std::string what = "The import of " + marker.source + " into " + marker.table + " that started " +
                             marker.time + " was interrupted: " + std::to_string(stored) +
                             " of its rows are in the table.";
    if (marker.backup.empty())
        session.prompter.notify(what + session.LineBreak + "No backup was taken before it.", Icon::Exclamation);
    else if (session.prompter.ask(what + session.LineBreak + "Do you want to put back the backup taken before it, " +
                                      marker.backup + "?",
                                  Buttons::YesNo, Icon::Exclamation) == Answer::Yes)
        RestoreBackup(session, marker.backup);
    // Only now: a restore cut short leaves the marker, and the question comes again.
    std::remove(markerPath(session).c_str());
}

} // namespace tarnwick
