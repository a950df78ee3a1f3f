#include "db/jet/PageWrites.h"

namespace tarnwick::jet {

Page PageWrites::read(std::uint32_t number, const char *what) const {
    const auto changed = changed_.find(number);
    return changed != changed_.end() ? changed->second : file_.read(number, what);
}

void PageWrites::write(std::uint32_t number, const Page &page) {
    changed_[number] = page;
}

std::uint32_t PageWrites::append(const Page &page) {
    // Page numbers are stored in three bytes within row pointers.
    if (pageCount_ >= 0xFFFFFF)
        throw DbError(dberr::StorageFailure, "The database file has reached the largest size Jet allows.");
    changed_[pageCount_] = page;
    return pageCount_++;
}

void PageWrites::commit() {
    for (const auto &[number, page] : changed_)
        file_.write(number, page);
    file_.sync();
    changed_.clear();
}

} // namespace tarnwick::jet
