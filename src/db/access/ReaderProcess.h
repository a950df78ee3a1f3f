#pragma once
// A helper process the program does not trust: it is started with its standard output and error
// captured, limited in memory, and given a time limit for each answer. Whatever it does (dies,
// loops, floods its output) ends as a DbError saying the database could not be read.
#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarnwick {

struct ReaderLimits {
    // How long the reader may go without sending a byte of its answer.
    std::chrono::milliseconds silence{10000};
    // Memory the reader may take beyond what it holds when it starts.
    long memoryMegabytes = 512;
};

// What the reader printed on its standard output and error.
struct ReaderDiagnostics {
    long long bytes = 0;
    std::string firstLine;
};

class ReaderProcess {
public:
    // Starts `program` with `arguments`; the memory budget in megabytes is passed as the first
    // argument, the reader's channel is its descriptor 3. `waiting` is called about every 50 ms
    // while an answer is awaited.
    ReaderProcess(const std::string &program, const std::vector<std::string> &arguments, const ReaderLimits &limits,
                  std::function<void()> waiting);
    ~ReaderProcess();
    ReaderProcess(const ReaderProcess &) = delete;
    ReaderProcess &operator=(const ReaderProcess &) = delete;

    void send(const std::string &bytes);
    // The next `n` bytes of the answer, waiting for them within the limits.
    const char *take(std::size_t n);
    // What the reader printed since the last call, everything it printed before its answer so far
    // included.
    ReaderDiagnostics takeDiagnostics();

private:
    [[noreturn]] void fail(const std::string &reason);
    [[noreturn]] void failDead();
    void readDiagnostics();
    // Notes the reader's resident memory, to tell afterwards whether it died of its limit.
    void sampleMemory();
    void stop();

    ReaderLimits limits_;
    std::function<void()> waiting_;
    pid_t pid_ = -1;
    int channel_ = -1;
    int diagnostics_ = -1;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    ReaderDiagnostics printed_;
    long peakMegabytes_ = 0;
};

} // namespace tarnwick
