#include "db/jet/PageWrites.h"

#include "db/jet/Journal.h"

namespace tarnwick::jet {

Page PageWrites::read(std::uint32_t number, const char *what) const {
    const auto changed = changed_.find(number);
    return changed != changed_.end() ? changed->second : file_.read(number, what);
}

void PageWrites::write(std::uint32_t number, Page page) {
    changed_[number] = std::move(page);
}

Page &PageWrites::edit(std::uint32_t number, const char *what) {
    auto changed = changed_.find(number);
    if (changed == changed_.end())
        changed = changed_.emplace(number, file_.read(number, what)).first;
    return changed->second;
}

std::uint32_t PageWrites::append(Page page) {
    if (!reusable_.empty()) {
        const std::uint32_t number = *reusable_.begin();
        reusable_.erase(reusable_.begin());
        changed_[number] = std::move(page);
        return number;
    }
    // Page numbers are stored in three bytes within row pointers.
    if (pageCount_ >= 0xFFFFFF)
        throw DbError(dberr::StorageFailure, "The database file has reached the largest size Jet allows.");
    changed_[pageCount_] = std::move(page);
    return pageCount_++;
}

void PageWrites::reuse(const std::set<std::uint32_t> &numbers) {
    reusable_.insert(numbers.begin(), numbers.end());
}

std::optional<std::uint32_t> PageWrites::nextReused() const {
    if (reusable_.empty())
        return std::nullopt;
    return *reusable_.begin();
}

void PageWrites::commit() {
    if (changed_.empty())
        return;
    WriteJournal(file_, changed_);
    try {
        for (const auto &[number, page] : changed_)
            file_.write(number, page);
        file_.sync();
    } catch (const DbError &) {
        // Taken back at once: a later commit of this run would write its own journal over this one.
        TakeBackCommit(file_);
        throw;
    }
    RemoveJournal(file_.path());
    changed_.clear();
}

} // namespace tarnwick::jet
