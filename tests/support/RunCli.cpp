#include "support/RunCli.h"

#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {

ObservedRun RunObserved(const std::string &program, const std::vector<std::string> &arguments, int limitSeconds) {
    TempDir streams;
    const std::string out = streams.file("out"), err = streams.file("err");
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const auto started = std::chrono::steady_clock::now();
    // The child reads /dev/null and writes into the two files.
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
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

} // namespace tarnwick
