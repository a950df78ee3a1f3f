#include "db/jet/PageFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::jet {

PageFile::PageFile(const std::string &path, bool writable) : path_(path) {
    fd_ = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd_ < 0) {
        if (errno == ENOENT)
            throw DbError(dberr::FileNotFound, "Could not find file '" + path + "'.");
        throw DbError(dberr::StorageFailure, "Cannot open '" + path + "': " + std::strerror(errno) + ".");
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        ::close(fd_);
        throw DbError(dberr::StorageFailure, "Cannot read '" + path + "': " + std::strerror(errno) + ".");
    }
    const auto pages = static_cast<std::uint64_t>(status.st_size) / kPageSize;
    // Page numbers are stored in 24 bits within row pointers.
    if (pages > 0xFFFFFF) {
        ::close(fd_);
        throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + path + "'.");
    }
    pageCount_ = static_cast<std::uint32_t>(pages);
}

PageFile::~PageFile() {
    ::close(fd_);
}

Page PageFile::read(std::uint32_t number, const char *what) const {
    if (number >= pageCount_)
        ThrowDamaged(std::string("a ") + what + " points to page " + std::to_string(number) + " of a file of " +
                     std::to_string(pageCount_) + " pages");
    if (lastRead_ && lastRead_->first == number)
        return lastRead_->second;
    Page page;
    std::size_t done = 0;
    while (done < kPageSize) {
        const ssize_t got = ::pread(fd_, page.data() + done, kPageSize - done,
                                    static_cast<off_t>(number) * kPageSize + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw DbError(dberr::StorageFailure, "Cannot read page " + std::to_string(number) + " of '" + path_ +
                                                     "': " + (got < 0 ? std::strerror(errno) : "the file shrank") +
                                                     ".");
        done += static_cast<std::size_t>(got);
    }
    lastRead_.emplace(number, page);
    return page;
}

void PageFile::write(std::uint32_t number, const Page &page) {
    lastRead_.reset();
    std::size_t done = 0;
    while (done < kPageSize) {
        const ssize_t put = ::pwrite(fd_, page.data() + done, kPageSize - done,
                                     static_cast<off_t>(number) * kPageSize + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw DbError(dberr::StorageFailure, "Cannot write page " + std::to_string(number) + " of '" + path_ +
                                                     "': " + std::strerror(errno) + ".");
        done += static_cast<std::size_t>(put);
    }
    pageCount_ = std::max(pageCount_, number + 1);
}

void PageFile::truncate(std::uint32_t pageCount) {
    lastRead_.reset();
    if (::ftruncate(fd_, static_cast<off_t>(pageCount) * kPageSize) != 0)
        throw DbError(dberr::StorageFailure, "Cannot cut '" + path_ + "' short: " + std::strerror(errno) + ".");
    pageCount_ = pageCount;
}

void PageFile::sync() {
    if (::fsync(fd_) != 0)
        throw DbError(dberr::StorageFailure, "Cannot write '" + path_ + "' to disk: " + std::strerror(errno) + ".");
}

} // namespace tarnwick::jet
