#include "base/PathCheck.h"

#include "base/TextUtil.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

bool PathExists(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string &path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FolderTakesFiles(const std::string &folder) {
    std::string probe = folder + "/.tarnwick-write-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool IsWritable(const std::string &path) {
    return access(path.c_str(), W_OK) == 0;
}

std::string ParentFolder(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool HasDatabaseHeader(const std::string &path) {
    static const char kMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    char head[16] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(head, sizeof head) && std::memcmp(head, kMagic, sizeof head) == 0;
}

std::string UpperExtension(const std::string &fileName) {
    std::size_t dot = fileName.find_last_of('.');
    return dot == std::string::npos ? std::string() : UpperCase(fileName.substr(dot + 1));
}

} // namespace tarnwick
