#pragma once
// The pages a change to the database writes, kept in memory until the change is committed. Reads
// through it see the changed pages; a change dropped without commit leaves the file as it was.
#include "db/jet/PageFile.h"

#include <map>
#include <optional>
#include <set>

namespace tarnwick::jet {

class PageWrites : public PageSource {
public:
    explicit PageWrites(PageFile &file) : file_(file), pageCount_(file.pageCount()) {}

    std::uint32_t pageCount() const override { return pageCount_; }
    // The file as it was before this change.
    const PageSource &committed() const { return file_; }
    Page read(std::uint32_t number, const char *what) const override;
    void write(std::uint32_t number, Page page);
    // Page `number` to change in place: taken into this change (unchanged until the caller changes
    // it) when it is not yet part of it. Saves a copy of the page each way for changes row by row.
    Page &edit(std::uint32_t number, const char *what);
    // A new page: one handed back by `reuse`, lowest first, or else one at the end of the file.
    // Returns its number.
    std::uint32_t append(Page page);
    // Offers pages this change has freed to the next appends, so that the file does not grow while
    // they are free.
    void reuse(const std::set<std::uint32_t> &numbers);
    // The page the next append takes from those offered, if any.
    std::optional<std::uint32_t> nextReused() const;
    // Writes the changed pages into the file through the rollback journal (see Journal.h).
    void commit();

private:
    PageFile &file_;
    std::uint32_t pageCount_;
    std::map<std::uint32_t, Page> changed_;
    std::set<std::uint32_t> reusable_;
};

} // namespace tarnwick::jet
