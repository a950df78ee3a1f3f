#include "support/RunCli.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace tarnwick {

CliResult RunProgram(const std::string &program, const std::string &arguments) {
    CliResult result;
    std::string command = "'" + program + "' " + arguments + " </dev/null 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string CopyCliInto(const std::string &folder) {
    std::string copy = folder + "/tarnwick-cli";
    std::filesystem::copy_file(CLI_PATH, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

} // namespace tarnwick
