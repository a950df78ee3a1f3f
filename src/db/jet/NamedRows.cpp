#include "db/jet/NamedRows.h"

#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"

namespace tarnwick::jet {

std::vector<NamedRow> NamedRows(const PageSource &pages, const TableDef &table) {
    std::vector<NamedRow> rows;
    ScanRows(pages, table, [&](RowId, ByteView bytes) {
        const std::vector<JetValue> values = DecodeRow(pages, table, bytes);
        NamedRow row;
        for (std::size_t i = 0; i < values.size(); ++i)
            row[table.columns[i].name] = values[i];
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

std::vector<JetValue> RowOf(const TableDef &table, const NamedRow &named) {
    std::vector<JetValue> values;
    for (const ColumnDef &column : table.columns) {
        const auto value = named.find(column.name);
        values.push_back(value == named.end() ? JetValue::null() : value->second);
    }
    return values;
}

} // namespace tarnwick::jet
