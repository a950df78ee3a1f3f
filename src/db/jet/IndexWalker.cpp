#include "db/jet/IndexWalker.h"

#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"
#include "db/jet/TableRows.h"

#include <map>
#include <set>

namespace tarnwick::jet {
namespace {

// Deeper trees would need more rows than a Jet file can hold; a deeper one is looping.
constexpr int kDeepestTree = 32;

std::string describe(RowId id) {
    return "page " + std::to_string(id.page) + " row " + std::to_string(id.row);
}

class TreeWalk {
public:
    TreeWalk(const PageSource &file, std::uint32_t owner, std::vector<std::string> &problems)
        : file_(file), owner_(owner), problems_(problems) {}

    // The leaf entries in tree order: down from the root, then along the last leaf's next links.
    std::vector<IndexEntry> leafEntries(std::uint32_t root) {
        descend(root, 0);
        for (std::uint32_t next = lastLeafNext_; next != 0;) {
            const IndexPage leaf = read(next);
            if (!leaf.leaf())
                ThrowDamaged("index page " + std::to_string(lastLeaf_) + " links on to a page that is no leaf");
            take(leaf);
            next = leaf.nextPage();
        }
        return std::move(entries_);
    }

private:
    IndexPage read(std::uint32_t number) {
        if (!seen_.insert(number).second)
            ThrowDamaged("index page " + std::to_string(number) + " is reached twice in one index");
        const Page page = file_.read(number, "index");
        if (page.view("index page").u32(kDataOwnerAt) != owner_)
            ThrowDamaged("index page " + std::to_string(number) + " belongs to another table");
        return IndexPage(page, number);
    }

    void descend(std::uint32_t number, int depth) {
        if (depth > kDeepestTree)
            ThrowDamaged("an index tree is deeper than any Jet file holds");
        const IndexPage page = read(number);
        if (page.leaf()) {
            take(page);
            return;
        }
        for (const IndexEntry &entry : page.entries()) {
            const std::size_t before = entries_.size();
            descend(entry.child, depth + 1);
            // A node entry holds the last entry of the leaves under it.
            if (entries_.size() == before || entries_.back().sortBytes() != entry.sortBytes())
                problems_.push_back("the entry of node page " + std::to_string(number) + " for page " +
                                    std::to_string(entry.child) + " is not the last entry under it");
        }
        if (page.tailPage() != 0)
            descend(page.tailPage(), depth + 1);
    }

    void take(const IndexPage &leaf) {
        if (lastLeaf_ != 0 && lastLeafNext_ != leaf.number())
            problems_.push_back("leaf page " + std::to_string(lastLeaf_) + " links on to page " +
                                std::to_string(lastLeafNext_) + " instead of the next leaf, " +
                                std::to_string(leaf.number()));
        // A reader going backwards follows the previous links.
        if (leaf.previousPage() != lastLeaf_)
            problems_.push_back("leaf page " + std::to_string(leaf.number()) + " links back to page " +
                                std::to_string(leaf.previousPage()) + " instead of the leaf before it, " +
                                std::to_string(lastLeaf_));
        entries_.insert(entries_.end(), leaf.entries().begin(), leaf.entries().end());
        lastLeaf_ = leaf.number();
        lastLeafNext_ = leaf.nextPage();
    }

    const PageSource &file_;
    std::uint32_t owner_;
    std::vector<std::string> &problems_;
    std::set<std::uint32_t> seen_;
    std::vector<IndexEntry> entries_;
    std::uint32_t lastLeaf_ = 0, lastLeafNext_ = 0;
};

std::string indexNames(const TableDef &table, std::size_t tree) {
    std::string names;
    for (const IndexDef &index : table.indexes)
        if (index.tree == tree)
            names += (names.empty() ? "" : "/") + index.name;
    return names;
}

IndexReport walkTree(const JetDatabase &database, const TableDef &table, std::size_t treeNumber,
                     const std::map<RowId, Row> &rows) {
    const IndexTree &tree = table.trees[treeNumber];
    IndexReport report;
    report.index = indexNames(table, treeNumber);
    const std::vector<IndexEntry> entries =
        TreeWalk(database.file(), table.page, report.problems).leafEntries(tree.rootPage);
    report.entries = entries.size();

    std::map<RowId, int> found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IndexEntry &entry = entries[i];
        if (i > 0 && !(entries[i - 1].sortBytes() < entry.sortBytes()))
            report.problems.push_back("entry " + std::to_string(i) + " (" + describe(entry.row) +
                                      ") is not after the one before it");
        RowId at;
        try {
            at = ResolveRow(database.file(), table, entry.row);
        } catch (const DbError &) {
            report.problems.push_back("entry " + std::to_string(i) + " points to " + describe(entry.row) +
                                      ", which holds no row of the table");
            continue;
        }
        const auto row = rows.find(at);
        if (row == rows.end()) {
            report.problems.push_back("entry " + std::to_string(i) + " points to " + describe(entry.row) +
                                      ", which a scan of the table does not meet");
            continue;
        }
        ++found[at];
        if (const std::optional<std::string> key = IndexKey(table, tree, row->second)) {
            ++report.keysCompared;
            if (*key != entry.key)
                report.problems.push_back("the entry for " + describe(entry.row) + " holds another key than its row");
        }
    }
    for (const auto &[at, row] : rows) {
        const int times = found.count(at) ? found.at(at) : 0;
        const bool leftOut = LeftOutOf(table, tree, row);
        if (times != (leftOut ? 0 : 1))
            report.problems.push_back("the row at " + describe(at) + " has " + std::to_string(times) + " entries");
    }
    return report;
}

} // namespace

std::vector<IndexReport> WalkIndexes(const JetDatabase &database, const TableDef &table) {
    std::map<RowId, Row> rows;
    // Rows are known by where their bytes are, as index entries are once resolved.
    database.scan(table, [&](RowId id, const Row &row) {
        rows.emplace(ResolveRow(database.file(), table, id), row);
        return true;
    });
    std::vector<IndexReport> reports;
    for (std::size_t tree = 0; tree < table.trees.size(); ++tree)
        reports.push_back(walkTree(database, table, tree, rows));
    return reports;
}

} // namespace tarnwick::jet
