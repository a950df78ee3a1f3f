#include "support/RunCli.h"

#include "support/TempDir.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

// Starts `program` with stdin from /dev/null and stdout and stderr into the descriptors given.
pid_t Spawn(const std::string &program, const std::vector<std::string> &arguments, int out, int err) {
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

} // namespace

ObservedRun RunObserved(const std::string &program, const std::vector<std::string> &arguments, int limitSeconds) {
    TempDir streams;
    const std::string out = streams.file("out"), err = streams.file("err");
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = Spawn(program, arguments, outFd, errFd);
    close(outFd);
    close(errFd);
    int status = 0;
    struct rusage usage {};
    const auto deadline = started + std::chrono::seconds(limitSeconds);
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::readFile(out), TempDir::readFile(err),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), usage.ru_maxrss / 1024};
}

CliResult RunProgram(const std::string &program, const std::string &arguments) {
    // Through a shell, which reads the quoted arguments; its streams as one, in the order written.
    const ObservedRun run = RunObserved("/bin/sh", {"-c", "exec 2>&1; '" + program + "' " + arguments}, 3600);
    return {run.status, run.out};
}

std::string CopyCliInto(const std::string &folder) {
    std::string copy = folder + "/tarnwick-cli";
    std::filesystem::copy_file(CLI_PATH, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

BackgroundCli::BackgroundCli(const std::vector<std::string> &arguments,
                             std::function<void(const std::string &)> onLine) {
    int ends[2] = {-1, open("/dev/null", O_WRONLY | O_CLOEXEC)};
    if (onLine && (close(ends[1]), pipe2(ends, O_CLOEXEC) != 0))
        return;
    pid_ = Spawn(CLI_PATH, arguments, ends[1], ends[1]);
    close(ends[1]);
    if (onLine)
        reader_ = std::thread([fd = ends[0], onLine] {
            FILE *stream = fdopen(fd, "r");
            std::array<char, 8192> line;
            while (std::fgets(line.data(), line.size(), stream))
                onLine(line.data());
            std::fclose(stream);
        });
}

BackgroundCli::~BackgroundCli() {
    kill();
    if (reader_.joinable())
        reader_.join();
}

bool BackgroundCli::ended(int &status) {
    if (!reaped_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_)
        reaped_ = true;
    status = status_;
    return reaped_;
}

int BackgroundCli::kill() {
    if (!reaped_ && pid_ > 0)
        ::kill(pid_, SIGKILL);
    return wait();
}

int BackgroundCli::wait() {
    if (!reaped_ && pid_ > 0)
        waitpid(pid_, &status_, 0);
    reaped_ = true;
    return status_;
}

} // namespace tarnwick
