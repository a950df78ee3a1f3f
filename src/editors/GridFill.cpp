#include "editors/GridFill.h"

#include "base/VbNumber.h"
#include "db/Recordset.h"

namespace tarnwick {

const char *const kIdHelp = "ID: This is an AutoNumber field used by the Program and cannot be altered by the User.";

GridFillResult FillGrid(Session &session, const std::string &table, const std::vector<GridColumn> &columns,
                        const std::string &stopMessage, GridTable &grid) {
    GridFillResult result;
    struct StopFill {};
    try {
        session.SqlText = "SELECT * FROM " + table;
        Recordset rs;
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        const long records = rs.RecordCount();
        if (records == 0)
            throw StopFill{}; // moving to the last row of an empty table fails
        std::vector<Field *> fields;
        for (const GridColumn &column : columns)
            fields.push_back(&rs.Fields(column.field));

        result.refilled = true;
        grid.titles.clear();
        grid.widths.clear();
        for (const GridColumn &column : columns) {
            grid.titles.push_back(column.title);
            grid.widths.push_back(column.width);
        }
        grid.resetRows(records);
        long written = 0;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                std::string text = fields[c]->GetValue().toString();
                if (text.empty()) {
                    switch (columns[c].empty) {
                    case WhenEmpty::StopFill:
                        grid.endRow();
                        throw StopFill{};
                    case WhenEmpty::Zero:
                        text = "0";
                        break;
                    case WhenEmpty::Blank:
                    case WhenEmpty::WriteAnyway:
                        break;
                    }
                }
                grid.addCell(text);
            }
            grid.endRow();
            ++written;
        }
        result.count = FormatMinDigits(std::to_string(written), 4);
    } catch (const StopFill &) {
        session.prompter.notify(stopMessage, Icon::Information);
    } catch (const NumberedError &error) {
        session.LastRefusal = std::to_string(error.number()) + ": " + error.description();
        session.prompter.notify(stopMessage, Icon::Information);
    }
    return result;
}

GridClick ClassifyClick(int x, int y, long row, int column) {
    if (y >= 0 && y < 201)
        return {x >= 0 && x < 301 ? GridClick::IdHelp : GridClick::ColumnHelp, row, column, {}};
    if (x >= 0 && x < 401)
        return {GridClick::Pick, row, column, {}};
    return {GridClick::Position, row, column, "Col=" + std::to_string(column) + " Row=" + std::to_string(row)};
}

} // namespace tarnwick
