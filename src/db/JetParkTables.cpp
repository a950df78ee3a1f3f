#include "db/JetParkTables.h"

#include "db/ParkSchema.h"

namespace tarnwick {
namespace {

jet::ColumnKind jetKind(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
        return jet::ColumnKind::Long;
    case ColumnKind::Integer:
        return jet::ColumnKind::Integer;
    case ColumnKind::Byte:
        return jet::ColumnKind::Byte;
    case ColumnKind::Single:
        return jet::ColumnKind::Single;
    case ColumnKind::Double:
        return jet::ColumnKind::Double;
    case ColumnKind::Currency:
        return jet::ColumnKind::Currency;
    case ColumnKind::Date:
        return jet::ColumnKind::DateTime;
    case ColumnKind::YesNo:
        return jet::ColumnKind::YesNo;
    case ColumnKind::Text:
        return jet::ColumnKind::Text;
    case ColumnKind::Memo:
        break;
    }
    return jet::ColumnKind::Memo;
}

} // namespace

std::vector<jet::TableDesign> JetParkTables() {
    std::vector<jet::TableDesign> designs;
    for (const TableDef &table : ParkTables()) {
        jet::TableDesign design{table.name, {}, "ID"};
        for (const ColumnDef &column : table.columns)
            design.columns.push_back({column.name, jetKind(column.type.kind),
                                      static_cast<std::uint16_t>(column.type.textSize),
                                      column.type.kind == ColumnKind::AutoNumber, AccessDefault(column.type.kind)});
        designs.push_back(std::move(design));
    }
    return designs;
}

} // namespace tarnwick
