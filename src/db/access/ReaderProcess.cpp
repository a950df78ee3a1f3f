#include "db/access/ReaderProcess.h"

#include "db/DbError.h"
#include "db/access/ProcessMemory.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTickMs = 50;
// The first line the reader printed is kept for the message; the rest is only counted.
constexpr std::size_t kKeptLine = 300;

struct SpawnActions {
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    posix_spawn_file_actions_t actions;
};

void closeFd(int &fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ReaderProcess::ReaderProcess(const std::string &program, const std::vector<std::string> &arguments,
                             const ReaderLimits &limits, std::function<void()> waiting)
    : limits_(limits), waiting_(std::move(waiting)), buffer_(256 * 1024) {
    int pair[2], output[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        throw DbError(dberr::StorageFailure, std::string("The database reader could not be started: ") +
                                                 std::strerror(errno) + ".");
    if (pipe2(output, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(pair[0]);
        ::close(pair[1]);
        throw DbError(dberr::StorageFailure,
                      std::string("The database reader could not be started: ") + std::strerror(error) + ".");
    }
    channel_ = pair[0];
    diagnostics_ = output[0];

    SpawnActions spawn;
    posix_spawn_file_actions_addopen(&spawn.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&spawn.actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&spawn.actions, output[1], 2);
    posix_spawn_file_actions_adddup2(&spawn.actions, pair[1], 3);
    posix_spawn_file_actions_addclosefrom_np(&spawn.actions, 4);
    std::vector<std::string> all{program, std::to_string(limits_.memoryMegabytes)};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int started = posix_spawn(&pid_, program.c_str(), &spawn.actions, nullptr, argv.data(), environ);
    ::close(pair[1]);
    ::close(output[1]);
    if (started != 0) {
        pid_ = -1;
        stop();
        throw DbError(dberr::StorageFailure, "The database reader " + program +
                                                 " could not be started: " + std::strerror(started) + ".");
    }
    fcntl(diagnostics_, F_SETFL, O_NONBLOCK);
}

ReaderProcess::~ReaderProcess() { stop(); }

void ReaderProcess::stop() {
    closeFd(channel_);
    closeFd(diagnostics_);
    if (pid_ > 0) {
        // Nothing the reader holds is worth waiting for: it only reads.
        ::kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

void ReaderProcess::fail(const std::string &reason) {
    stop();
    throw DbError(dberr::FileNotFound, "The database is damaged and could not be read (" + reason + ").");
}

void ReaderProcess::failDead() {
    // The answer ended early: the reader is gone or going (it is not waited for, as a reader that
    // closed its channel may yet run on). The memory it was seen using tells why.
    if (peakMegabytes_ * 4 >= limits_.memoryMegabytes * 3)
        fail("reading it took more than " + std::to_string(limits_.memoryMegabytes) + " MB of memory");
    fail("reading it stopped unexpectedly");
}

void ReaderProcess::sampleMemory() {
    // The kernel's own peak is no use: a spawned child's peak counts the program's memory from
    // before its exec.
    const long resident = ReadProcessMemory(std::to_string(pid_)).residentPages;
    peakMegabytes_ = std::max(peakMegabytes_, resident * (sysconf(_SC_PAGESIZE) / 1024) / 1024);
}

void ReaderProcess::send(const std::string &bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(channel_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failDead();
        sent += static_cast<std::size_t>(n);
    }
}

void ReaderProcess::readDiagnostics() {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(diagnostics_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0) {
            closeFd(diagnostics_);
            return;
        }
        if (n < 0)
            return;
        if (printed_.firstLine.size() < kKeptLine)
            printed_.firstLine.append(chunk,
                                      std::min(static_cast<std::size_t>(n), kKeptLine - printed_.firstLine.size()));
        printed_.bytes += n;
    }
}

ReaderDiagnostics ReaderProcess::takeDiagnostics() {
    if (diagnostics_ >= 0)
        readDiagnostics();
    ReaderDiagnostics taken = std::move(printed_);
    printed_ = {};
    std::string &line = taken.firstLine;
    line.erase(0, std::min(line.size(), line.find_first_not_of(" \t\r\n")));
    line.resize(std::min(line.size(), line.find_first_of("\r\n")));
    return taken;
}

const char *ReaderProcess::take(std::size_t n) {
    if (channel_ < 0)
        fail("reading it stopped unexpectedly");
    if (end_ - begin_ < n) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        if (buffer_.size() < n)
            buffer_.resize(n);
    }
    auto lastProgress = Clock::now(), lastWaiting = lastProgress;
    while (end_ - begin_ < n) {
        pollfd watched[2] = {{channel_, POLLIN, 0}, {diagnostics_, POLLIN, 0}};
        const int ready = ::poll(watched, diagnostics_ >= 0 ? 2 : 1, kTickMs);
        if (ready < 0 && errno != EINTR)
            failDead();
        if (ready > 0 && diagnostics_ >= 0 && watched[1].revents)
            readDiagnostics();
        if (ready > 0 && watched[0].revents) {
            const ssize_t got = ::read(channel_, buffer_.data() + end_, buffer_.size() - end_);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                failDead();
            if (got > 0) {
                end_ += static_cast<std::size_t>(got);
                lastProgress = Clock::now();
            }
            continue;
        }
        if (Clock::now() - lastProgress > limits_.silence) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limits_.silence).count();
            fail("reading it gave no answer for " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds"));
        }
        if (Clock::now() - lastWaiting >= std::chrono::milliseconds(kTickMs)) {
            sampleMemory();
            if (waiting_)
                waiting_();
            lastWaiting = Clock::now();
        }
    }
    const char *start = buffer_.data() + begin_;
    begin_ += n;
    return start;
}

} // namespace tarnwick
