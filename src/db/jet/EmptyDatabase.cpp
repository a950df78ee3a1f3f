#include "db/jet/EmptyDatabase.h"

#include "base/NewFile.h"
#include "db/DbError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::jet {

void CreateEmptyDatabase(const std::string &path) {
    const std::filesystem::path target = std::filesystem::absolute(path);
    const std::string folder = target.parent_path().string();
    std::string temporary;
    try {
        temporary = MakeTemporaryFile(folder);
    } catch (const std::system_error &error) {
        throw DbError(dberr::StorageFailure, "Cannot create '" + path + "': " + error.code().message() + ".");
    }
    const std::vector<std::uint8_t> &bytes = EmptyJet4Bytes();
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        // The temporary file is private; the database gets the permissions any new file of the user gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        written = out.good() && ::chmod(temporary.c_str(), 0666 & ~mask) == 0 && FlushToDisk(temporary);
    }
    // A hard link gives the file its name only where no file has it, so nothing is ever replaced.
    const int linked = written ? ::link(temporary.c_str(), target.c_str()) : -1;
    const int linkError = errno;
    ::unlink(temporary.c_str());
    if (!written)
        throw DbError(dberr::StorageFailure, "Cannot write '" + path + "': the disk refused it.");
    if (linked != 0)
        throw DbError(dberr::StorageFailure, linkError == EEXIST
                                                 ? "Cannot create '" + path + "': a file of that name is already there."
                                                 : "Cannot create '" + path + "': " + std::strerror(linkError) + ".");
    FlushFolder(folder);
}

} // namespace tarnwick::jet
