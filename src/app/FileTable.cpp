#include "app/FileTable.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace tarnwick {
namespace {

[[noreturn]] void throwOpenError(const std::string &path, int error) {
    if (error == ENOENT) {
        std::size_t slash = path.find_last_of('/');
        std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        struct stat info {};
        if (stat(parent.c_str(), &info) != 0)
            throw FileError(fileerr::PathNotFound, "Path not found");
        throw FileError(fileerr::FileNotFound, "File not found");
    }
    if (error == EACCES || error == EPERM || error == EROFS)
        throw FileError(fileerr::PermissionDenied, "Permission denied");
    throw FileError(fileerr::PathFileAccess, std::string("Path/File access error: ") + std::strerror(error));
}

} // namespace

short FileTable::Open(const std::string &path, OpenMode mode) {
    static const char *const modes[] = {nullptr, "wb", "rb", "ab", "r+b", "r+b"};
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw FileError(fileerr::PathFileAccess, "Path/File access error");
    std::FILE *file = std::fopen(path.c_str(), modes[mode]);
    // Random and binary files are created when they do not exist yet.
    if (!file && errno == ENOENT && (mode == ModeRandom || mode == ModeBinary))
        file = std::fopen(path.c_str(), "w+b");
    if (!file)
        throwOpenError(path, errno);

    short number = 1;
    while (files_.count(number))
        ++number;
    Entry entry;
    if (mode == ModeInput)
        entry.reader = std::make_unique<LineReader>(FileHandle(file));
    else
        entry.writer.reset(file);
    files_.emplace(number, std::move(entry));
    return number;
}

FileTable::Entry &FileTable::entry(short number) {
    auto it = files_.find(number);
    if (it == files_.end())
        throw FileError(fileerr::BadFileNumber, "Bad file name or number");
    return it->second;
}

std::string FileTable::LineInput(short number, std::string *raw) {
    Entry &e = entry(number);
    std::optional<std::string> line = e.reader ? e.reader->next(raw) : std::nullopt;
    if (!line)
        throw FileError(fileerr::InputPastEnd, "Input past end of file");
    return *line;
}

void FileTable::SkipLine(short number) {
    Entry &e = entry(number);
    if (!e.reader || !e.reader->skip())
        throw FileError(fileerr::InputPastEnd, "Input past end of file");
}

bool FileTable::Eof(short number) {
    Entry &e = entry(number);
    return !e.reader || e.reader->atEnd();
}

void FileTable::Print(short number, const std::string &text) {
    Entry &e = entry(number);
    if (!e.writer)
        throw FileError(fileerr::BadFileNumber, "Bad file mode");
    if (std::fwrite(text.data(), 1, text.size(), e.writer.get()) != text.size() ||
        std::fwrite("\r\n", 1, 2, e.writer.get()) != 2)
        throw FileError(fileerr::PathFileAccess, "Path/File access error");
}

} // namespace tarnwick
