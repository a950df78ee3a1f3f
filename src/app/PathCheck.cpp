#include "app/PathCheck.h"

#include <sys/stat.h>

namespace tarnwick {

bool PathExists(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace tarnwick
