#include "db/jet/RelatedRows.h"

#include "db/jet/Catalog.h"
#include "db/jet/JetError.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"

#include <cstring>
#include <optional>

namespace tarnwick::jet {
namespace {

// Where the columns of the tree of index `index` are in `table.columns`.
std::vector<std::size_t> keyColumnsOf(const TableDef &table, const IndexDef &index) {
    if (index.tree >= table.trees.size())
        ThrowDamaged("an index of the table on page " + std::to_string(table.page) + " names a missing index tree");
    std::vector<std::size_t> positions;
    for (const IndexColumn &keyColumn : table.trees[index.tree].columns) {
        std::size_t at = 0;
        while (at < table.columns.size() && table.columns[at].number != keyColumn.columnNumber)
            ++at;
        if (at == table.columns.size())
            ThrowDamaged("an index names column " + std::to_string(keyColumn.columnNumber) + ", which the table lacks");
        positions.push_back(at);
    }
    return positions;
}

// The values at `positions` as one comparable string; nothing when one is null, as a row with a
// null in its pointing columns points nowhere.
std::optional<std::string> keyOf(const std::vector<JetValue> &values, const std::vector<std::size_t> &positions) {
    std::string key;
    for (std::size_t at : positions) {
        const JetValue &value = values[at];
        if (value.isNull())
            return std::nullopt;
        char number[sizeof value.integer + sizeof value.real];
        std::memcpy(number, &value.integer, sizeof value.integer);
        std::memcpy(number + sizeof value.integer, &value.real, sizeof value.real);
        key += std::to_string(value.text.size()) + ':' + value.text + std::string(number, sizeof number);
    }
    return key;
}

} // namespace

bool RelatedRows::PointedTo(const TableDef &table) {
    for (const IndexDef &index : table.indexes)
        if (index.kind == IndexDef::kForeignKey && index.relationSide == IndexDef::kPointedTo)
            return true;
    return false;
}

RelatedRows::RelatedRows(const PageSource &pages, const TableDef &table) {
    std::vector<CatalogEntry> catalog;
    for (const IndexDef &index : table.indexes) {
        if (index.kind != IndexDef::kForeignKey || index.relationSide != IndexDef::kPointedTo)
            continue;
        if (catalog.empty())
            catalog = ReadCatalog(pages);
        const TableDef pointing = ReadTableDef(pages, index.relatedTable);
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
        relation.keyColumns = keyColumnsOf(table, index);
        const std::vector<std::size_t> pointingColumns = keyColumnsOf(pointing, *pointingIndex);
        if (pointingColumns.size() != relation.keyColumns.size())
            ThrowDamaged("the two indexes of a relationship of the table on page " + std::to_string(table.page) +
                         " differ in their columns");
        ScanRows(pages, pointing, [&](RowId, ByteView row) {
            if (std::optional<std::string> key = keyOf(DecodeRow(pages, pointing, row), pointingColumns))
                relation.keysPointedTo.insert(std::move(*key));
            return true;
        });
        relations_.push_back(std::move(relation));
    }
}

void RelatedRows::checkNotPointedTo(const std::vector<JetValue> &values,
                                    const std::vector<JetValue> *replacement) const {
    for (const Relation &relation : relations_) {
        const std::optional<std::string> key = keyOf(values, relation.keyColumns);
        if (!key || !relation.keysPointedTo.count(*key))
            continue;
        if (replacement && keyOf(*replacement, relation.keyColumns) == key)
            continue;
        throw Refusal(dberr::StorageFailure, "The record cannot be deleted or changed because table '" +
                                                 relation.pointingTable + "' includes related records.");
    }
}

} // namespace tarnwick::jet
