#include "base/NewFile.h"

#include "base/PathCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace tarnwick {

std::string MakeTemporaryFile(const std::string &folder) {
    std::string name = folder + "/.tarnwick-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "cannot make a file in " + folder);
    ::close(fd);
    return name;
}

std::string NameWithoutReplacing(const std::string &temporary, const std::string &folder, const std::string &stem,
                                 const std::string &extension, const std::vector<std::string> &avoid) {
    auto avoided = [&](const std::string &path) {
        return std::any_of(avoid.begin(), avoid.end(), [&](const std::string &other) {
            std::error_code error;
            return path == other || std::filesystem::equivalent(path, other, error);
        });
    };
    for (int n = 1;; ++n) {
        const std::string path = folder + "/" + stem + (n == 1 ? "" : " (" + std::to_string(n) + ")") + extension;
        if (PathExists(path) || avoided(path))
            continue;
        // A hard link is made only where no name exists yet, so even a file that appeared since the
        // look above is not replaced.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            return path;
        }
        if (errno != EEXIST)
            throw std::system_error(errno, std::generic_category(), "cannot name the file " + path);
    }
}

bool FlushToDisk(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void FlushFolder(const std::string &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace tarnwick
