// A library preloaded into the terminal program (LD_PRELOAD) that numbers every file operation that
// changes something in one folder, and can end the program before a chosen one:
//
//   TARNWICK_FAULT=count        writes "N operation path" for each into TARNWICK_FAULT_LOG
//   TARNWICK_FAULT=crash:N      ends the process before operation N, as a kill would
//   TARNWICK_FAULT=powercut:N   before operation N, also takes back every change the disk had not
//                               been told to keep, then ends the process, as a power cut would
//   TARNWICK_FAULT=torn:N       the same, but of the writes not yet kept every second one reached
//                               the disk (the second, the fourth ...): a power cut amid the disk's
//                               own writing, in an order of its choosing
//
// TARNWICK_FAULT_DIR names the folder. A power cut keeps a file's data as of its last fsync (new
// files empty) and a folder's names as of its last fsync: the strict reading of POSIX that a
// journaling file system may give after a power cut. Children started by the program run without
// the library. Only the calls the program makes are taken over (it opens files by path, never
// relative to a folder's descriptor). A power cut must come before one of the program's operations:
// the copies kept for it stay in the folder when the program ends by itself.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Mode { Off, Count, Crash, PowerCut };

// A change of a file's data: `bytes` written at `at`, or (with `size` not negative) the file cut or
// grown to `size`.
struct DataChange {
    off_t at;
    std::string bytes;
    off_t size;
};

template <typename F> F real(const char *name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
// The call `name` as the C library makes it, past this library's own.
#define REAL(name) real<decltype(&::name)>(#name)

struct Shim {
    Mode mode = Mode::Off;
    long stopAt = 0;
    long seen = 0;
    std::string folder;
    int log = -1;

    // The data of each changed file as the disk keeps it, and the changes made since, through a
    // descriptor of the shim's own.
    struct Kept {
        int fd;
        std::string bytes;
        std::vector<DataChange> since;
    };
    bool torn = false;
    std::map<std::pair<dev_t, ino_t>, Kept> unsynced;

    // A change of the names in `folder` not yet flushed. Undone, `made` goes (back to `movedFrom`
    // when it was a rename), and a file the change replaced or removed, kept meanwhile under the
    // hidden name `kept`, is put back as `keptFor`.
    struct NameChange {
        std::string folder, made, movedFrom, kept, keptFor;
    };
    std::vector<NameChange> names;
    long hidden = 0;

    Shim() {
        const char *fault = std::getenv("TARNWICK_FAULT");
        const char *dir = std::getenv("TARNWICK_FAULT_DIR");
        if (!fault || !dir)
            return;
        folder = dir;
        const std::string what = fault, kind = what.substr(0, what.find(':'));
        stopAt = kind == what ? 0 : std::atol(what.c_str() + kind.size() + 1);
        torn = kind == "torn";
        mode = kind == "count" ? Mode::Count : kind == "crash" ? Mode::Crash : Mode::Off;
        mode = torn || kind == "powercut" ? Mode::PowerCut : mode;
        const char *path = std::getenv("TARNWICK_FAULT_LOG");
        if (mode == Mode::Count && path)
            log = REAL(open)(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        unsetenv("LD_PRELOAD");
        unsetenv("TARNWICK_FAULT");
    }

    bool watched(const std::string &path) const {
        return mode != Mode::Off && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
               path[folder.size()] == '/';
    }

    static std::string absolute(const char *path) {
        if (path[0] == '/')
            return path;
        char here[4096];
        return std::string(getcwd(here, sizeof here) ? here : ".") + "/" + path;
    }

    static std::string pathOf(int fd) {
        char link[64], target[4096];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t n = REAL(readlink)(link, target, sizeof target - 1);
        return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
    }

    static std::string parentOf(const std::string &path) { return path.substr(0, path.rfind('/')); }

    // Numbers an operation on `path`; ends the process when it is the chosen one.
    void point(const char *operation, const std::string &path) {
        if (!watched(path))
            return;
        ++seen;
        if (mode == Mode::Count && log >= 0) {
            const std::string line = std::to_string(seen) + " " + operation + " " + path + "\n";
            REAL(write)(log, line.data(), line.size());
        }
        if (seen != stopAt)
            return;
        if (mode == Mode::PowerCut)
            loseWhatWasNotKept();
        _exit(137);
    }

    bool tracking(const std::string &path) const { return mode == Mode::PowerCut && watched(path); }

    // Before a change of the data behind `fd`: remembers the data as the disk keeps it.
    void beforeDataChange(int fd) {
        struct stat st;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !tracking(pathOf(fd)))
            return;
        const auto key = std::make_pair(st.st_dev, st.st_ino);
        if (unsynced.count(key))
            return;
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const int own = REAL(open)(link, O_RDWR | O_CLOEXEC);
        if (own < 0)
            return;
        std::string bytes(static_cast<size_t>(st.st_size), '\0');
        bytes.resize(readAt(own, bytes, 0));
        unsynced[key] = {own, std::move(bytes), {}};
    }

    Kept *keptFor(int fd) {
        struct stat st;
        if (mode != Mode::PowerCut || fstat(fd, &st) != 0)
            return nullptr;
        const auto found = unsynced.find({st.st_dev, st.st_ino});
        return found == unsynced.end() ? nullptr : &found->second;
    }

    // Reads into `bytes` from `at`; how many it read.
    static size_t readAt(int fd, std::string &bytes, off_t at) {
        const ssize_t n = REAL(pread)(fd, bytes.data(), bytes.size(), at);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }

    // After `count` bytes were written at `at` through `fd`: remembers them as written.
    void written(int fd, off_t at, ssize_t count) {
        Kept *kept = keptFor(fd);
        if (!kept || count <= 0 || at < 0)
            return;
        std::string bytes(static_cast<size_t>(count), '\0');
        bytes.resize(readAt(kept->fd, bytes, at));
        kept->since.push_back({at, std::move(bytes), -1});
    }

    void resized(int fd, off_t size) {
        if (Kept *kept = keptFor(fd))
            kept->since.push_back({0, "", size});
    }

    // A file made new: the disk keeps none of its data until it is flushed.
    void madeNew(int fd, const std::string &path) {
        beforeDataChange(fd);
        if (Kept *kept = keptFor(fd))
            kept->bytes.clear();
        names.push_back({parentOf(path), path, "", "", ""});
    }

    void flushed(int fd) {
        struct stat st;
        if (mode != Mode::PowerCut || fstat(fd, &st) != 0)
            return;
        if (S_ISDIR(st.st_mode)) {
            const std::string dir = pathOf(fd);
            std::vector<NameChange> open;
            for (NameChange &change : names) {
                if (change.folder != dir)
                    open.push_back(change);
                else if (!change.kept.empty())
                    REAL(unlink)(change.kept.c_str());
            }
            names.swap(open);
            return;
        }
        const auto found = unsynced.find({st.st_dev, st.st_ino});
        if (found != unsynced.end()) {
            REAL(close)(found->second.fd);
            unsynced.erase(found);
        }
    }

    // Keeps the file at `path`, if any, under a hidden name, so that a power cut can put it back.
    std::string keep(const std::string &path) {
        const std::string hiddenName =
            parentOf(path) + "/.fault-shim-" + std::to_string(getpid()) + "-" + std::to_string(++hidden);
        return REAL(link)(path.c_str(), hiddenName.c_str()) == 0 ? hiddenName : "";
    }

    void loseWhatWasNotKept() {
        for (auto &[key, kept] : unsynced) {
            std::string &data = kept.bytes;
            for (std::size_t i = 1; torn && i < kept.since.size(); i += 2) {
                const DataChange &change = kept.since[i];
                const size_t at = static_cast<size_t>(change.at), end = at + change.bytes.size();
                data.resize(change.size >= 0 ? static_cast<size_t>(change.size) : std::max(data.size(), end));
                if (change.size < 0)
                    data.replace(at, change.bytes.size(), change.bytes);
            }
            REAL(ftruncate)(kept.fd, 0);
            REAL(pwrite)(kept.fd, data.data(), data.size(), 0);
        }
        for (auto change = names.rbegin(); change != names.rend(); ++change) {
            if (!change->movedFrom.empty())
                REAL(rename)(change->made.c_str(), change->movedFrom.c_str());
            else if (!change->made.empty())
                REAL(unlink)(change->made.c_str());
            if (!change->kept.empty())
                REAL(rename)(change->kept.c_str(), change->keptFor.c_str());
        }
    }
};

Shim &shim() {
    static Shim instance;
    return instance;
}

__attribute__((constructor)) void startShim() {
    shim();
}

int openWith(const char *name, const char *path, int flags, mode_t mode) {
    Shim &s = shim();
    const std::string full = Shim::absolute(path);
    const bool creating = (flags & O_CREAT) && access(full.c_str(), F_OK) != 0;
    const bool truncating = (flags & O_TRUNC) && !creating && s.watched(full);
    if (creating || truncating)
        s.point(creating ? "create" : "truncate", full);
    if (truncating && s.tracking(full)) {
        const int look = REAL(open)(full.c_str(), O_RDONLY | O_CLOEXEC);
        if (look >= 0) {
            s.beforeDataChange(look);
            REAL(close)(look);
        }
    }
    const int fd = real<int (*)(const char *, int, ...)>(name)(path, flags, mode);
    if (fd >= 0 && creating && s.tracking(full))
        s.madeNew(fd, full);
    return fd;
}

mode_t modeOf(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & __O_TMPFILE) == __O_TMPFILE ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

// A write through `fd`, numbered, made by `call` and remembered with the data it replaced; `at` is
// where it goes, or -1 where the file's offset stands.
template <typename Call> ssize_t throughWrite(int fd, off_t at, Call call) {
    Shim &s = shim();
    if (s.mode == Mode::Off) // every write of the program passes here: no look-up of its path
        return call();
    s.point("write", Shim::pathOf(fd));
    s.beforeDataChange(fd);
    struct stat st;
    if (at < 0 && s.keptFor(fd))
        at = (fcntl(fd, F_GETFL) & O_APPEND) && fstat(fd, &st) == 0 ? st.st_size : lseek(fd, 0, SEEK_CUR);
    const ssize_t n = call();
    s.written(fd, at, n);
    return n;
}

// A change of the names in the folder of `path`, numbered and made by `call`: it makes `made`, if
// anything, moved there from `movedFrom` when it is a rename. A file at `path` that the change replaces
// or removes is kept meanwhile under a hidden name, so that a power cut can put it back.
template <typename Call>
int changeName(const char *operation, const std::string &path, const std::string &made, const std::string &movedFrom,
               Call call) {
    Shim &s = shim();
    s.point(operation, path);
    const std::string kept = s.tracking(path) ? s.keep(path) : "";
    const int result = call();
    if (result == 0 && s.tracking(path))
        s.names.push_back({Shim::parentOf(path), made, movedFrom, kept, path});
    else if (!kept.empty())
        REAL(unlink)(kept.c_str());
    return result;
}

} // namespace

// Each interposed call numbers its operation, runs the real call and remembers what it changed; the
// 64-bit names are the same calls.
#define OPEN_AS(name)                                                                                                  \
    int name(const char *path, int flags, ...) {                                                                       \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = modeOf(flags, args);                                                                       \
        va_end(args);                                                                                                  \
        return openWith(#name, path, flags, mode);                                                                     \
    }
#define PWRITE_AS(name)                                                                                                \
    ssize_t name(int fd, const void *data, size_t size, off_t at) {                                                    \
        return throughWrite(fd, at, [&] { return REAL(name)(fd, data, size, at); });                                   \
    }
#define FTRUNCATE_AS(name)                                                                                             \
    int name(int fd, off_t size) {                                                                                     \
        shim().point("truncate", Shim::pathOf(fd));                                                                    \
        shim().beforeDataChange(fd);                                                                                   \
        const int result = REAL(name)(fd, size);                                                                       \
        if (result == 0)                                                                                               \
            shim().resized(fd, size);                                                                                  \
        return result;                                                                                                 \
    }
#define FSYNC_AS(name)                                                                                                 \
    int name(int fd) {                                                                                                 \
        shim().point("fsync", Shim::pathOf(fd));                                                                       \
        const int result = REAL(name)(fd);                                                                             \
        if (result == 0)                                                                                               \
            shim().flushed(fd);                                                                                        \
        return result;                                                                                                 \
    }

extern "C" {

OPEN_AS(open)
OPEN_AS(open64)
PWRITE_AS(pwrite)
PWRITE_AS(pwrite64)
FTRUNCATE_AS(ftruncate)
FTRUNCATE_AS(ftruncate64)
FSYNC_AS(fsync)
FSYNC_AS(fdatasync)

int mkstemp(char *pattern) {
    Shim &s = shim();
    const int fd = REAL(mkstemp)(pattern);
    if (fd >= 0) {
        const std::string full = Shim::absolute(pattern);
        s.point("create", full);
        if (s.tracking(full))
            s.madeNew(fd, full);
    }
    return fd;
}

ssize_t sendfile(int out, int in, off_t *inAt, size_t size) {
    return throughWrite(out, -1, [&] { return REAL(sendfile)(out, in, inAt, size); });
}

ssize_t write(int fd, const void *data, size_t size) {
    return throughWrite(fd, -1, [&] { return REAL(write)(fd, data, size); });
}

ssize_t writev(int fd, const struct iovec *parts, int count) {
    return throughWrite(fd, -1, [&] { return REAL(writev)(fd, parts, count); });
}

int rename(const char *from, const char *to) {
    const std::string made = Shim::absolute(to);
    return changeName("rename", made, made, Shim::absolute(from), [&] { return REAL(rename)(from, to); });
}

int link(const char *from, const char *to) {
    const std::string made = Shim::absolute(to);
    return changeName("link", made, made, "", [&] { return REAL(link)(from, to); });
}

int unlink(const char *path) {
    return changeName("unlink", Shim::absolute(path), "", "", [&] { return REAL(unlink)(path); });
}

int remove(const char *path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode) ? rmdir(path) : unlink(path);
}

} // extern "C"
