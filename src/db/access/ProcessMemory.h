#pragma once
// A process's memory as the kernel counts it now, from /proc/PID/statm.
#include <fstream>
#include <string>

namespace tarnwick {

struct ProcessMemory {
    long addressSpacePages = 0;
    long residentPages = 0;
};

// `process` is a process ID or "self"; a process that is gone reads as zero.
inline ProcessMemory ReadProcessMemory(const std::string &process) {
    ProcessMemory memory;
    std::ifstream("/proc/" + process + "/statm") >> memory.addressSpacePages >> memory.residentPages;
    return memory;
}

} // namespace tarnwick
