#include "db/jet/RelatedRows.h"

#include "db/jet/Catalog.h"
#include "db/jet/IndexKey.h"
#include "db/jet/JetError.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"

#include <optional>

namespace tarnwick::jet {
namespace {

// The tree of index `index`, its columns taken ascending: the two sides of a relationship are
// compared by key whichever way each sorts.
// (ReadTableDef has checked that the tree is there.)
IndexTree ascendingTreeOf(const TableDef &table, const IndexDef &index) {
    IndexTree tree = table.trees[index.tree];
    for (IndexColumn &column : tree.columns)
        column.ascending = true;
    return tree;
}

} // namespace

void RelatedRows::readPointingKeys() {
    std::vector<CatalogEntry> catalog;
    for (const IndexDef &index : table_.indexes) {
        if (index.kind != IndexDef::kForeignKey || index.relationSide != IndexDef::kPointedTo)
            continue;
        if (catalog.empty())
            catalog = ReadCatalog(pages_);
        const TableDef pointing = ReadTableDef(pages_, index.relatedTable);
        const IndexDef *pointingIndex = nullptr;
        for (const IndexDef &candidate : pointing.indexes)
            if (candidate.number == index.relatedIndex)
                pointingIndex = &candidate;
        if (!pointingIndex)
            ThrowDamaged("a relationship names index " + std::to_string(index.relatedIndex) + " of the table on page " +
                         std::to_string(index.relatedTable) + ", which it lacks");
        Relation relation;
        for (const CatalogEntry &entry : catalog)
            if (entry.isLocalTable() && entry.definitionPage() == index.relatedTable)
                relation.pointingTable = entry.name;
        relation.tree = ascendingTreeOf(table_, index);
        relation.cascadeUpdates = index.cascadeUpdates;
        relation.cascadeDeletes = index.cascadeDeletes;
        const IndexTree pointingTree = ascendingTreeOf(pointing, *pointingIndex);
        if (relation.tree.columns.size() != 1 || pointingTree.columns.size() != 1)
            throw Refusal(dberr::StorageFailure, "The table '" + name_ +
                                                     "' is pointed to through a relationship of more than one "
                                                     "column, which this engine does not keep in step yet. Nothing "
                                                     "was written.");
        ScanRows(pages_, pointing, [&](RowId, ByteView row) {
            const std::vector<JetValue> values = DecodeRow(pages_, pointing, row);
            // A row with a null where it points points nowhere.
            if (NullInKey(pointing, pointingTree, values))
                return true;
            if (std::optional<std::string> key = IndexKey(pointing, pointingTree, values))
                relation.keysPointedTo.insert(std::move(*key));
            else
                relation.unknownKeys = true;
            return true;
        });
        relations_.push_back(std::move(relation));
    }
}

void RelatedRows::checkNotPointedTo(const std::vector<JetValue> &values, const std::vector<JetValue> *replacement) {
    if (!read_) {
        readPointingKeys();
        read_ = true;
    }
    for (const Relation &relation : relations_) {
        if (NullInKey(table_, relation.tree, values))
            continue;
        const std::optional<std::string> key = IndexKey(table_, relation.tree, values);
        // A key either side cannot build may be pointed to by any pointing row.
        const bool pointedTo = relation.unknownKeys || (key ? relation.keysPointedTo.count(*key) > 0
                                                            : !relation.keysPointedTo.empty());
        if (!pointedTo || (key && replacement && IndexKey(table_, relation.tree, *replacement) == key))
            continue;
        const bool cascades = replacement ? relation.cascadeUpdates : relation.cascadeDeletes;
        throw Refusal(dberr::StorageFailure,
                      "The record cannot be deleted or changed because table '" + relation.pointingTable +
                          "' includes related records" +
                          (cascades ? ", which this engine does not delete or change with it." : "."));
    }
}

} // namespace tarnwick::jet
